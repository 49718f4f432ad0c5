#pragma once

#include <QColor>
#include <QFont>
#include <QLabel>
#include <QString>

class QEnterEvent;
class QEvent;
class QMouseEvent;

// A hyperlink label: shows FontActive while the pointer is over it and, when clicked, opens
// its target, an "http://" address in the browser or an executable program with TaskParams.
// A font here carries no colour, so each font has its colour beside it (FontActiveColor, and
// the palette's text colour for the normal font).
class TUrlLab : public QLabel
{
    Q_OBJECT
    Q_PROPERTY(QFont FontActive READ fontActive WRITE setFontActive)
    Q_PROPERTY(QColor FontActiveColor READ fontActiveColor WRITE setFontActiveColor)
    Q_PROPERTY(QString URL READ url WRITE setUrl)
    Q_PROPERTY(QString TaskParams READ taskParams WRITE setTaskParams)

public:
    explicit TUrlLab(QWidget *parent = nullptr);

    QFont fontActive() const { return m_fontActive; }
    QColor fontActiveColor() const { return m_fontActiveColor; }
    QString url() const { return m_url; }
    QString taskParams() const { return m_taskParams; }
    QFont normalFont() const { return m_normalFont; }
    QColor normalColor() const { return m_normalColor; }

    // Copies the settings; the font shown now stays until the pointer enters again.
    void setFontActive(const QFont &font);
    void setFontActiveColor(const QColor &color);
    // Both store the text without leading and trailing spaces (code 32 only).
    void setUrl(const QString &url);
    void setTaskParams(const QString &params);

    // Called by the window's builder once every stored property is set: the font and colour
    // shown now become the ones the pointer's leaving puts back.
    void Loaded();

    // Opens the target, then raises OnClick. Throws EVantixURLLabError for a target that is
    // neither a web address nor an executable, or a program the shell cannot start.
    void Click();

signals:
    void OnClick(QObject *Sender);
    void OnMouseEnter(QObject *Sender);
    void OnMouseLeave(QObject *Sender);

protected:
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    void showFont(const QFont &font, const QColor &color);
    void repaintIfVisible();
    void openWebAddress();
    void startExecutable();
    [[noreturn]] void fail(const QString &reason) const;

    QFont m_fontActive;
    QColor m_fontActiveColor;
    QFont m_normalFont;
    QColor m_normalColor;
    QString m_url;
    QString m_taskParams;
    bool m_leftPressed = false;
};
