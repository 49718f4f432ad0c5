#include "ItlFile.h"

#include <QDir>
#include <QSaveFile>

namespace {

QString failure(const QString &fileName, const QString &reason)
{
    return QStringLiteral("Cannot write the language file \"%1\": %2")
        .arg(QDir::current().absoluteFilePath(fileName), reason);
}

} // namespace

QString writeItlFile(const QString &fileName, const std::vector<std::string> &lines)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return failure(fileName, file.errorString());
    for (const std::string &line : lines) {
        file.write(line.data(), static_cast<qint64>(line.size()));
        file.write("\r\n", 2);
    }
    if (!file.commit())
        return failure(fileName, file.errorString());
    return {};
}
