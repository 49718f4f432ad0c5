#pragma once

#include <QScrollBar>

namespace platform {

// A horizontal scroll bar that takes the keyboard focus and answers keys as the classic
// desktop's does: Right, Down and Page Down step forward, Left, Up and Page Up back, Home
// and End jump to the ends. Every thumb position raises the change at once.
class ScrollBar : public QScrollBar
{
    Q_OBJECT
    Q_PROPERTY(int Position READ value WRITE setValue)
    Q_PROPERTY(int Min READ minimum WRITE setMinimum)
    Q_PROPERTY(int Max READ maximum WRITE setMaximum)

public:
    explicit ScrollBar(QWidget *parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent *event) override;
};

} // namespace platform
