#include "platform/BusFrame.h"
#include "platform/LastError.h"
#include "platform/WindowDescriptor.h"

#include <QTest>
#include <cerrno>

using namespace platform;

class BusFormatsTest : public QObject
{
    Q_OBJECT

private slots:
    void frameArrivesInPiecesOfAnySize_data();
    void frameArrivesInPiecesOfAnySize();
    void blockSizeLimit_data();
    void blockSizeLimit();
    void descriptorRoundTrip();
    void malformedDescriptors_data();
    void malformedDescriptors();
    void lastErrorText();
};

void BusFormatsTest::frameArrivesInPiecesOfAnySize_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<int>("piece");
    QTest::newRow("empty block, whole") << QByteArray() << 1000;
    QTest::newRow("byte by byte") << QByteArray("ab\0cd", 5) << 1;
    QTest::newRow("pieces of 3") << QByteArray("payload") << 3;
    QTest::newRow("large, odd pieces") << QByteArray(3 * 1024 * 1024 + 5, 'z') << 65537;
}

void BusFormatsTest::frameArrivesInPiecesOfAnySize()
{
    QFETCH(QByteArray, data);
    QFETCH(int, piece);
    const QByteArray frame = encodeBusFrame({WM_COPYDATA, 0x01020304, 0xA0B0C0D0, 0}, data);
    QByteArray size(4, '\0');
    for (int i = 0; i < 4; ++i)
        size[i] = char(quint32(data.size()) >> (8 * i));
    QCOMPARE(frame.left(16), QByteArray("\x4A\0\0\0\x04\x03\x02\x01\xD0\xC0\xB0\xA0", 12) + size);
    const QByteArray trailing = frame + "next frame";
    BusFrameReader reader;
    qsizetype at = 0;
    while (reader.state() != BusFrameReader::State::Complete && at < trailing.size()) {
        const qsizetype n = std::min<qsizetype>(piece, trailing.size() - at);
        at += qsizetype(reader.feed(trailing.constData() + at, std::size_t(n)));
    }
    QCOMPARE(at, frame.size()); // nothing past the frame is taken
    QCOMPARE(reader.header().message, WM_COPYDATA);
    QCOMPARE(reader.header().wParam, 0x01020304u);
    QCOMPARE(reader.header().dwData, 0xA0B0C0D0u);
    QCOMPARE(reader.takeData(), data);
}

void BusFormatsTest::blockSizeLimit_data()
{
    QTest::addColumn<quint32>("cbData");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("64 MiB") << busMaxDataSize << true;
    QTest::newRow("64 MiB + 1") << busMaxDataSize + 1 << false;
    QTest::newRow("4 GiB - 1") << 0xFFFFFFFFu << false;
}

// The announced size alone never makes the reader allocate the block.
void BusFormatsTest::blockSizeLimit()
{
    QFETCH(quint32, cbData);
    QFETCH(bool, accepted);
    char header[16] = {0x4A};
    putU32(header + 12, cbData);
    BusFrameReader reader;
    QCOMPARE(reader.feed(header, sizeof(header)), sizeof(header));
    std::size_t room = 0;
    char *area = reader.space(room);
    if (accepted) {
        QCOMPARE(reader.state(), BusFrameReader::State::Body);
        QVERIFY(area != nullptr);
        QVERIFY(room > 0 && room <= 1024 * 1024);
    } else {
        QCOMPARE(reader.state(), BusFrameReader::State::TooLarge);
        QVERIFY(area == nullptr);
        QCOMPARE(room, std::size_t(0));
        QCOMPARE(reader.feed("more", 4), std::size_t(0));
    }
}

void BusFormatsTest::descriptorRoundTrip()
{
    const WindowDescriptor descriptor{"TkdbServer", std::string("Men\0taro\xC4", 9), 4242};
    const QByteArray bytes = encodeWindowDescriptor(descriptor);
    QCOMPARE(bytes, QByteArray("\x0A\0\0\0TkdbServer\x09\0\0\0Men\0taro\xC4\x92\x10\0\0", 31));
    const auto parsed = parseWindowDescriptor(bytes);
    QVERIFY(parsed.has_value());
    QCOMPARE(parsed->className, descriptor.className);
    QCOMPARE(parsed->windowName, descriptor.windowName);
    QCOMPARE(parsed->processId, 4242u);
}

void BusFormatsTest::malformedDescriptors_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray good = encodeWindowDescriptor({"C", "W", 1});
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("cut in the pid") << good.left(good.size() - 1);
    QTest::newRow("trailing byte") << good + 'x';
    QTest::newRow("length past the end") << QByteArray("\xFF\xFF\xFF\xFF"
                                                       "C",
                                                       5);
    QTest::newRow("length just past the end") << QByteArray("\x02\0\0\0C", 5);
}

void BusFormatsTest::malformedDescriptors()
{
    QFETCH(QByteArray, bytes);
    QVERIFY(!parseWindowDescriptor(bytes).has_value());
}

void BusFormatsTest::lastErrorText()
{
    errno = ENOENT;
    QCOMPARE(LastErrorText(), std::string("No such file or directory"));
    QCOMPARE(errno, ENOENT); // asking does not disturb it
    QVERIFY(!errorText(123456).empty());
}

QTEST_GUILESS_MAIN(BusFormatsTest)
#include "tst_BusFormats.moc"
