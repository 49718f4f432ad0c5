#pragma once

class TFrmAbout;

// Builds the About box as it is stored: its controls, their stored properties, the links'
// fonts and the handlers.
class AboutBoxBuilder
{
public:
    static void build(TFrmAbout &box);
};
