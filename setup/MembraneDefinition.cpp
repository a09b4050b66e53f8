#include "MembraneDefinition.h"

#include "SetupTable.h"

namespace setup {

namespace {

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
        return root.ReadNode("Portes", 0);
    return root.ReadNode("Clients.Client", index - 1);
}

MembraneFields ReadMembraneFields(brin::ConfigNode* definition)
{
    MembraneFields fields;
    if (!definition)
        return fields;
    float x = 0, y = 0;
    if (definition->ReadVector("lightexp", &x, &y, nullptr, nullptr)) {
        fields.lightExponent = Fixed2(x);
        fields.twoSides = y != 0.0f;
    }
    if (definition->ReadVector("lightdir", &x, &y, nullptr, nullptr)) {
        fields.lightDirX = Fixed2(x);
        fields.lightDirY = Fixed2(y);
    }
    bool found = false;
    fields.cubeMap = StoredName(*definition, "cube_map", &found);
    fields.bumpMap = StoredName(*definition, "bump_map", &found);
    const brin::Value* bump = definition->Find("bumpfact", 0);
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
        definition->Set("lightexp", 0, new brin::Value(ParseParam(fields.lightExponent), s, 0.0f, 0.0f));
    }
    if (!fields.lightDirX.empty()) {
        const float y = ParseParam(fields.lightDirY);
        definition->Set("lightdir", 0, new brin::Value(ParseParam(fields.lightDirX), y, 0.0f, 0.0f));
    }
    if (!fields.bumpFactor.empty())
        definition->Set("bumpfact", 0, new brin::Value(ParseParam(fields.bumpFactor)));
    uint32_t changed = WriteTextureName(*definition, "cube_map", fields.cubeMap);
    changed |= WriteTextureName(*definition, "bump_map", fields.bumpMap);
    return changed;
}

}  // namespace setup
