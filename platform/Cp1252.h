#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace platform {

// Texts travel as Windows-1252 bytes inside the subsystems; they become QString only
// where they meet a widget.
QString fromCp1252(std::string_view bytes);

// Characters that Windows-1252 cannot hold become '?', as the ANSI conversion does.
std::string toCp1252(const QString &text);

} // namespace platform
