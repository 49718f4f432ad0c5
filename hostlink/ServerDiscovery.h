#pragma once

#include <QtGlobal>
#include <string>
#include <vector>

// The server's window class and name for a suffix.
std::string ServerWindowClassName(const std::string &suffix);
std::string ServerWindowName(const std::string &suffix);

// The class of every client's hidden window; clients have no window name.
inline constexpr const char *ClientWindowClassName = "ThisIsTheMentaroClientComponentWindowClass";

// The registry key and value that may name the server's suffix.
inline constexpr const char *ViewerHandleKey =
    "HKEY_LOCAL_MACHINE\\Software\\Zantro\\torvane\\demon";
inline constexpr const char *ViewerHandleValue = "ViewerHandle";

// The running program's command line as Windows-1252 bytes; entry 0 is the program path.
std::vector<std::string> CommandLineEntries();

// The registry's server suffix, else the one of "/serverhandle=" arguments.
std::string GetServerSuffix();

// The server's window for GetServerSuffix(), or 0.
quint32 FindServerWindow();
