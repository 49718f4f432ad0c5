#include "UrlLab.h"

#include "VantixError.h"
#include "platform/Application.h"
#include "platform/Cp1252.h"
#include "platform/Shell.h"

#include <QApplication>
#include <QCursor>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QPalette>
#include <QPointer>

namespace {

QString withoutSpaces(const QString &text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first) == QLatin1Char(' '))
        ++first;
    while (last > first && text.at(last - 1) == QLatin1Char(' '))
        --last;
    return text.mid(first, last - first);
}

bool isWebAddress(const QString &url)
{
    return url.startsWith(QLatin1String("http://"), Qt::CaseInsensitive);
}

// The extension runs from the last '.' to the end, unless a separator follows that '.'.
bool hasExeExtension(const QString &path)
{
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    if (dot < 0)
        return false;
    const QString extension = path.mid(dot);
    for (const QChar separator : {u'\\', u':', u'/'}) {
        if (extension.contains(separator))
            return false;
    }
    return extension.compare(QLatin1String(".exe"), Qt::CaseInsensitive) == 0;
}

bool isExecutableTarget(const QString &path)
{
    return hasExeExtension(path) || platform::isExecutableFile(path);
}

// Shows the busy cursor on the label for as long as it lives, then puts the label's own back;
// the label may be gone by then, since pending events run while the cursor shows.
class BusyCursor
{
public:
    explicit BusyCursor(QWidget *widget)
        : m_widget(widget), m_hadCursor(widget->testAttribute(Qt::WA_SetCursor)),
          m_previous(widget->cursor())
    {
        widget->setCursor(Qt::BusyCursor);
    }
    ~BusyCursor()
    {
        if (m_widget.isNull())
            return;
        if (m_hadCursor)
            m_widget->setCursor(m_previous);
        else
            m_widget->unsetCursor();
    }
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;

private:
    QPointer<QWidget> m_widget;
    bool m_hadCursor;
    QCursor m_previous;
};

} // namespace

TUrlLab::TUrlLab(QWidget *parent)
    : QLabel(parent), m_fontActive(font()),
      m_fontActiveColor(palette().color(QPalette::WindowText)), m_normalFont(QApplication::font()),
      m_normalColor(QApplication::palette().color(QPalette::WindowText))
{
    // Plain text: an '&' in the caption is shown as it is, never as an accelerator.
    setTextFormat(Qt::PlainText);
}

void TUrlLab::setFontActive(const QFont &font)
{
    m_fontActive = font;
    repaintIfVisible();
}

void TUrlLab::setFontActiveColor(const QColor &color)
{
    m_fontActiveColor = color;
    repaintIfVisible();
}

void TUrlLab::setUrl(const QString &url)
{
    const QString stored = withoutSpaces(url);
    if (stored == m_url)
        return;
    m_url = stored;
    repaintIfVisible();
}

void TUrlLab::setTaskParams(const QString &params)
{
    const QString stored = withoutSpaces(params);
    if (stored == m_taskParams)
        return;
    m_taskParams = stored;
    repaintIfVisible();
}

void TUrlLab::Loaded()
{
    m_normalFont = font();
    m_normalColor = palette().color(QPalette::WindowText);
}

void TUrlLab::Click()
{
    if (isWebAddress(m_url)) {
        const QPointer<TUrlLab> self(this);
        openWebAddress();
        if (self.isNull())
            return;
    } else if (!m_url.isEmpty()) {
        startExecutable();
    }
    emit OnClick(this);
}

void TUrlLab::enterEvent(QEnterEvent *event)
{
    QLabel::enterEvent(event);
    emit OnMouseEnter(this);
    if (isEnabled())
        showFont(m_fontActive, m_fontActiveColor);
}

void TUrlLab::leaveEvent(QEvent *event)
{
    QLabel::leaveEvent(event);
    emit OnMouseLeave(this);
    if (isEnabled())
        showFont(m_normalFont, m_normalColor);
}

void TUrlLab::mousePressEvent(QMouseEvent *event)
{
    QLabel::mousePressEvent(event);
    if (event->button() == Qt::LeftButton) {
        m_leftPressed = true;
        // Taken, so that the release comes back here and not to the parent.
        event->accept();
    }
}

void TUrlLab::mouseReleaseEvent(QMouseEvent *event)
{
    QLabel::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    const bool click = m_leftPressed && rect().contains(event->position().toPoint());
    m_leftPressed = false;
    event->accept();
    if (click)
        platform::runGuarded([this] { Click(); });
}

// The second press of a double click is no new click: the target opens once.
void TUrlLab::mouseDoubleClickEvent(QMouseEvent *event)
{
    m_leftPressed = false;
    event->accept();
}

void TUrlLab::showFont(const QFont &font, const QColor &color)
{
    setFont(font);
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, color);
    setPalette(colours);
}

void TUrlLab::repaintIfVisible()
{
    if (isVisible())
        repaint();
}

// The shell's answer is not examined: a browser that fails to come up is not reported.
void TUrlLab::openWebAddress()
{
    const QString target = m_url;
    const BusyCursor busy(this);
    QCoreApplication::processEvents();
    platform::ShellExecute(QString(), target, QString());
}

void TUrlLab::startExecutable()
{
    if (!isExecutableTarget(m_url))
        fail(QStringLiteral("URL of URLLab is invalid"));
    const int result = platform::ShellExecute(QStringLiteral("open"), m_url, m_taskParams);
    if (result <= 32 && result != -1)
        fail(QStringLiteral("Cannot start executable (errnum=%1)").arg(result));
}

void TUrlLab::fail(const QString &reason) const
{
    const QString message = QStringLiteral("Component \"%1\": %2").arg(objectName(), reason);
    throw EVantixURLLabError(platform::toCp1252(message));
}
