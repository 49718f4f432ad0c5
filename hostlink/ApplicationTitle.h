#pragma once

#include <string>

// The application's default title for an executable path: its file name, cut before the
// first '.', its first letter in upper case and every character after it lower-cased
// ("C:\Books\DEMO.EXE" gives "Demo", "/opt/tintara" gives "Tintara").
std::string ApplicationTitleOf(const std::string &exeName);
