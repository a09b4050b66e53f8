#include "MembraneDefinition.h"

#include <toolwindows/ConfigKeys.h>

#include "SetupTable.h"

namespace setup {

namespace {

using toolwindows::IsConfigKey;
using toolwindows::KeyScope;
using toolwindows::KeyType;

// Where the definitions are, and their keys, checked against the public list of keys.
constexpr const char* kCommonKey = "Portes";
constexpr const char* kClientsKey = "Clients.Client";
constexpr const char* kLightExpKey = "lightexp";
constexpr const char* kLightDirKey = "lightdir";
constexpr const char* kBumpFactKey = "bumpfact";
constexpr const char* kCubeMapKey = "cube_map";
constexpr const char* kBumpMapKey = "bump_map";
static_assert(IsConfigKey(KeyScope::Root, kCommonKey, KeyType::Section));
static_assert(IsConfigKey(KeyScope::Root, kClientsKey, KeyType::SectionList));
static_assert(toolwindows::FindConfigKey(KeyScope::Root, kCommonKey)->contents == KeyScope::Definition);
static_assert(toolwindows::FindConfigKey(KeyScope::Root, kClientsKey)->contents == KeyScope::Definition);
static_assert(IsConfigKey(KeyScope::Definition, kLightExpKey, KeyType::Vector));
static_assert(IsConfigKey(KeyScope::Definition, kLightDirKey, KeyType::Vector));
static_assert(IsConfigKey(KeyScope::Definition, kBumpFactKey, KeyType::Float));
static_assert(IsConfigKey(KeyScope::Definition, kCubeMapKey, KeyType::String));
static_assert(IsConfigKey(KeyScope::Definition, kBumpMapKey, KeyType::String));

std::string Fixed2(float value) { return FormatParam(ParamFormat::Fixed2, value).chars; }

std::string StoredName(brin::ConfigNode& definition, const char* key, bool* found)
{
    const brin::Str<char> name = definition.ReadString(key, 0, found);
    const char* chars = name.GetChars();
    return chars ? chars : "";
}

// A texture name is written only when the text differs from the stored name.
uint32_t WriteTextureName(brin::ConfigNode& definition, const char* key, const std::string& text)
{
    bool found = false;
    const std::string stored = StoredName(definition, key, &found);
    if ((found && text == stored) || text.empty())
        return 0;
    definition.Set(key, 0, new brin::Value(text.c_str()));
    return TexturesChanged;
}

}  // namespace

std::string DefinitionCaption(int index)
{
    if (index == kCommonDefinition)
        return "common definition 0";
    return "Client " + std::to_string(index);
}

brin::ConfigNode* SelectDefinition(brin::ConfigNode& root, int index)
{
    if (index <= kCommonDefinition)
        return root.ReadNode(kCommonKey, 0);
    return root.ReadNode(kClientsKey, index - 1);
}

MembraneFields ReadMembraneFields(brin::ConfigNode* definition)
{
    MembraneFields fields;
    if (!definition)
        return fields;
    float x = 0, y = 0;
    if (definition->ReadVector(kLightExpKey, &x, &y, nullptr, nullptr)) {
        fields.lightExponent = Fixed2(x);
        fields.twoSides = y != 0.0f;
    }
    if (definition->ReadVector(kLightDirKey, &x, &y, nullptr, nullptr)) {
        fields.lightDirX = Fixed2(x);
        fields.lightDirY = Fixed2(y);
    }
    bool found = false;
    fields.cubeMap = StoredName(*definition, kCubeMapKey, &found);
    fields.bumpMap = StoredName(*definition, kBumpMapKey, &found);
    const brin::Value* bump = definition->Find(kBumpFactKey, 0);
    if (bump && bump->IsType(brin::Float))
        fields.bumpFactor = Fixed2(bump->AsFloat());
    return fields;
}

uint32_t WriteMembraneFields(brin::ConfigNode* definition, const MembraneFields& fields)
{
    if (!definition)
        return 0;
    if (!fields.lightExponent.empty()) {
        const float s = fields.twoSides ? 1.0f : 0.0f;
        definition->Set(kLightExpKey, 0, new brin::Value(ParseParam(fields.lightExponent), s, 0.0f, 0.0f));
    }
    if (!fields.lightDirX.empty()) {
        const float y = ParseParam(fields.lightDirY);
        definition->Set(kLightDirKey, 0, new brin::Value(ParseParam(fields.lightDirX), y, 0.0f, 0.0f));
    }
    if (!fields.bumpFactor.empty())
        definition->Set(kBumpFactKey, 0, new brin::Value(ParseParam(fields.bumpFactor)));
    uint32_t changed = WriteTextureName(*definition, kCubeMapKey, fields.cubeMap);
    changed |= WriteTextureName(*definition, kBumpMapKey, fields.bumpMap);
    return changed;
}

}  // namespace setup
