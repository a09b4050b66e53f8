#include <hostkit/JsonConfig.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

#include <nlohmann/json.hpp>

namespace hostkit {

namespace {

using Json = nlohmann::ordered_json;

std::string Join(const std::string& where, const std::string& key)
{
    return where.empty() ? key : where + "." + key;
}

struct Loader {
    std::string error;

    bool Fail(const std::string& where, const std::string& what)
    {
        error = (where.empty() ? std::string("top level") : "\"" + where + "\"") + ": " + what;
        return false;
    }

    static const char* Kind(const Json& j)
    {
        switch (j.type()) {
        case Json::value_t::null: return "null";
        case Json::value_t::boolean: return "a boolean";
        case Json::value_t::string: return "a string";
        case Json::value_t::array: return "an array";
        case Json::value_t::object: return "an object";
        default: return "a number";
        }
    }

    // A value for a number, a string, a boolean or four numbers; null for what it cannot hold.
    brin::Value* Scalar(const Json& j, const std::string& where)
    {
        if (j.is_boolean())
            return new brin::Value(j.get<bool>());
        if (j.is_string())
            return new brin::Value(j.get_ref<const std::string&>().c_str());
        if (j.is_number_float()) {
            const float f = static_cast<float>(j.get<double>());
            if (!std::isfinite(f)) {
                Fail(where, "expected a number within single precision");
                return nullptr;
            }
            return new brin::Value(f);
        }
        if (j.is_number_integer()) {
            const bool fits = j.is_number_unsigned()
                                  ? j.get<uint64_t>() <= static_cast<uint64_t>(std::numeric_limits<int32_t>::max())
                                  : j.get<int64_t>() >= std::numeric_limits<int32_t>::min() &&
                                        j.get<int64_t>() <= std::numeric_limits<int32_t>::max();
            if (!fits) {
                Fail(where, "expected an integer of 32 bits");
                return nullptr;
            }
            return MakeIntValue(static_cast<int32_t>(j.get<int64_t>()));
        }
        Fail(where, std::string("expected a number, a string or a boolean, found ") + Kind(j));
        return nullptr;
    }

    bool Array(ConfigSection& into, const std::string& key, const Json& j, const std::string& where)
    {
        bool numbers = !j.empty(), objects = false;
        for (const Json& e : j) {
            numbers = numbers && e.is_number();
            objects = objects || e.is_object();
        }
        if (numbers) {
            if (j.size() != 4)
                return Fail(where, "expected four numbers (x, y, z, w), found " + std::to_string(j.size()));
            float v[4];
            for (int i = 0; i < 4; ++i) {
                v[i] = static_cast<float>(j[static_cast<size_t>(i)].get<double>());
                if (!std::isfinite(v[i]))
                    return Fail(where, "expected numbers within single precision");
            }
            into.Set(key.c_str(), 0, new brin::Value(v[0], v[1], v[2], v[3]));
            return true;
        }
        if (!objects)
            return Fail(where, "expected four numbers or a list of objects (null for a hole)");
        into.MarkList(key);
        for (size_t i = 0; i < j.size(); ++i) {
            const std::string at = where + "[" + std::to_string(i) + "]";
            if (j[i].is_null())
                continue;
            if (!j[i].is_object())
                return Fail(at, std::string("expected an object or null in a list, found ") + Kind(j[i]));
            ConfigSection* element = ConfigSection::Make();
            into.Set(key.c_str(), static_cast<int32_t>(i), MakeNodeValue(element));
            if (!Object(*element, j[i], at))
                return false;
        }
        return true;
    }

    bool Object(ConfigSection& into, const Json& j, const std::string& where)
    {
        for (auto it = j.begin(); it != j.end(); ++it) {
            const std::string& key = it.key();
            const std::string at = Join(where, key);
            // Keys are single steps: a dot would read back as a nested path.
            if (key.empty() || key.find('.') != std::string::npos)
                return Fail(at, "expected a key without dots");
            const Json& v = it.value();
            if (v.is_object()) {
                ConfigSection* child = ConfigSection::Make();
                into.Set(key.c_str(), 0, MakeNodeValue(child));
                if (!Object(*child, v, at))
                    return false;
            } else if (v.is_array()) {
                if (!Array(into, key, v, at))
                    return false;
            } else {
                brin::Value* value = Scalar(v, at);
                if (!value)
                    return false;
                into.Set(key.c_str(), 0, value);
            }
        }
        return true;
    }
};

// The shortest decimal that reads back as the same float, as a JSON float (12 stays 12.0).
Json FloatJson(float f)
{
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, f);
    *result.ptr = '\0';
    return Json(std::strtod(text, nullptr));
}

struct Saver {
    std::string error;

    bool Fail(const std::string& where, const std::string& what)
    {
        error = "\"" + where + "\": " + what;
        return false;
    }

