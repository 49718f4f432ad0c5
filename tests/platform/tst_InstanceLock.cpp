#include "PeerProcess.h"
#include "platform/Exception.h"
#include "platform/InstanceLock.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

using namespace platform;

class InstanceLockTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void heldLockRefusesEveryOtherOpening();
    void releasedWhenTheHolderEnds();
    void releasedWhenTheHolderIsKilled();
    void ofTwentySimultaneousStartsExactlyOneWins();
    void namesBecomeDistinctFilesInTheBusDirectory_data();
    void namesBecomeDistinctFilesInTheBusDirectory();
    void unusableDirectoryIsAnError();

private:
    std::unique_ptr<QTemporaryDir> busDir_;
};

void InstanceLockTest::init()
{
    busDir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(busDir_->isValid());
    qputenv("TORVANE_BUS_DIR", QFile::encodeName(busDir_->path()));
}

void InstanceLockTest::heldLockRefusesEveryOtherOpening()
{
    auto lock = InstanceLock::tryAcquire("MN_tintara");
    QVERIFY(lock != nullptr);
    QVERIFY(lock->descriptor() > 0);
    QVERIFY(::fcntl(lock->descriptor(), F_GETFD) & FD_CLOEXEC); // programs we start lack it
    QCOMPARE(InstanceLock::tryAcquire("MN_tintara"), nullptr);  // another opening, same process
    QVERIFY(InstanceLock::tryAcquire("MN_other") != nullptr);

    PeerProcess other({"lock", "MN_tintara"});
    QVERIFY(!other.waitForLine("WAITING").isNull());
    other.write("go\n");
    QVERIFY(!other.waitForLine("BUSY").isNull());

    lock.reset();
    QVERIFY(InstanceLock::tryAcquire("MN_tintara") != nullptr);
}

void InstanceLockTest::releasedWhenTheHolderEnds()
{
    PeerProcess holder({"lock", "MN_demo"});
    QVERIFY(!holder.waitForLine("WAITING").isNull());
    holder.write("go\n");
    QVERIFY(!holder.waitForLine("LOCKED").isNull());
    QCOMPARE(InstanceLock::tryAcquire("MN_demo"), nullptr);
    holder.closeInput();
    QVERIFY(holder.waitForExit());
    QVERIFY(InstanceLock::tryAcquire("MN_demo") != nullptr);
}

void InstanceLockTest::releasedWhenTheHolderIsKilled()
{
    PeerProcess holder({"lock", "MN_demo"});
    QVERIFY(!holder.waitForLine("WAITING").isNull());
    holder.write("go\n");
    QVERIFY(!holder.waitForLine("LOCKED").isNull());
    holder.killHard();
    QVERIFY(InstanceLock::tryAcquire("MN_demo") != nullptr);
}

void InstanceLockTest::ofTwentySimultaneousStartsExactlyOneWins()
{
    std::vector<std::unique_ptr<PeerProcess>> starts;
    for (int i = 0; i < 20; ++i)
        starts.push_back(std::make_unique<PeerProcess>(QStringList{"lock", "MN_race"}));
    for (const auto &start : starts)
        QVERIFY(!start->waitForLine("WAITING").isNull());
    for (const auto &start : starts)
        start->write("go\n");
    int locked = 0;
    int busy = 0;
    for (const auto &start : starts) {
        const QString outcome = start->waitForLine("");
        locked += outcome == "LOCKED";
        busy += outcome == "BUSY";
    }
    QCOMPARE(locked, 1);
    QCOMPARE(busy, 19);
}

void InstanceLockTest::namesBecomeDistinctFilesInTheBusDirectory_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QByteArray>("fileName");
    QTest::newRow("plain") << QByteArray("MN_tintara") << QByteArray("MN_tintara.lock");
    QTest::newRow("slash") << QByteArray("MN_a/b") << QByteArray("MN_a%2Fb.lock");
    QTest::newRow("escape-like") << QByteArray("MN_a%2Fb") << QByteArray("MN_a%252Fb.lock");
    QTest::newRow("dot-dot") << QByteArray("../x") << QByteArray("..%2Fx.lock");
    QTest::newRow("cp1252") << QByteArray("MN_\xC4rger") << QByteArray("MN_\xC4rger.lock");
    QTest::newRow("empty") << QByteArray() << QByteArray(".lock");
}

void InstanceLockTest::namesBecomeDistinctFilesInTheBusDirectory()
{
    QFETCH(QByteArray, name);
    QFETCH(QByteArray, fileName);
    const std::string path = InstanceLock::lockFilePath(name.toStdString());
    QCOMPARE(QByteArray::fromStdString(path), QFile::encodeName(busDir_->path()) + "/" + fileName);
    QVERIFY(InstanceLock::tryAcquire(name.toStdString()) != nullptr);
    QCOMPARE(::access(path.c_str(), F_OK), 0);
    ::unlink(path.c_str()); // a name that is not UTF-8 defeats QTemporaryDir's clean-up
}

void InstanceLockTest::unusableDirectoryIsAnError()
{
    qputenv("TORVANE_BUS_DIR", QFile::encodeName(busDir_->filePath("missing/deeper")));
    QVERIFY_THROWS_EXCEPTION(Exception, InstanceLock::tryAcquire("MN_x"));
}

QTEST_GUILESS_MAIN(InstanceLockTest)
#include "tst_InstanceLock.moc"
