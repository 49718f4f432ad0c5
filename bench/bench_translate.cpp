// Loading a 20,000-record language file (about 1 MB) and looking up every key, beside the
// floor: reading the same file into memory and finding every terminator in it.
#include "translate/Lexaro2000.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kRecords = 20000;

struct LanguageFile
{
    QTemporaryDir dir;
    QString path;
    std::vector<std::string> keys;

    LanguageFile() : path(dir.filePath("generated.itl"))
    {
        QByteArray content;
        for (int i = 0; i < kRecords; ++i) {
            char key[32];
            char value[32];
            std::snprintf(key, sizeof key, "Form.Control%05d.Caption", i);
            std::snprintf(value, sizeof value, "Beschriftung Nr. %05d", i);
            keys.emplace_back(key);
            content += "[" + QByteArray(key) + "]=" + value + "|$$\r\n";
        }
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
            std::abort();
    }

    qint64 size() const { return QFile(path).size(); }
};

const LanguageFile &languageFile()
{
    static const LanguageFile file;
    return file;
}

void BM_LoadAndLookUpEveryKey(benchmark::State &state)
{
    const LanguageFile &generated = languageFile();
    std::string value;
    for (auto _ : state) {
        QFile file(generated.path);
        file.open(QIODevice::ReadOnly);
        TLexaro2000 engine{std::string()};
        engine.LoadFromStream(file);
        for (const std::string &key : generated.keys) {
            engine.Translate(key, {}, value);
            benchmark::DoNotOptimize(value.data());
        }
        if (engine.Dictionary().Count() != static_cast<std::size_t>(kRecords))
            state.SkipWithError("wrong number of records");
    }
    state.SetBytesProcessed(state.iterations() * generated.size());
}
BENCHMARK(BM_LoadAndLookUpEveryKey)->Unit(benchmark::kMicrosecond);

void BM_BaselineReadAndFindTerminators(benchmark::State &state)
{
    const LanguageFile &generated = languageFile();
    for (auto _ : state) {
        QFile file(generated.path);
        file.open(QIODevice::ReadOnly);
        const QByteArray content = file.readAll();
        int terminators = 0;
        for (qsizetype at = content.indexOf("|$$"); at >= 0; at = content.indexOf("|$$", at + 3))
            ++terminators;
        benchmark::DoNotOptimize(terminators);
        if (terminators != kRecords)
            state.SkipWithError("wrong number of terminators");
    }
    state.SetBytesProcessed(state.iterations() * generated.size());
}
BENCHMARK(BM_BaselineReadAndFindTerminators)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
