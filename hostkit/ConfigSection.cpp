#include <hostkit/ConfigSection.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace hostkit {

namespace {

// Frees a value through its own virtual destructor, so a value made by the module goes back
// to the module's allocator.
struct ValueDeleter {
    void operator()(brin::Value* v) const { delete v; }
};
using OwnedValue = std::unique_ptr<brin::Value, ValueDeleter>;

// The first step of a dotted path and what follows it (null when it is the last step).
struct Step {
    std::string head;
    const char* rest;
};

Step FirstStep(const char* path)
{
    const char* dot = std::strchr(path, '.');
    if (!dot)
        return {path, nullptr};
    return {std::string(path, dot), dot + 1};
}

bool Usable(const char* path) { return path && *path; }

}  // namespace

ConfigSection::~ConfigSection()
{
    // Taken out first: freeing a value may release sections that look back here.
    std::vector<Entry> entries;
    entries.swap(m_entries);
    for (Entry& e : entries)
        delete e.value;
}

void ConfigSection::FinalRelease() { delete this; }

namespace {

bool IndexBelow(const std::pair<int32_t, size_t>& entry, int32_t index) { return entry.first < index; }

}  // namespace

ConfigSection::Entry* ConfigSection::Own(const std::string& key, int32_t index)
{
    const auto found = m_keys.find(key);
    if (found == m_keys.end() || found->second.count == 0)
        return nullptr;
    const KeyEntries& k = found->second;
    if (k.first.first == index)
        return &m_entries[k.first.second];
    const auto at = std::lower_bound(k.more.begin(), k.more.end(), index, IndexBelow);
    return at != k.more.end() && at->first == index ? &m_entries[at->second] : nullptr;
}

void ConfigSection::Add(const std::string& key, int32_t index, brin::Value* value)
{
    KeyEntries& k = m_keys[key];
    const std::pair<int32_t, size_t> entry{index, m_entries.size()};
    if (k.count == 0) {
        k.first = entry;
    } else if (index < k.first.first) {
        k.more.insert(k.more.begin(), k.first);
        k.first = entry;
    } else {
        k.more.insert(std::lower_bound(k.more.begin(), k.more.end(), index, IndexBelow), entry);
    }
    ++k.count;
    m_entries.push_back({key, index, value, std::nullopt});
}

std::vector<const ConfigSection::Entry*> ConfigSection::EntriesOf(const std::string& key) const
{
    std::vector<const Entry*> entries;
    const auto found = m_keys.find(key);
    if (found == m_keys.end() || found->second.count == 0)
        return entries;
    entries.push_back(&m_entries[found->second.first.second]);
    for (const auto& [index, position] : found->second.more)
        entries.push_back(&m_entries[position]);
    return entries;
}

void ConfigSection::KeepIntegerForm(const std::string& key, int32_t index, int64_t integer)
{
    if (Entry* e = Own(key, index))
        e->integerForm = integer;
}

bool ConfigSection::Set(const char* path, int32_t index, brin::Value* value)
{
    OwnedValue owned(value);
    if (!owned || !Usable(path))
        return false;
    const Step step = FirstStep(path);
    if (step.head.empty())
        return false;
    if (step.rest) {
        brin::ConfigNode* child = nullptr;
        if (Entry* e = Own(step.head, 0))
            child = e->value->IsType(brin::Node) ? e->value->AsNode() : nullptr;
        else
            child = Section(step.head.c_str(), true);
        if (!child)
            return false;  // a step that holds something else is not overwritten
        return child->Set(step.rest, index, owned.release());
    }
    if (Entry* e = Own(step.head, index)) {
        if (e->value == value) {
            owned.release();  // already ours
            return true;
        }
        OwnedValue old(e->value);
        e->value = owned.release();
        return true;  // the old value goes here, once the entry is consistent again
    }
    Add(step.head, index, owned.get());
    owned.release();
    return true;
}

brin::Value* ConfigSection::Find(const char* path, int32_t index)
{
    if (!Usable(path))
        return nullptr;
    const Step step = FirstStep(path);
    if (!step.rest) {
        Entry* e = Own(step.head, index);
        return e ? e->value : nullptr;
    }
    Entry* e = Own(step.head, 0);
    if (!e || !e->value->IsType(brin::Node) || !e->value->AsNode())
        return nullptr;
    return e->value->AsNode()->Find(step.rest, index);
}

ConfigSection* ConfigSection::Section(const char* path, bool create)
{
    if (!Usable(path))
        return nullptr;
    const Step step = FirstStep(path);
    if (step.head.empty())
        return nullptr;
    ConfigSection* child = nullptr;
    if (Entry* e = Own(step.head, 0)) {
        // Only sections of this tree are walked: a foreign node has no Section().
        if (!e->value->IsType(brin::Node))
            return nullptr;
        child = dynamic_cast<ConfigSection*>(e->value->AsNode());
        if (!child)
            return nullptr;
    } else {
        if (!create)
            return nullptr;
        child = Make();
        Add(step.head, 0, MakeNodeValue(child));
    }
    return step.rest ? child->Section(step.rest, create) : child;
}

void ConfigSection::MarkList(const std::string& key) { m_keys[key].list = true; }

bool ConfigSection::IsList(const std::string& key) const
{
    const auto found = m_keys.find(key);
    if (found == m_keys.end())
        return false;
    const KeyEntries& k = found->second;
    return k.list || k.count > 1 || (k.count == 1 && k.first.first != 0);
}

brin::Value* MakeIntValue(int32_t i)
{
    auto* v = new brin::Value(0.0f);
    v->type = brin::Int;
    v->SetInt(i);
    return v;
}

brin::Value* MakeNodeValue(brin::ConfigNode* node)
{
    auto* v = new brin::Value(false);
    v->type = brin::Node;
    v->SetNode(node);
    return v;
}

}  // namespace hostkit
