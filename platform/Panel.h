#pragma once

#include "platform/Color.h"

#include <QFrame>
#include <QString>

namespace platform {

// A panel: a filled area with a one-pixel bevel and an optional centred caption.
class Panel : public QFrame
{
    Q_OBJECT
    Q_PROPERTY(QString Caption READ caption WRITE setCaption)
    Q_PROPERTY(quint32 Color READ color WRITE setColor)
    Q_PROPERTY(Bevel BevelOuter READ bevelOuter WRITE setBevelOuter)
    Q_PROPERTY(Bevel BevelInner READ bevelInner WRITE setBevelInner)

public:
    enum Bevel { bvNone, bvLowered, bvRaised };
    Q_ENUM(Bevel)

    explicit Panel(QWidget *parent = nullptr);

    QString caption() const { return m_caption; }
    TColor color() const { return m_color; }
    Bevel bevelOuter() const { return m_bevelOuter; }
    Bevel bevelInner() const { return m_bevelInner; }

    void setCaption(const QString &caption);
    void setColor(TColor color);
    void setBevelOuter(Bevel bevel);
    void setBevelInner(Bevel bevel);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_caption;
    TColor m_color = clBtnFace;
    Bevel m_bevelOuter = bvRaised;
    Bevel m_bevelInner = bvNone;
};

} // namespace platform
