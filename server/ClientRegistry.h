#pragma once

#include "hostlink/Entity.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

// The clients that registered with the server, in the order they first registered.
class ClientRegistry
{
public:
    using LivenessTest = std::function<bool(quint32 handle)>;

    // `isAlive` tells whether a window still exists; records of windows that are gone are
    // dropped when a look-up meets them.
    explicit ClientRegistry(LivenessTest isAlive);

    // A client that registers again (for instance once it holds its single-instance lock)
    // has its record updated in place.
    void add(const TEntity &client);
    bool remove(quint32 handle);

    std::optional<TEntity> findByHandle(quint32 handle);
    // Titles compare without ASCII letter case. Of several clients with the title, the one
    // that holds its single-instance lock wins, else the earliest.
    std::optional<TEntity> findByTitle(const std::string &title);

    const std::vector<TEntity> &clients() const { return m_clients; }

private:
    void dropDead();

    LivenessTest m_isAlive;
    std::vector<TEntity> m_clients;
};
