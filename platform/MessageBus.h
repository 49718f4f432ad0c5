#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <functional>
#include <optional>
#include <string>

namespace platform {

// A window on the message bus: 8 hex digits of a non-zero 32-bit number; 0 is "none".
using WindowHandle = quint32;

inline constexpr quint32 WM_COPYDATA = 0x004A;

// One copy-data send as the receiving window procedure sees it.
struct CopyDataMessage
{
    WindowHandle wParam = 0; // by convention the sender's own window
    quint32 dwData = 0;
    QByteArray data; // the cbData bytes
};

// A window of this process on the bus, served from the Qt event loop (and from inside
// sendCopyData while this process waits for another window).
class BusWindow : public QObject
{
    Q_OBJECT
public:
    // The window procedure: runs once per whole frame received; its result goes back to the
    // sender. It must not throw.
    using Procedure = std::function<qint32(const CopyDataMessage &)>;

    // Creates the window's socket and descriptor in the bus directory; throws
    // platform::Exception with a message that says what failed.
    BusWindow(const std::string &className, const std::string &windowName,
              QObject *parent = nullptr);
    ~BusWindow() override; // removes the window's files

    WindowHandle handle() const;
    void setProcedure(Procedure procedure);

private:
    class Private;
    std::unique_ptr<Private> d;
};

// The directory that stands for the desktop: created 0700; refused (platform::Exception)
// when another user owns it or others may read or write it.
QString busDirectory();

// A live window whose class and window name equal these, ignoring ASCII letter case; 0 when
// there is none. Entries of dead processes are skipped (and may be removed).
WindowHandle findWindow(const std::string &className, const std::string &windowName);

// A live window of the given class that the process `processId` owns; 0 when there is none.
// It reaches a program that never registered anywhere, by the process a person can see.
WindowHandle findWindowOfProcess(const std::string &className, quint32 processId);

// True when `handle` names a live window.
bool isWindow(WindowHandle handle);

// A synchronous send: returns the receiver's result once its window procedure has run, or
// nothing when the window does not exist or closed before answering. While it waits, sends
// that reach this process's own windows are served on this thread.
std::optional<qint32> sendCopyData(WindowHandle target, WindowHandle wParam, quint32 dwData,
                                   const QByteArray &data);

} // namespace platform
