#include "AboutBox.h"

#include "AboutBoxBuilder.h"
#include "platform/Application.h"
#include "suite/UrlLab.h"

#include <QScreen>

TFrmAbout::TFrmAbout(QWidget *parent) : QDialog(parent)
{
    AboutBoxBuilder::build(*this);
}

void TFrmAbout::showEvent(QShowEvent *event)
{
    // Centred each time, as the box is shown again from the main window.
    if (screen() != nullptr) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen()->availableGeometry().center());
        move(frame.topLeft());
    }
    platform::runGuarded([this] { FormShow(this); });
    QDialog::showEvent(event);
}

void TFrmAbout::FormShow(QObject *)
{
    const QString homePage = UrlLabHomepage->text();
    if (homePage != QStringLiteral("HomePage") && !homePage.isEmpty()) {
        UrlLabHomepage->setVisible(true);
        UrlLabVantixSuite->move(UrlLabVantixSuite->x(), 8);
        UrlLabSimulations->move(UrlLabSimulations->x(), 24);
    } else {
        // The two remaining links sit in the middle of their panel.
        UrlLabHomepage->setVisible(false);
        UrlLabVantixSuite->move(UrlLabVantixSuite->x(), 16);
        UrlLabSimulations->move(UrlLabSimulations->x(), 32);
    }
}

void TFrmAbout::BButOKClick(QObject *)
{
    close();
}
