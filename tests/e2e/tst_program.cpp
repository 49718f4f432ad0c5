// The whole program: the real tintara and mentaro-server as separate processes on a display
// and a bus of their own, seen and driven from outside.
#include "ProgramUnderTest.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString kTintara = QStringLiteral(TINTARA_BINARY);
const QString kServer = QStringLiteral(MENTARO_SERVER_BINARY);

// The mix panel's middle, in the main window's client coordinates.
const QPoint kMixPanel(220, 400);

QColor pixelAt(const QImage &shot, QPoint at)
{
    return shot.isNull() ? QColor() : QColor(shot.pixel(at));
}

} // namespace

class TestProgram : public QObject
{
    Q_OBJECT

    // Starts tintara, closes its About box with a key and gives its main window (0 when it
    // did not come up).
    quint64 startPastTheAboutBox(Desktop &desktop, QProcess **process = nullptr)
    {
        QProcess *started = desktop.start(kTintara);
        if (process != nullptr)
            *process = started;
        const quint64 about = desktop.waitForWindow(QStringLiteral("About"));
        if (about == 0)
            return 0;
        desktop.key(about, QStringLiteral("Return"));
        return desktop.waitForWindow(QStringLiteral("Tintara"));
    }

private Q_SLOTS:
    void initTestCase()
    {
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            QSKIP("needs a display: run under xvfb-run");
    }

    void aboutBoxComesFirst_data()
    {
        QTest::addColumn<QString>("key");
        QTest::newRow("escape") << "Escape";
        QTest::newRow("enter") << "Return";
    }

    void aboutBoxComesFirst()
    {
        QFETCH(QString, key);
        Desktop desktop;
        QVERIFY(desktop.isValid());
        QProcess *tintara = desktop.start(kTintara);
        const quint64 about = desktop.waitForWindow(QStringLiteral("About"));
        QVERIFY(about != 0);
        QVERIFY(!desktop.isWindowShown(QStringLiteral("Tintara")));
        desktop.key(about, key);
        const quint64 main = desktop.waitForWindow(QStringLiteral("Tintara"));
        QVERIFY(main != 0);
        QVERIFY(!desktop.isWindowShown(QStringLiteral("About")));

        // The Exit button ends the program normally.
        desktop.click(main, 60, 20);
        QVERIFY(tintara->waitForFinished(10000));
        QCOMPARE(tintara->exitStatus(), QProcess::NormalExit);
        QCOMPARE(tintara->exitCode(), 0);
    }

    void keysOnTheBarsChangeTheMixedColour()
    {
        Desktop desktop;
        QVERIFY(desktop.isValid());
        const quint64 main = startPastTheAboutBox(desktop);
        QVERIFY(main != 0);
        QTRY_COMPARE(pixelAt(desktop.screenshot(main), kMixPanel), QColor(128, 128, 128));
        // The red bar has the focus first; Tab moves on to green.
        desktop.key(main, QStringLiteral("End"));
        QTRY_COMPARE(pixelAt(desktop.screenshot(main), kMixPanel), QColor(255, 128, 128));
        desktop.key(main, QStringLiteral("Tab Home"));
        QTRY_COMPARE(pixelAt(desktop.screenshot(main), kMixPanel), QColor(255, 0, 128));
        desktop.key(main, QStringLiteral("Tab Right Right"));
        QTRY_COMPARE(pixelAt(desktop.screenshot(main), kMixPanel), QColor(255, 0, 130));
    }

    void aSecondStartEndsAtOnce()
    {
        Desktop desktop;
        QVERIFY(desktop.isValid());
        QProcess *server =
            desktop.start(kServer, {QStringLiteral("--content"), desktop.busDirectory()});
        QVERIFY(server->waitForReadyRead(10000));
        QProcess *first = nullptr;
        QVERIFY(startPastTheAboutBox(desktop, &first) != 0);

        QProcess *second = desktop.start(kTintara, {QStringLiteral("second")});
        QVERIFY(second->waitForFinished(20000));
        QCOMPARE(second->exitCode(), 0);
        QCOMPARE(first->state(), QProcess::Running);
        QVERIFY(desktop.isWindowShown(QStringLiteral("Tintara")));
        // The program does not use the server, so it never registered; the second start still
        // says goodbye to it when its window is destroyed.
        QByteArray log;
        QTRY_VERIFY((log += server->readAllStandardOutput()).contains("4099 kdbUnregister"));
    }

    void quitNoticeFromTheServer_data()
    {
        QTest::addColumn<bool>("serverDown");
        QTest::newRow("server going down") << true;
        QTest::newRow("asked to end") << false;
    }

    void quitNoticeFromTheServer()
    {
        QFETCH(bool, serverDown);
        Desktop desktop;
        QVERIFY(desktop.isValid());
        QProcess *server = desktop.start(kServer, {"--content", desktop.busDirectory()});
        QVERIFY(server->waitForReadyRead(10000));
        QProcess *tintara = nullptr;
        QVERIFY(startPastTheAboutBox(desktop, &tintara) != 0);

        QStringList quit{"--send-quit", QStringLiteral("pid:%1").arg(tintara->processId())};
        if (serverDown)
            quit << QStringLiteral("--server-down");
        QProcess *sender = desktop.start(kServer, quit);
        QVERIFY(sender->waitForFinished(10000));
        QCOMPARE(sender->exitCode(), 0);
        QVERIFY(tintara->waitForFinished(10000));
        QCOMPARE(tintara->exitCode(), 0);

        // A look-up after the end: once the server has logged it, it has logged whatever the
        // program sent before it ended.
        QProcess *probe = desktop.start(kServer, {"--send-quit", "NoSuchProgram"});
        QVERIFY(probe->waitForFinished(10000));
        QByteArray log;
        QTRY_VERIFY((log += server->readAllStandardOutput()).contains("NoSuchProgram"));
        QCOMPARE(log.contains("4099 kdbUnregister"), !serverDown);
    }

    void languageFileBesideTheExecutable()
    {
        QTemporaryDir books;
        QVERIFY(books.isValid());
        const QString program = books.filePath(QStringLiteral("tintara"));
        QVERIFY(QFile::copy(kTintara, program));
        QFile language(books.filePath(QStringLiteral("tintara.itl")));
        QVERIFY(language.open(QIODevice::WriteOnly));
        language.write("[About]=\xDC"
                       "ber Tintara|$$\r\n[OK]=Gut|$$\r\n");
        language.close();

        Desktop desktop;
        QVERIFY(desktop.isValid());
        desktop.start(program);
        const quint64 about = desktop.waitForWindow(QStringLiteral("\u00DCber Tintara"));
        QVERIFY(about != 0);
        desktop.key(about, QStringLiteral("Escape"));
        QVERIFY(desktop.waitForWindow(QStringLiteral("Tintara")) != 0);
    }
};

QTEST_MAIN(TestProgram)
#include "tst_program.moc"
