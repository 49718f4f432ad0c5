// The start-up as the entry runs it: the language file beside the executable, the icon it
// names, the About box shown first and filled in, and its links.
#include "app/AboutBox.h"
#include "app/mainfrm.h"
#include "hostlink/KdbDemonClient.h"
#include "numlab/NumLab.h"
#include "platform/Application.h"
#include "platform/ExePath.h"
#include "platform/MessageBus.h"
#include "platform/Panel.h"
#include "platform/ScrollBar.h"
#include "suite/UrlLab.h"
#include "suite/VantixError.h"
#include "tests/common/ModalWatcher.h"

#include <QAccessible>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <memory>

namespace {

const QString kEnglishLeadIn =
    QStringLiteral("More information can be found at the following Web sites:");
const QString kGermanLeadIn =
    QStringLiteral("Mehr Informationen finden Sie auf folgenden Webseiten:");

// What the About box showed while it was up.
struct AboutSeen
{
    QString caption, name, version, leadIn, description, ok, homeUrl;
    bool homeVisible = false;
    int suiteTop = -1, simulationsTop = -1, homeTop = -1;
};

QString languageFilePath()
{
    return platform::withExtension(platform::executablePath(), QStringLiteral(".itl"));
}

QString workArea()
{
    return platform::directoryPart(platform::executablePath());
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

// The program as the entry starts it, with every dialog answered by the watcher.
struct Program
{
    explicit Program(ModalWatcher::Callback onDialog) : watcher(std::move(onDialog))
    {
        form = std::make_unique<TForm1>();
        about = std::make_unique<TFrmAbout>();
        form->FrmAbout = about.get();
    }

    ModalWatcher watcher;
    std::unique_ptr<TForm1> form;
    std::unique_ptr<TFrmAbout> about;
};

QString accessibleName(QWidget *widget)
{
    return QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name);
}

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT

    QTemporaryDir m_busDir;
    QStringList m_messages;

    // Starts the program with `language` as its language file (none when null) and returns
    // what its About box showed at start.
    AboutSeen start(const QByteArray &language, std::unique_ptr<Program> &program)
    {
        QFile::remove(languageFilePath());
        if (!language.isNull())
            writeBytes(languageFilePath(), language);
        AboutSeen seen;
        m_messages.clear();
        program = std::make_unique<Program>([&seen, this](QDialog *dialog) {
            if (auto *box = qobject_cast<QMessageBox *>(dialog)) {
                m_messages << box->text();
                return;
            }
            auto *about = qobject_cast<TFrmAbout *>(dialog);
            if (about == nullptr)
                return;
            seen = {about->windowTitle(),          about->LblName->text(),
                    about->LblVersion->text(),     about->LblWebSite->text(),
                    about->LblDescription->text(), about->BButOK->text(),
                    about->UrlLabHomepage->url(),  about->UrlLabHomepage->isVisible(),
                    about->UrlLabVantixSuite->y(), about->UrlLabSimulations->y(),
                    about->UrlLabHomepage->y()};
        });
        program->form->show();
        return seen;
    }

private Q_SLOTS:
    void initTestCase()
    {
        platform::installFontSubstitutions();
        QVERIFY(m_busDir.isValid());
        qputenv("TORVANE_BUS_DIR", m_busDir.path().toLocal8Bit());
    }

    void cleanup() { QFile::remove(languageFilePath()); }

    void withoutALanguageFile()
    {
        std::unique_ptr<Program> program;
        const AboutSeen seen = start(QByteArray(), program);
        QCOMPARE(program->watcher.shown(), 1);
        QCOMPARE(seen.caption, QStringLiteral("About"));
        QCOMPARE(seen.name, QStringLiteral("Tintara"));
        QCOMPARE(seen.version, QStringLiteral("Version 1.0"));
        QCOMPARE(seen.leadIn, kEnglishLeadIn);
        QVERIFY(seen.description.startsWith(QStringLiteral("This program lets you mix")));
        QCOMPARE(seen.ok, QStringLiteral("OK"));
        QVERIFY(!seen.homeVisible);
        QCOMPARE(seen.suiteTop, 16);
        QCOMPARE(seen.simulationsTop, 32);
        QCOMPARE(seen.homeUrl, QStringLiteral("HomePageURL"));
        QVERIFY(m_messages.isEmpty());
        QTRY_VERIFY(program->form->isVisible()); // the main window comes up after the box
        QCOMPARE(program->form->SBExit->text(), QStringLiteral("Exit"));
    }

