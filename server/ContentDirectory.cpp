#include "ContentDirectory.h"

#include "platform/Cp1252.h"
#include "platform/Exception.h"
#include "platform/ExePath.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// A reply must fit the bus's 64 MiB limit together with its stamp and flag byte.
constexpr qint64 MaximumFileSize = 64 * 1024 * 1024 - 16;

} // namespace

ContentDirectory::ContentDirectory(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isDir())
        throw platform::Exception("The content directory " + path.toStdString() +
                                  " does not exist");
    m_path = info.canonicalFilePath();
    if (!m_path.endsWith(u'/'))
        m_path += u'/';
}

std::optional<QString> ContentDirectory::resolve(const std::string &name) const
{
    if (name.empty() || name.find('\0') != std::string::npos)
        return std::nullopt;
    const QString given = platform::fromCp1252(name);
    const QString full = QDir::isAbsolutePath(given) ? given : m_path + given;
    // The canonical path has every link and ".." resolved, so a prefix test is enough.
    const QString canonical = QFileInfo(full).canonicalFilePath();
    if (canonical.isEmpty() || !canonical.startsWith(m_path))
        return std::nullopt;
    return canonical;
}

std::optional<QByteArray> ContentDirectory::read(const std::string &name) const
{
    const std::optional<QString> canonical = resolve(name);
    if (!canonical)
        return std::nullopt;
    QFile file(*canonical);
    if (!QFileInfo(file).isFile() || file.size() > MaximumFileSize)
        return std::nullopt;
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray content = file.read(MaximumFileSize + 1);
    if (content.size() > MaximumFileSize)
        return std::nullopt;
    return content;
}

std::string ContentDirectory::map(const std::string &exePath) const
{
    return platform::toCp1252(m_path) + platform::fileNamePart(exePath);
}
