#include "PathText.h"

namespace {

size_t nameStart(const std::string &path)
{
    const auto separator = path.find_last_of("/\\:");
    return separator == std::string::npos ? 0 : separator + 1;
}

} // namespace

std::string FileNamePartOf(const std::string &path)
{
    return path.substr(nameStart(path));
}

std::string DirectoryPartOf(const std::string &path)
{
    return path.substr(0, nameStart(path));
}

std::string WithExtensionOf(const std::string &path, const std::string &extension)
{
    const size_t start = nameStart(path);
    const auto dot = path.find_last_of('.');
    if (dot != std::string::npos && dot >= start)
        return path.substr(0, dot) + extension;
    return path + extension;
}
