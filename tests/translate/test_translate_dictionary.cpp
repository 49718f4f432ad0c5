#include "translate/ByteText.h"
#include "translate/Lexaro2000.h"
#include "translate/RecordReader.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

namespace {

std::string bytes(const QByteArray &data)
{
    return data.toStdString();
}

QByteArray qbytes(const std::string &text)
{
    return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

QByteArrayList qbytesList(const std::vector<std::string> &list)
{
    QByteArrayList result;
    for (const std::string &text : list)
        result.append(qbytes(text));
    return result;
}

std::unique_ptr<TLexaro2000> loadedEngine(const QByteArray &file, std::string appName = {})
{
    auto engine = std::make_unique<TLexaro2000>(std::move(appName));
    QByteArray data = file;
    QBuffer stream(&data);
    stream.open(QIODevice::ReadOnly);
    engine->LoadFromStream(stream);
    return engine;
}

std::string translated(TLexaro2000 &engine, const std::string &key,
                       const std::vector<std::string> &args = {})
{
    std::string value = "untouched";
    engine.Translate(key, args, value);
    return value;
}

// All records the reader finds in `data`, each with its end position.
QList<QPair<QByteArray, qint64>> readAll(QIODevice &stream, const char *delimiter)
{
    QList<QPair<QByteArray, qint64>> records;
    TRecordReader reader(stream, delimiter);
    std::string_view text;
    while (reader.ReadToDelimiter(text))
        records.append(
            {QByteArray(text.data(), static_cast<qsizetype>(text.size())), reader.RecordEnd()});
    return records;
}

// Changes the current directory for one test and back.
class CurrentDir
{
public:
    explicit CurrentDir(const QString &path) : m_previous(QDir::currentPath())
    {
        QDir::setCurrent(path);
    }
    ~CurrentDir() { QDir::setCurrent(m_previous); }

private:
    QString m_previous;
};

QByteArray readFile(const QString &name)
{
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly))
        return "<missing>";
    return file.readAll();
}

} // namespace

class TestTranslateDictionary : public QObject
{
    Q_OBJECT

private slots:
    void replaceAll_data();
    void replaceAll();
    void findOccurrence_data();
    void findOccurrence();
    void caseFoldingTouchesOnlyAToZ();
    void lookupAcrossWordLengths();

    void load_data();
    void load();
    void loadAppName_data();
    void loadAppName();
    void loadAgainKeepsItlLines();
    void loadLeavesStreamOpenAtItsEnd();

    void readerBlocks_data();
    void readerBlocks();
    void readerLongRecordAndCase();
    void readerHugeStreamWithoutTerminator();
    void readerHugeRecord();

    void lookup_data();
    void lookup();
    void onTranslate();
    void itlLines();

    void writer_data();
    void writer();
    void writerReplacesFile();
    void writerFailureIsReported_data();
    void writerFailureIsReported();
    void writerFailureWithDefaultReporter();
};

void TestTranslateDictionary::replaceAll_data()
{
    QTest::addColumn<QByteArray>("source");
    QTest::addColumn<QByteArray>("search");
    QTest::addColumn<QByteArray>("replacement");
    QTest::addColumn<bool>("ignoreCase");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("every") << QByteArray("a-b-c") << QByteArray("-") << QByteArray("+") << false
                           << QByteArray("a+b+c");
    QTest::newRow("case counts") << QByteArray("aXbx") << QByteArray("x") << QByteArray("_")
                                 << false << QByteArray("aXb_");
    QTest::newRow("case ignored") << QByteArray("aXbx") << QByteArray("x") << QByteArray("_")
                                  << true << QByteArray("a_b_");
    QTest::newRow("accents not folded")
        << QByteArray("\xC4\xE4") << QByteArray("\xE4") << QByteArray("a") << true
        << QByteArray("\xC4"
                      "a");
    QTest::newRow("replacement holds search")
        << QByteArray("xx") << QByteArray("x") << QByteArray("xx") << false << QByteArray("xxxx");
    QTest::newRow("no overlap") << QByteArray("aaa") << QByteArray("aa") << QByteArray("b") << false
                                << QByteArray("ba");
    QTest::newRow("empty search") << QByteArray("abc") << QByteArray() << QByteArray("x") << true
                                  << QByteArray("abc");
}

