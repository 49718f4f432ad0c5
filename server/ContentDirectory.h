#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <string>

// The directory from which the server hands out files. Nothing outside it is ever served: a
// name is resolved (relative names against the directory, "..", symbolic links) and must
// land on a regular file inside it.
class ContentDirectory
{
public:
    // Throws platform::Exception when `path` is not an existing directory.
    explicit ContentDirectory(const QString &path);

    // The directory's canonical path, ending in '/'.
    const QString &path() const { return m_path; }

    // The file's bytes, or nothing when the name does not lead to a readable regular file
    // inside the directory (or it is too large to travel on the bus).
    std::optional<QByteArray> read(const std::string &name) const;

    // Where a client's executable path maps to: the directory plus the path's file-name part
    // ("C:\Books\demo.exe" and "/opt/demo.exe" both give "<dir>/demo.exe").
    std::string map(const std::string &exePath) const;

    // The canonical path of `name` when it resolves inside the directory.
    std::optional<QString> resolve(const std::string &name) const;

private:
    QString m_path;
};
