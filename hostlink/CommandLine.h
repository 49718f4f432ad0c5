#pragma once

#include <string>
#include <vector>

// The argument that names the server's suffix on the command line.
inline constexpr const char *ServerHandleArgument = "/serverhandle=";

// The parameter list of a command line (entry 0 is the program path): every entry except
// those whose first 14 characters are exactly "/serverhandle=" (case-sensitive).
std::vector<std::string> ParamsFromCommandLine(const std::vector<std::string> &commandLine);

// The server's suffix: the registry value unless it is empty or "00000000"; else the
// lower-cased rest of the last argument (program path excluded) that starts with
// "/serverhandle=" in any letter case; else the registry value as it was.
std::string ServerSuffixFrom(const std::string &registryValue,
                             const std::vector<std::string> &commandLine);

// ASCII lower case, byte by byte.
std::string LowerCase(std::string text);
