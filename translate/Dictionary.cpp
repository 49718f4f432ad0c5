#include "Dictionary.h"

#include "ByteText.h"

#include "platform/Exception.h"

#include <limits>

void TDictionary::Clear()
{
    m_text.clear();
    m_entries.clear();
    m_slots.clear();
    m_mask = 0;
}

void TDictionary::Add(std::string_view key, std::string_view value)
{
    const Entry entry{m_text.size(), key.size(), m_text.size() + key.size(), value.size()};
    m_text.append(key);
    m_text.append(value);
    m_entries.push_back(entry);
}

std::string_view TDictionary::Key(std::size_t index) const
{
    return keyOf(m_entries.at(index));
}

std::string_view TDictionary::keyOf(const Entry &entry) const
{
    return std::string_view(m_text.data() + entry.keyAt, entry.keyLength);
}

std::string_view TDictionary::Value(std::size_t index) const
{
    const Entry &entry = m_entries.at(index);
    return std::string_view(m_text).substr(entry.valueAt, entry.valueLength);
}

std::size_t TDictionary::slotOf(std::string_view key, std::uint32_t &tag) const
{
    const std::uint64_t hash = bytetext::lowerHash(key);
    tag = static_cast<std::uint32_t>(hash >> 32);
    return hash & m_mask;
}

void TDictionary::BuildIndex()
{
    if (m_entries.size() >= std::numeric_limits<std::uint32_t>::max() / 2)
        throw platform::EIntOverflow();
    std::size_t size = 16;
    while (size < m_entries.size() * 2)
        size *= 2;
    m_slots.assign(size, Slot{0, 0});
    m_mask = size - 1;
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        const std::string_view key = keyOf(m_entries[i]);
        std::uint32_t tag = 0;
        std::size_t at = slotOf(key, tag);
        while (m_slots[at].entry != 0 &&
               (m_slots[at].tag != tag || keyOf(m_entries[m_slots[at].entry - 1]) != key))
            at = (at + 1) & m_mask;
        if (m_slots[at].entry == 0)
            m_slots[at] = Slot{static_cast<std::uint32_t>(i + 1), tag};
    }
}

std::size_t TDictionary::Find(std::string_view key) const
{
    if (m_slots.empty())
        return NotFound;
    std::uint32_t tag = 0;
    for (std::size_t at = slotOf(key, tag); m_slots[at].entry != 0; at = (at + 1) & m_mask) {
        const Slot &slot = m_slots[at];
        if (slot.tag == tag && bytetext::equalsLowered(keyOf(m_entries[slot.entry - 1]), key))
            return slot.entry - 1;
    }
    return NotFound;
}
