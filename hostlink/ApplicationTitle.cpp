#include "ApplicationTitle.h"

#include "CommandLine.h"
#include "platform/ExePath.h"

std::string ApplicationTitleOf(const std::string &exeName)
{
    std::string name = platform::fileNamePart(exeName);
    name = name.substr(0, name.find('.'));
    if (name.empty())
        return name;
    // Windows names executables in capitals or with a capital first; Linux ones are usually
    // all lower case, so the first letter is raised to give the same "Tintara".
    char first = name[0];
    if (first >= 'a' && first <= 'z')
        first = static_cast<char>(first - 'a' + 'A');
    return std::string(1, first) + LowerCase(name.substr(1));
}
