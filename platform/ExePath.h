#pragma once

#include <QString>
#include <string>

namespace platform {

// The full path of the running executable.
QString executablePath();

// The text after the last separator; '\\' and ':' count as separators beside '/', so that
// Windows-form paths from peers still work.
QString fileNamePart(const QString &path);
std::string fileNamePart(const std::string &path); // Windows-1252 bytes, as on the host link

// Everything up to and including the last separator (empty when there is none).
QString directoryPart(const QString &path);
std::string directoryPart(const std::string &path);

// Replaces the file name's extension (from its last '.') by `extension`, or appends it when
// the name has none: "/books/tintara" gives "/books/tintara.itl".
QString withExtension(const QString &path, const QString &extension);
std::string withExtension(const std::string &path, const std::string &extension);

} // namespace platform
