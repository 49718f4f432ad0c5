#include "CommandLine.h"

#include <cstring>

namespace {

bool startsWithServerHandle(const std::string &argument)
{
    return argument.compare(0, std::strlen(ServerHandleArgument), ServerHandleArgument) == 0;
}

} // namespace

std::string LowerCase(std::string text)
{
    for (char &ch : text) {
        if (ch >= 'A' && ch <= 'Z')
            ch = static_cast<char>(ch - 'A' + 'a');
    }
    return text;
}

std::vector<std::string> ParamsFromCommandLine(const std::vector<std::string> &commandLine)
{
    std::vector<std::string> params;
    for (const std::string &entry : commandLine) {
        if (!startsWithServerHandle(entry))
            params.push_back(entry);
    }
    return params;
}

std::string ServerSuffixFrom(const std::string &registryValue,
                             const std::vector<std::string> &commandLine)
{
    if (!registryValue.empty() && registryValue != "00000000")
        return registryValue;
    std::string suffix = registryValue;
    for (size_t i = 1; i < commandLine.size(); ++i) {
        const std::string lowered = LowerCase(commandLine[i]);
        if (startsWithServerHandle(lowered))
            suffix = lowered.substr(std::strlen(ServerHandleArgument));
    }
    return suffix;
}
