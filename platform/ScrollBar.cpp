#include "ScrollBar.h"

#include <QKeyEvent>

namespace platform {

ScrollBar::ScrollBar(QWidget *parent) : QScrollBar(Qt::Horizontal, parent)
{
    setRange(0, 255);
    setSingleStep(1);
    setPageStep(1);
    setTracking(true);
    setFocusPolicy(Qt::StrongFocus);
}

void ScrollBar::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Right:
    case Qt::Key_Down:
        triggerAction(SliderSingleStepAdd);
        break;
    case Qt::Key_Left:
    case Qt::Key_Up:
        triggerAction(SliderSingleStepSub);
        break;
    case Qt::Key_PageDown:
        triggerAction(SliderPageStepAdd);
        break;
    case Qt::Key_PageUp:
        triggerAction(SliderPageStepSub);
        break;
    case Qt::Key_Home:
        triggerAction(SliderToMinimum);
        break;
    case Qt::Key_End:
        triggerAction(SliderToMaximum);
        break;
    default:
        QScrollBar::keyPressEvent(event);
        return;
    }
    event->accept();
}

} // namespace platform
