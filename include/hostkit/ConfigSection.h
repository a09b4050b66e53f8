// A host's configuration tree: sections that store values under (key, index), in the order the
// keys were first set, and resolve dotted paths through nested sections ("Portes.max_sprites";
// "Clients.Client" at client number - 1). Every step before the last is a section at index 0.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include <brin/ConfigNode.h>

namespace hostkit {

class ConfigSection final : public brin::ConfigNode {
public:
    struct Entry {
        std::string key;
        int32_t index;
        brin::Value* value;  // owned
        // The integer a file wrote for this Float: saved in that form again while the value
        // still equals it, so a file keeps "150" where it had it.
        std::optional<int64_t> integerForm;
    };

    // A new section with count 0: hold it in a brin::CountedRef (or store it in a Node value).
    static ConfigSection* Make() { return new ConfigSection(); }

    void FinalRelease() override;
    // Owns `value` from the call on, whatever happens: a value that cannot be stored (no
    // value, an empty path or step, a step that holds no section) is freed and false returned.
    // A replaced value is freed through its own virtual destructor.
    bool Set(const char* path, int32_t index, brin::Value* value) override;
    brin::Value* Find(const char* path, int32_t index) override;

    // The section at a dotted path, made (with the sections before it) when `create` is set;
    // null when absent or when a step holds something else. Borrowed.
    ConfigSection* Section(const char* path, bool create = false);

    // This section's own entries, in insertion order.
    const std::vector<Entry>& Entries() const { return m_entries; }

    // Keys that hold a list (entries by index), even one with only entry 0: a saved file
    // writes them as lists again.
    void MarkList(const std::string& key);
    bool IsList(const std::string& key) const;
    // Whether any entry, or a list, is under this key (one step, no dots).
    bool HasKey(const std::string& key) const { return m_keys.count(key) != 0; }
    // The entries under one key, by increasing index.
    std::vector<const Entry*> EntriesOf(const std::string& key) const;
    // Notes the integer a file wrote for the entry (key, index); nothing when there is none.
    void KeepIntegerForm(const std::string& key, int32_t index, int64_t integer);

private:
    // Where a key's entries are in m_entries, by increasing index: the first one inline (most
    // keys have only entry 0), the others after it. Lists are usually short and appended in
    // order, and a key is found at once however many a section holds.
    struct KeyEntries {
        std::pair<int32_t, size_t> first{};
        std::vector<std::pair<int32_t, size_t>> more;
        size_t count = 0;
        bool list = false;
    };

    ConfigSection() = default;
    ~ConfigSection();

    Entry* Own(const std::string& key, int32_t index);
    void Add(const std::string& key, int32_t index, brin::Value* value);

    std::vector<Entry> m_entries;
    std::unordered_map<std::string, KeyEntries> m_keys;
};

// Values of the tags the value's constructors do not make, made by the host's code.
brin::Value* MakeIntValue(int32_t i);
brin::Value* MakeNodeValue(brin::ConfigNode* node);

}  // namespace hostkit