void TestTranslateDictionary::replaceAll()
{
    QFETCH(QByteArray, source);
    QFETCH(QByteArray, search);
    QFETCH(QByteArray, replacement);
    QFETCH(bool, ignoreCase);
    QFETCH(QByteArray, expected);
    QCOMPARE(
        qbytes(bytetext::ReplaceAll(bytes(source), bytes(search), bytes(replacement), ignoreCase)),
        expected);
}

void TestTranslateDictionary::findOccurrence_data()
{
    QTest::addColumn<QByteArray>("sub");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("n");
    QTest::addColumn<bool>("ignoreCase");
    QTest::addColumn<int>("expected");

    QTest::newRow("first") << QByteArray("ab") << QByteArray("xabab") << 1 << 1 << false << 2;
    QTest::newRow("second") << QByteArray("ab") << QByteArray("xabab") << 1 << 2 << false << 4;
    QTest::newRow("too few") << QByteArray("ab") << QByteArray("xabab") << 1 << 3 << false << 0;
    QTest::newRow("from start") << QByteArray("ab") << QByteArray("xabab") << 3 << 1 << false << 4;
    QTest::newRow("start below one")
        << QByteArray("x") << QByteArray("xab") << -5 << 1 << false << 1;
    QTest::newRow("n below one") << QByteArray("a") << QByteArray("a") << 1 << 0 << false << 0;
    QTest::newRow("no overlap") << QByteArray("aa") << QByteArray("aaa") << 1 << 2 << false << 0;
    QTest::newRow("ignore case") << QByteArray("AB") << QByteArray("xab") << 1 << 1 << true << 2;
    QTest::newRow("start past end") << QByteArray("a") << QByteArray("a") << 5 << 1 << false << 0;
}

void TestTranslateDictionary::findOccurrence()
{
    QFETCH(QByteArray, sub);
    QFETCH(QByteArray, text);
    QFETCH(int, start);
    QFETCH(int, n);
    QFETCH(bool, ignoreCase);
    QFETCH(int, expected);
    const std::size_t from = start < 1 ? 0 : static_cast<std::size_t>(start);
    QCOMPARE(bytetext::FindOccurrence(bytes(sub), bytes(text), from, n, ignoreCase),
             static_cast<std::size_t>(expected));
}

void TestTranslateDictionary::caseFoldingTouchesOnlyAToZ()
{
    std::string all;
    std::string expected;
    for (int byte = 0; byte < 256; ++byte) {
        all.push_back(static_cast<char>(byte));
        expected.push_back(static_cast<char>(byte >= 'A' && byte <= 'Z' ? byte + 32 : byte));
    }
    for (std::size_t offset = 0; offset < 8; ++offset) {
        std::string text = all.substr(offset);
        bytetext::lowerInPlace(text);
        QCOMPARE(qbytes(text), qbytes(expected.substr(offset)));
        QVERIFY(bytetext::equalsLowered(text, all.substr(offset)));
        QCOMPARE(bytetext::lowerHash(all.substr(offset)), bytetext::lowerHash(text));
    }
    QVERIFY(!bytetext::equalsLowered("\xe4", "\xc4"));
    QVERIFY(!bytetext::equalsLowered("[", "{"));
    QVERIFY(!bytetext::equalsLowered("abc", "ABCD"));
}

