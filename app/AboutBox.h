#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class TUrlLab;
namespace platform {
class Panel;
}

// The About box: the program's name, version and description, and links to its web pages.
// It doubles as the start-up screen.
class TFrmAbout : public QDialog
{
    Q_OBJECT

public:
    explicit TFrmAbout(QWidget *parent = nullptr);

    platform::Panel *Panel1 = nullptr;
    QLabel *LblName = nullptr;
    QLabel *LblVersion = nullptr;
    QLabel *LblAuthor = nullptr;
    QLabel *LblCopyright = nullptr;
    QLabel *LblDescription = nullptr;
    platform::Panel *Panel2 = nullptr;
    QLabel *LblWebSite = nullptr;
    TUrlLab *UrlLabVantixSuite = nullptr;
    TUrlLab *UrlLabSimulations = nullptr;
    TUrlLab *UrlLabHomepage = nullptr;
    QPushButton *BButOK = nullptr;

    void FormShow(QObject *Sender);
    void BButOKClick(QObject *Sender);

protected:
    void showEvent(QShowEvent *event) override;
};
