#include "Entity.h"

#include "KdbCustomDemon.h"
#include "MentaroMessageStream.h"
#include "platform/ExePath.h"
#include "platform/MessageBus.h"

#include <algorithm>

TEntity::TEntity(TkdbCustomDemon *owner) : Owner(owner) {}

std::string TEntity::ExeName()
{
    if (m_exeName.empty())
        Refresh();
    return m_exeName;
}

std::string TEntity::Title()
{
    if (m_title.empty())
        Refresh();
    return m_title;
}

void TEntity::Refresh()
{
    if (Owner == nullptr)
        return;
    const std::unique_ptr<TEntity> found = Owner->FindPeerByHandle(Handle);
    Assign(found.get());
}

void TEntity::Assign(const TEntity *other)
{
    if (other == nullptr || other == this)
        return;
    Handle = other->Handle;
    LockHandle = other->LockHandle;
    m_exeName = other->m_exeName;
    m_title = other->m_title;
}

void TEntity::WriteTo(TMentaroMessageStream &msg)
{
    msg.WriteUInt32(Handle);
    msg.WriteUInt32(LockHandle);
    msg.WriteString(ExeName());
    msg.WriteString(Title());
}

void TEntity::ReadFrom(TMentaroMessageStream &msg)
{
    Handle = msg.ReadUInt32();
    LockHandle = msg.ReadUInt32();
    m_exeName = msg.ReadString();
    m_title = msg.ReadString();
}

bool TEntity::IsAlive() const
{
    return Handle != 0 && platform::isWindow(Handle);
}

std::string TEntity::InstanceName()
{
    return InstanceNameOf(ExeName());
}

std::string InstanceNameOf(const std::string &exeName)
{
    std::string name = "MN_" + platform::fileNamePart(exeName);
    std::replace(name.begin(), name.end(), '\\', '_');
    return name;
}
