#include "mainfrm.h"

#include "AboutBox.h"
#include "ColorCode.h"
#include "MainFormBuilder.h"
#include "hostlink/KdbDemonClient.h"
#include "numlab/NumLab.h"
#include "platform/Application.h"
#include "platform/Cp1252.h"
#include "platform/Exception.h"
#include "platform/Panel.h"
#include "platform/ScrollBar.h"
#include "suite/UrlLab.h"
#include "translate/Lexaro2000.h"

#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>

namespace {

const QString kEnglishLeadIn =
    QStringLiteral("More information can be found at the following Web sites:");
const QString kGermanLeadIn =
    QStringLiteral("Mehr Informationen finden Sie auf folgenden Webseiten:");
const QString kEnglishDescription = QStringLiteral(
    "This program lets you mix the basic colours red, green and blue. It is a simulation "
    "developed by Zantro and used in various electronic textbooks. The software is based on "
    "the Vantix Component Suite.");
const QString kGermanDescription = QStringLiteral(
    "Das Programm zum Mischen der Grundfarben Rot, Gr\u00FCn und Blau wurde von Zantro "
    "entwickelt und wird in verschiedenen interaktiven elektronischen Lehrb\u00FCchern "
    "eingesetzt. Die Software basiert auf der Vantix Component Suite.");

std::string translate(TLexaro2000 &translator, const std::string &key)
{
    std::string value;
    translator.Translate(key, {}, value);
    return value;
}

void writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(content) != content.size() || !file.flush()) {
        throw platform::Exception(platform::toCp1252(
            QStringLiteral("Cannot write \"%1\": %2").arg(path, file.errorString())));
    }
}

} // namespace

TForm1::TForm1(QWidget *parent) : QWidget(parent)
{
    MainFormBuilder::build(*this);
}

void TForm1::showEvent(QShowEvent *event)
{
    // Centred when first shown; the user may move it afterwards.
    if (!m_placed && screen() != nullptr) {
        m_placed = true;
        QRect frame = frameGeometry();
        frame.moveCenter(screen()->availableGeometry().center());
        move(frame.topLeft());
    }
    // Runs before the window reaches the screen, so the About box it shows comes first.
    platform::runGuarded([this] { FormShow(this); });
    QWidget::showEvent(event);
}

void TForm1::FormShow(QObject *)
{
    TLexaro2000 &translator = *clidemon->Translator();
    const std::string iconName = translate(translator, "AppIconName");
    const std::string workArea = clidemon->GetEnvValue("TorvaneWorkArea");
    if (iconName != "AppIconName") {
        const QString iconPath = platform::fromCp1252(workArea + iconName);
        if (clidemon->UseTorvaneServer()) {
            const std::unique_ptr<QBuffer> stream = clidemon->GetFileStream(iconName);
            if (stream && stream->size() > 0)
                writeFile(iconPath, stream->data());
        }
        if (QFileInfo(iconPath).isFile())
            loadIcons(iconPath);
    }

    FrmAbout->LblName->setText(QStringLiteral("Tintara"));
    FrmAbout->LblVersion->setText(QStringLiteral("Version 1.0"));
    FrmAbout->UrlLabHomepage->setUrl(platform::fromCp1252(translate(translator, "HomePageURL")));
    const QString language = platform::fromCp1252(translate(translator, "$dlglanguage$")).toLower();
    translator.TranslateComponent(FrmAbout);
    const bool german = language == QStringLiteral("lggerman");
    FrmAbout->LblWebSite->setText(german ? kGermanLeadIn : kEnglishLeadIn);
    FrmAbout->LblDescription->setText(german ? kGermanDescription : kEnglishDescription);
    FrmAbout->exec();
}

void TForm1::loadIcons(const QString &path)
{
    // A file that is there but holds no picture is an error, never a silent blank icon.
    QImageReader reader(path);
    const QImage picture = reader.read();
    if (picture.isNull()) {
        throw platform::Exception(
            platform::toCp1252(QStringLiteral("The icon file \"%1\" holds no readable image: %2")
                                   .arg(path, reader.errorString())));
    }
    const QIcon icon(QPixmap::fromImage(picture));
    QApplication::setWindowIcon(icon);
    setWindowIcon(icon);
    FrmAbout->setWindowIcon(icon);
}

void TForm1::SBAboutClick(QObject *)
{
    FrmAbout->exec();
}

void TForm1::clidemonParamsChange(QObject *)
{
    if (isMinimized())
        showNormal();
    raise();
    activateWindow();
}

void TForm1::updateAccessibleNames()
{
    const auto code = [](platform::TColor color) {
        return QStringLiteral("#") + QString::fromLatin1(HexDigits(ColorToRRGGBB(color), 6));
    };
    const struct
    {
        const char *name;
        platform::Panel *panel;
        TNumLab *percent;
        TNumLab *hex;
    } channels[] = {{"Red", PnlRed, NLabRed, NLabHexR},
                    {"Green", PnlGreen, NLabGreen, NLabHexG},
                    {"Blue", PnlBlue, NLabBlue, NLabHexB}};
    for (const auto &channel : channels) {
        const QString name = QLatin1String(channel.name);
        channel.panel->setAccessibleName(name + QStringLiteral(" channel colour ") +
                                         code(channel.panel->color()));
        channel.percent->setAccessibleName(
            QStringLiteral("%1 %2 %").arg(name).arg(qRound(channel.percent->value())));
        channel.hex->setAccessibleName(
            QStringLiteral("%1 hexadecimal %2")
                .arg(name,
                     QString::fromLatin1(HexDigits(quint32(qRound(channel.hex->value())), 2))));
    }
    PnlTintara->setAccessibleName(QStringLiteral("Mixed colour ") + EdHtmlCode->text());
}

void TForm1::channelChanged(const Channel &channel, platform::ScrollBar *first,
                            platform::ScrollBar *second)
{
    const int p = channel.bar->value();
    channel.panel->setColor(platform::TColor(p) * channel.unit);
    channel.percent->setValue(double(p) / 255 * 100);
    channel.hex->setValue(p);

    const platform::TColor mix =
        platform::rgbColor(SBarRed->value(), SBarGreen->value(), SBarBlue->value());
    PnlTintara->setColor(mix);
    EdHtmlCode->setText(QStringLiteral("#") +
                        QString::fromLatin1(HexDigits(ColorToRRGGBB(mix), 6)));

    updateAccessibleNames();

    if (CBoxGray->isChecked()) {
        first->setValue(p);
        second->setValue(p);
    }
}

void TForm1::SBarRedChange(QObject *)
{
    channelChanged({SBarRed, PnlRed, NLabRed, NLabHexR, 0x000001}, SBarGreen, SBarBlue);
}

void TForm1::SBarGreenChange(QObject *)
{
    channelChanged({SBarGreen, PnlGreen, NLabGreen, NLabHexG, 0x000100}, SBarRed, SBarBlue);
}

void TForm1::SBarBlueChange(QObject *)
{
    channelChanged({SBarBlue, PnlBlue, NLabBlue, NLabHexB, 0x010000}, SBarGreen, SBarRed);
}

void TForm1::CBoxGrayClick(QObject *)
{
    if (!CBoxGray->isChecked())
        return;
    SBarGreen->setValue(SBarRed->value());
    SBarBlue->setValue(SBarRed->value());
}

void TForm1::SBExitClick(QObject *)
{
    close();
}
