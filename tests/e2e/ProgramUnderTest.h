#pragma once

#include <QImage>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

// The real programs as separate processes on a display and a bus of their own, driven and
// observed from outside as a person would: window titles, keys, clicks and screenshots.
class Desktop
{
public:
    Desktop();
    ~Desktop();

    bool isValid() const;
    QString busDirectory() const { return m_bus.path(); }

    // Starts a program with this desktop's bus; it is ended, if still running, at the end.
    QProcess *start(const QString &program, const QStringList &arguments = {});

    // The id of a mapped window whose title is exactly `title`, waiting up to `timeoutMs`
    // for it; 0 when none came.
    quint64 waitForWindow(const QString &title, int timeoutMs = 20000) const;
    bool isWindowShown(const QString &title) const;

    void focus(quint64 window) const;
    void key(quint64 window, const QString &keys) const;
    void click(quint64 window, int x, int y) const;
    QImage screenshot(quint64 window) const;

private:
    QString registryPath() const;
    QString xdotool(const QStringList &arguments, int *exitCode = nullptr) const;

    QTemporaryDir m_bus;
    std::vector<std::unique_ptr<QProcess>> m_processes;
};
