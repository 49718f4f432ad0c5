#include "Panel.h"

#include <QPainter>

namespace platform {
namespace {

void drawBevel(QPainter &painter, QRect &area, Panel::Bevel bevel, const QPalette &palette)
{
    if (bevel == Panel::bvNone)
        return;
    const QColor light = toQColor(clBtnHighlight, palette);
    const QColor dark = toQColor(clBtnShadow, palette);
    const QColor topLeft = bevel == Panel::bvRaised ? light : dark;
    const QColor bottomRight = bevel == Panel::bvRaised ? dark : light;
    painter.fillRect(area.left(), area.top(), area.width(), 1, topLeft);
    painter.fillRect(area.left(), area.top(), 1, area.height(), topLeft);
    painter.fillRect(area.left(), area.bottom(), area.width(), 1, bottomRight);
    painter.fillRect(area.right(), area.top(), 1, area.height(), bottomRight);
    area.adjust(1, 1, -1, -1);
}

} // namespace

Panel::Panel(QWidget *parent) : QFrame(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void Panel::setCaption(const QString &caption)
{
    if (m_caption == caption)
        return;
    m_caption = caption;
    update();
}

void Panel::setColor(TColor color)
{
    if (m_color == color)
        return;
    m_color = color;
    update();
}

void Panel::setBevelOuter(Bevel bevel)
{
    if (m_bevelOuter == bevel)
        return;
    m_bevelOuter = bevel;
    update();
}

void Panel::setBevelInner(Bevel bevel)
{
    if (m_bevelInner == bevel)
        return;
    m_bevelInner = bevel;
    update();
}

void Panel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    QRect area = rect();
    painter.fillRect(area, toQColor(m_color, palette()));
    drawBevel(painter, area, m_bevelOuter, palette());
    drawBevel(painter, area, m_bevelInner, palette());
    if (!m_caption.isEmpty()) {
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(area, Qt::AlignCenter, m_caption);
    }
}

} // namespace platform
