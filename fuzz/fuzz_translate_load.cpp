// Arbitrary bytes as a language file, then lookups of keys taken from the input and of every
// stored key; the index must agree with a scan of the keys in file order.
#include "translate/Lexaro2000.h"

#include <QBuffer>
#include <QByteArray>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace {

void require(bool condition)
{
    if (!condition)
        __builtin_trap();
}

std::size_t firstIndexByScan(const TDictionary &dictionary, std::string_view key)
{
    for (std::size_t i = 0; i < dictionary.Count(); ++i) {
        if (dictionary.Key(i) == key)
            return i;
    }
    return dictionary.Count();
}

// Pieces of the input between line breaks and terminators serve as lookup keys.
std::vector<std::string> piecesOf(const std::string &input)
{
    std::vector<std::string> pieces;
    std::string piece;
    for (char ch : input) {
        if (ch == '\n' || ch == '|') {
            pieces.push_back(piece);
            piece.clear();
        } else {
            piece.push_back(ch);
        }
    }
    pieces.push_back(piece);
    return pieces;
}

// Every stored key is found, at its first entry, also when asked in upper case.
void checkStoredKeys(TLexaro2000 &engine)
{
    const TDictionary &dictionary = engine.Dictionary();
    std::string value;
    for (std::size_t i = 0; i < dictionary.Count() && i < 256; ++i) {
        std::string key(dictionary.Key(i));
        const std::string_view expected = dictionary.Value(firstIndexByScan(dictionary, key));
        engine.Translate(key, {}, value);
        require(value == expected);
        for (char &ch : key) {
            if (ch >= 'a' && ch <= 'z')
                ch = static_cast<char>(ch - 'a' + 'A');
        }
        engine.Translate(key, {}, value);
        require(value == expected);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    QBuffer stream(&bytes);
    stream.open(QIODevice::ReadOnly);

    TLexaro2000 engine("App<%APPNAME%>");
    engine.LoadFromStream(stream);
    checkStoredKeys(engine);

    const std::vector<std::string> pieces = piecesOf(bytes.toStdString());
    engine.setAutoCreateItlFile(true);
    std::string value;
    for (std::size_t i = 0; i < pieces.size() && i < 64; ++i) {
        const std::vector<std::string> args(
            pieces.begin() + static_cast<std::ptrdiff_t>(i),
            pieces.begin() + static_cast<std::ptrdiff_t>(std::min(pieces.size(), i + 3)));
        engine.Translate(pieces[i], args, value);
    }
    require(engine.ItlLines().size() <= pieces.size());
    // No language file is written while fuzzing.
    engine.setAutoCreateItlFile(false);
    return 0;
}
