#pragma once

#include <QString>
#include <map>
#include <optional>
#include <string>

// The answers of a server: settings (kdbGetEnvValue) and strings (kdbQueryString), read from a
// small text file of "name=value" lines. Lines after "[strings]" answer string queries, lines
// after "[settings]" (and before any section) are settings; lines starting with '#' or ';'
// and lines without '=' are ignored; spaces around the name and the value are dropped. The
// bytes go out as they are (meant to be Windows-1252).
class ServerSettings
{
public:
    // Throws platform::Exception when the file cannot be read.
    static ServerSettings fromFile(const QString &path);
    static ServerSettings fromText(const std::string &text);

    std::optional<std::string> setting(const std::string &name) const;
    std::optional<std::string> answer(const std::string &text) const;
    void setSetting(const std::string &name, const std::string &value);

private:
    std::map<std::string, std::string> m_settings;
    std::map<std::string, std::string> m_strings;
};
