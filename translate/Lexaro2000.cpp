#include "Lexaro2000.h"

#include "ByteText.h"
#include "ComponentWalk.h"
#include "ItlFile.h"
#include "RecordReader.h"

#include "platform/Application.h"
#include "platform/Cp1252.h"
#include "platform/ExePath.h"

#include <exception>

namespace {

const std::string kTerminator = "|$$";

// Sets `target` to the part of `record` of `count` bytes that starts at 1-based `position`;
// empty when the count is zero or negative.
void assignPart(std::string &target, std::string_view record, std::ptrdiff_t position,
                std::ptrdiff_t count)
{
    if (count <= 0) {
        target.clear();
        return;
    }
    target.assign(
        record.substr(static_cast<std::size_t>(position - 1), static_cast<std::size_t>(count)));
}

// 1-based position of the first occurrence, 0 when absent.
std::ptrdiff_t positionOf(std::string_view record, std::string_view sub)
{
    const std::size_t at = record.find(sub);
    return at == std::string_view::npos ? 0 : static_cast<std::ptrdiff_t>(at) + 1;
}

void applyArguments(std::string &value, const std::vector<std::string> &args)
{
    for (std::size_t k = 1; k <= args.size(); ++k) {
        const std::string placeholder = "<%" + std::to_string(k) + "%>";
        value = bytetext::ReplaceAll(value, placeholder, args[k - 1], true);
    }
}

} // namespace

TLexaro2000::TLexaro2000(std::string appName) : m_appName(std::move(appName)) {}

TLexaro2000::~TLexaro2000()
{
    if (!m_autoCreateItlFile)
        return;
    try {
        writeItlFile();
    } catch (const std::exception &error) {
        reportWriteError(platform::fromCp1252(error.what()));
    } catch (...) {
        reportWriteError(QStringLiteral("Cannot write the language file"));
    }
}

QString TLexaro2000::ItlFileName()
{
    return platform::withExtension(platform::fileNamePart(platform::executablePath()),
                                   QStringLiteral(".itl"));
}

std::vector<std::string> TLexaro2000::Keys() const
{
    std::vector<std::string> keys;
    for (std::size_t i = 0; i < m_dictionary.Count(); ++i)
        keys.emplace_back(m_dictionary.Key(i));
    return keys;
}

std::vector<std::string> TLexaro2000::Values() const
{
    std::vector<std::string> values;
    for (std::size_t i = 0; i < m_dictionary.Count(); ++i)
        values.emplace_back(m_dictionary.Value(i));
    return values;
}

void TLexaro2000::LoadFromStream(QIODevice &stream)
{
    m_dictionary.Clear();
    try {
        stream.seek(0);
        TRecordReader reader(stream, kTerminator);
        std::string_view record;
        while (reader.ReadToDelimiter(record))
            addRecord(record);
        m_dictionary.BuildIndex();
    } catch (...) {
        // Never a dictionary that its index does not cover.
        m_dictionary.Clear();
        throw;
    }
}

void TLexaro2000::addRecord(std::string_view record)
{
    const std::ptrdiff_t open = positionOf(record, "[");
    const std::ptrdiff_t separator = positionOf(record, "]=");
    // The reader ends every record with its first terminator.
    const auto terminator = static_cast<std::ptrdiff_t>(record.size() - kTerminator.size()) + 1;

    assignPart(m_key, record, open + 1, separator - open - 1);
    bytetext::lowerInPlace(m_key);
    bytetext::NormaliseKey(m_key);
    assignPart(m_value, record, separator + 2, terminator - separator - 2);
    bytetext::ExpandValue(m_value, m_appName);
    m_dictionary.Add(m_key, m_value);
}

void TLexaro2000::Translate(const std::string &key, const std::vector<std::string> &args,
                            std::string &value)
{
    if (&key == &value) {
        const std::string ownKey = key; // the key as passed must survive the value's changes
        Translate(ownKey, args, value);
        return;
    }
    const std::size_t found = m_dictionary.Find(key);
    if (found == TDictionary::NotFound) {
        value = key;
        applyArguments(value, args);
        if (m_autoCreateItlFile)
            recordMiss(key);
        return;
    }
    value.assign(m_dictionary.Value(found));
    applyArguments(value, args);
    if (m_onTranslate)
        m_onTranslate(*this, key, value);
}

// A missed key is listed once, whatever the letter case it was asked in.
void TLexaro2000::recordMiss(const std::string &key)
{
    std::string line = "[" + key + "]=" + key + kTerminator;
    const QString folded = platform::fromCp1252(line).toCaseFolded();
    if (m_foldedMisses.contains(folded))
        return;
    m_foldedMisses.insert(folded);
    m_itlLines.push_back(std::move(line));
}

void TLexaro2000::TranslateComponent(QObject *component)
{
    TComponentWalk(*this).Component(component);
}

void TLexaro2000::TranslateObject(QObject *instance)
{
    TComponentWalk(*this).Object(instance);
}

void TLexaro2000::writeItlFile()
{
    for (std::size_t i = 0; i < m_dictionary.Count(); ++i) {
        std::string line = "[";
        line.append(m_dictionary.Key(i)).append("]=").append(m_dictionary.Value(i));
        m_itlLines.push_back(line.append(kTerminator));
    }
    const QString error = ::writeItlFile(ItlFileName(), m_itlLines);
    if (!error.isEmpty())
        reportWriteError(error);
}

void TLexaro2000::reportWriteError(const QString &message) const noexcept
{
    platform::runGuarded([&] {
        if (m_onWriteError)
            m_onWriteError(message);
        else
            platform::Application::showError(message);
    });
}
