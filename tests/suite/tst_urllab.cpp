#include "platform/Shell.h"
#include "suite/UrlLab.h"
#include "suite/VantixError.h"

#include <QApplication>
#include <QDir>
#include <QEnterEvent>
#include <QFile>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

namespace {

struct ShellCall
{
    QString operation;
    QString file;
    QString parameters;
};

// Stands in for the shell while it lives, so that no browser or program starts.
class ShellRecorder
{
public:
    explicit ShellRecorder(int result = 42)
        : m_result(result),
          m_previous(platform::setShellHandler(
              [this](const QString &operation, const QString &file, const QString &parameters) {
                  calls.append({operation, file, parameters});
                  if (onCall)
                      onCall();
                  return m_result;
              }))
    {}
    ~ShellRecorder() { platform::setShellHandler(m_previous); }
    ShellRecorder(const ShellRecorder &) = delete;
    ShellRecorder &operator=(const ShellRecorder &) = delete;

    QList<ShellCall> calls;
    std::function<void()> onCall;

private:
    int m_result;
    platform::ShellHandler m_previous;
};

QFont pixelFont(int pixels, bool bold, bool underline)
{
    QFont font(QStringLiteral("Courier New"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    font.setUnderline(underline);
    return font;
}

bool writeFile(const QString &path, const QByteArray &content, QFile::Permissions permissions)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size() &&
           file.setPermissions(permissions);
}

constexpr QFile::Permissions ReadWrite = QFile::ReadOwner | QFile::WriteOwner;
constexpr QFile::Permissions Executable = ReadWrite | QFile::ExeOwner;

// Closes the message box that the guarded click shows, keeping its text.
class MessageBoxCloser
{
public:
    MessageBoxCloser()
    {
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                text = box->text();
                box->reject();
            }
        });
        m_timer.start();
    }
    QString text;

private:
    QTimer m_timer;
};

} // namespace

class TestUrlLab : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void storesWithoutOuterSpaces_data();
    void storesWithoutOuterSpaces();

    void opensWebAddress_data();
    void opensWebAddress();
    void showsBusyCursorWhileOpening_data();
    void showsBusyCursorWhileOpening();
    void labelClosedWhileOpening();
    void emptyTargetOnlyRaisesOnClick();

    void startsExecutable_data();
    void startsExecutable();
    void rejectsInvalidTarget_data();
    void rejectsInvalidTarget();
    void reportsShellFailure_data();
    void reportsShellFailure();

    void personsClickOpensTarget();
    void personsClickShowsErrorAndGoesOn();

    void switchesFontOnEnterAndLeave();
    void disabledLabelKeepsItsFont();
    void newFontActiveShowsOnNextEnter();

    void realShellStartsProgramWithParameters();
    void realShellReportsFailures_data();
    void realShellReportsFailures();

private:
    std::unique_ptr<TUrlLab> makeLabel(const QString &url = QString()) const;
    void enter(TUrlLab &label) const;
    void leave(TUrlLab &label) const;

    QTemporaryDir m_dir;
    QFont m_normal = pixelFont(13, true, false);
    QFont m_active = pixelFont(13, true, true);
};

void TestUrlLab::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("x.exe")));
    QVERIFY(writeFile(m_dir.filePath(QStringLiteral("x.exe/plain")), "data", ReadWrite));
    QVERIFY(writeFile(m_dir.filePath(QStringLiteral("x.exe/tool")), "data", Executable));
    QVERIFY(writeFile(m_dir.filePath(QStringLiteral("notes")), "data", ReadWrite));
}

std::unique_ptr<TUrlLab> TestUrlLab::makeLabel(const QString &url) const
{
    auto label = std::make_unique<TUrlLab>();
    label->setObjectName(QStringLiteral("UrlLabTest"));
    label->setText(QStringLiteral("Link & more"));
    label->setFont(m_normal);
    label->setFontActive(m_active);
    label->setFontActiveColor(Qt::red);
    QPalette colours = label->palette();
    colours.setColor(QPalette::WindowText, Qt::blue);
    label->setPalette(colours);
    label->setUrl(url);
    label->Loaded();
    return label;
}

