// The membrane definitions the setup editor browses: the common one (the "Portes" section) and
// one per client (element k - 1 of "Clients.Client"), and the five keys of each. Free of window
// types: the editor moves the fields between these and its edits.
#pragma once

#include <cstdint>
#include <string>

#include <brin/ConfigNode.h>

namespace setup {

constexpr int kCommonDefinition = 0;
constexpr int kLastClientDefinition = 7;

// The group box caption for a definition: "common definition 0", "Client 1" ... "Client 7".
std::string DefinitionCaption(int index);

// The section of a definition: "Portes" for index 0 or below, "Clients.Client" at index - 1
// otherwise; null when that entry is absent or not a section. Borrowed.
brin::ConfigNode* SelectDefinition(brin::ConfigNode& root, int index);

// The browser's fields as the edits hold them; an empty text is an empty edit.
struct MembraneFields {
    std::string lightExponent;  // "lightexp" component 0
    bool twoSides = false;      // "lightexp" component 1 not 0
    std::string lightDirX;      // "lightdir" component 0 (the right-hand box)
    std::string lightDirY;      // "lightdir" component 1 (the left-hand box)
    std::string bumpFactor;     // "bumpfact"
    std::string cubeMap;        // "cube_map", exactly as stored
    std::string bumpMap;        // "bump_map", exactly as stored
};

// What the edits show for a definition; all empty when there is none. Texture names are shown
// whole, however long.
MembraneFields ReadMembraneFields(brin::ConfigNode* definition);

// Writes the non-empty fields back into a definition (nothing when there is none) and returns
// TexturesChanged when a texture name was replaced, 0 otherwise. An empty field never removes
// or overwrites an entry; a texture name equal to the stored one byte for byte is not written.
uint32_t WriteMembraneFields(brin::ConfigNode* definition, const MembraneFields& fields);

}  // namespace setup
