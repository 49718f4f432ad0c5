#include "NumLab.h"

#include "numlab/RawText.h"
#include "platform/Application.h"
#include "platform/Canvas.h"
#include "platform/Cp1252.h"
#include "platform/Exception.h"

#include <QImage>
#include <QMouseEvent>
#include <QPaintEvent>
#include <cmath>
#include <cstring>

using platform::Canvas;
using platform::TColor;

namespace {

// The probe whose height places every text: tall capitals, descenders and accents.
const QString kHeightProbe = QStringLiteral("(8g]}\u00DC\u00C4\u00A7");

// Display types whose text is a number that takes the decimal comma and the plus sign.
bool takesNumberDecoration(numlab::TDisplay type)
{
    switch (type) {
    case numlab::dtHex:
    case numlab::dtDateTime:
    case numlab::dtState:
    case numlab::dtBin:
        return false;
    default:
        return true;
    }
}

struct TextPlace
{
    int x;      // the text itself
    int xWhite; // the white copy of an engraved (disabled) text
};

TextPlace leftTextPlace(platform::TAlignment alignment, int leftSpace, int width)
{
    switch (alignment) {
    case platform::taLeftJustify:
        return {7, 8};
    case platform::taRightJustify:
        return {leftSpace - width - 5, leftSpace - width - 4};
    case platform::taCenter:
        break;
    }
    return {(leftSpace - width) / 2, (leftSpace - width) / 2 + 1};
}

TextPlace rightTextPlace(platform::TAlignment alignment, int fieldRight, int controlWidth,
                         int width)
{
    switch (alignment) {
    case platform::taLeftJustify:
        return {fieldRight + 7, fieldRight + 8};
    case platform::taRightJustify:
        // The engraved copy sits one pixel left of the grey one here, not right.
        return {controlWidth - width - 6, controlWidth - width - 7};
    case platform::taCenter:
        break;
    }
    const int x = (controlWidth - fieldRight - width) / 2 + fieldRight + 1;
    return {x, x + 1};
}

} // namespace

TNumLab::TNumLab(QWidget *parent) : QWidget(parent)
{
    resize(160, 28);
    setMouseTracking(true);
    applyTransparency();
}

template <typename T> void TNumLab::change(T &member, const T &value)
{
    if (member == value)
        return;
    member = value;
    m_frame = QImage();
    Paint();
}

void TNumLab::setAlignment(platform::TAlignment alignment)
{
    change(m_alignment, alignment);
}

void TNumLab::setColorLabBakG(TColor color)
{
    change(m_colorLabBakG, color);
}

void TNumLab::setColorLabText(TColor color)
{
    change(m_colorLabText, color);
}

void TNumLab::setColorOutBakG(TColor color)
{
    change(m_colorOutBakG, color);
}

void TNumLab::setColorOutText(TColor color)
{
    change(m_colorOutText, color);
}

void TNumLab::setColorScheme(numlab::TColorScheme scheme)
{
    if (m_colorScheme == scheme)
        return;
    m_colorScheme = scheme;
    const bool system = scheme == numlab::csSystem;
    m_shadowColor = system ? platform::clBtnShadow : platform::clGray;
    m_highlightColor = system ? platform::clBtnHighlight : platform::clWhite;
    m_frame = QImage();
    Paint();
}

void TNumLab::setComma(bool comma)
{
    change(m_comma, comma);
}

void TNumLab::setDisplayType(numlab::TDisplay type)
{
    change(m_displayType, type);
}

void TNumLab::setDTFormat(const QString &format)
{
    change(m_dtFormat, format);
}

void TNumLab::setEmpty(bool empty)
{
    change(m_empty, empty);
}

void TNumLab::setLabelEnabled(bool enabled)
{
    // Always refreshes, even when unchanged, like the toolkit's own enabled state.
    m_enabled = enabled;
    m_frame = QImage();
    QWidget::setEnabled(enabled);
    Paint();
}

void TNumLab::setForcePlusSign(bool force)
{
    change(m_forcePlusSign, force);
}

