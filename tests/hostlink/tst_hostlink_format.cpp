// The message format, the peer record and the text rules of the host link, in process.
#include "StdStringCompare.h"
#include "hostlink/ApplicationTitle.h"
#include "hostlink/CommandLine.h"
#include "hostlink/Entity.h"
#include "hostlink/MentaroMessageStream.h"
#include "hostlink/MessageStamp.h"
#include "hostlink/ParamsText.h"
#include "platform/Exception.h"
#include "platform/ExePath.h"

#include <QTest>

using Strings = std::vector<std::string>;
Q_DECLARE_METATYPE(std::string)
Q_DECLARE_METATYPE(Strings)

namespace {

QByteArray bytes(const std::string &text)
{
    return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

std::unique_ptr<TMentaroMessageStream> messageWith(const QByteArray &payload)
{
    auto message = std::make_unique<TMentaroMessageStream>();
    message->Write(payload.constData(), payload.size());
    message->Seek(0);
    return message;
}

} // namespace

class TestHostlinkFormat : public QObject
{
    Q_OBJECT
private slots:
    void countedStringRoundTrip_data();
    void countedStringRoundTrip();
    void countedStringRead_data();
    void countedStringRead();
    void shortFixedReadsFail();
    void dataBlockOut();
    void dataBlockIn_data();
    void dataBlockIn();
    void copyFromMessage();
    void entityRecord();
    void entityWithoutOwnerWritesEmptyNames();
    void instanceName_data();
    void instanceName();
    void applicationTitle_data();
    void applicationTitle();
    void dayNumber_data();
    void dayNumber();
    void stampOfTimeOfDay();
    void currentStampIsToday();
    void paramsFromText_data();
    void paramsFromText();
    void paramsTextRoundTrip();
    void commandLineFilter();
    void serverSuffix_data();
    void serverSuffix();
    void withExtension_data();
    void withExtension();
};

void TestHostlinkFormat::countedStringRoundTrip_data()
{
    QTest::addColumn<std::string>("text");
    QTest::addColumn<QByteArray>("wire");
    QTest::newRow("empty") << std::string() << QByteArray(4, '\0');
    QTest::newRow("abc") << std::string("abc") << QByteArray("\x03\0\0\0abc", 7);
    QTest::newRow("zero bytes inside")
        << std::string("a\0b\0", 4) << QByteArray("\x04\0\0\0a\0b\0", 8);
    QTest::newRow("cp1252 bytes") << std::string("\xe4\x80") << QByteArray("\x02\0\0\0\xe4\x80", 6);
    const std::string long300(300, 'x');
    QTest::newRow("length above one byte")
        << long300 << QByteArray("\x2c\x01\0\0", 4) + bytes(long300);
}

void TestHostlinkFormat::countedStringRoundTrip()
{
    QFETCH(std::string, text);
    QFETCH(QByteArray, wire);
    TMentaroMessageStream message;
    message.WriteString(text);
    QCOMPARE(message.Content(), wire);
    message.Seek(0);
    QCOMPARE(message.ReadString(), text);
    QCOMPARE(message.Position(), wire.size());
}

void TestHostlinkFormat::countedStringRead_data()
{
    QTest::addColumn<QByteArray>("wire");
    QTest::addColumn<bool>("fails");
    QTest::addColumn<std::string>("text");
    QTest::addColumn<qint64>("position");
    QTest::newRow("negative length")
        << QByteArray("\xff\xff\xff\xffrest", 8) << false << std::string() << qint64(4);
    QTest::newRow("most negative")
        << QByteArray("\0\0\0\x80", 4) << false << std::string() << qint64(4);
    QTest::newRow("runs past the end")
        << QByteArray("\x05\0\0\0abc", 7) << true << std::string() << qint64(0);
    QTest::newRow("huge count") << QByteArray("\xff\xff\xff\x7f", 4) << true << std::string()
                                << qint64(0);
    QTest::newRow("count cut short")
        << QByteArray("\x01\0", 2) << true << std::string() << qint64(0);
    QTest::newRow("exact end") << QByteArray("\x02\0\0\0ab", 6) << false << std::string("ab")
                               << qint64(6);
}

void TestHostlinkFormat::countedStringRead()
{
    QFETCH(QByteArray, wire);
    QFETCH(bool, fails);
    QFETCH(std::string, text);
    QFETCH(qint64, position);
    auto message = messageWith(wire);
    if (fails) {
        QVERIFY_THROWS_EXCEPTION(platform::EReadError, message->ReadString());
        return;
    }
    QCOMPARE(message->ReadString(), text);
    QCOMPARE(message->Position(), position);
}

void TestHostlinkFormat::shortFixedReadsFail()
{
    auto message = messageWith(QByteArray("\x01\x02\x03", 3));
    QVERIFY_THROWS_EXCEPTION(platform::EReadError, message->ReadInt32());
    QCOMPARE(message->ReadByte(), quint8(1));
    auto empty = messageWith(QByteArray());
    try {
        empty->ReadByte();
        QFAIL("an empty payload gave a byte");
    } catch (const platform::Exception &error) {
        QCOMPARE(std::string(error.what()), std::string("Stream read error"));
    }
}

void TestHostlinkFormat::dataBlockOut()
{
    TMentaroMessageStream message;
    message.Time = 0x01020304;
    message.Date = 730120;
    message.WriteInt32(-2);
    QCOMPARE(message.ToDataBlock(),
             QByteArray("\x04\x03\x02\x01\x08\x24\x0b\x00\xfe\xff\xff\xff", 12));
    TMentaroMessageStream empty;
    QCOMPARE(empty.ToDataBlock().size(), 8);
}

void TestHostlinkFormat::dataBlockIn_data()
{
    QTest::addColumn<QByteArray>("block");
    QTest::addColumn<bool>("overflow");
    QTest::newRow("empty") << QByteArray() << true;
    QTest::newRow("seven bytes") << QByteArray(7, 'x') << true;
    QTest::newRow("stamp only") << QByteArray("\x10\0\0\0\x20\0\0\0", 8) << false;
    QTest::newRow("with payload") << QByteArray("\x10\0\0\0\x20\0\0\0xyz", 11) << false;
}

void TestHostlinkFormat::dataBlockIn()
{
    QFETCH(QByteArray, block);
    QFETCH(bool, overflow);
    if (overflow) {
        try {
            TMentaroMessageStream::FromDataBlock(nullptr, 7, 4101, block);
            QFAIL("a short block was accepted");
        } catch (const platform::EIntOverflow &error) {
            QCOMPARE(std::string(error.what()), std::string("Integer overflow"));
        }
        return;
    }
    const auto message = TMentaroMessageStream::FromDataBlock(nullptr, 0xabcdef01, 4101, block);
    QCOMPARE(message->Command, 4101u);
    QCOMPARE(message->Time, 0x10);
    QCOMPARE(message->Date, 0x20);
    QCOMPARE(message->Sender.Handle, 0xabcdef01u);
    QCOMPARE(message->Sender.storedTitle(), std::string());
    QCOMPARE(message->Content(), block.mid(8));
    QCOMPARE(message->Position(), 0);
    QCOMPARE(message->ToDataBlock(), block);
}

void TestHostlinkFormat::copyFromMessage()
{
    TMentaroMessageStream source;
    source.Time = 5;
    source.Date = 6;
    source.Command = 4097;
    source.Sender.Handle = 9;
    source.Sender.setTitle("Demo");
    source.WriteString("reply");
    TMentaroMessageStream copy;
    copy.CopyFromMessage(source);
    QCOMPARE(copy.Time, 5);
    QCOMPARE(copy.Date, 6);
    QCOMPARE(copy.Command, 4097u);
    QCOMPARE(copy.Sender.Handle, 9u);
    QCOMPARE(copy.Sender.storedTitle(), std::string("Demo"));
    QCOMPARE(copy.Position(), 0);
    QCOMPARE(copy.ReadString(), std::string("reply"));
}

void TestHostlinkFormat::entityRecord()
{
    TEntity entity;
    entity.Handle = 0x11223344;
    entity.LockHandle = 7;
    entity.setExeName("C:\\Books\\demo.exe");
    entity.setTitle("Demo");
    TMentaroMessageStream message;
    entity.WriteTo(message);
    QCOMPARE(message.Content(), QByteArray("\x44\x33\x22\x11\x07\0\0\0\x11\0\0\0", 12) +
                                    "C:\\Books\\demo.exe" + QByteArray("\x04\0\0\0", 4) + "Demo");
    message.Seek(0);
    TEntity read;
    read.ReadFrom(message);
    QCOMPARE(read.Handle, entity.Handle);
    QCOMPARE(read.LockHandle, 7u);
    QCOMPARE(read.ExeName(), entity.ExeName());
    QCOMPARE(read.Title(), std::string("Demo"));

    for (qsizetype cut = 0; cut < message.Size(); ++cut) {
        auto shortened = messageWith(message.Content().left(cut));
        TEntity partial;
        QVERIFY_THROWS_EXCEPTION(platform::EReadError, partial.ReadFrom(*shortened));
    }
}

void TestHostlinkFormat::entityWithoutOwnerWritesEmptyNames()
{
    TEntity entity;
    entity.Handle = 1;
    TMentaroMessageStream message;
    entity.WriteTo(message);
    QCOMPARE(message.Content(), QByteArray("\x01\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0", 16));
    TEntity other;
    other.Assign(nullptr);
    QCOMPARE(other.Handle, 0u);
}

void TestHostlinkFormat::instanceName_data()
{
    QTest::addColumn<std::string>("exeName");
    QTest::addColumn<std::string>("instance");
    QTest::newRow("windows path") << std::string("C:\\Books\\demo.exe")
                                  << std::string("MN_demo.exe");
    QTest::newRow("linux path") << std::string("/books/tintara") << std::string("MN_tintara");
    QTest::newRow("drive only") << std::string("C:demo.exe") << std::string("MN_demo.exe");
    QTest::newRow("bare name") << std::string("demo") << std::string("MN_demo");
    QTest::newRow("empty") << std::string() << std::string("MN_");
}

void TestHostlinkFormat::instanceName()
{
    QFETCH(std::string, exeName);
    QFETCH(std::string, instance);
    TEntity entity;
    entity.setExeName(exeName);
    QCOMPARE(entity.InstanceName(), instance);
}

void TestHostlinkFormat::applicationTitle_data()
{
    QTest::addColumn<std::string>("exeName");
    QTest::addColumn<std::string>("title");
    QTest::newRow("capitals") << std::string("C:\\Books\\DEMO.EXE") << std::string("Demo");
    QTest::newRow("linux") << std::string("/books/tintara") << std::string("Tintara");
    QTest::newRow("two dots") << std::string("/x/my.app.bin") << std::string("My");
    QTest::newRow("underscore") << std::string("/x/demo_CLIENT") << std::string("Demo_client");
    QTest::newRow("leading dot") << std::string("/x/.hidden") << std::string();
}

void TestHostlinkFormat::applicationTitle()
{
    QFETCH(std::string, exeName);
    QFETCH(std::string, title);
    QCOMPARE(ApplicationTitleOf(exeName), title);
}

void TestHostlinkFormat::dayNumber_data()
{
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("day");
    QTest::addColumn<int>("number");
    QTest::newRow("year 1") << 1 << 1 << 1 << 1;
    QTest::newRow("1899-12-30") << 1899 << 12 << 30 << 693594;
    QTest::newRow("2000-01-01") << 2000 << 1 << 1 << 730120;
    QTest::newRow("2000-03-01 after a leap day") << 2000 << 3 << 1 << 730180;
}

void TestHostlinkFormat::dayNumber()
{
    QFETCH(int, year);
    QFETCH(int, month);
    QFETCH(int, day);
    QFETCH(int, number);
    QCOMPARE(DayNumber(year, unsigned(month), unsigned(day)), number);
}

void TestHostlinkFormat::stampOfTimeOfDay()
{
    std::tm local{};
    local.tm_year = 100;
    local.tm_mon = 0;
    local.tm_mday = 1;
    QCOMPARE(StampFrom(local, 0).Time, 0);
    QCOMPARE(StampFrom(local, 0).Date, 730120);
    local.tm_hour = 23;
    local.tm_min = 59;
    local.tm_sec = 59;
    QCOMPARE(StampFrom(local, 999).Time, 86399999);
}

void TestHostlinkFormat::currentStampIsToday()
{
    const QDateTime before = QDateTime::currentDateTime();
    const MessageStamp stamp = CurrentStamp();
    const QDateTime after = QDateTime::currentDateTime();
    QVERIFY(stamp.Time >= 0 && stamp.Time < 86400000);
    // Across midnight the two readings differ; the stamp matches one of them.
    const qint64 day = QDate(1, 1, 1).daysTo(before.date()) + 1;
    QVERIFY(stamp.Date == day || stamp.Date == day + before.date().daysTo(after.date()));
    if (before.date() == after.date()) {
        QVERIFY(stamp.Time >= before.time().msecsSinceStartOfDay());
        QVERIFY(stamp.Time <= after.time().msecsSinceStartOfDay());
    }
}

void TestHostlinkFormat::paramsFromText_data()
{
    QTest::addColumn<std::string>("text");
    QTest::addColumn<Strings>("params");
    QTest::newRow("empty") << std::string() << Strings{};
    QTest::newRow("cr lf") << std::string("a\r\nb\r\n") << Strings{"a", "b"};
    QTest::newRow("lf") << std::string("a\nb\n") << Strings{"a", "b"};
    QTest::newRow("cr") << std::string("a\rb") << Strings{"a", "b"};
    QTest::newRow("last line open") << std::string("a\r\nb") << Strings{"a", "b"};
    QTest::newRow("empty lines") << std::string("a\r\n\r\n\nb") << Strings{"a", "", "", "b"};
    QTest::newRow("lf cr is two ends") << std::string("a\n\rb") << Strings{"a", "", "b"};
    QTest::newRow("zero ends the list") << std::string("a\r\nb\0c\r\n", 8) << Strings{"a", "b"};
    QTest::newRow("zero first") << std::string("\0a", 2) << Strings{};
    QTest::newRow("single line end") << std::string("\r\n") << Strings{""};
}

void TestHostlinkFormat::paramsFromText()
{
    QFETCH(std::string, text);
    QFETCH(Strings, params);
    QCOMPARE(ParamsFromText(text), params);
}

void TestHostlinkFormat::paramsTextRoundTrip()
{
    const Strings params{"/opt/demo", "", "two words", "\xe4"};
    QCOMPARE(ParamsToText(params), std::string("/opt/demo\r\n\r\ntwo words\r\n\xe4\r\n"));
    QCOMPARE(ParamsFromText(ParamsToText(params)), params);
    QCOMPARE(ParamsToText({}), std::string());
}

void TestHostlinkFormat::commandLineFilter()
{
    const Strings commandLine{"/opt/demo", "/serverhandle=AbC", "/SERVERHANDLE=x",
                              "a",         "/serverhandle",     "x/serverhandle=1"};
    QCOMPARE(ParamsFromCommandLine(commandLine),
             (Strings{"/opt/demo", "/SERVERHANDLE=x", "a", "/serverhandle", "x/serverhandle=1"}));
}

void TestHostlinkFormat::serverSuffix_data()
{
    QTest::addColumn<std::string>("registry");
    QTest::addColumn<Strings>("commandLine");
    QTest::addColumn<std::string>("suffix");
    QTest::newRow("default") << std::string("00000000") << Strings{"/p"} << std::string("00000000");
    QTest::newRow("no registry") << std::string() << Strings{"/p"} << std::string();
    QTest::newRow("registry wins")
        << std::string("ABCD1234") << Strings{"/p", "/serverhandle=99"} << std::string("ABCD1234");
    QTest::newRow("argument lowered")
        << std::string("00000000") << Strings{"/p", "/SERVERHANDLE=AbC"} << std::string("abc");
    QTest::newRow("later wins") << std::string()
                                << Strings{"/p", "/serverhandle=one", "x", "/serverhandle=Two"}
                                << std::string("two");
    QTest::newRow("program path ignored")
        << std::string() << Strings{"/serverhandle=zz"} << std::string();
    QTest::newRow("empty rest") << std::string("00000000") << Strings{"/p", "/serverhandle="}
                                << std::string();
}

void TestHostlinkFormat::serverSuffix()
{
    QFETCH(std::string, registry);
    QFETCH(Strings, commandLine);
    QFETCH(std::string, suffix);
    QCOMPARE(ServerSuffixFrom(registry, commandLine), suffix);
}

void TestHostlinkFormat::withExtension_data()
{
    QTest::addColumn<std::string>("path");
    QTest::addColumn<std::string>("itl");
    QTest::newRow("linux") << std::string("/books/tintara") << std::string("/books/tintara.itl");
    QTest::newRow("windows") << std::string("C:\\Books\\demo.exe")
                             << std::string("C:\\Books\\demo.itl");
    QTest::newRow("dot in directory") << std::string("/a.b/demo") << std::string("/a.b/demo.itl");
    QTest::newRow("two dots") << std::string("/x/demo.v2.bin") << std::string("/x/demo.v2.itl");
}

void TestHostlinkFormat::withExtension()
{
    QFETCH(std::string, path);
    QFETCH(std::string, itl);
    QCOMPARE(platform::withExtension(path, std::string(".itl")), itl);
}

QTEST_GUILESS_MAIN(TestHostlinkFormat)
#include "tst_hostlink_format.moc"
