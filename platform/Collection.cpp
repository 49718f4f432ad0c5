#include "Collection.h"

#include "Exception.h"

#include <QChildEvent>
#include <algorithm>
#include <string>

namespace platform {

Collection::Collection(QObject *parent) : QObject(parent) {}

Collection::~Collection()
{
    // The items go with the Qt children; they must not report back to a half-destroyed list.
    for (QObject *item : m_items)
        disconnect(item, nullptr, this, nullptr);
}

QObject *Collection::Items(int index) const
{
    if (index < 0 || index >= Count())
        throw Exception("List index out of bounds (" + std::to_string(index) + ")");
    return m_items[static_cast<std::size_t>(index)];
}

QObject *Collection::Add(QObject *item)
{
    if (item == nullptr || std::find(m_items.begin(), m_items.end(), item) != m_items.end())
        return item;
    item->setParent(this);
    m_items.push_back(item);
    connect(item, &QObject::destroyed, this, &Collection::forget);
    return item;
}

void Collection::Delete(int index)
{
    delete Items(index);
}

void Collection::Clear()
{
    while (!m_items.empty())
        delete m_items.back();
}

void Collection::childEvent(QChildEvent *event)
{
    if (event->removed())
        forget(event->child());
    QObject::childEvent(event);
}

void Collection::forget(QObject *item)
{
    m_items.erase(std::remove(m_items.begin(), m_items.end(), item), m_items.end());
}

} // namespace platform
