#pragma once

#include <QString>
#include <string>
#include <vector>

// Writes a language file: every line followed by a carriage return and a line feed. The file
// is replaced as a whole, so a failed write leaves an existing file as it was. Returns an
// empty text on success, else the message for the user.
QString writeItlFile(const QString &fileName, const std::vector<std::string> &lines);
