#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Byte-string routines of the translation engine. Texts are Windows-1252 bytes; case folding
// touches the ASCII letters A to Z only, every other byte compares exactly.
namespace bytetext {

inline char lowerAscii(char ch)
{
    return static_cast<unsigned char>(ch - 'A') < 26 ? static_cast<char>(ch + ('a' - 'A')) : ch;
}
std::string lowerAscii(std::string_view text);
void lowerInPlace(std::string &text);

// A hash of the text with A to Z lowercased, and a comparison of an already lowercased text
// with one that is lowercased on the fly: a lookup needs no lowercased copy of its key.
std::uint64_t lowerHash(std::string_view text);
bool equalsLowered(std::string_view lowered, std::string_view text);

// True when `text` is at least as long as `prefix` and begins with it byte for byte.
bool StartsWith(std::string_view text, std::string_view prefix);

// 0-based index of the first occurrence at or after `from`, or npos.
std::size_t FindFrom(std::string_view text, std::string_view sub, std::size_t from,
                     bool ignoreCase);

// 1-based position of the n-th non-overlapping occurrence of `sub` at or after `start`, or 0.
std::size_t FindOccurrence(std::string_view sub, std::string_view text, std::size_t start, int n,
                           bool ignoreCase);

// Replaces every occurrence from left to right; replacement text is never searched again, so
// a replacement that contains `search` cannot loop. An empty `search` never matches.
std::string ReplaceAll(std::string_view source, std::string_view search,
                       std::string_view replacement, bool ignoreCase);

// Line breaks and tabs become blanks, runs of blanks shrink to one, leading blanks go; one
// trailing blank may stay. Expects a lowercased key.
void NormaliseKey(std::string &key);

// Line breaks become blanks, then "\n" becomes a real line break, then "<%APPNAME%>" in any
// letter case becomes `appName`.
void ExpandValue(std::string &value, std::string_view appName);

} // namespace bytetext
