// The configuration tree as a JSON file. Numbers with a decimal point or an exponent are Float,
// other numbers Int; true/false Bool; strings String; arrays of four numbers Vector; objects
// nested sections; arrays of objects (null for a hole) indexed lists such as "Clients.Client".
// The keys the module knows (toolwindows/ConfigKeys.h) must hold what it expects there; an
// integer for one of its Float keys is a Float, saved as that integer again while unchanged.
// Saving keeps every key and its order, the Int/Float distinction, and writes each float in the
// shortest form that reads back to the same single-precision value.
//
// The file is UTF-8; the tree holds 8-bit text of a code page (the module's windows show the
// process's ANSI code page): keys and strings are converted on the way in and out.
//
// Loading and formatting are functions of their input alone, so they can be driven natively
// with any text.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include <brin/Counted.h>

#include "ConfigSection.h"

namespace hostkit {

// No configuration is larger: ten times a file of 100,000 keys, and far less than the memory
// its tree takes.
constexpr size_t kMaxConfigBytes = 32u << 20;
// Objects and arrays inside one another, the top-level object included. An installation needs
// five (a client's vector); every level is a step of the loader's and the saver's walks.
constexpr int kMaxConfigDepth = 64;

// A new tree from JSON text, or null with `error` saying where (line and column of the text
// for what the parser finds, the dotted place for what the tree cannot take) and what was
// expected.
brin::CountedRef<ConfigSection> ParseConfig(std::string_view text, unsigned codePage, std::string* error);

// The tree as JSON text; false with `error` for what a file cannot hold (a non-finite number,
// a value of a tag a file has no form for, text outside the code page, a tree nested deeper
// or larger than a file may be).
bool FormatConfig(ConfigSection& root, unsigned codePage, std::string* text, std::string* error);

// Messages are UTF-8; the paths they name are given in the code page, as the ANSI file
// functions take them.
//
// Reads and parses a file; messages name the file. Folders, empty files and files larger than
// kMaxConfigBytes are refused without being read.
brin::CountedRef<ConfigSection> LoadConfigFile(const std::string& path, unsigned codePage, std::string* error);

// Writes atomically: a temporary file in the same folder, flushed, then renamed over `path`;
// the file it replaces is kept as `path` + ".bak" (replaced whole, never left half-copied). On
// failure `path` and its backup are left as they were and no temporary file stays behind.
bool SaveConfigFile(const std::string& path, ConfigSection& root, unsigned codePage, std::string* error);

// The same in the process's ANSI code page (ProcessCodePage), the one the module's windows show.
brin::CountedRef<ConfigSection> ParseConfig(std::string_view text, std::string* error);
bool FormatConfig(ConfigSection& root, std::string* text, std::string* error);
brin::CountedRef<ConfigSection> LoadConfigFile(const std::string& path, std::string* error);
bool SaveConfigFile(const std::string& path, ConfigSection& root, std::string* error);

}  // namespace hostkit
