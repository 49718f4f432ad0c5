#include "ServerSettings.h"

#include "platform/Exception.h"

#include <QFile>
#include <sstream>

namespace {

std::string trimmed(const std::string &text)
{
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return {};
    const auto last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

} // namespace

ServerSettings ServerSettings::fromFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw platform::Exception("Cannot read the settings file " + path.toStdString() + ": " +
                                  file.errorString().toStdString());
    const QByteArray content = file.readAll();
    return fromText(std::string(content.constData(), static_cast<size_t>(content.size())));
}

ServerSettings ServerSettings::fromText(const std::string &text)
{
    ServerSettings settings;
    std::map<std::string, std::string> *section = &settings.m_settings;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        line = trimmed(line);
        if (line.empty() || line[0] == '#' || line[0] == ';')
            continue;
        if (line == "[settings]") {
            section = &settings.m_settings;
            continue;
        }
        if (line == "[strings]") {
            section = &settings.m_strings;
            continue;
        }
        const auto equals = line.find('=');
        if (equals == std::string::npos)
            continue;
        (*section)[trimmed(line.substr(0, equals))] = trimmed(line.substr(equals + 1));
    }
    return settings;
}

std::optional<std::string> ServerSettings::setting(const std::string &name) const
{
    const auto it = m_settings.find(name);
    if (it == m_settings.end())
        return std::nullopt;
    return it->second;
}

std::optional<std::string> ServerSettings::answer(const std::string &text) const
{
    const auto it = m_strings.find(text);
    if (it == m_strings.end())
        return std::nullopt;
    return it->second;
}

void ServerSettings::setSetting(const std::string &name, const std::string &value)
{
    m_settings[name] = value;
}
