#include "Application.h"

#include "Cp1252.h"
#include "Fonts.h"

#include <QFont>
#include <QMessageBox>
#include <QWidget>
#include <cstdio>

namespace platform {

Application::Application(int &argc, char **argv) : QApplication(argc, argv)
{
    installFontSubstitutions();
    // The classic desktop's default face, also for the widgets' first text layouts.
    setFont(pixelFont(QStringLiteral("MS Sans Serif"), 13));
}

bool Application::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &error) {
        showException(error);
    } catch (...) {
        showError(QStringLiteral("Unknown error"));
    }
    return false;
}

void Application::showError(const QString &message)
{
    if (qobject_cast<QApplication *>(QCoreApplication::instance()) == nullptr) {
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
        return;
    }
    QMessageBox::critical(QApplication::activeWindow(), QApplication::applicationDisplayName(),
                          message);
}

void Application::showException(const std::exception &error)
{
    // Our messages are Windows-1252 bytes like every other text of the program.
    showError(fromCp1252(error.what()));
}

} // namespace platform
