#pragma once

#include "platform/Fonts.h"

#include <QApplication>
#include <QString>
#include <exception>
#include <utility>

namespace platform {

// The application object: an exception that escapes one of our event handlers is shown in
// a message box and the program goes on.
class Application : public QApplication
{
public:
    Application(int &argc, char **argv);

    bool notify(QObject *receiver, QEvent *event) override;

    // Shows the message the way the top-level handler does; without a running GUI it goes
    // to standard error, so no error is ever swallowed.
    static void showError(const QString &message);
    static void showException(const std::exception &error);
};

// Runs a handler at a boundary where Qt called us (a slot, a timer, a socket notifier), so
// that no exception unwinds through Qt's own code.
template <typename Function> void runGuarded(Function &&function) noexcept
{
    try {
        std::forward<Function>(function)();
    } catch (const std::exception &error) {
        Application::showException(error);
    } catch (...) {
        Application::showError(QStringLiteral("Unknown error"));
    }
}

// Wraps a member handler for connect(): the handler's exceptions are shown, not propagated.
template <typename Object, typename... Args>
auto guarded(Object *object, void (Object::*handler)(Args...))
{
    return [object, handler](Args... args) { runGuarded([&] { (object->*handler)(args...); }); };
}

} // namespace platform
