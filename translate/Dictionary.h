#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The entries of a loaded language file in file order: keys (lowercased and normalised) and
// their values, kept side by side in one text so that a large file costs few allocations.
//
// Lookups go through an open-addressing table that keeps the first entry of every key, so
// Find gives exactly what a scan of the keys in file order gives, in constant time.
class TDictionary
{
public:
    static constexpr std::size_t NotFound = static_cast<std::size_t>(-1);

    void Clear();
    void Add(std::string_view key, std::string_view value);
    // Makes the entries added so far findable.
    void BuildIndex();

    std::size_t Count() const { return m_entries.size(); }
    std::string_view Key(std::size_t index) const;
    std::string_view Value(std::size_t index) const;

    // The first entry whose key equals `key` with A to Z lowercased, or NotFound.
    std::size_t Find(std::string_view key) const;

private:
    struct Entry
    {
        std::size_t keyAt;
        std::size_t keyLength;
        std::size_t valueAt;
        std::size_t valueLength;
    };
    struct Slot
    {
        std::uint32_t entry; // entry number + 1; 0 marks a free slot
        std::uint32_t tag;   // high bits of the key's hash, to pass most other keys by
    };

    std::string_view keyOf(const Entry &entry) const;
    std::size_t slotOf(std::string_view key, std::uint32_t &tag) const;

    std::string m_text;
    std::vector<Entry> m_entries;
    std::vector<Slot> m_slots;
    std::size_t m_mask = 0;
};