void TestTranslateDictionary::lookupAcrossWordLengths()
{
    // Keys of every length around the eight-byte steps of the index, differing in one byte.
    QByteArray file;
    std::vector<std::string> keys;
    for (int length = 0; length <= 20; ++length) {
        for (int position = 0; position < length; ++position) {
            std::string key(static_cast<std::size_t>(length), 'K');
            key[static_cast<std::size_t>(position)] = 'Z';
            keys.push_back(key);
            file += "[" + qbytes(key) + "]=" + QByteArray::number(length) + "/" +
                    QByteArray::number(position) + "|$$";
        }
    }
    const auto engine = loadedEngine(file);
    for (std::size_t i = 0; i < keys.size(); ++i) {
        std::string lower = keys[i];
        bytetext::lowerInPlace(lower);
        QCOMPARE(translated(*engine, lower), engine->Values()[i]);
    }
    QCOMPARE(translated(*engine, std::string(21, 'K')), std::string(21, 'K'));
}

void TestTranslateDictionary::load_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QByteArrayList>("keys");
    QTest::addColumn<QByteArrayList>("values");

    QTest::newRow("empty") << QByteArray() << QByteArrayList() << QByteArrayList();
    QTest::newRow("no terminator")
        << QByteArray("[Exit]=Beenden\r\n") << QByteArrayList() << QByteArrayList();
    QTest::newRow("text after last terminator ignored")
        << QByteArray("[a]=1|$$\r\n[b]=2|$\r\n[c]=3") << QByteArrayList{"a"} << QByteArrayList{"1"};
    QTest::newRow("one per line") << QByteArray("[Exit]=Beenden|$$\r\n[About]=Info|$$\r\n")
                                  << QByteArrayList{"exit", "about"}
                                  << QByteArrayList{"Beenden", "Info"};
    QTest::newRow("line feeds only")
        << QByteArray("[a]=1|$$\n[b]=2|$$") << QByteArrayList{"a", "b"} << QByteArrayList{"1", "2"};
    QTest::newRow("trailing blank kept")
        << QByteArray("[Exit ]=X|$$") << QByteArrayList{"exit "} << QByteArrayList{"X"};
    QTest::newRow("key across lines") << QByteArray("[  Gray\r\nScale]=G|$$")
                                      << QByteArrayList{"gray scale"} << QByteArrayList{"G"};
    QTest::newRow("key tabs and runs")
        << QByteArray("[a\t\tb   c \t]=v|$$") << QByteArrayList{"a b c "} << QByteArrayList{"v"};
    QTest::newRow("key of blanks only")
        << QByteArray("[ \t\r\n ]=v|$$") << QByteArrayList{""} << QByteArrayList{"v"};
    QTest::newRow("accented letters not folded")
        << QByteArray("[\xC4RGER]=x|$$") << QByteArrayList{"\xC4rger"} << QByteArrayList{"x"};
    QTest::newRow("backslash n") << QByteArray("[k]=a\\nb|$$") << QByteArrayList{"k"}
                                 << QByteArrayList{"a\r\nb"};
    QTest::newRow("backslash N") << QByteArray("[k]=a\\Nb|$$") << QByteArrayList{"k"}
                                 << QByteArrayList{"a\\Nb"};
    QTest::newRow("value across lines")
        << QByteArray("[k]=a\r\nb|$$") << QByteArrayList{"k"} << QByteArrayList{"a  b"};
    QTest::newRow("value not trimmed")
        << QByteArray("[k]= a |$$") << QByteArrayList{"k"} << QByteArrayList{" a "};
    QTest::newRow("value with brackets")
        << QByteArray("[k]=a]=b[c|$$") << QByteArrayList{"k"} << QByteArrayList{"a]=b[c"};
    QTest::newRow("empty value") << QByteArray("[Exit]=|$$") << QByteArrayList{"exit"}
                                 << QByteArrayList{""};
    QTest::newRow("no bracket") << QByteArray("[a]=1|$$\r\nexit]=Beenden|$$")
                                << QByteArrayList{"a", "exit"} << QByteArrayList{"1", "Beenden"};
    QTest::newRow("no separator") << QByteArray("[abc|$$") << QByteArrayList{""}
                                  << QByteArrayList{"abc"};
    QTest::newRow("terminator only")
        << QByteArray("|$$x|$$") << QByteArrayList{"", ""} << QByteArrayList{"", ""};
    QTest::newRow("separator before bracket")
        << QByteArray("k]=v[x|$$") << QByteArrayList{""} << QByteArrayList{"v[x"};
    QTest::newRow("text before bracket ignored")
        << QByteArray("junk [k]=v|$$") << QByteArrayList{"k"} << QByteArrayList{"v"};
    QTest::newRow("nul bytes") << QByteArray("[k\0x]=v\0w|$$", 13)
                               << QByteArrayList{QByteArray("k\0x", 3)}
                               << QByteArrayList{QByteArray("v\0w", 3)};
    QTest::newRow("duplicates kept in order")
        << QByteArray("[Exit]=1|$$[EXIT]=2|$$") << QByteArrayList{"exit", "exit"}
        << QByteArrayList{"1", "2"};
    QTest::newRow("app name removed") << QByteArray("[k]=a<%APPNAME%>b<%appname%>c<%AppName%>|$$")
                                      << QByteArrayList{"k"} << QByteArrayList{"abc"};
}

