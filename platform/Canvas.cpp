#include "Canvas.h"

#include <cstdlib>

namespace platform {

Canvas::Canvas(QPaintDevice &device, const QPalette &palette)
    : m_device(device), m_painter(&device), m_palette(palette), m_pen(Qt::black),
      m_brush(Qt::white), m_fontColor(Qt::black), m_metrics(m_painter.font())
{
    m_painter.setRenderHint(QPainter::Antialiasing, false);
    m_painter.setRenderHint(QPainter::TextAntialiasing, false);
}

void Canvas::setPenColor(TColor color)
{
    m_pen = toQColor(color, m_palette);
}

void Canvas::setBrushColor(TColor color)
{
    m_brush = toQColor(color, m_palette);
    m_brushSolid = true;
}

void Canvas::setBrushClear()
{
    m_brushSolid = false;
}

void Canvas::setFont(const QFont &font)
{
    m_painter.setFont(font);
    m_metrics = QFontMetrics(font, &m_device);
}

void Canvas::setFontColor(TColor color)
{
    m_fontColor = toQColor(color, m_palette);
}

void Canvas::fill(int x1, int y1, int x2, int y2, const QColor &color)
{
    if (x2 > x1 && y2 > y1)
        m_painter.fillRect(QRect(QPoint(x1, y1), QPoint(x2 - 1, y2 - 1)), color);
}

void Canvas::Rectangle(int x1, int y1, int x2, int y2)
{
    if (x2 <= x1 || y2 <= y1)
        return;
    if (m_brushSolid)
        fill(x1 + 1, y1 + 1, x2 - 1, y2 - 1, m_brush);
    fill(x1, y1, x2, y1 + 1, m_pen);
    fill(x1, y2 - 1, x2, y2, m_pen);
    fill(x1, y1, x1 + 1, y2, m_pen);
    fill(x2 - 1, y1, x2, y2, m_pen);
}

void Canvas::MoveTo(int x, int y)
{
    m_position = QPoint(x, y);
}

void Canvas::LineTo(int x, int y)
{
    // Bresenham from the current position, stopping before the end pixel.
    int cx = m_position.x();
    int cy = m_position.y();
    const int dx = std::abs(x - cx);
    const int dy = -std::abs(y - cy);
    const int sx = cx < x ? 1 : -1;
    const int sy = cy < y ? 1 : -1;
    int error = dx + dy;
    if (dy == 0 || dx == 0) {
        // Straight lines are the common case and fill as one span.
        if (dy == 0)
            fill(sx > 0 ? cx : x + 1, cy, sx > 0 ? x : cx + 1, cy + 1, m_pen);
        else
            fill(cx, sy > 0 ? cy : y + 1, cx + 1, sy > 0 ? y : cy + 1, m_pen);
    } else {
        while (cx != x || cy != y) {
            fill(cx, cy, cx + 1, cy + 1, m_pen);
            const int twice = 2 * error;
            if (twice >= dy) {
                error += dy;
                cx += sx;
            }
            if (twice <= dx) {
                error += dx;
                cy += sy;
            }
        }
    }
    m_position = QPoint(x, y);
}

void Canvas::drawText(int x, int y, const QString &text)
{
    m_painter.setPen(m_fontColor);
    m_painter.drawText(QPoint(x, y + m_metrics.ascent()), text);
}

void Canvas::TextOut(int x, int y, const QString &text)
{
    if (m_brushSolid)
        fill(x, y, x + TextWidth(text), y + m_metrics.height(), m_brush);
    drawText(x, y, text);
    m_position = QPoint(x + TextWidth(text), y);
}

void Canvas::TextRect(const QRect &clip, int x, int y, const QString &text)
{
    m_painter.save();
    m_painter.setClipRect(clip);
    if (m_brushSolid)
        m_painter.fillRect(clip, m_brush);
    drawText(x, y, text);
    m_painter.restore();
}

int Canvas::TextWidth(const QString &text) const
{
    return m_metrics.horizontalAdvance(text);
}

int Canvas::TextHeight(const QString &text) const
{
    Q_UNUSED(text);
    return m_metrics.height();
}

void Canvas::Draw(int x, int y, const QImage &bitmap, CopyMode mode)
{
    m_painter.save();
    m_painter.setCompositionMode(mode == CopyMode::And ? QPainter::RasterOp_SourceAndDestination
                                                       : QPainter::CompositionMode_Source);
    m_painter.drawImage(QPoint(x, y), bitmap);
    m_painter.restore();
}

} // namespace platform
