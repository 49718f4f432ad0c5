#include "platform/RegistryFile.h"

#include <QFile>
#include <cstdlib>

namespace platform {

namespace {

char asciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

bool equalIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (asciiLower(a[i]) != asciiLower(b[i]))
            return false;
    }
    return true;
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

// Reads a quoted string at the front of `text` ("\\" and "\"" are the escapes) and removes it;
// nothing when the text does not start with a complete one.
std::optional<std::string> takeQuoted(std::string_view &text)
{
    if (text.empty() || text.front() != '"')
        return std::nullopt;
    std::string value;
    for (std::size_t i = 1; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"') {
            text.remove_prefix(i + 1);
            return value;
        }
        if (c == '\\' && i + 1 < text.size() && (text[i + 1] == '\\' || text[i + 1] == '"'))
            ++i;
        value += text[i];
    }
    return std::nullopt;
}

struct ValueLine
{
    std::string name;
    std::string value;
};

// `"name"="value"`; other value kinds (dword:, hex:, the default value @) are not strings.
std::optional<ValueLine> parseValueLine(std::string_view line)
{
    auto name = takeQuoted(line);
    if (!name)
        return std::nullopt;
    line = trimmed(line);
    if (line.empty() || line.front() != '=')
        return std::nullopt;
    line = trimmed(line.substr(1));
    auto value = takeQuoted(line);
    if (!value || !trimmed(line).empty())
        return std::nullopt;
    return ValueLine{std::move(*name), std::move(*value)};
}

std::string registryFilePath()
{
    const char *path = std::getenv("TORVANE_REGISTRY");
    return (path != nullptr && *path != '\0') ? path : "/etc/torvane/registry.reg";
}

} // namespace

std::optional<std::string> findRegistryString(std::string_view fileText, std::string_view keyPath,
                                              std::string_view valueName)
{
    std::optional<std::string> found;
    bool inKey = false;
    while (!fileText.empty()) {
        const std::size_t end = fileText.find('\n');
        const std::string_view line = trimmed(fileText.substr(0, end));
        fileText.remove_prefix(end == std::string_view::npos ? fileText.size() : end + 1);
        if (!line.empty() && line.front() == '[') {
            inKey =
                line.back() == ']' && equalIgnoringCase(line.substr(1, line.size() - 2), keyPath);
            continue;
        }
        if (!inKey)
            continue;
        if (auto entry = parseValueLine(line); entry && equalIgnoringCase(entry->name, valueName))
            found = std::move(entry->value);
    }
    return found;
}

std::string readRegistryString(const std::string &keyPath, const std::string &valueName)
{
    QFile file(QFile::decodeName(QByteArray::fromStdString(registryFilePath())));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray text = file.readAll();
    return findRegistryString(std::string_view(text.constData(), std::size_t(text.size())), keyPath,
                              valueName)
        .value_or(std::string());
}

} // namespace platform