void TNumLab::setFrameStyle(numlab::TFrameStyle style)
{
    change(m_frameStyle, style);
}

void TNumLab::setLabelWidth(int width)
{
    change(m_labelWidth, width);
}

void TNumLab::setLeftSpace(int space)
{
    if (space == m_leftSpace || space < 0)
        return;
    m_leftSpace = std::min(space, width());
    m_frame = QImage();
    Paint();
}

void TNumLab::setLeftText(const QString &text)
{
    change(m_leftText, text);
}

void TNumLab::setLeftTextAlignment(platform::TAlignment alignment)
{
    change(m_leftTextAlignment, alignment);
}

void TNumLab::setOverflowIndicator(const QString &text)
{
    change(m_overflowIndicator, text);
}

void TNumLab::setPrecision(int precision)
{
    if (precision == m_precision || precision < 0)
        return;
    m_precision = std::min(precision, 15);
    Paint();
}

void TNumLab::setRightText(const QString &text)
{
    change(m_rightText, text);
}

void TNumLab::setRightTextAlignment(platform::TAlignment alignment)
{
    change(m_rightTextAlignment, alignment);
}

void TNumLab::setStateText(const QString &text)
{
    change(m_stateText, text);
}

void TNumLab::setTransparent(bool transparent)
{
    if (m_transparent == transparent)
        return;
    m_transparent = transparent;
    m_frame = QImage();
    applyTransparency();
    if (transparent)
        update(); // the parent must paint its background under us first
    else
        Paint();
}

void TNumLab::applyTransparency()
{
    // Opaque labels cover every pixel, so Qt need not paint the parent underneath.
    setAttribute(Qt::WA_OpaquePaintEvent, !m_transparent);
}

void TNumLab::setValue(double value)
{
    if (std::isnan(value) || value == m_value)
        return;
    m_value = value;
    Paint();
}

void TNumLab::setOnBeforeDisplay(TBeforeDisplayEvent handler)
{
    m_onBeforeDisplay = std::move(handler);
}

void TNumLab::Assign(const QObject *Source)
{
    const auto *source = qobject_cast<const TNumLab *>(Source);
    if (source == nullptr) {
        throw platform::Exception(std::string("Cannot assign a ") +
                                  (Source ? Source->metaObject()->className() : "nil") +
                                  " to a TNumLab");
    }
    m_leftSpace = source->m_leftSpace;
    m_empty = source->m_empty;
    m_labelWidth = source->m_labelWidth;
    m_precision = source->m_precision;
    m_leftText = source->m_leftText;
    m_rightText = source->m_rightText;
    m_frameStyle = source->m_frameStyle;
    m_alignment = source->m_alignment;
    m_rightTextAlignment = source->m_rightTextAlignment;
    m_leftTextAlignment = source->m_leftTextAlignment;
    m_overflowIndicator = source->m_overflowIndicator;
    m_value = source->m_value;
    m_stateText = source->m_stateText;
    m_transparent = source->m_transparent;
    m_colorLabBakG = source->m_colorLabBakG;
    m_colorLabText = source->m_colorLabText;
    m_colorOutBakG = source->m_colorOutBakG;
    m_colorOutText = source->m_colorOutText;
    m_darkColor = source->m_darkColor;
    m_shadowColor = source->m_shadowColor;
    m_highlightColor = source->m_highlightColor;
    m_colorScheme = source->m_colorScheme;
    m_displayType = source->m_displayType;
    m_frame = QImage();
    applyTransparency();
    Paint();
}

void TNumLab::AssignTo(QObject *Dest) const
{
    auto *dest = qobject_cast<TNumLab *>(Dest);
    if (dest == nullptr) {
        throw platform::Exception(std::string("Cannot assign a TNumLab to a ") +
                                  (Dest ? Dest->metaObject()->className() : "nil"));
    }
    dest->Assign(this);
}