    void language_data()
    {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<bool>("german");
        QTest::newRow("lgGerman") << QByteArray("lgGerman") << true;
        QTest::newRow("upper case") << QByteArray("LGGERMAN") << true;
        QTest::newRow("lower case") << QByteArray("lggerman") << true;
        QTest::newRow("another language") << QByteArray("lgEnglish") << false;
    }

    void language()
    {
        QFETCH(QByteArray, value);
        QFETCH(bool, german);
        std::unique_ptr<Program> program;
        // Written on the classic desktop: Windows-1252 umlauts and CR LF line ends.
        const QByteArray file = "[$dlglanguage$]=" + value +
                                "|$$\r\n[Exit]=Beenden|$$\r\n[About]=\xDC"
                                "ber|$$\r\n[OK]=Gut|$$\r\n";
        const AboutSeen seen = start(file, program);
        QCOMPARE(seen.leadIn, german ? kGermanLeadIn : kEnglishLeadIn);
        QCOMPARE(seen.description.startsWith(QStringLiteral("Das Programm")), german);
        QCOMPARE(seen.caption, QStringLiteral("\u00DCber"));
        QCOMPARE(seen.ok, QStringLiteral("Gut"));
        QCOMPARE(program->form->SBExit->text(), QStringLiteral("Beenden"));
        QCOMPARE(program->form->SBAbout->text(), QStringLiteral("\u00DCber"));
    }

    void homePageLink()
    {
        std::unique_ptr<Program> program;
        AboutSeen seen =
            start("[HomePage]=Our book|$$[HomePageURL]=http://book.example/|$$", program);
        QVERIFY(seen.homeVisible);
        QCOMPARE(seen.suiteTop, 8);
        QCOMPARE(seen.simulationsTop, 24);
        QCOMPARE(seen.homeTop, 40);
        QCOMPARE(seen.homeUrl, QStringLiteral("http://book.example/"));
    }

    void homePageLinkWithoutItsTarget()
    {
        std::unique_ptr<Program> program;
        const AboutSeen seen = start("[HomePage]=Our book|$$", program);
        QVERIFY(seen.homeVisible);
        QCOMPARE(seen.homeUrl, QStringLiteral("HomePageURL"));
        // The link refuses the key's own text as its target.
        try {
            program->about->UrlLabHomepage->Click();
            QFAIL("the invalid target was opened");
        } catch (const EVantixURLLabError &error) {
            QCOMPARE(QString::fromLatin1(error.what()),
                     QStringLiteral("Component \"UrlLabHomepage\": URL of URLLab is invalid"));
        }
    }

    void iconNamedByTheLanguageFile()
    {
        const QString iconName = QStringLiteral("tst_startup_icon.png");
        QImage picture(32, 32, QImage::Format_RGB32);
        picture.fill(Qt::red);
        QVERIFY(picture.save(workArea() + iconName));
        std::unique_ptr<Program> program;
        start("[AppIconName]=" + iconName.toLatin1() + "|$$", program);
        QFile::remove(workArea() + iconName);
        QVERIFY(m_messages.isEmpty());
        const QImage shown = program->form->windowIcon().pixmap(32, 32).toImage();
        QCOMPARE(QColor(shown.pixel(16, 16)), QColor(Qt::red));
        QCOMPARE(QColor(program->about->windowIcon().pixmap(32, 32).toImage().pixel(16, 16)),
                 QColor(Qt::red));
        QCOMPARE(QColor(QApplication::windowIcon().pixmap(32, 32).toImage().pixel(16, 16)),
                 QColor(Qt::red));
    }