void TestTranslateDictionary::load()
{
    QFETCH(QByteArray, file);
    QFETCH(QByteArrayList, keys);
    QFETCH(QByteArrayList, values);
    const auto engine = loadedEngine(file);
    QCOMPARE(qbytesList(engine->Keys()), keys);
    QCOMPARE(qbytesList(engine->Values()), values);
}

void TestTranslateDictionary::loadAppName_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("every case") << QByteArray("<%APPNAME%>/<%appname%>/<%AppName%>")
                                << QByteArray("Mix/Mix/Mix");
    QTest::newRow("after line break") << QByteArray("a\\n<%appname%>") << QByteArray("a\r\nMix");
    QTest::newRow("incomplete") << QByteArray("<%APPNAME%") << QByteArray("<%APPNAME%");
}

void TestTranslateDictionary::loadAppName()
{
    QFETCH(QByteArray, value);
    QFETCH(QByteArray, expected);
    const auto engine = loadedEngine("[k]=" + value + "|$$", "Mix");
    QCOMPARE(qbytesList(engine->Values()), QByteArrayList{expected});
}

void TestTranslateDictionary::loadAgainKeepsItlLines()
{
    const auto engine = loadedEngine("[a]=1|$$");
    engine->setAutoCreateItlFile(true);
    QCOMPARE(translated(*engine, "Missing"), std::string("Missing"));
    engine->setAutoCreateItlFile(false);

    QByteArray second("[b]=2|$$");
    QBuffer stream(&second);
    stream.open(QIODevice::ReadOnly);
    engine->LoadFromStream(stream);
    QCOMPARE(qbytesList(engine->Keys()), QByteArrayList{"b"});
    QCOMPARE(translated(*engine, "a"), std::string("a"));
    QCOMPARE(qbytesList(engine->ItlLines()), QByteArrayList{"[Missing]=Missing|$$"});
}

void TestTranslateDictionary::loadLeavesStreamOpenAtItsEnd()
{
    QByteArray data("[a]=1|$$[b]=2|$$ tail");
    QBuffer stream(&data);
    stream.open(QIODevice::ReadOnly);
    stream.seek(10);
    TLexaro2000 engine{std::string()};
    engine.LoadFromStream(stream);
    QCOMPARE(qbytesList(engine.Keys()), (QByteArrayList{"a", "b"}));
    QVERIFY(stream.isOpen());
    QCOMPARE(stream.pos(), data.size());
}

void TestTranslateDictionary::readerBlocks_data()
{
    QTest::addColumn<int>("split");

    // Offsets where the first terminator begins, around the first two block boundaries.
    for (int split : {0, 1, 250, 253, 254, 255, 256, 257, 258, 509, 510, 511, 512})
        QTest::newRow(qPrintable(QString::number(split))) << split;
}

