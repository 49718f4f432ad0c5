#pragma once

#include "platform/MessageBus.h"

#include <optional>
#include <string>
#include <string_view>

namespace platform {

// busDirectory() as file-system bytes: created 0700 when missing, checked every time; throws
// platform::Exception when it cannot be made or another user could reach into it.
std::string busDirectoryPath();

// 8 lower-case hex digits.
std::string handleText(WindowHandle handle);
// The handle of a file-name stem of exactly 8 hex digits (not 0); nothing otherwise.
std::optional<WindowHandle> parseHandleText(std::string_view text);

std::string busSocketPath(const std::string &directory, WindowHandle handle);
std::string busDescriptorPath(const std::string &directory, WindowHandle handle);

} // namespace platform