void TNumLab::Paint()
{
    // Synchronous on purpose: the value on screen must follow every change at once.
    if (isVisible())
        repaint();
}

std::optional<QString> TNumLab::BuildDisplayText(const QFontMetrics &metrics)
{
    if (m_empty)
        return std::nullopt;
    QString text;
    if (m_displayType == numlab::dtState) {
        text = m_stateText;
    } else {
        text = platform::fromCp1252(numlab::RawText(m_displayType, m_value, m_precision,
                                                    std::string(), platform::toCp1252(m_dtFormat),
                                                    platform::toCp1252(m_overflowIndicator)));
    }
    if (takesNumberDecoration(m_displayType)) {
        if (m_comma)
            text.replace(u'.', u',');
        else
            text.replace(u',', u'.');
        if (m_forcePlusSign && m_value > 0)
            text.prepend(u'+');
    }
    if (m_onBeforeDisplay)
        m_onBeforeDisplay(this, text);
    if (metrics.horizontalAdvance(text) > m_labelWidth - 6 && m_displayType != numlab::dtState)
        return m_overflowIndicator;
    return text;
}

QPalette TNumLab::drawingPalette() const
{
    QPalette colors = palette();
    colors.setCurrentColorGroup(QPalette::Active);
    return colors;
}

int TNumLab::textTop(const Canvas &canvas) const
{
    return (height() - canvas.TextHeight(kHeightProbe)) / 2;
}

// Everything but the display text: it changes only with the settings, not with the value, so
// it is kept between redraws and the frequent value change draws one text only.
void TNumLab::composeFrame()
{
    const int w = width();
    const int h = height();
    m_frame = QImage(w, h, QImage::Format_RGB32);
    Canvas canvas(m_frame, drawingPalette());
    canvas.setFont(font());
    const int y0 = textTop(canvas);

    const TColor background = m_transparent ? platform::clWhite : m_colorOutBakG;
    canvas.setPenColor(background);
    canvas.setBrushColor(background);
    canvas.Rectangle(0, 0, w, h);

    const int fieldRight = m_leftSpace + m_labelWidth;
    const int leftWidth = canvas.TextWidth(m_leftText);
    const int rightWidth = canvas.TextWidth(m_rightText);
    const TextPlace places[] = {leftTextPlace(m_leftTextAlignment, m_leftSpace, leftWidth),
                                rightTextPlace(m_rightTextAlignment, fieldRight, w, rightWidth)};
    const QString *texts[] = {&m_leftText, &m_rightText};
    for (int i = 0; i < 2; ++i) {
        if (m_enabled) {
            canvas.setFontColor(m_colorOutText);
            canvas.TextOut(places[i].x, y0, *texts[i]);
        } else {
            canvas.setBrushClear();
            canvas.setFontColor(platform::clWhite);
            canvas.TextOut(places[i].xWhite, y0 + 1, *texts[i]);
            canvas.setFontColor(platform::clGray);
            canvas.TextOut(places[i].x, y0, *texts[i]);
        }
    }
    drawField(canvas, h);
}

const QImage &TNumLab::composeBitmap()
{
    if (m_frame.isNull() || m_frame.size() != size())
        composeFrame();
    if (m_bitmap.size() != m_frame.size())
        m_bitmap = QImage(m_frame.size(), m_frame.format());
    // A plain copy into the kept buffer: assigning the image would share it and then detach.
    std::memcpy(m_bitmap.bits(), m_frame.constBits(), size_t(m_frame.sizeInBytes()));

    Canvas canvas(m_bitmap, drawingPalette());
    canvas.setFont(font());
    const std::optional<QString> text = BuildDisplayText(canvas.metrics());
    if (text) {
        const int fieldRight = m_leftSpace + m_labelWidth;
        canvas.setBrushColor(m_colorLabBakG);
        canvas.setFontColor(m_enabled ? m_colorLabText : platform::clGray);
        const int textWidth = canvas.TextWidth(*text);
        int x = m_leftSpace + 2 + (m_labelWidth - textWidth) / 2;
        if (m_alignment == platform::taLeftJustify)
            x = m_leftSpace + 4;
        else if (m_alignment == platform::taRightJustify)
            x = fieldRight - textWidth - 2;
        const QRect clip(QPoint(m_leftSpace + 3, 2), QPoint(fieldRight - 2, height() - 4));
        canvas.TextRect(clip, x, textTop(canvas), *text);
    }
    return m_bitmap;
}

