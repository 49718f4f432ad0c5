#pragma once

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QMetaObject>
#include <QObject>
#include <functional>

// Hands every dialog that shows (the About box, a message box) to a callback and then closes
// it, so that a program under test never blocks in a modal loop that nobody answers.
class ModalWatcher : public QObject
{
public:
    using Callback = std::function<void(QDialog *dialog)>;

    explicit ModalWatcher(Callback onShow = {}, QObject *parent = nullptr)
        : QObject(parent), m_onShow(std::move(onShow))
    {
        qApp->installEventFilter(this);
    }

    int shown() const { return m_shown; }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show) {
            if (auto *dialog = qobject_cast<QDialog *>(watched)) {
                ++m_shown;
                // Queued: the dialog is only being shown; its modal loop starts after this.
                QMetaObject::invokeMethod(
                    dialog,
                    [this, dialog] {
                        if (m_onShow)
                            m_onShow(dialog);
                        dialog->close();
                    },
                    Qt::QueuedConnection);
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    Callback m_onShow;
    int m_shown = 0;
};
