#pragma once

#include "Color.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <QRect>
#include <QString>

namespace platform {

// Drawing with the classic canvas' pixel rules on a QImage: rectangles exclude their right
// and bottom bounds, lines omit their end pixel, text is placed by the top-left corner of
// its cell. Antialiasing stays off so that every pixel is predictable.
class Canvas
{
public:
    enum class CopyMode { Replace, And };

    // Draws on `device` (an image or a widget being painted), which must outlive the canvas;
    // system colours come from `palette`.
    Canvas(QPaintDevice &device, const QPalette &palette);

    void setPenColor(TColor color);
    void setBrushColor(TColor color); // also makes a clear brush solid again
    void setBrushClear();
    void setFont(const QFont &font);
    void setFontColor(TColor color);

    void Rectangle(int x1, int y1, int x2, int y2);
    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    void TextOut(int x, int y, const QString &text);
    void TextRect(const QRect &clip, int x, int y, const QString &text);
    int TextWidth(const QString &text) const;
    int TextHeight(const QString &text) const;
    const QFontMetrics &metrics() const { return m_metrics; }
    void Draw(int x, int y, const QImage &bitmap, CopyMode mode);

private:
    void fill(int x1, int y1, int x2, int y2, const QColor &color);
    void drawText(int x, int y, const QString &text);

    QPaintDevice &m_device;
    QPainter m_painter;
    QPalette m_palette;
    QColor m_pen;
    QColor m_brush;
    bool m_brushSolid = true;
    QColor m_fontColor;
    QFontMetrics m_metrics;
    QPoint m_position;
};

} // namespace platform
