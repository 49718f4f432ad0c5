#pragma once

#include <QString>
#include <functional>

namespace platform {

// The system shell's "open this" call: a web address goes to the desktop's default handler,
// anything else is started as a program. The result follows the Windows shell: above 32 is
// success, 0..32 a failure number (2 file not found, 3 path not found, 5 access denied,
// 8 out of memory, 11 bad format, 31 no association).
int ShellExecute(const QString &operation, const QString &file, const QString &parameters);

// What ShellExecute calls. Tests put a recorder in place so that no browser or program starts.
using ShellHandler =
    std::function<int(const QString &operation, const QString &file, const QString &parameters)>;

// Installs `handler` (an empty one restores the real shell) and returns the one it replaces.
ShellHandler setShellHandler(ShellHandler handler);

// The real shell behind ShellExecute.
int defaultShellExecute(const QString &operation, const QString &file, const QString &parameters);

// True for an existing regular file that this user may execute.
bool isExecutableFile(const QString &path);

} // namespace platform