    bool Value(const brin::Value& v, const std::string& where, Json* out)
    {
        switch (v.GetType()) {
        case brin::Bool: *out = v.AsBool(); return true;
        case brin::Int: *out = v.AsInt(); return true;
        case brin::String: {
            const char* chars = v.AsChars();
            *out = std::string(chars ? chars : "");
            return true;
        }
        case brin::Float:
            if (!std::isfinite(v.AsFloat()))
                return Fail(where, "a number that is not finite has no JSON form");
            *out = FloatJson(v.AsFloat());
            return true;
        case brin::Vector: {
            float c[4];
            v.GetVector(&c[0], &c[1], &c[2], &c[3]);
            *out = Json::array();
            for (float f : c) {
                if (!std::isfinite(f))
                    return Fail(where, "a number that is not finite has no JSON form");
                out->push_back(FloatJson(f));
            }
            return true;
        }
        case brin::Node: {
            auto* section = dynamic_cast<ConfigSection*>(v.AsNode());
            if (!section)
                return Fail(where, "a section of another kind has no JSON form");
            return Section(*section, where, out);
        }
        default: return Fail(where, "a value of tag " + std::to_string(v.GetType()) + " has no JSON form");
        }
    }

    bool Section(ConfigSection& section, const std::string& where, Json* out)
    {
        *out = Json::object();
        for (const ConfigSection::Entry& e : section.Entries()) {
            if (out->contains(e.key))
                continue;  // a list, written whole at its first entry
            const std::string at = Join(where, e.key);
            Json value;
            if (!section.IsList(e.key)) {
                if (!Value(*e.value, at, &value))
                    return false;
            } else {
                value = Json::array();
                for (const ConfigSection::Entry& item : section.Entries()) {
                    if (item.key != e.key)
                        continue;
                    const std::string itemAt = at + "[" + std::to_string(item.index) + "]";
                    if (item.index < 0)
                        return Fail(itemAt, "a list index below 0 has no JSON form");
                    if (!item.value->IsType(brin::Node))
                        return Fail(itemAt, "a list holds sections only");
                    while (value.size() <= static_cast<size_t>(item.index))
                        value.push_back(nullptr);
                    if (!Value(*item.value, itemAt, &value[static_cast<size_t>(item.index)]))
                        return false;
                }
            }
            (*out)[e.key] = std::move(value);
        }
        return true;
    }
};

bool Flush(std::FILE* file)
{
    if (std::fflush(file) != 0)
        return false;
#ifdef _WIN32
    return _commit(_fileno(file)) == 0;
#else
    return fsync(fileno(file)) == 0;
#endif
}

bool ReplaceFile(const std::string& from, const std::string& to)
{
#ifdef _WIN32
    return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
#else
    return std::rename(from.c_str(), to.c_str()) == 0;
#endif
}

}  // namespace

brin::CountedRef<ConfigSection> ParseConfig(const std::string& text, std::string* error)
{
    Json json;
    try {
        json = Json::parse(text);
    } catch (const Json::parse_error& e) {
        if (error)
            *error = e.what();
        return {};
    }
    if (!json.is_object()) {
        if (error)
            *error = "top level: expected an object";
        return {};
    }
    brin::CountedRef<ConfigSection> root(ConfigSection::Make());
    Loader loader;
    if (!loader.Object(*root, json, "")) {
        if (error)
            *error = loader.error;
        return {};
    }
    return root;
}

bool FormatConfig(ConfigSection& root, std::string* text, std::string* error)
{
    Saver saver;
    Json json;
    if (!saver.Section(root, "", &json)) {
        if (error)
            *error = saver.error;
        return false;
    }
    try {
        *text = json.dump(4) + "\n";
    } catch (const Json::exception& e) {  // text that is not UTF-8
        if (error)
            *error = e.what();
        return false;
    }
    return true;
}

brin::CountedRef<ConfigSection> LoadConfigFile(const std::string& path, std::string* error)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    if (!in || !(text << in.rdbuf())) {
        // An empty file reads nothing too; the parser says so below.
        if (!in.is_open()) {
            if (error)
                *error = path + ": cannot be read";
            return {};
        }
    }
    std::string why;
    brin::CountedRef<ConfigSection> root = ParseConfig(text.str(), &why);
    if (!root && error)
        *error = path + ": " + why;
    return root;
}

bool SaveConfigFile(const std::string& path, ConfigSection& root, std::string* error)
{
    std::string text, why;
    if (!FormatConfig(root, &text, &why)) {
        if (error)
            *error = path + ": not saved: " + why;
        return false;
    }
    const std::string temporary = path + ".tmp";
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    bool ok = file && std::fwrite(text.data(), 1, text.size(), file) == text.size();
    ok = file && Flush(file) && ok;
    if (file && std::fclose(file) != 0)
        ok = false;
    if (!ok) {
        std::remove(temporary.c_str());
        if (error)
            *error = path + ": not saved: cannot write " + temporary;
        return false;
    }
    std::error_code ec;
    if (std::filesystem::exists(path, ec)) {
        std::filesystem::copy_file(path, path + ".bak", std::filesystem::copy_options::overwrite_existing, ec);
        if (ec) {
            std::remove(temporary.c_str());
            if (error)
                *error = path + ": not saved: cannot keep the previous file as " + path + ".bak";
            return false;
        }
    }
    if (!ReplaceFile(temporary, path)) {
        std::remove(temporary.c_str());
        if (error)
            *error = path + ": not saved: cannot replace it";
        return false;
    }
    return true;
}

}  // namespace hostkit
