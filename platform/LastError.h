#pragma once

#include <string>

namespace platform {

// The text of the calling thread's errno (thread-safe); "(GetLastErrorString failed)" when
// the system has no text for it.
std::string LastErrorText();

// The text of one error number, by the same rules.
std::string errorText(int errorNumber);

} // namespace platform
