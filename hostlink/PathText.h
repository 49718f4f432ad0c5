#pragma once

#include <string>

// Byte-level path cutting for Windows-1252 paths that travel on the host link; '/', '\\' and
// ':' all count as separators so that Windows-form paths from peers still work.

// The text after the last separator.
std::string FileNamePartOf(const std::string &path);

// Everything up to and including the last separator.
std::string DirectoryPartOf(const std::string &path);

// The path with its file name's extension replaced by `extension`, appended when it has none.
std::string WithExtensionOf(const std::string &path, const std::string &extension);
