#include "ByteText.h"

#include <algorithm>
#include <cstring>

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

// Up to eight bytes as one little-endian word, the missing ones zero.
std::uint64_t loadWord(const char *bytes, std::size_t length)
{
    std::uint64_t word = 0;
    if (length == 8) {
        std::memcpy(&word, bytes, 8);
        return word;
    }
    for (std::size_t i = 0; i < length; ++i)
        word |= std::uint64_t(static_cast<unsigned char>(bytes[i])) << (8 * i);
    return word;
}

void storeWord(char *bytes, std::uint64_t word)
{
    std::memcpy(bytes, &word, 8);
}

// Lowercases the bytes A to Z of eight bytes at once and leaves every other byte as it is.
std::uint64_t lowerWord(std::uint64_t word)
{
    constexpr std::uint64_t ones = 0x0101010101010101ull;
    constexpr std::uint64_t highBits = 0x8080808080808080ull;
    const std::uint64_t low7 = word & ~highBits;
    const std::uint64_t atLeastA = low7 + (0x80 - 'A') * ones;
    const std::uint64_t aboveZ = low7 + (0x80 - 'Z' - 1) * ones;
    const std::uint64_t upper = atLeastA & ~aboveZ & ~word & highBits;
    return word | (upper >> 2);
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

std::string lowerAscii(std::string_view text)
{
    std::string lower(text);
    lowerInPlace(lower);
    return lower;
}

void lowerInPlace(std::string &text)
{
    std::size_t at = 0;
    for (; at + 8 <= text.size(); at += 8)
        storeWord(text.data() + at, lowerWord(loadWord(text.data() + at, 8)));
    for (; at < text.size(); ++at)
        text[at] = lowerAscii(text[at]);
}

std::uint64_t lowerHash(std::string_view text)
{
    constexpr std::uint64_t multiplier = 0x9E3779B97F4A7C15ull;
    std::uint64_t hash = text.size() * multiplier;
    for (std::size_t at = 0; at < text.size(); at += 8) {
        const std::size_t length = std::min<std::size_t>(8, text.size() - at);
        hash = (hash ^ lowerWord(loadWord(text.data() + at, length))) * multiplier;
        hash ^= hash >> 32;
    }
    // The low bits pick the slot; let them depend on every byte.
    hash *= multiplier;
    return hash ^ (hash >> 29);
}

bool equalsLowered(std::string_view lowered, std::string_view text)
{
    if (lowered.size() != text.size())
        return false;
    for (std::size_t at = 0; at < text.size(); at += 8) {
        const std::size_t length = std::min<std::size_t>(8, text.size() - at);
        if (loadWord(lowered.data() + at, length) != lowerWord(loadWord(text.data() + at, length)))
            return false;
    }
    return true;
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
    std::size_t out = 0;
    for (char ch : key) {
        if (ch == '\r' || ch == '\n' || ch == '\t')
            ch = ' ';
        if (ch == ' ' && (out == 0 || key[out - 1] == ' '))
            continue;
        key[out++] = ch;
    }
    key.resize(out);
}

void ExpandValue(std::string &value, std::string_view appName)
{
    // Most values hold nothing to expand.
    if (std::none_of(value.begin(), value.end(),
                     [](char ch) { return ch == '\r' || ch == '\n' || ch == '\\' || ch == '<'; }))
        return;
    std::replace(value.begin(), value.end(), '\r', ' ');
    std::replace(value.begin(), value.end(), '\n', ' ');
    value = ReplaceAll(value, "\\n", "\r\n", false);
    value = ReplaceAll(value, "<%APPNAME%>", appName, true);
}

} // namespace bytetext