void TestTranslateDictionary::readerBlocks()
{
    QFETCH(int, split);
    const QByteArray first = QByteArray(split, 'a') + "|$$";
    const QByteArray second = QByteArray(300, 'b') + "|$$";
    QByteArray data = first + second + "[c]=3|$";
    QBuffer stream(&data);
    stream.open(QIODevice::ReadOnly);

    const auto records = readAll(stream, "|$$");
    QCOMPARE(records.size(), 2);
    QCOMPARE(records[0].first, first);
    QCOMPARE(records[0].second, first.size());
    QCOMPARE(records[1].first, second);
    QCOMPARE(records[1].second, first.size() + second.size());
    QVERIFY(stream.atEnd());
}

void TestTranslateDictionary::readerLongRecordAndCase()
{
    const QByteArray first = QByteArray(1000, 'x') + "eNd";
    QByteArray data = "head" + first + "tail";
    QBuffer stream(&data);
    stream.open(QIODevice::ReadOnly);
    QVERIFY(stream.seek(4));

    const auto records = readAll(stream, "END");
    QCOMPARE(records.size(), 1);
    QCOMPARE(records[0].first, first);
    QCOMPARE(records[0].second, 4 + first.size());
}

void TestTranslateDictionary::readerHugeStreamWithoutTerminator()
{
    // Near misses at every block boundary make a re-scanning reader work hardest.
    QByteArray data(50 * 1024 * 1024, 'a');
    for (qsizetype at = 254; at + 2 < data.size(); at += 256) {
        data[at] = '|';
        data[at + 1] = '$';
    }
    QBuffer stream(&data);
    stream.open(QIODevice::ReadOnly);
    TLexaro2000 engine{std::string()};
    engine.LoadFromStream(stream);
    QVERIFY(engine.Keys().empty());
    QCOMPARE(stream.pos(), data.size());
}

void TestTranslateDictionary::readerHugeRecord()
{
    QByteArray data = "[big]=" + QByteArray(50 * 1024 * 1024, 'v') + "|$$";
    QBuffer stream(&data);
    stream.open(QIODevice::ReadOnly);
    TLexaro2000 engine{std::string()};
    engine.LoadFromStream(stream);
    QCOMPARE(qbytesList(engine.Keys()), QByteArrayList{"big"});
    QCOMPARE(engine.Values().front().size(), std::size_t(50 * 1024 * 1024));
}

void TestTranslateDictionary::lookup_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<QByteArrayList>("args");
    QTest::addColumn<QByteArray>("expected");

    const QByteArray exit("[Exit]=Beenden|$$");
    QTest::newRow("empty dictionary")
        << QByteArray() << QByteArray("Exit") << QByteArrayList() << QByteArray("Exit");
    QTest::newRow("same case") << exit << QByteArray("Exit") << QByteArrayList()
                               << QByteArray("Beenden");
    QTest::newRow("upper case") << exit << QByteArray("EXIT") << QByteArrayList()
                                << QByteArray("Beenden");
    QTest::newRow("lower case") << exit << QByteArray("exit") << QByteArrayList()
                                << QByteArray("Beenden");
    QTest::newRow("trailing blank misses")
        << exit << QByteArray("Exit ") << QByteArrayList() << QByteArray("Exit ");
    QTest::newRow("lookup not normalised") << QByteArray("[Ex  it]=X|$$") << QByteArray("Ex  it")
                                           << QByteArrayList() << QByteArray("Ex  it");
    QTest::newRow("stored trailing blank") << QByteArray("[Exit ]=X|$$") << QByteArray("Exit")
                                           << QByteArrayList() << QByteArray("Exit");
    QTest::newRow("first of duplicates")
        << QByteArray("[Exit]=1|$$[ exit]=2|$$") << QByteArray("EXIT") << QByteArrayList()
        << QByteArray("1");
    QTest::newRow("accented capital differs")
        << QByteArray("[\xC4rger]=x|$$") << QByteArray("\xE4rger") << QByteArrayList()
        << QByteArray("\xE4rger");
    QTest::newRow("empty value") << QByteArray("[Exit]=|$$") << QByteArray("Exit")
                                 << QByteArrayList() << QByteArray();
    QTest::newRow("empty key") << QByteArray("[]=E|$$") << QByteArray() << QByteArrayList()
                               << QByteArray("E");
    QTest::newRow("argument in missing key")
        << QByteArray() << QByteArray("Hello <%1%>") << QByteArrayList{"World"}
        << QByteArray("Hello World");
    QTest::newRow("two arguments")
        << QByteArray("[greet]=Hi <%1%>, <%2%>|$$") << QByteArray("Greet")
        << QByteArrayList{"A", "B"} << QByteArray("Hi A, B");
    QTest::newRow("argument brings later placeholder")
        << QByteArray() << QByteArray("<%1%>") << QByteArrayList{"<%2%>!", "x"} << QByteArray("x!");
    QTest::newRow("argument holding own placeholder")
        << QByteArray() << QByteArray("<%1%>") << QByteArrayList{"<%1%>"} << QByteArray("<%1%>");
    QTest::newRow("placeholder without argument")
        << QByteArray() << QByteArray("a<%2%>") << QByteArrayList{"x"} << QByteArray("a<%2%>");
    QTest::newRow("tenth argument")
        << QByteArray() << QByteArray("<%10%><%1%>")
        << QByteArrayList{"1", "2", "3", "4", "5", "6", "7", "8", "9", "T"} << QByteArray("T1");
}

