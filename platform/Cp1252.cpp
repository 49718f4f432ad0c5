#include "Cp1252.h"

#include <array>

namespace platform {
namespace {

// 0x80..0x9F; 0 marks the five bytes that Windows-1252 leaves undefined, which we pass
// through as the C1 control of the same number so that no byte is ever lost.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char16_t unicodeOf(unsigned char byte)
{
    if (byte >= 0x80 && byte <= 0x9F && kHighControls[byte - 0x80] != 0)
        return kHighControls[byte - 0x80];
    return byte;
}

} // namespace

QString fromCp1252(std::string_view bytes)
{
    QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    QChar *out = text.data();
    for (unsigned char byte : bytes)
        *out++ = QChar(unicodeOf(byte));
    return text;
}

std::string toCp1252(const QString &text)
{
    std::string bytes;
    bytes.reserve(static_cast<size_t>(text.size()));
    for (QChar ch : text) {
        const char16_t code = ch.unicode();
        if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) {
            bytes.push_back(static_cast<char>(code));
            continue;
        }
        char mapped = '?';
        for (int i = 0; i < 32; ++i) {
            if (unicodeOf(static_cast<unsigned char>(0x80 + i)) == code) {
                mapped = static_cast<char>(0x80 + i);
                break;
            }
        }
        bytes.push_back(mapped);
    }
    return bytes;
}

} // namespace platform