void TNumLab::drawField(Canvas &canvas, int h)
{
    struct FrameColors
    {
        TColor outline;
        TColor inner;
        TColor outer;
    };
    FrameColors colors{m_shadowColor, m_darkColor, m_highlightColor};
    switch (m_frameStyle) {
    case numlab::fsNone:
        colors.outline = m_colorLabBakG;
        break;
    case numlab::fsSimple:
    case numlab::fsLowered:
        break;
    case numlab::fsRaised:
        colors = {m_shadowColor, m_highlightColor, m_darkColor};
        break;
    case numlab::fsEmbossed:
        colors = {m_highlightColor, m_shadowColor, m_shadowColor};
        break;
    case numlab::fsEngraved:
        colors = {m_shadowColor, m_highlightColor, m_highlightColor};
        break;
    }
    const int left = m_leftSpace;
    const int right = m_leftSpace + m_labelWidth + 2;
    canvas.setPenColor(colors.outline);
    canvas.setBrushColor(m_colorLabBakG);
    if (m_frameStyle == numlab::fsNone || m_frameStyle == numlab::fsSimple) {
        canvas.Rectangle(left, 0, right, h);
        return;
    }
    canvas.Rectangle(left, 0, right, h - 1);
    canvas.setPenColor(colors.inner);
    canvas.MoveTo(left + 1, h - 3);
    canvas.LineTo(left + 1, 1);
    canvas.LineTo(right - 1, 1);
    canvas.setPenColor(colors.outer);
    canvas.MoveTo(left + 1, h - 1);
    canvas.LineTo(right, h - 1);
    canvas.LineTo(right, 0);
}

void TNumLab::paintEvent(QPaintEvent *)
{
    platform::runGuarded([this] {
        const QImage &bitmap = composeBitmap();
        Canvas canvas(*this, drawingPalette());
        if (!m_transparent) {
            canvas.Draw(0, 0, bitmap, Canvas::CopyMode::Replace);
            return;
        }
        // Pre-filled so that the AND below turns the field back into its own colours while
        // the parent shows through everywhere the bitmap is white.
        const TColor fill =
            m_colorLabText != platform::clBlack ? platform::clWhite : m_colorLabBakG;
        canvas.setPenColor(fill);
        canvas.setBrushColor(fill);
        canvas.Rectangle(m_leftSpace + 2, 2, m_leftSpace + m_labelWidth, height() - 2);
        canvas.Draw(0, 0, bitmap, Canvas::CopyMode::And);
    });
}

void TNumLab::changeEvent(QEvent *event)
{
    switch (event->type()) {
    case QEvent::FontChange:
    case QEvent::PaletteChange:
    case QEvent::StyleChange:
        m_frame = QImage();
        break;
    default:
        break;
    }
    QWidget::changeEvent(event);
}

void TNumLab::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint at = event->position().toPoint();
    platform::runGuarded([&] { MouseMove(event->modifiers(), at.x(), at.y()); });
}

void TNumLab::MouseMove(Qt::KeyboardModifiers Shift, int X, int Y)
{
    m_mouseArea = 0;
    if (X > m_leftSpace)
        m_mouseArea = 1;
    if (X > m_leftSpace + m_labelWidth)
        m_mouseArea = 2;
    Q_EMIT OnMouseMove(this, Shift, X, Y);
}

QSize TNumLab::sizeHint() const
{
    const QFontMetrics metrics(font());
    return {m_leftSpace + m_labelWidth + 2 + metrics.horizontalAdvance(m_rightText) + 14,
            std::max(28, metrics.height() + 8)};
}