void TestUrlLab::enter(TUrlLab &label) const
{
    QEnterEvent event(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QApplication::sendEvent(&label, &event);
}

void TestUrlLab::leave(TUrlLab &label) const
{
    QEvent event(QEvent::Leave);
    QApplication::sendEvent(&label, &event);
}

void TestUrlLab::storesWithoutOuterSpaces_data()
{
    QTest::addColumn<QString>("given");
    QTest::addColumn<QString>("stored");
    QTest::newRow("both ends") << "  http://host/  "
                               << "http://host/";
    QTest::newRow("inner spaces stay") << " -a  b "
                                       << "-a  b";
    QTest::newRow("tabs stay") << "\t-x \t"
                               << "\t-x \t";
    QTest::newRow("only spaces") << "    "
                                 << "";
    QTest::newRow("untouched") << "C:\\a b.exe"
                               << "C:\\a b.exe";
}

void TestUrlLab::storesWithoutOuterSpaces()
{
    QFETCH(QString, given);
    QFETCH(QString, stored);
    for (const char *property : {"URL", "TaskParams"}) {
        TUrlLab label;
        QVERIFY(label.setProperty(property, given));
        QCOMPARE(label.property(property).toString(), stored);
    }
}

void TestUrlLab::opensWebAddress_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("opened");
    QTest::addColumn<int>("shellResult");
    QTest::newRow("lower case") << "http://example.com/a"
                                << "http://example.com/a" << 42;
    QTest::newRow("capitals unchanged") << "HTTP://Example.COM/Page"
                                        << "HTTP://Example.COM/Page" << 42;
    QTest::newRow("blanks removed") << "  http://host/x  "
                                    << "http://host/x" << 42;
    QTest::newRow("failure not reported") << "http://host/"
                                          << "http://host/" << 31;
}

void TestUrlLab::opensWebAddress()
{
    QFETCH(QString, url);
    QFETCH(QString, opened);
    QFETCH(int, shellResult);
    ShellRecorder shell(shellResult);
    auto label = makeLabel(url);
    label->setTaskParams(QStringLiteral("-ignored"));
    QSignalSpy clicked(label.get(), &TUrlLab::OnClick);

    label->Click();

    QCOMPARE(shell.calls.size(), 1);
    QCOMPARE(shell.calls[0].operation, QString());
    QCOMPARE(shell.calls[0].file, opened);
    QCOMPARE(shell.calls[0].parameters, QString());
    QCOMPARE(clicked.size(), 1);
    QCOMPARE(clicked[0][0].value<QObject *>(), label.get());
}

void TestUrlLab::showsBusyCursorWhileOpening_data()
{
    QTest::addColumn<bool>("ownCursor");
    QTest::newRow("inherited cursor") << false;
    QTest::newRow("own cursor") << true;
}

