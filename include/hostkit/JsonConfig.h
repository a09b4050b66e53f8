// The configuration tree as a JSON file. Numbers with a decimal point or an exponent are Float,
// other numbers Int; true/false Bool; strings String; arrays of four numbers Vector; objects
// nested sections; arrays of objects (null for a hole) indexed lists such as "Clients.Client".
// Saving keeps every key and its order, the Int/Float distinction, and writes each float in the
// shortest form that reads back to the same single-precision value.
#pragma once

#include <string>

#include <brin/Counted.h>

#include "ConfigSection.h"

namespace hostkit {

// A new tree from JSON text, or null with `error` saying where and what was expected.
brin::CountedRef<ConfigSection> ParseConfig(const std::string& text, std::string* error);

// The tree as JSON text; false with `error` for what JSON cannot hold (a non-finite number,
// a value of a tag a file has no form for).
bool FormatConfig(ConfigSection& root, std::string* text, std::string* error);

// Reads and parses a file; messages name the file.
brin::CountedRef<ConfigSection> LoadConfigFile(const std::string& path, std::string* error);

// Writes atomically: a temporary file in the same folder, flushed, then renamed over `path`;
// the file it replaces is kept as `path` + ".bak". On failure `path` is left as it was.
bool SaveConfigFile(const std::string& path, ConfigSection& root, std::string* error);

}  // namespace hostkit
