#include "platform/BusDirectory.h"

#include "platform/Exception.h"
#include "platform/LastError.h"

#include <QFile>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

std::string environment(const char *name)
{
    const char *value = std::getenv(name);
    return value == nullptr ? std::string() : std::string(value);
}

std::string chosenDirectory()
{
    std::string path = environment("TORVANE_BUS_DIR");
    if (!path.empty())
        return path;
    path = environment("XDG_RUNTIME_DIR");
    if (!path.empty())
        return path + "/torvane-bus";
    return "/tmp/torvane-bus-" + std::to_string(::geteuid());
}

void checkOwnership(const std::string &path)
{
    // stat() follows a symbolic link on purpose: a link to our own private directory is
    // fine, one that leads into somebody else's is refused by the owner check.
    struct stat info
    {
    };
    if (::stat(path.c_str(), &info) != 0)
        throw Exception("Cannot use the message bus directory " + path + ": " + LastErrorText());
    if (!S_ISDIR(info.st_mode))
        throw Exception("The message bus directory " + path + " is not a directory");
    if (info.st_uid != ::geteuid())
        throw Exception("The message bus directory " + path +
                        " belongs to another user; refusing to use it");
    if ((info.st_mode & (S_IRGRP | S_IWGRP | S_IROTH | S_IWOTH)) != 0)
        throw Exception("The message bus directory " + path +
                        " can be read or written by other users; refusing to use it");
}

} // namespace

std::string busDirectoryPath()
{
    const std::string path = chosenDirectory();
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST)
        throw Exception("Cannot create the message bus directory " + path + ": " + LastErrorText());
    checkOwnership(path);
    return path;
}

QString busDirectory()
{
    return QFile::decodeName(QByteArray::fromStdString(busDirectoryPath()));
}

std::string handleText(WindowHandle handle)
{
    char text[9];
    std::snprintf(text, sizeof(text), "%08x", unsigned(handle));
    return text;
}

std::optional<WindowHandle> parseHandleText(std::string_view text)
{
    if (text.size() != 8)
        return std::nullopt;
    WindowHandle handle = 0;
    for (const char c : text) {
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else
            return std::nullopt;
        handle = (handle << 4) | WindowHandle(digit);
    }
    if (handle == 0)
        return std::nullopt;
    return handle;
}

std::string busSocketPath(const std::string &directory, WindowHandle handle)
{
    return directory + "/" + handleText(handle) + ".sock";
}

std::string busDescriptorPath(const std::string &directory, WindowHandle handle)
{
    return directory + "/" + handleText(handle) + ".win";
}

} // namespace platform
