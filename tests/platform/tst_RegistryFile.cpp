#include "platform/RegistryFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace platform;

namespace {

const char demonKey[] = "HKEY_LOCAL_MACHINE\\Software\\Zantro\\torvane\\demon";

} // namespace

class RegistryFileTest : public QObject
{
    Q_OBJECT

private slots:
    void lookup_data();
    void lookup();
    void readsTheNamedFile();
    void missingFileIsAnEmptyRegistry();
};

void RegistryFileTest::lookup_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("valueName");
    QTest::addColumn<QByteArray>("expected"); // null: no such value
    const QByteArray head =
        "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Zantro\\torvane\\demon]\r\n";
    const auto value = [](const char *text) { return QByteArray(text); };
    const QByteArray none;

    QTest::newRow("plain") << head + "\"ViewerHandle\"=\"abc\"\r\n"
                           << QByteArray("ViewerHandle") << value("abc");
    QTest::newRow("name case") << head + "\"viewerhandle\"=\"abc\"\n"
                               << QByteArray("VIEWERHANDLE") << value("abc");
    QTest::newRow("key case") << QByteArray(
                                     "[hkey_local_machine\\SOFTWARE\\zantro\\Torvane\\DEMON]\n"
                                     "\"ViewerHandle\"=\"x\"")
                              << QByteArray("ViewerHandle") << value("x");
    QTest::newRow("escapes") << head + "\"ViewerHandle\"=\"C:\\\\Books\\\\\\\"q\\\"\"\n"
                             << QByteArray("ViewerHandle") << value("C:\\Books\\\"q\"");
    QTest::newRow("other escapes kept") << head + "\"V\"=\"a\\nb\"\n"
                                        << QByteArray("V") << value("a\\nb");
    QTest::newRow("escaped quote in name") << head + "\"a\\\"b\"=\"1\"\n"
                                           << QByteArray("a\"b") << value("1");
    QTest::newRow("empty value") << head + "\"V\"=\"\"\n" << QByteArray("V") << value("");
    QTest::newRow("cp1252 bytes") << head + "\"V\"=\"\xC4\xE9\"\n"
                                  << QByteArray("V") << value("\xC4\xE9");
    QTest::newRow("last one wins") << head + "\"V\"=\"1\"\n\"V\"=\"2\"\n"
                                   << QByteArray("V") << value("2");
    QTest::newRow("other key") << QByteArray(
                                      "[HKEY_LOCAL_MACHINE\\Software\\Zantro]\n\"V\"=\"1\"\n")
                               << QByteArray("V") << none;
    QTest::newRow("key ends") << head + "[HKEY_CURRENT_USER\\x]\n\"V\"=\"1\"\n"
                              << QByteArray("V") << none;
    QTest::newRow("key again") << head + "[Other]\n" + head + "\"V\"=\"3\"\n"
                               << QByteArray("V") << value("3");
    QTest::newRow("dword ignored") << head + "\"V\"=dword:00000001\n" << QByteArray("V") << none;
    QTest::newRow("default value ignored") << head + "@=\"d\"\n" << QByteArray("@") << none;
    QTest::newRow("unterminated ignored") << head + "\"V\"=\"abc\n" << QByteArray("V") << none;
    QTest::newRow("trailing junk ignored") << head + "\"V\"=\"a\" b\n" << QByteArray("V") << none;
    QTest::newRow("no header line needed")
        << QByteArray("[A]\n\"V\"=\"1\"") << QByteArray("V") << none;
    QTest::newRow("empty file") << QByteArray() << QByteArray("V") << none;
}

void RegistryFileTest::lookup()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, valueName);
    QFETCH(QByteArray, expected);
    const auto found = findRegistryString(std::string_view(text.constData(), size_t(text.size())),
                                          demonKey, valueName.toStdString());
    QCOMPARE(found.has_value(), !expected.isNull());
    QCOMPARE(QByteArray::fromStdString(found.value_or(std::string())), expected);
}

void RegistryFileTest::readsTheNamedFile()
{
    QTemporaryDir dir;
    QFile file(dir.filePath("registry.reg"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Zantro\\torvane\\demon]\r\n"
               "\"ViewerHandle\"=\"0000abcd\"\r\n");
    file.close();
    qputenv("TORVANE_REGISTRY", QFile::encodeName(file.fileName()));
    QCOMPARE(readRegistryString(demonKey, "ViewerHandle"), std::string("0000abcd"));
    QCOMPARE(readRegistryString(demonKey, "Missing"), std::string());
}

void RegistryFileTest::missingFileIsAnEmptyRegistry()
{
    QTemporaryDir dir;
    qputenv("TORVANE_REGISTRY", QFile::encodeName(dir.filePath("absent.reg")));
    QCOMPARE(readRegistryString(demonKey, "ViewerHandle"), std::string());
}

QTEST_GUILESS_MAIN(RegistryFileTest)
#include "tst_RegistryFile.moc"