void TestUrlLab::showsBusyCursorWhileOpening()
{
    QFETCH(bool, ownCursor);
    ShellRecorder shell;
    QWidget window; // a top-level widget keeps a cursor attribute once set; a child does not
    auto label = makeLabel(QStringLiteral("http://host/"));
    label->setParent(&window);
    if (ownCursor)
        label->setCursor(Qt::PointingHandCursor);
    bool pendingRan = false;
    QTimer::singleShot(0, label.get(), [&] { pendingRan = true; });
    Qt::CursorShape shapeDuringOpen = Qt::ArrowCursor;
    bool pendingRanBeforeOpen = false;
    shell.onCall = [&] {
        shapeDuringOpen = label->cursor().shape();
        pendingRanBeforeOpen = pendingRan;
    };

    label->Click();

    QCOMPARE(shapeDuringOpen, Qt::BusyCursor);
    QVERIFY(pendingRanBeforeOpen);
    QCOMPARE(label->testAttribute(Qt::WA_SetCursor), ownCursor);
    QCOMPARE(label->cursor().shape(), ownCursor ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

// Pending events run before the browser is asked, and one of them may close the window.
void TestUrlLab::labelClosedWhileOpening()
{
    ShellRecorder shell;
    auto *label = makeLabel(QStringLiteral("http://host/")).release();
    QSignalSpy clicked(label, &TUrlLab::OnClick);
    QTimer::singleShot(0, label, [label] { delete label; });

    label->Click();

    QCOMPARE(shell.calls.size(), 1);
    QCOMPARE(shell.calls[0].file, QStringLiteral("http://host/"));
    QCOMPARE(clicked.size(), 0);
}

void TestUrlLab::emptyTargetOnlyRaisesOnClick()
{
    ShellRecorder shell;
    auto label = makeLabel();
    QSignalSpy clicked(label.get(), &TUrlLab::OnClick);
    label->Click();
    QCOMPARE(clicked.size(), 1);
    QVERIFY(shell.calls.isEmpty());
}

void TestUrlLab::startsExecutable_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("params");
    QTest::addColumn<QString>("passed");
    QTest::newRow("capital extension") << "C:\\Programs\\Demo.EXE"
                                       << " -a  b "
                                       << "-a  b";
    QTest::newRow("relative name") << "tool.exe"
                                   << ""
                                   << "";
    QTest::newRow("tabs kept") << "/opt/x/run.Exe"
                               << "\t-x\t"
                               << "\t-x\t";
    QTest::newRow("executable file without extension")
        << m_dir.filePath(QStringLiteral("x.exe/tool")) << "1 2"
        << "1 2";
}

void TestUrlLab::startsExecutable()
{
    QFETCH(QString, url);
    QFETCH(QString, params);
    QFETCH(QString, passed);
    ShellRecorder shell;
    auto label = makeLabel(url);
    label->setTaskParams(params);
    QSignalSpy clicked(label.get(), &TUrlLab::OnClick);
    Qt::CursorShape shapeDuringStart = Qt::BusyCursor;
    shell.onCall = [&] { shapeDuringStart = label->cursor().shape(); };

    label->Click();

    QCOMPARE(shell.calls.size(), 1);
    QCOMPARE(shell.calls[0].operation, QStringLiteral("open"));
    QCOMPARE(shell.calls[0].file, url);
    QCOMPARE(shell.calls[0].parameters, passed);
    QCOMPARE(shapeDuringStart, Qt::ArrowCursor);
    QCOMPARE(clicked.size(), 1);
}

void TestUrlLab::rejectsInvalidTarget_data()
{
    QTest::addColumn<QString>("url");
    QTest::newRow("https") << "https://example.com/";
    QTest::newRow("mailto") << "mailto:someone@example.com";
    QTest::newRow("bare host") << "www.example.com";
    QTest::newRow("http without slashes") << "http:example.com";
    QTest::newRow("backslash after dot") << "C:\\demo.exe\\tool";
    QTest::newRow("colon after dot") << "demo.exe:stream";
    QTest::newRow("directory named .exe") << m_dir.filePath(QStringLiteral("x.exe/"));
    QTest::newRow("plain file in .exe directory") << m_dir.filePath(QStringLiteral("x.exe/plain"));
    QTest::newRow("file without execute permission") << m_dir.filePath(QStringLiteral("notes"));
    QTest::newRow("missing file without extension") << m_dir.filePath(QStringLiteral("gone"));
}

void TestUrlLab::rejectsInvalidTarget()
{
    QFETCH(QString, url);
    ShellRecorder shell;
    auto label = makeLabel(url);
    QSignalSpy clicked(label.get(), &TUrlLab::OnClick);
    try {
        label->Click();
        QFAIL("no error raised");
    } catch (const EVantixURLLabError &error) {
        QCOMPARE(QString::fromLatin1(error.what()),
                 QStringLiteral("Component \"UrlLabTest\": URL of URLLab is invalid"));
    }
    QVERIFY(shell.calls.isEmpty());
    QCOMPARE(clicked.size(), 0);
    QCOMPARE(label->url(), url);
}

void TestUrlLab::reportsShellFailure_data()
{
    QTest::addColumn<int>("result");
    QTest::addColumn<bool>("fails");
    QTest::newRow("0") << 0 << true;
    QTest::newRow("file not found") << 2 << true;
    QTest::newRow("access denied") << 5 << true;
    QTest::newRow("32") << 32 << true;
    QTest::newRow("negative") << -2 << true;
    QTest::newRow("-1 counts as started") << -1 << false;
    QTest::newRow("33") << 33 << false;
}

void TestUrlLab::reportsShellFailure()
{
    QFETCH(int, result);
    QFETCH(bool, fails);
    ShellRecorder shell(result);
    auto label = makeLabel(QStringLiteral("C:\\Demo.exe"));
    QSignalSpy clicked(label.get(), &TUrlLab::OnClick);
    QString message;
    try {
        label->Click();
    } catch (const EVantixError &error) {
        message = QString::fromLatin1(error.what());
    }
    const QString expected =
        fails ? QStringLiteral("Component \"UrlLabTest\": Cannot start executable (errnum=%1)")
                    .arg(result)
              : QString();
    QCOMPARE(message, expected);
    QCOMPARE(clicked.size(), fails ? 0 : 1);
}

void TestUrlLab::personsClickOpensTarget()
{
    ShellRecorder shell;
    QWidget window;
    auto *label = new TUrlLab(&window);
    label->setGeometry(10, 10, 200, 20);
    label->setUrl(QStringLiteral("http://host/"));
    QSignalSpy clicked(label, &TUrlLab::OnClick);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    QTest::mouseClick(label, Qt::RightButton);
    QTest::mousePress(label, Qt::LeftButton);
    QTest::mouseRelease(label, Qt::LeftButton, {}, QPoint(500, 5));
    QCOMPARE(clicked.size(), 0);

    QTest::mouseClick(label, Qt::LeftButton);
    QCOMPARE(clicked.size(), 1);
    QCOMPARE(shell.calls.size(), 1);

    // Through the window, so that the system's press, release, double click, release arrive.
    QTest::mouseDClick(window.windowHandle(), Qt::LeftButton, {}, label->geometry().center());
    QCOMPARE(clicked.size(), 2);
    QCOMPARE(shell.calls.size(), 2);
}

void TestUrlLab::personsClickShowsErrorAndGoesOn()
{
    ShellRecorder shell;
    QWidget window;
    auto *label = new TUrlLab(&window);
    label->setObjectName(QStringLiteral("UrlLabHomepage"));
    label->setGeometry(10, 10, 200, 20);
    label->setUrl(QStringLiteral("HomePageURL"));
    QSignalSpy clicked(label, &TUrlLab::OnClick);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    MessageBoxCloser closer;

    QTest::mouseClick(label, Qt::LeftButton);

    QCOMPARE(closer.text, QStringLiteral("Component \"UrlLabHomepage\": URL of URLLab is invalid"));
    QCOMPARE(clicked.size(), 0);
    QVERIFY(shell.calls.isEmpty());
    QCOMPARE(label->url(), QStringLiteral("HomePageURL"));
}

void TestUrlLab::switchesFontOnEnterAndLeave()
{
    auto label = makeLabel();
    QSignalSpy entered(label.get(), &TUrlLab::OnMouseEnter);
    QSignalSpy left(label.get(), &TUrlLab::OnMouseLeave);

    enter(*label);
    QCOMPARE(label->font(), m_active);
    QCOMPARE(label->palette().color(QPalette::WindowText), QColor(Qt::red));
    QCOMPARE(entered.size(), 1);

    leave(*label);
    QCOMPARE(label->font(), m_normal);
    QCOMPARE(label->palette().color(QPalette::WindowText), QColor(Qt::blue));
    QCOMPARE(left.size(), 1);
}

void TestUrlLab::disabledLabelKeepsItsFont()
{
    auto label = makeLabel();
    label->setEnabled(false);
    enter(*label);
    QCOMPARE(label->font(), m_normal);
    leave(*label);
    QCOMPARE(label->font(), m_normal);

    label->setEnabled(true);
    enter(*label);
    label->setEnabled(false);
    leave(*label);
    QCOMPARE(label->font(), m_active);
    QCOMPARE(label->palette().color(QPalette::WindowText), QColor(Qt::red));

    label->setEnabled(true);
    enter(*label);
    leave(*label);
    QCOMPARE(label->font(), m_normal);
}

void TestUrlLab::newFontActiveShowsOnNextEnter()
{
    auto label = makeLabel();
    enter(*label);
    QFont bigger = pixelFont(20, false, true);
    label->setFontActive(bigger);
    bigger.setPixelSize(30); // the label keeps its own copy
    QCOMPARE(label->font(), m_active);

    leave(*label);
    QCOMPARE(label->font(), m_normal);
    enter(*label);
    QCOMPARE(label->font(), pixelFont(20, false, true));
}

void TestUrlLab::realShellStartsProgramWithParameters()
{
    const QString output = m_dir.filePath(QStringLiteral("args.txt"));
    const QString script = m_dir.filePath(QStringLiteral("record-args"));
    const QByteArray body = "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" + output.toUtf8() + ".tmp'\n" +
                            "mv '" + output.toUtf8() + ".tmp' '" + output.toUtf8() + "'\n";
    QVERIFY(writeFile(script, body, Executable));

    const int result = platform::defaultShellExecute(QStringLiteral("open"), script,
                                                     QStringLiteral("one \"two three\""));

    QVERIFY2(result > 32, qPrintable(QString::number(result)));
    QTRY_VERIFY(QFile::exists(output));
    QFile written(output);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(written.readAll(), QByteArray("one\ntwo three\n"));
}

void TestUrlLab::realShellReportsFailures_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("result");
    QTest::newRow("missing file") << "open" << m_dir.filePath(QStringLiteral("gone.exe")) << 2;
    QTest::newRow("missing directory")
        << "open" << m_dir.filePath(QStringLiteral("notes/tool")) << 3;
    QTest::newRow("no execute permission")
        << "open" << m_dir.filePath(QStringLiteral("notes")) << 5;
    QTest::newRow("directory") << "open" << m_dir.filePath(QStringLiteral("x.exe")) << 5;
    QTest::newRow("unknown operation")
        << "print" << m_dir.filePath(QStringLiteral("x.exe/tool")) << 31;
    QTest::newRow("embedded NUL") << "open"
                                  << m_dir.filePath(QStringLiteral("x.exe/tool")) + QChar(0) + "x"
                                  << 2;
}

void TestUrlLab::realShellReportsFailures()
{
    QFETCH(QString, operation);
    QFETCH(QString, file);
    QFETCH(int, result);
    QCOMPARE(platform::defaultShellExecute(operation, file, QString()), result);
}

QTEST_MAIN(TestUrlLab)
#include "tst_urllab.moc"
