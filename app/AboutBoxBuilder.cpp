#include "AboutBoxBuilder.h"

#include "AboutBox.h"
#include "FormBuilding.h"
#include "platform/Panel.h"
#include "suite/UrlLab.h"

#include <QIcon>
#include <QLabel>
#include <QPushButton>

using platform::Panel;

namespace {

const QString kDescription = QStringLiteral("LblDescription");

QLabel *label(QWidget *parent, const char *name, QRect bounds, const QString &text,
              Qt::Alignment alignment)
{
    auto *control = new QLabel(parent);
    control->setObjectName(QLatin1String(name));
    control->setGeometry(bounds);
    control->setText(text);
    control->setAlignment(alignment | Qt::AlignTop);
    control->setTextFormat(Qt::PlainText);
    return control;
}

Panel *framedPanel(QWidget *parent, const char *name, QRect bounds)
{
    auto *panel = new Panel(parent);
    panel->setObjectName(QLatin1String(name));
    panel->setGeometry(bounds);
    panel->setBevelInner(Panel::bvRaised);
    panel->setBevelOuter(Panel::bvLowered);
    return panel;
}

TUrlLab *link(QWidget *parent, const char *name, int top, const QString &caption,
              const QString &url)
{
    auto *link = new TUrlLab(parent);
    link->setObjectName(QLatin1String(name));
    link->setGeometry(152, top, 369, 16);
    link->setText(caption);
    link->setUrl(url);
    QFont normal = pixelFont(QStringLiteral("Courier New"), 13, true);
    link->setFont(normal);
    setTextColor(link, platform::clBlue);
    QFont active = normal;
    active.setUnderline(true);
    link->setFontActive(active);
    link->setFontActiveColor(platform::toQColor(platform::clRed));
    return link;
}

void buildWindow(TFrmAbout &box)
{
    setDialogFrame(box, "FrmAbout", QStringLiteral("LX_About"), QSize(543, 332), Qt::Dialog,
                   pixelFont(QStringLiteral("Arial"), 13));
    setTextColor(&box, platform::clBlack);
}

void buildControls(TFrmAbout &box)
{
    box.Panel1 = framedPanel(&box, "Panel1", QRect(8, 10, 529, 127));
    box.LblName = label(box.Panel1, "LblName", QRect(8, 12, 513, 34), QStringLiteral("App. name"),
                        Qt::AlignHCenter);
    QFont nameFont = pixelFont(QStringLiteral("Arial"), 30, true);
    nameFont.setItalic(true);
    box.LblName->setFont(nameFont);
    setTextColor(box.LblName, platform::clMaroon);
    box.LblVersion = label(box.Panel1, "LblVersion", QRect(8, 50, 513, 16),
                           QStringLiteral("App. version"), Qt::AlignHCenter);
    box.LblAuthor =
        label(box.Panel1, "LblAuthor", QRect(8, 74, 513, 16), QString(), Qt::AlignHCenter);
    box.LblCopyright =
        label(box.Panel1, "LblCopyright", QRect(8, 100, 513, 16),
              QStringLiteral("Copyright \u00A9 Zantro. All rights reserved."), Qt::AlignHCenter);

    box.LblDescription =
        label(&box, "LblDescription", QRect(8, 152, 529, 65), kDescription, Qt::AlignHCenter);
    box.LblDescription->setWordWrap(true);
    box.LblDescription->setFont(pixelFont(QStringLiteral("Arial"), 13));
    setTextColor(box.LblDescription, platform::clMaroon);

    box.Panel2 = framedPanel(&box, "Panel2", QRect(8, 224, 529, 65));
    box.LblWebSite = label(box.Panel2, "LblWebSite", QRect(8, 8, 135, 49),
                           QStringLiteral("LblWebSite"), Qt::AlignRight);
    box.LblWebSite->setWordWrap(true);
    box.UrlLabVantixSuite =
        link(box.Panel2, "UrlLabVantixSuite", 8, QStringLiteral("Vantix Component Suite"),
             QStringLiteral("http://www.vantix-suite.example/"));
    box.UrlLabSimulations = link(box.Panel2, "UrlLabSimulations", 24, QStringLiteral("Simvara"),
                                 QStringLiteral("http://www.simvara.example/"));
    box.UrlLabHomepage =
        link(box.Panel2, "UrlLabHomepage", 40, QStringLiteral("LX_HomePage"), QString());
    box.UrlLabHomepage->setVisible(false);

    box.BButOK = new QPushButton(&box);
    box.BButOK->setObjectName(QStringLiteral("BButOK"));
    box.BButOK->setGeometry(424, 296, 113, 33);
    box.BButOK->setText(QStringLiteral("LX_OK"));
    box.BButOK->setIcon(storedIcon(QStringLiteral(":/tintara/ok.png"), 21));
    box.BButOK->setIconSize(QSize(21, 21));
    box.BButOK->setDefault(true);
}

} // namespace

void AboutBoxBuilder::build(TFrmAbout &box)
{
    buildWindow(box);
    buildControls(box);
    for (TUrlLab *link : {box.UrlLabVantixSuite, box.UrlLabSimulations, box.UrlLabHomepage})
        link->Loaded();
    bind(box.BButOK, &QPushButton::clicked, box, &TFrmAbout::BButOKClick);
}
