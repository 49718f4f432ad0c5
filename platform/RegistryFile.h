#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform {

// A string value of the read-only registry: the file named by $TORVANE_REGISTRY (default
// /etc/torvane/registry.reg) in the registry export format, version 4. `keyPath` is the full
// key with its root, as the file's section headers write it, for example
// "HKEY_LOCAL_MACHINE\\Software\\Zantro\\torvane\\demon" (one backslash between the parts);
// it and `valueName` compare without letter case. A missing file or value gives "".
std::string readRegistryString(const std::string &keyPath, const std::string &valueName);

// The same lookup in the text of such a file; the last of repeated values wins.
std::optional<std::string> findRegistryString(std::string_view fileText, std::string_view keyPath,
                                              std::string_view valueName);

} // namespace platform
