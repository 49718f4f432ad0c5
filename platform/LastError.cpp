#include "platform/LastError.h"

#include <cerrno>
#include <cstring>

namespace platform {

namespace {

// The GNU strerror_r returns the text (maybe not in the buffer); the XSI one an error code.
[[maybe_unused]] const char *pickText(const char *result, const char *)
{
    return result;
}
[[maybe_unused]] const char *pickText(int result, const char *buffer)
{
    return result == 0 ? buffer : nullptr;
}

} // namespace

std::string errorText(int errorNumber)
{
    char buffer[256] = {};
    const char *text = pickText(strerror_r(errorNumber, buffer, sizeof(buffer)), buffer);
    if (text == nullptr || *text == '\0')
        return "(GetLastErrorString failed)";
    return text;
}

std::string LastErrorText()
{
    const int saved = errno;
    std::string text = errorText(saved);
    errno = saved;
    return text;
}

} // namespace platform
