#pragma once

#include <QApplication>
#include <QEvent>
#include <QMessageBox>
#include <QMetaObject>
#include <QObject>
#include <QStringList>
#include <functional>

// Closes every message box as soon as it shows and hands its text on, so that a program
// under test never blocks in a modal box nobody can click.
class MessageBoxCatcher : public QObject
{
public:
    explicit MessageBoxCatcher(std::function<void(const QString &)> onText, QObject *parent)
        : QObject(parent), m_onText(std::move(onText))
    {
        qApp->installEventFilter(this);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show) {
            if (auto *box = qobject_cast<QMessageBox *>(watched)) {
                m_onText(box->text());
                QMetaObject::invokeMethod(
                    box, [box] { box->done(0); }, Qt::QueuedConnection);
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void(const QString &)> m_onText;
};
