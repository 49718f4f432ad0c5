#include "ExePath.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace platform {
namespace {

// The rules once, for QString paths and for Windows-1252 byte paths alike: where the file
// name starts, and where its extension's dot stands (-1 when it has none).
template <typename Path> qsizetype nameStart(const Path &path)
{
    for (qsizetype i = qsizetype(path.size()); i > 0; --i) {
        const auto ch = path[i - 1];
        if (ch == u'/' || ch == u'\\' || ch == u':')
            return i;
    }
    return 0;
}

template <typename Path> qsizetype extensionDot(const Path &path)
{
    const qsizetype start = nameStart(path);
    for (qsizetype i = qsizetype(path.size()) - 1; i >= start; --i) {
        if (path[i] == u'.')
            return i;
    }
    return -1;
}

template <typename Path> Path withExtensionOf(const Path &path, const Path &extension)
{
    const qsizetype dot = extensionDot(path);
    return (dot < 0 ? path : Path(path.data(), dot)) + extension;
}

} // namespace

QString executablePath()
{
    if (QCoreApplication::instance() != nullptr)
        return QCoreApplication::applicationFilePath();
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
}

QString fileNamePart(const QString &path)
{
    return path.mid(nameStart(path));
}

std::string fileNamePart(const std::string &path)
{
    return path.substr(size_t(nameStart(path)));
}

QString directoryPart(const QString &path)
{
    return path.left(nameStart(path));
}

std::string directoryPart(const std::string &path)
{
    return path.substr(0, size_t(nameStart(path)));
}

QString withExtension(const QString &path, const QString &extension)
{
    return withExtensionOf(path, extension);
}

std::string withExtension(const std::string &path, const std::string &extension)
{
    return withExtensionOf(path, extension);
}

} // namespace platform
