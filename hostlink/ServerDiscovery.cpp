#include "ServerDiscovery.h"

#include "CommandLine.h"
#include "platform/Cp1252.h"
#include "platform/MessageBus.h"
#include "platform/RegistryFile.h"

#include <QCoreApplication>

std::string ServerWindowClassName(const std::string &suffix)
{
    return "ThisIsTheMentaroServerComponentWindowClass" + suffix;
}

std::string ServerWindowName(const std::string &suffix)
{
    return "ThisIsTheMentaroServerComponentWindow" + suffix;
}

std::vector<std::string> CommandLineEntries()
{
    std::vector<std::string> entries;
    for (const QString &argument : QCoreApplication::arguments())
        entries.push_back(platform::toCp1252(argument));
    return entries;
}

std::string GetServerSuffix()
{
    return ServerSuffixFrom(platform::readRegistryString(ViewerHandleKey, ViewerHandleValue),
                            CommandLineEntries());
}

quint32 FindServerWindow()
{
    const std::string suffix = GetServerSuffix();
    return platform::findWindow(ServerWindowClassName(suffix), ServerWindowName(suffix));
}
