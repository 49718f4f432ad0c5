#include "ClientRegistry.h"

#include "hostlink/CommandLine.h"

#include <algorithm>

ClientRegistry::ClientRegistry(LivenessTest isAlive) : m_isAlive(std::move(isAlive)) {}

void ClientRegistry::add(const TEntity &client)
{
    TEntity record;
    record.Assign(&client);
    for (TEntity &existing : m_clients) {
        if (existing.Handle == client.Handle) {
            existing = record;
            return;
        }
    }
    m_clients.push_back(record);
}

bool ClientRegistry::remove(quint32 handle)
{
    const auto before = m_clients.size();
    std::erase_if(m_clients, [handle](const TEntity &client) { return client.Handle == handle; });
    return m_clients.size() != before;
}

void ClientRegistry::dropDead()
{
    std::erase_if(m_clients, [this](const TEntity &client) { return !m_isAlive(client.Handle); });
}

std::optional<TEntity> ClientRegistry::findByHandle(quint32 handle)
{
    dropDead();
    for (const TEntity &client : m_clients) {
        if (client.Handle == handle)
            return client;
    }
    return std::nullopt;
}

std::optional<TEntity> ClientRegistry::findByTitle(const std::string &title)
{
    dropDead();
    const std::string wanted = LowerCase(title);
    std::optional<TEntity> found;
    for (const TEntity &client : m_clients) {
        if (LowerCase(client.storedTitle()) != wanted)
            continue;
        if (client.LockHandle != 0)
            return client;
        if (!found)
            found = client;
    }
    return found;
}
