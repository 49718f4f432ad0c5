#include "ByteText.h"

#include <algorithm>

namespace bytetext {
namespace {

bool equalAt(std::string_view text, std::size_t at, std::string_view sub, bool ignoreCase)
{
    for (std::size_t i = 0; i < sub.size(); ++i) {
        const char a = text[at + i];
        const char b = sub[i];
        if (ignoreCase ? lowerAscii(a) != lowerAscii(b) : a != b)
            return false;
    }
    return true;
}

bool hasAsciiLetter(std::string_view text)
{
    return std::any_of(text.begin(), text.end(), [](char ch) {
        return (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z');
    });
}

} // namespace

std::size_t FindFrom(std::string_view text, std::string_view sub, std::size_t from, bool ignoreCase)
{
    if (sub.empty() || from > text.size() || text.size() - from < sub.size())
        return std::string_view::npos;
    // Without letters in the pattern case does not matter, and the library search is faster.
    if (!ignoreCase || !hasAsciiLetter(sub))
        return text.find(sub, from);
    const std::size_t last = text.size() - sub.size();
    for (std::size_t at = from; at <= last; ++at) {
        if (equalAt(text, at, sub, true))
            return at;
    }
    return std::string_view::npos;
}

char lowerAscii(char ch)
{
    return (ch >= 'A' && ch <= 'Z') ? static_cast<char>(ch - 'A' + 'a') : ch;
}

std::string lowerAscii(std::string_view text)
{
    std::string lower(text);
    for (char &ch : lower)
        ch = lowerAscii(ch);
    return lower;
}

bool StartsWith(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

std::size_t FindOccurrence(std::string_view sub, std::string_view text, std::size_t start, int n,
                           bool ignoreCase)
{
    if (n < 1)
        return 0;
    std::size_t from = start < 1 ? 0 : start - 1;
    std::size_t at = std::string_view::npos;
    for (int found = 0; found < n; ++found) {
        at = FindFrom(text, sub, from, ignoreCase);
        if (at == std::string_view::npos)
            return 0;
        from = at + sub.size();
    }
    return at + 1;
}

std::string ReplaceAll(std::string_view source, std::string_view search,
                       std::string_view replacement, bool ignoreCase)
{
    std::string result;
    result.reserve(source.size());
    std::size_t from = 0;
    for (;;) {
        const std::size_t at = FindFrom(source, search, from, ignoreCase);
        if (at == std::string_view::npos)
            break;
        result.append(source.substr(from, at - from));
        result.append(replacement);
        from = at + search.size();
    }
    result.append(source.substr(from));
    return result;
}

void NormaliseKey(std::string &key)
{
    std::string normal;
    normal.reserve(key.size());
    for (char ch : key) {
        if (ch == '\r' || ch == '\n' || ch == '\t')
            ch = ' ';
        if (ch == ' ' && (normal.empty() || normal.back() == ' '))
            continue;
        normal.push_back(ch);
    }
    key.swap(normal);
}

void ExpandValue(std::string &value, std::string_view appName)
{
    if (value.empty())
        return;
    std::replace(value.begin(), value.end(), '\r', ' ');
    std::replace(value.begin(), value.end(), '\n', ' ');
    value = ReplaceAll(value, "\\n", "\r\n", false);
    value = ReplaceAll(value, "<%APPNAME%>", appName, true);
}

} // namespace bytetext
