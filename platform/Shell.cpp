#include "Shell.h"

#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QUrl>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace platform {

namespace {

// Any value above 32 means success to callers; the Windows shell hands back a handle here.
constexpr int ShellSuccess = 42;
constexpr int ShellOutOfResources = 0;
constexpr int ShellFileNotFound = 2;
constexpr int ShellPathNotFound = 3;
constexpr int ShellAccessDenied = 5;
constexpr int ShellOutOfMemory = 8;
constexpr int ShellBadFormat = 11;
constexpr int ShellNoAssociation = 31;

ShellHandler &currentHandler()
{
    static ShellHandler handler = defaultShellExecute;
    return handler;
}

int shellError(int error)
{
    switch (error) {
    case ENOENT:
        return ShellFileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
        return ShellPathNotFound;
    case EACCES:
    case EPERM:
        return ShellAccessDenied;
    case ENOMEM:
        return ShellOutOfMemory;
    case ENOEXEC:
        return ShellBadFormat;
    default:
        return ShellOutOfResources;
    }
}

// The errno that starting `path` would meet, or 0; checked beforehand because a detached
// start does not tell why it failed.
int executableError(const QString &path)
{
    // A NUL would cut the name short in the system call and name another file.
    if (path.isEmpty() || path.contains(QChar(0)))
        return ENOENT;
    const QByteArray native = QFile::encodeName(path);
    struct stat status
    {
    };
    if (::stat(native.constData(), &status) != 0)
        return errno;
    if (!S_ISREG(status.st_mode))
        return EACCES;
    if (::access(native.constData(), X_OK) != 0)
        return errno;
    return 0;
}

// A scheme of two or more letters: "C:" stays a drive-letter path.
bool isWebAddress(const QString &file)
{
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
    return scheme.match(file).hasMatch() && !QFileInfo::exists(file);
}

int openWebAddress(const QString &address)
{
    const QUrl url(address, QUrl::StrictMode);
    if (!url.isValid())
        return ShellFileNotFound;
    return QDesktopServices::openUrl(url) ? ShellSuccess : ShellNoAssociation;
}

int startExecutable(const QString &path, const QString &parameters)
{
    if (const int error = executableError(path); error != 0)
        return shellError(error);
    QProcess process;
    // The absolute path keeps a bare name from being looked up on PATH.
    process.setProgram(QFileInfo(path).absoluteFilePath());
    process.setArguments(QProcess::splitCommand(parameters));
    // The checks above passed, so a failure here is a file the system cannot run.
    return process.startDetached() ? ShellSuccess : ShellBadFormat;
}

} // namespace

bool isExecutableFile(const QString &path)
{
    return executableError(path) == 0;
}

int defaultShellExecute(const QString &operation, const QString &file, const QString &parameters)
{
    if (!operation.isEmpty() && operation.compare(QLatin1String("open"), Qt::CaseInsensitive) != 0)
        return ShellNoAssociation;
    if (isWebAddress(file))
        return openWebAddress(file);
    return startExecutable(file, parameters);
}

int ShellExecute(const QString &operation, const QString &file, const QString &parameters)
{
    // A copy, so that a handler may replace itself while it runs.
    const ShellHandler handler = currentHandler();
    return handler(operation, file, parameters);
}

ShellHandler setShellHandler(ShellHandler handler)
{
    if (!handler)
        handler = defaultShellExecute;
    return std::exchange(currentHandler(), std::move(handler));
}

} // namespace platform
