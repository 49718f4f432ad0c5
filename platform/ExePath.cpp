#include "ExePath.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace platform {
namespace {

qsizetype lastSeparator(const QString &path)
{
    for (qsizetype i = path.size() - 1; i >= 0; --i) {
        const QChar ch = path.at(i);
        if (ch == u'/' || ch == u'\\' || ch == u':')
            return i;
    }
    return -1;
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
    return path.mid(lastSeparator(path) + 1);
}

QString directoryPart(const QString &path)
{
    return path.left(lastSeparator(path) + 1);
}

QString withExtension(const QString &path, const QString &extension)
{
    const qsizetype nameStart = lastSeparator(path) + 1;
    const qsizetype dot = path.lastIndexOf(u'.');
    if (dot >= nameStart)
        return path.left(dot) + extension;
    return path + extension;
}

} // namespace platform
