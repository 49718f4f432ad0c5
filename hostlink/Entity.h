#pragma once

#include <QtGlobal>
#include <string>

class TkdbCustomDemon;
class TMentaroMessageStream;

// The record of one peer: a client instance or the server.
class TEntity
{
public:
    explicit TEntity(TkdbCustomDemon *owner = nullptr);

    TkdbCustomDemon *Owner = nullptr; // not owned; Refresh asks it
    quint32 Handle = 0;
    quint32 LockHandle = 0;

    // Reading an empty name first refreshes the record from the server, hence not const.
    std::string ExeName();
    std::string Title();
    void setExeName(std::string exeName) { m_exeName = std::move(exeName); }
    void setTitle(std::string title) { m_title = std::move(title); }

    // The stored names as they are, without a refresh.
    const std::string &storedExeName() const { return m_exeName; }
    const std::string &storedTitle() const { return m_title; }

    void Refresh();
    void Assign(const TEntity *other);
    void WriteTo(TMentaroMessageStream &msg);
    void ReadFrom(TMentaroMessageStream &msg);
    bool IsAlive() const;
    std::string InstanceName();

private:
    std::string m_exeName;
    std::string m_title;
};

// "MN_" and the file-name part of an executable path, never containing a backslash.
std::string InstanceNameOf(const std::string &exeName);