void TestTranslateDictionary::lookup()
{
    QFETCH(QByteArray, file);
    QFETCH(QByteArray, key);
    QFETCH(QByteArrayList, args);
    QFETCH(QByteArray, expected);
    const auto engine = loadedEngine(file);
    std::vector<std::string> arguments;
    for (const QByteArray &arg : args)
        arguments.push_back(bytes(arg));
    QCOMPARE(qbytes(translated(*engine, bytes(key), arguments)), expected);
}

void TestTranslateDictionary::onTranslate()
{
    const auto engine = loadedEngine("[Exit]=Beenden <%1%>|$$");
    QList<QByteArray> seen;
    engine->setOnTranslate([&](TLexaro2000 &self, const std::string &key, std::string &value) {
        QCOMPARE(&self, engine.get());
        seen.append(qbytes(key + "=" + value));
        value += "!";
    });
    QCOMPARE(translated(*engine, "EXIT", {"now"}), std::string("Beenden now!"));
    QCOMPARE(translated(*engine, "Missing"), std::string("Missing"));
    QCOMPARE(seen, QList<QByteArray>{"EXIT=Beenden now"});
}

void TestTranslateDictionary::itlLines()
{
    const auto engine = loadedEngine("[Found]=F|$$");
    QCOMPARE(translated(*engine, "Off"), std::string("Off"));
    engine->setAutoCreateItlFile(true);
    for (const char *key : {"Exit", "Found", "Exit", "EXIT", "About", "\xC4rger", "\xE4RGER"})
        translated(*engine, key);
    std::string same = "Hi <%1%>";
    engine->Translate(same, {"you"}, same);
    QCOMPARE(same, std::string("Hi you"));
    QCOMPARE(qbytesList(engine->ItlLines()),
             (QByteArrayList{"[Exit]=Exit|$$", "[About]=About|$$", "[\xC4rger]=\xC4rger|$$",
                             "[Hi <%1%>]=Hi <%1%>|$$"}));
    QCOMPARE(qbytesList(engine->Keys()), QByteArrayList{"found"});
}

