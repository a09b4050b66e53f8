// Every configuration key the module reads or writes, with the value it expects there. The
// module's own tables are checked against this list when they compile, and a host can use it
// to refuse a configuration that the windows would silently read as absent.
//
// A key is a dotted path relative to a section of one of three kinds (`KeyScope`): the root the
// host hands out; a membrane definition (the "Portes" section itself, and every element of the
// list "Clients.Client"); a tracker's setup (every element of "Trackers.Tracker"). The module
// looks every key up with entry index 0, except the two lists, which it reads by index.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace toolwindows {

enum class KeyType {
    Float,        // a brin::Value of tag Float (6)
    Vector,       // a Value of tag Vector (11): four floats
    String,       // a Value of tag String (4)
    Bool,         // a Value of tag Bool (0)
    Section,      // a Value of tag Node (9): a section
    SectionList,  // Node values at indexes 0, 1, ...: a list of sections
};

enum class KeyScope {
    Root,        // the configuration root
    Definition,  // a membrane definition
    Tracker,     // a tracker's setup
};

struct ConfigKey {
    std::string_view path;
    KeyType type;
    KeyScope scope;
    KeyScope contents;  // for a Section or SectionList: what its sections are (besides a path step)
};

inline constexpr ConfigKey kConfigKeys[] = {
    // The setup editor's parameters (the second write of "Portes.cullback" included).
    {"Portes.sprites_repulse", KeyType::Float, KeyScope::Root, KeyScope::Root},
    {"Portes.sprites_scale", KeyType::Float, KeyScope::Root, KeyScope::Root},
    {"Portes.refractscale", KeyType::Float, KeyScope::Root, KeyScope::Root},
    {"Portes.sprites_small", KeyType::Float, KeyScope::Root, KeyScope::Root},
    {"Portes.membrane_gap", KeyType::Float, KeyScope::Root, KeyScope::Root},
    {"Portes.max_sprites", KeyType::Float, KeyScope::Root, KeyScope::Root},
    {"Portes.tau_reac", KeyType::Vector, KeyScope::Root, KeyScope::Root},
    {"Portes.volumeduration", KeyType::Float, KeyScope::Root, KeyScope::Root},
    {"Portes.maxvolume", KeyType::Float, KeyScope::Root, KeyScope::Root},
    {"Portes.lifetime", KeyType::Float, KeyScope::Root, KeyScope::Root},
    {"Portes.fade_duration", KeyType::Float, KeyScope::Root, KeyScope::Root},
    {"Portes.inflate_duration", KeyType::Float, KeyScope::Root, KeyScope::Root},
    {"Portes.trans_latency", KeyType::Float, KeyScope::Root, KeyScope::Root},
    {"Portes.trans_latency2", KeyType::Float, KeyScope::Root, KeyScope::Root},
    {"Portes.trans_duration", KeyType::Float, KeyScope::Root, KeyScope::Root},
    {"Portes.trans_attractor", KeyType::Float, KeyScope::Root, KeyScope::Root},
    {"Portes.trans_delay_near", KeyType::Float, KeyScope::Root, KeyScope::Root},
    {"Portes.trans_delay_far", KeyType::Float, KeyScope::Root, KeyScope::Root},
    {"Portes.trans_threshold", KeyType::Float, KeyScope::Root, KeyScope::Root},
    {"Portes.trans_thresholdmax", KeyType::Float, KeyScope::Root, KeyScope::Root},
    {"Portes.fadembr_duration", KeyType::Float, KeyScope::Root, KeyScope::Root},
    {"Portes.noact_timeout", KeyType::Float, KeyScope::Root, KeyScope::Root},
    {"Portes.phase_speed", KeyType::Float, KeyScope::Root, KeyScope::Root},
    {"Portes.phase_amp", KeyType::Float, KeyScope::Root, KeyScope::Root},
    {"Portes.phase_freq", KeyType::Float, KeyScope::Root, KeyScope::Root},
    {"Portes.mbr_tau", KeyType::Float, KeyScope::Root, KeyScope::Root},
    {"Portes.cullback", KeyType::Float, KeyScope::Root, KeyScope::Root},
    {"Clients.cullback", KeyType::Float, KeyScope::Root, KeyScope::Root},
    {"Trackers.minSz", KeyType::Float, KeyScope::Root, KeyScope::Root},
    {"Trackers.maxSz", KeyType::Float, KeyScope::Root, KeyScope::Root},
    {"Trackers.minDens", KeyType::Float, KeyScope::Root, KeyScope::Root},
    {"Trackers.maxDens", KeyType::Float, KeyScope::Root, KeyScope::Root},
    {"Trackers.nearz", KeyType::Float, KeyScope::Root, KeyScope::Root},
    {"Trackers.farz", KeyType::Float, KeyScope::Root, KeyScope::Root},
    {"Trackers.amplitudey", KeyType::Float, KeyScope::Root, KeyScope::Root},
    {"Trackers.frequencey", KeyType::Float, KeyScope::Root, KeyScope::Root},
    {"Global.socketfreq", KeyType::Float, KeyScope::Root, KeyScope::Root},
    // The membrane definitions the setup editor browses, and their keys.
    {"Portes", KeyType::Section, KeyScope::Root, KeyScope::Definition},
    {"Clients.Client", KeyType::SectionList, KeyScope::Root, KeyScope::Definition},
    {"lightexp", KeyType::Vector, KeyScope::Definition, KeyScope::Definition},
    {"lightdir", KeyType::Vector, KeyScope::Definition, KeyScope::Definition},
    {"bumpfact", KeyType::Float, KeyScope::Definition, KeyScope::Definition},
    {"cube_map", KeyType::String, KeyScope::Definition, KeyScope::Definition},
    {"bump_map", KeyType::String, KeyScope::Definition, KeyScope::Definition},
    // The sensors window's tracker setups.
    {"Trackers.Tracker", KeyType::SectionList, KeyScope::Root, KeyScope::Tracker},
    {"mouseSimul", KeyType::Bool, KeyScope::Tracker, KeyScope::Tracker},
};

// The key at `path` in sections of `scope`, or nothing when the module has no such key.
constexpr std::optional<ConfigKey> FindConfigKey(KeyScope scope, std::string_view path)
{
    for (const ConfigKey& key : kConfigKeys)
        if (key.scope == scope && key.path == path)
            return key;
    return std::nullopt;
}

constexpr bool IsConfigKey(KeyScope scope, std::string_view path, KeyType type)
{
    const std::optional<ConfigKey> key = FindConfigKey(scope, path);
    return key && key->type == type;
}

// True when `path` leads to keys of the module ("Portes", "Trackers"): it must hold a section.
constexpr bool LeadsToConfigKeys(KeyScope scope, std::string_view path)
{
    for (const ConfigKey& key : kConfigKeys)
        if (key.scope == scope && key.path.size() > path.size() && key.path[path.size()] == '.' &&
            key.path.substr(0, path.size()) == path)
            return true;
    return false;
}

// How many keys of a scope and type the list holds: the module's tables check they use them all.
constexpr std::size_t CountConfigKeys(KeyScope scope, KeyType type)
{
    std::size_t count = 0;
    for (const ConfigKey& key : kConfigKeys)
        count += key.scope == scope && key.type == type ? 1 : 0;
    return count;
}

}  // namespace toolwindows
