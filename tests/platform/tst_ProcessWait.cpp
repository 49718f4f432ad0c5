#include "platform/ProcessWait.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <chrono>
#include <climits>
#include <csignal>
#include <future>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace platform;

class ProcessWaitTest : public QObject
{
    Q_OBJECT

private slots:
    void childExitCode_data();
    void childExitCode();
    void otherProcessGivesZero();
    void processThatCannotBeOpened_data();
    void processThatCannotBeOpened();
};

void ProcessWaitTest::childExitCode_data()
{
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<int>("signal");
    QTest::addColumn<int>("expected");
    QTest::newRow("zero") << 0 << 0 << 0;
    QTest::newRow("seven") << 7 << 0 << 7;
    QTest::newRow("255") << 255 << 0 << 255;
    QTest::newRow("killed") << 0 << int(SIGKILL) << 128 + SIGKILL;
}

void ProcessWaitTest::childExitCode()
{
    QFETCH(int, exitCode);
    QFETCH(int, signal);
    QFETCH(int, expected);
    const pid_t child = ::fork();
    QVERIFY(child >= 0);
    if (child == 0) {
        if (signal != 0)
            ::raise(signal);
        ::_exit(exitCode);
    }
    QCOMPARE(waitForProcess(child), std::optional<int>(expected));
    QCOMPARE(::waitpid(child, nullptr, WNOHANG), -1); // reaped: no zombie left
}

// A detached process is not our child, so its exit code is not ours to read.
void ProcessWaitTest::otherProcessGivesZero()
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath("gate");
    QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
    qint64 pid = 0;
    QVERIFY(
        QProcess::startDetached("/bin/sh", {"-c", "read line < \"$0\"; exit 9", fifo}, {}, &pid));
    auto waited = std::async(std::launch::async, [pid] { return waitForProcess(pid); });
    // It cannot end before the gate opens, so the wait has to be still waiting.
    QCOMPARE(waited.wait_for(std::chrono::milliseconds(300)), std::future_status::timeout);
    QFile gate(fifo);
    QVERIFY(gate.open(QIODevice::WriteOnly));
    gate.write("go\n");
    gate.close();
    QCOMPARE(waited.get(), std::optional<int>(0));
}

void ProcessWaitTest::processThatCannotBeOpened_data()
{
    QTest::addColumn<qint64>("pid");
    QTest::newRow("zero") << qint64(0);
    QTest::newRow("negative") << qint64(-1);
    QTest::newRow("too large") << qint64(INT_MAX) + 1;
    QTest::newRow("no such process") << qint64(INT_MAX);
}

void ProcessWaitTest::processThatCannotBeOpened()
{
    QFETCH(qint64, pid);
    QCOMPARE(waitForProcess(pid), std::nullopt);
}

QTEST_GUILESS_MAIN(ProcessWaitTest)
#include "tst_ProcessWait.moc"