void TestTranslateDictionary::writer_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QByteArrayList>("misses");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("misses only") << QByteArray() << QByteArrayList{"Exit", "About", "EXIT"}
                                 << QByteArray("[Exit]=Exit|$$\r\n[About]=About|$$\r\n");
    QTest::newRow("miss then dictionary")
        << QByteArray("[Exit]=Beenden|$$\r\n[Gray  Scale]=a\\nb<%AppName%>|$$[Exit]=2|$$")
        << QByteArrayList{"Hello", "exit"}
        << QByteArray("[Hello]=Hello|$$\r\n[exit]=Beenden|$$\r\n[gray scale]=a\r\nbMix|$$\r\n"
                      "[exit]=2|$$\r\n");
    QTest::newRow("nothing") << QByteArray() << QByteArrayList() << QByteArray();
}

void TestTranslateDictionary::writer()
{
    QFETCH(QByteArray, file);
    QFETCH(QByteArrayList, misses);
    QFETCH(QByteArray, expected);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    CurrentDir cwd(dir.path());
    {
        auto engine = loadedEngine(file, "Mix");
        engine->setAutoCreateItlFile(true);
        engine->setOnWriteError([](const QString &message) { QFAIL(qPrintable(message)); });
        for (const QByteArray &key : misses)
            translated(*engine, bytes(key));
    }
    const QString name = QFileInfo(QCoreApplication::applicationFilePath()).fileName() + ".itl";
    QCOMPARE(TLexaro2000::ItlFileName(), name);
    QCOMPARE(readFile(dir.filePath(name)), expected);
}

void TestTranslateDictionary::writerReplacesFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    CurrentDir cwd(dir.path());
    const QString path = dir.filePath(TLexaro2000::ItlFileName());
    {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old content that is longer than the new one\r\n");
    }
    {
        TLexaro2000 quiet{std::string()};
        translated(quiet, "NotRecorded");
    }
    QCOMPARE(readFile(path), QByteArray("old content that is longer than the new one\r\n"));
    {
        TLexaro2000 engine{std::string()};
        engine.setAutoCreateItlFile(true);
        translated(engine, "New");
    }
    QCOMPARE(readFile(path), QByteArray("[New]=New|$$\r\n"));
}

void TestTranslateDictionary::writerFailureIsReported_data()
{
    QTest::addColumn<bool>("removeDirectory");
    QTest::newRow("name taken by a directory") << false;
    QTest::newRow("current directory removed") << true;
}

void TestTranslateDictionary::writerFailureIsReported()
{
    QFETCH(bool, removeDirectory);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    CurrentDir cwd(dir.path());
    QVERIFY(QDir(dir.path()).mkdir(TLexaro2000::ItlFileName()));
    if (removeDirectory)
        QVERIFY(QDir(dir.path()).removeRecursively());

    QStringList messages;
    bool destroyed = false;
    try {
        auto engine = std::make_unique<TLexaro2000>(std::string());
        engine->setAutoCreateItlFile(true);
        engine->setOnWriteError([&](const QString &message) { messages.append(message); });
        translated(*engine, "Exit");
        engine.reset();
        destroyed = true;
    } catch (...) {
        QFAIL("the destructor threw");
    }
    QVERIFY(destroyed);
    QCOMPARE(messages.size(), 1);
    QVERIFY2(messages.front().contains(TLexaro2000::ItlFileName()), qPrintable(messages.front()));
    QVERIFY(messages.front().startsWith("Cannot write the language file"));
    if (!removeDirectory)
        QVERIFY(QFileInfo(dir.filePath(TLexaro2000::ItlFileName())).isDir());
}

void TestTranslateDictionary::writerFailureWithDefaultReporter()
{
    // Without a GUI the default reporter writes to standard error; it must not throw either.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    CurrentDir cwd(dir.path());
    QVERIFY(QDir(dir.path()).mkdir(TLexaro2000::ItlFileName()));
    {
        TLexaro2000 engine{std::string()};
        engine.setAutoCreateItlFile(true);
        translated(engine, "Exit");
    }
    QVERIFY(QFileInfo(dir.filePath(TLexaro2000::ItlFileName())).isDir());
}

QTEST_GUILESS_MAIN(TestTranslateDictionary)
#include "test_translate_dictionary.moc"