    void iconThatIsNotThere()
    {
        std::unique_ptr<Program> program;
        const AboutSeen seen = start("[AppIconName]=no_such_icon.ico|$$", program);
        QVERIFY(m_messages.isEmpty());
        QCOMPARE(seen.name, QStringLiteral("Tintara"));
        QCOMPARE(program->watcher.shown(), 1);
        QCOMPARE(QColor(program->form->windowIcon().pixmap(32, 32).toImage().pixel(1, 1)),
                 QColor(0x80, 0x80, 0x80)); // the stored icon stays
    }

    void iconThatIsNoPicture()
    {
        const QString iconName = QStringLiteral("tst_startup_broken.ico");
        writeBytes(workArea() + iconName, "this is no icon");
        std::unique_ptr<Program> program;
        start("[AppIconName]=" + iconName.toLatin1() + "|$$", program);
        QFile::remove(workArea() + iconName);
        // The message is shown, the rest of the show handler does not run, and the main
        // window still comes up.
        QCOMPARE(m_messages.size(), 1);
        QVERIFY2(m_messages.first().contains(QStringLiteral("holds no readable image")),
                 qPrintable(m_messages.first()));
        QCOMPARE(program->watcher.shown(), 1);
        QCOMPARE(program->about->LblName->text(), QStringLiteral("App. name"));
        QTRY_VERIFY(program->form->isVisible());
    }

    void okButtonAndAboutButton()
    {
        QFile::remove(languageFilePath());
        int okClicked = 0;
        Program program([&](QDialog *dialog) {
            if (auto *about = qobject_cast<TFrmAbout *>(dialog)) {
                QTest::mouseClick(about->BButOK, Qt::LeftButton);
                okClicked += about->isVisible() ? 0 : 1;
            }
        });
        program.form->show();
        QCOMPARE(okClicked, 1);
        QVERIFY(QTest::qWaitForWindowExposed(program.form.get()));
        QTest::mouseClick(program.form->SBAbout, Qt::LeftButton);
        QCOMPARE(okClicked, 2); // shown again, closed again
    }

    void parametersBringTheWindowToTheFront()
    {
        std::unique_ptr<Program> program;
        start(QByteArray(), program);
        TForm1 &form = *program->form;
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QWidget other;
        other.show();
        other.activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), &other);

        // A parameters message through the bus, as a second start sends it.
        const QByteArray block = QByteArray(8, '\0') + "/books/tintara\r\nchapter2\r\n";
        QVERIFY(platform::sendCopyData(form.clidemon->OwnEntity.Handle, 0, 4101, block));
        QCOMPARE(form.clidemon->ParamCount(), 1);
        QCOMPARE(form.clidemon->ParamStr(1), std::string("chapter2"));
        QTRY_COMPARE(QApplication::activeWindow(), &form);
    }

    void accessibleNamesFollowTheValues()
    {
        std::unique_ptr<Program> program;
        start(QByteArray(), program);
        TForm1 &form = *program->form;
        QCOMPARE(accessibleName(form.SBarGreen), QStringLiteral("Green intensity"));
        QCOMPARE(accessibleName(form.EdHtmlCode), QStringLiteral("HTML Color Code"));
        QCOMPARE(accessibleName(form.PnlTintara), QStringLiteral("Mixed colour #808080"));
        form.SBarRed->setValue(255);
        form.SBarBlue->setValue(0);
        QCOMPARE(accessibleName(form.PnlTintara), QStringLiteral("Mixed colour #FF8000"));
        QCOMPARE(accessibleName(form.PnlRed), QStringLiteral("Red channel colour #FF0000"));
        QCOMPARE(accessibleName(form.NLabRed), QStringLiteral("Red 100 %"));
        QCOMPARE(accessibleName(form.NLabHexB), QStringLiteral("Blue hexadecimal 00"));
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
