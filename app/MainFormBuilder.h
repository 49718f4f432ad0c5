#pragma once

class TForm1;

// Builds the main window as it is stored: controls in their documented order, every stored
// property set through its setter, then the handlers bound. No handler runs while building,
// so the start state comes from the stored values alone.
class MainFormBuilder
{
public:
    static void build(TForm1 &form);
};
