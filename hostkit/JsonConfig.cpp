#include <hostkit/JsonConfig.h>

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <optional>
#include <unordered_set>
#include <vector>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <nlohmann/json.hpp>

#include <toolwindows/ConfigKeys.h>

#include <hostkit/CodePage.h>

namespace hostkit {

namespace {

using Json = nlohmann::json;
using toolwindows::ConfigKey;
using toolwindows::KeyScope;
using toolwindows::KeyType;

std::string Join(const std::string& where, const std::string& key) { return where.empty() ? key : where + "." + key; }

std::string Quoted(const std::string& where) { return where.empty() ? "top level" : "\"" + where + "\""; }

const char* Expected(KeyType type)
{
    switch (type) {
    case KeyType::Float: return "a number";
    case KeyType::Vector: return "four numbers (x, y, z, w)";
    case KeyType::String: return "a string";
    case KeyType::Bool: return "true or false";
    case KeyType::Section: return "an object";
    case KeyType::SectionList: return "a list of objects (null for a hole)";
    }
    return "";
}

// What a key of the module needs below it: its path in every scope it stands in.
struct Context {
    KeyScope scope;
    std::string path;
};

// The loader: builds the tree from the parser's events, one level of the file per frame, with
// no recursion, so no file can drive it past the stack.
class Loader {
public:
    Loader(ConfigSection& root, unsigned codePage) : m_root(root), m_codePage(codePage) {}

    std::string error;

    bool null()
    {
        if (m_frames.empty())
            return TopLevel();
        Frame& top = m_frames.back();
        if (top.isArray) {
            if (top.shape == Shape::Numbers)
                return FailArray("expected four numbers or a list of objects (null for a hole)");
            ++top.count;  // a hole
            return true;
        }
        return FailValue("null");
    }

    bool boolean(bool b)
    {
        return Scalar(Kind::Bool, [&] { return new brin::Value(b); });
    }
    bool number_integer(int64_t i) { return Integer(i, true); }
    bool number_unsigned(uint64_t u)
    {
        return u <= static_cast<uint64_t>(std::numeric_limits<int64_t>::max())
                   ? Integer(static_cast<int64_t>(u), true)
                   : Integer(0, false, static_cast<double>(u));
    }

    bool number_float(double d, const std::string&)
    {
        if (!m_frames.empty() && m_frames.back().isArray)
            return VectorComponent(d);
        return Scalar(Kind::Float, [&]() -> brin::Value* {
            if (std::fabs(d) > static_cast<double>(FLT_MAX)) {
                Fail(Place(), "expected a number within single precision");
                return nullptr;
            }
            return new brin::Value(static_cast<float>(d));
        });
    }

    bool string(std::string& s)
    {
        return Scalar(Kind::String, [&]() -> brin::Value* {
            // The module's strings end at the first NUL: one inside would lose the rest.
            if (s.find('\0') != std::string::npos) {
                Fail(Place(), "expected text without NUL characters");
                return nullptr;
            }
            std::string text, why;
            if (!FromUtf8(s, m_codePage, &text, &why)) {
                Fail(Place(), why);
                return nullptr;
            }
            return new brin::Value(text.c_str());
        });
    }

    bool binary(Json::binary_t&) { return Fail(Place(), "expected JSON text"); }

    bool start_object(size_t)
    {
        if (!Deeper())
            return false;
        if (m_frames.empty()) {
            m_frames.push_back(ObjectFrame(&m_root, {{KeyScope::Root, ""}}));
            return true;
        }
        Frame& top = m_frames.back();
        if (top.isArray) {
            if (top.shape == Shape::Numbers)
                return FailArray("expected four numbers or a list of objects (null for a hole)");
            if (top.expected && *top.expected == KeyType::Vector)
                return FailArray(std::string("expected ") + Expected(KeyType::Vector) + ", found an object");
            Frame& parent = m_frames[m_frames.size() - 2];
            if (top.shape == Shape::Unknown)
                parent.section->MarkList(parent.key);
            top.shape = Shape::List;
            top.anyObject = true;
            if (top.count > static_cast<size_t>(std::numeric_limits<int32_t>::max()))
                return FailArray("expected a list of fewer elements");
            ConfigSection* element = ConfigSection::Make();
            parent.section->Set(parent.key.c_str(), static_cast<int32_t>(top.count), MakeNodeValue(element));
            std::vector<Context> contexts;
            if (top.listContents)
                contexts.push_back({*top.listContents, ""});
            m_frames.push_back(ObjectFrame(element, std::move(contexts)));
            return true;
        }
        if (top.expected && *top.expected != KeyType::Section)
            return FailValue("an object");
        ConfigSection* child = ConfigSection::Make();
        top.section->Set(top.key.c_str(), 0, MakeNodeValue(child));
        std::vector<Context> contexts = std::move(top.childContexts);
        m_frames.push_back(ObjectFrame(child, std::move(contexts)));
        return true;
    }

    bool key(std::string& k)
    {
        Frame& top = m_frames.back();
        top.keyText = k;
        // Keys are single steps: a dot would read back as a nested path.
        if (k.empty() || k.find('.') != std::string::npos)
            return Fail(Place(), "expected a key without dots");
        if (const size_t nul = k.find('\0'); nul != std::string::npos) {
            // Named as the file writes it: a NUL in the message would end it there.
            top.keyText = k.substr(0, nul) + "\\u0000";
            return Fail(Place(), "expected a key without NUL characters");
        }
        std::string why;
        if (!FromUtf8(k, m_codePage, &top.key, &why))
            return Fail(Place(), why);
        if (top.section->HasKey(top.key))
            return Fail(Place(), "the key is given twice in one object");
        // What the module expects under this key, and where its sections stand.
        top.expected.reset();
        top.listContents.reset();
        top.childContexts.clear();
        for (const Context& c : top.contexts) {
            const std::string path = Join(c.path, top.key);
            if (const std::optional<ConfigKey> known = toolwindows::FindConfigKey(c.scope, path)) {
                top.expected = known->type;
                if (known->type == KeyType::Section) {
                    top.childContexts.push_back({c.scope, path});
                    top.childContexts.push_back({known->contents, ""});
                } else if (known->type == KeyType::SectionList) {
                    top.listContents = known->contents;
                }
            } else if (toolwindows::LeadsToConfigKeys(c.scope, path)) {
                top.expected = KeyType::Section;
                top.childContexts.push_back({c.scope, path});
            }
        }
        return true;
    }

    bool end_object()
    {
        m_frames.pop_back();
        if (!m_frames.empty() && m_frames.back().isArray)
            ++m_frames.back().count;
        return true;
    }

    bool start_array(size_t)
    {
        if (m_frames.empty())
            return TopLevel();
        if (!Deeper())
            return false;
        Frame& top = m_frames.back();
        if (top.isArray)
            return FailArray("expected four numbers or a list of objects (null for a hole)");
        if (top.expected && *top.expected != KeyType::Vector && *top.expected != KeyType::SectionList)
            return FailValue("an array");
        Frame array;
        array.isArray = true;
        array.expected = top.expected;
        array.listContents = top.listContents;
        m_frames.push_back(std::move(array));
        return true;
    }

    bool end_array()
    {
        Frame& top = m_frames.back();
        if (top.shape == Shape::Numbers) {
            if (top.count != 4)
                return FailArray("expected four numbers (x, y, z, w), found " + std::to_string(top.count));
            Frame& parent = m_frames[m_frames.size() - 2];
            parent.section->Set(parent.key.c_str(), 0, new brin::Value(top.v[0], top.v[1], top.v[2], top.v[3]));
        } else if (!top.anyObject) {
            if (top.expected)
                return FailArray(std::string("expected ") + Expected(*top.expected));
            return FailArray("expected four numbers or a list of objects (null for a hole)");
        }
        m_frames.pop_back();
        return true;
    }

    bool parse_error(size_t position, const std::string& token, const nlohmann::detail::exception& e)
    {
        if (e.id == 406) {  // a number beyond the range of a double
            error = Position(position) + ": " + Quoted(Place()) +
                    ": expected a number within single precision, found " + PrintableUtf8(token);
            return false;
        }
        // "[json.exception.parse_error.101] parse error at line 3, column 8: ...": the id goes.
        std::string what = e.what();
        const size_t bracket = what.find("] ");
        error = PrintableUtf8(bracket == std::string::npos ? what : what.substr(bracket + 2));
        return false;
    }

    void SetText(std::string_view text) { m_text = text; }

private:
    enum class Kind { Bool, Integer, Float, String };
    enum class Shape { Unknown, Numbers, List };

    struct Frame {
        bool isArray = false;
        // An object: the section it fills, its current key (as the tree holds it and as the
        // file has it), what the module expects there, and where the section stands.
        ConfigSection* section = nullptr;
        std::string key, keyText;
        std::vector<Context> contexts;
        std::vector<Context> childContexts;  // of an object under the current key
        // Of the current key, or for an array of its own key.
        std::optional<KeyType> expected;
        std::optional<KeyScope> listContents;
        // An array: a vector or a list, decided by its first element; elements seen so far.
        Shape shape = Shape::Unknown;
        size_t count = 0;
        bool anyObject = false;
        float v[4] = {};
    };

    static Frame ObjectFrame(ConfigSection* section, std::vector<Context> contexts)
    {
        Frame f;
        f.section = section;
        f.contexts = std::move(contexts);
        return f;
    }

    bool Fail(const std::string& where, const std::string& what)
    {
        error = Quoted(where) + ": " + what;
        return false;
    }

    bool TopLevel()
    {
        error = "top level: expected an object";
        return false;
    }

    static const char* KindName(Kind kind)
    {
        switch (kind) {
        case Kind::Bool: return "a boolean";
        case Kind::String: return "a string";
        default: return "a number";
        }
    }

    // The dotted place of the first `frames` levels: each object's current key, each array's
    // current element.
    std::string Place(size_t frames) const
    {
        std::string where;
        for (size_t i = 0; i < frames && i < m_frames.size(); ++i) {
            const Frame& f = m_frames[i];
            if (f.isArray)
                where += "[" + std::to_string(f.count) + "]";
            else
                where = Join(where, f.keyText);
        }
        return PrintableUtf8(where);
    }
    std::string Place() const { return Place(m_frames.size()); }

    // An array's own place: the key that holds it.
    bool FailArray(const std::string& what) { return Fail(Place(m_frames.size() - 1), what); }

    bool FailValue(const char* found)
    {
        const Frame& top = m_frames.back();
        if (top.expected)
            return Fail(Place(), std::string("expected ") + Expected(*top.expected) + ", found " + found);
        return Fail(Place(), std::string("expected a number, a string or a boolean, found ") + found);
    }

    std::string Position(size_t offset) const
    {
        offset = std::min(offset, m_text.size());
        size_t line = 1, lineStart = 0;
        for (size_t i = 0; i < offset; ++i)
            if (m_text[i] == '\n') {
                ++line;
                lineStart = i + 1;
            }
        return "line " + std::to_string(line) + ", column " + std::to_string(offset - lineStart);
    }

    bool Deeper()
    {
        if (m_frames.size() < static_cast<size_t>(kMaxConfigDepth))
            return true;
        return Fail(Place(), "nested deeper than " + std::to_string(kMaxConfigDepth) + " objects and arrays");
    }

    bool VectorComponent(double d)
    {
        Frame& top = m_frames.back();
        if (top.shape == Shape::List)
            return Fail(Place(), "expected an object or null in a list, found a number");
        if (top.expected && *top.expected == KeyType::SectionList)
            return FailArray(std::string("expected ") + Expected(KeyType::SectionList) + ", found a number");
        if (top.count > 0 && top.shape == Shape::Unknown)  // holes before it
            return FailArray("expected four numbers or a list of objects (null for a hole)");
        top.shape = Shape::Numbers;
        if (std::fabs(d) > static_cast<double>(FLT_MAX))
            return FailArray("expected numbers within single precision");
        if (top.count < 4)
            top.v[top.count] = static_cast<float>(d);
        ++top.count;
        return true;
    }

    bool Integer(int64_t i, bool exact, double beyond = 0)
    {
        const double d = exact ? static_cast<double>(i) : beyond;
        if (!m_frames.empty() && m_frames.back().isArray)
            return VectorComponent(d);
        if (!m_frames.empty() && m_frames.back().expected == KeyType::Float) {
            Frame& top = m_frames.back();
            top.section->Set(top.key.c_str(), 0, new brin::Value(static_cast<float>(d)));
            if (exact)
                top.section->KeepIntegerForm(top.key, 0, i);
            return true;
        }
        return Scalar(Kind::Integer, [&]() -> brin::Value* {
            if (!exact || i < std::numeric_limits<int32_t>::min() || i > std::numeric_limits<int32_t>::max()) {
                Fail(Place(), "expected an integer of 32 bits");
                return nullptr;
            }
            return MakeIntValue(static_cast<int32_t>(i));
        });
    }

    // A value for the current key, when the key takes that kind. `make` may fail with its own
    // message by returning null.
    template <class Make>
    bool Scalar(Kind kind, Make make)
    {
        if (m_frames.empty())
            return TopLevel();
        Frame& top = m_frames.back();
        if (top.isArray) {
            if (top.shape == Shape::List)
                return Fail(Place(), std::string("expected an object or null in a list, found ") + KindName(kind));
            return FailArray("expected four numbers or a list of objects (null for a hole)");
        }
        if (top.expected) {
            const KeyType want = *top.expected;
            const bool fits = (want == KeyType::Float && (kind == Kind::Float || kind == Kind::Integer)) ||
                              (want == KeyType::String && kind == Kind::String) ||
                              (want == KeyType::Bool && kind == Kind::Bool);
            if (!fits)
                return FailValue(KindName(kind));
        }
        brin::Value* value = make();
        if (!value)
            return !error.empty() ? false : Fail(Place(), "expected a value");
        top.section->Set(top.key.c_str(), 0, value);
        return true;
    }

    ConfigSection& m_root;
    unsigned m_codePage;
    std::string_view m_text;
    std::vector<Frame> m_frames;
};

bool OnlyBlanks(std::string_view text)
{
    for (char c : text)
        if (c != ' ' && c != '\t' && c != '\n' && c != '\r')
            return false;
    return true;
}

// The shortest decimal that reads back as the same float, in the parser's own form for a
// double (12 stays 12.0), so files saved before keep their bytes.
std::string FloatText(float f)
{
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text - 1, f);
    *result.ptr = '\0';
    return Json(std::strtod(text, nullptr)).dump();
}

// The saver: writes the tree in the parser's indented form (four blanks a level).
class Saver {
public:
    explicit Saver(unsigned codePage) : m_codePage(codePage) {}

    std::string error;
    std::string out;

    bool Section(ConfigSection& section, const std::string& where, int depth)
    {
        if (depth > kMaxConfigDepth)
            return Fail(where, "nested deeper than " + std::to_string(kMaxConfigDepth) + " objects and arrays");
        if (section.Entries().empty()) {
            out += "{}";
            return true;
        }
        out += "{";
        bool first = true;
        std::unordered_set<std::string> listsWritten;
        for (const ConfigSection::Entry& e : section.Entries()) {
            const bool list = section.IsList(e.key);
            if (list && !listsWritten.insert(e.key).second)
                continue;  // a list, written whole at its first entry
            std::string key, why;
            if (!ToUtf8(e.key, m_codePage, &key, &why))
                return Fail(where, "a key of " + why);
            const std::string at = Join(where, key);
            out += first ? "\n" : ",\n";
            first = false;
            Indent(depth);
            out += Json(key).dump();
            out += ": ";
            if (list ? !List(section, e.key, at, depth + 1) : !Value(e, at, depth))
                return false;
            if (out.size() > kMaxConfigBytes)
                return TooLarge();
        }
        out += "\n";
        Indent(depth - 1);
        out += "}";
        return true;
    }

private:
    bool Fail(const std::string& where, const std::string& what)
    {
        error = Quoted(PrintableUtf8(where)) + ": " + what;
        return false;
    }

    bool TooLarge()
    {
        error = "larger than a configuration file may be (" + std::to_string(kMaxConfigBytes >> 20) + " MiB)";
        return false;
    }

    void Indent(int depth) { out.append(static_cast<size_t>(depth) * 4, ' '); }

    bool Value(const ConfigSection::Entry& e, const std::string& where, int depth)
    {
        const brin::Value& v = *e.value;
        switch (v.GetType()) {
        case brin::Bool: out += v.AsBool() ? "true" : "false"; return true;
        case brin::Int: out += std::to_string(v.AsInt()); return true;
        case brin::String: {
            const char* chars = v.AsChars();
            std::string text, why;
            if (!ToUtf8(chars ? chars : "", m_codePage, &text, &why))
                return Fail(where, why);
            out += Json(text).dump();
            return true;
        }
        case brin::Float:
            if (!std::isfinite(v.AsFloat()))
                return Fail(where, "a number that is not finite has no JSON form");
            if (e.integerForm && v.AsFloat() == static_cast<float>(*e.integerForm))
                out += std::to_string(*e.integerForm);
            else
                out += FloatText(v.AsFloat());
            return true;
        case brin::Vector: {
            if (depth + 1 > kMaxConfigDepth)
                return Fail(where, "nested deeper than " + std::to_string(kMaxConfigDepth) + " objects and arrays");
            float c[4];
            v.GetVector(&c[0], &c[1], &c[2], &c[3]);
            out += "[";
            for (int i = 0; i < 4; ++i) {
                if (!std::isfinite(c[i]))
                    return Fail(where, "a number that is not finite has no JSON form");
                out += i ? ",\n" : "\n";
                Indent(depth + 1);
                out += FloatText(c[i]);
            }
            out += "\n";
            Indent(depth);
            out += "]";
            return true;
        }
        case brin::Node: {
            auto* section = dynamic_cast<ConfigSection*>(v.AsNode());
            if (!section)
                return Fail(where, "a section of another kind has no JSON form");
            return Section(*section, where, depth + 1);
        }
        default: return Fail(where, "a value of tag " + std::to_string(v.GetType()) + " has no JSON form");
        }
    }

    // A list's elements by index, null for each hole; `depth` is the array's.
    bool List(ConfigSection& section, const std::string& key, const std::string& where, int depth)
    {
        if (depth > kMaxConfigDepth)
            return Fail(where, "nested deeper than " + std::to_string(kMaxConfigDepth) + " objects and arrays");
        out += "[";
        int64_t next = 0;
        for (const ConfigSection::Entry* item : section.EntriesOf(key)) {
            const std::string itemAt = where + "[" + std::to_string(item->index) + "]";
            if (item->index < 0)
                return Fail(itemAt, "a list index below 0 has no JSON form");
            if (!item->value->IsType(brin::Node))
                return Fail(itemAt, "a list holds sections only");
            // Each hole costs a line: a list too long for a file is refused before it is written.
            if (static_cast<uint64_t>(item->index - next) * 5 > kMaxConfigBytes)
                return TooLarge();
            for (; next <= item->index; ++next) {
                out += next ? ",\n" : "\n";
                Indent(depth);
                if (next < item->index)
                    out += "null";
            }
            if (!Value(*item, itemAt, depth))
                return false;
            if (out.size() > kMaxConfigBytes)
                return TooLarge();
        }
        out += "\n";
        Indent(depth - 1);
        out += "]";
        return true;
    }

    unsigned m_codePage;
};

// What the file system says of a path, without opening it.
struct FileInfo {
    bool exists = false;
    bool folder = false;
    bool regular = false;
    uint64_t size = 0;
};

FileInfo Inspect(const std::string& path)
{
    FileInfo info;
#ifdef _WIN32
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return info;
    info.exists = true;
    info.folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    info.regular = !info.folder && !(data.dwFileAttributes & FILE_ATTRIBUTE_DEVICE);
    info.size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
#else
    struct stat st;
    if (stat(path.c_str(), &st) != 0)
        return info;
    info.exists = true;
    info.folder = S_ISDIR(st.st_mode);
    info.regular = S_ISREG(st.st_mode);
    info.size = static_cast<uint64_t>(st.st_size);
#endif
    return info;
}

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

bool WriteWhole(const std::string& path, const std::string& text)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    bool ok = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    ok = Flush(file) && ok;
    return std::fclose(file) == 0 && ok;
}

bool ReadWhole(const std::string& path, size_t size, std::string* text)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    text->assign(size, '\0');
    const size_t got = std::fread(text->data(), 1, size, file);
    // A file that grew since it was measured is read to its measured size: more would be
    // larger than a configuration may be.
    const bool ok = got == size && !std::ferror(file);
    std::fclose(file);
    return ok;
}

// A path as messages name it: in UTF-8, like the rest of the message.
std::string PathText(const std::string& path, unsigned codePage)
{
    std::string text, why;
    return ToUtf8(path, codePage, &text, &why) ? text : PrintableUtf8(path);
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

brin::CountedRef<ConfigSection> ParseConfig(std::string_view text, unsigned codePage, std::string* error)
{
    std::string why;
    brin::CountedRef<ConfigSection> root(ConfigSection::Make());
    if (text.size() > kMaxConfigBytes) {
        why = "larger than a configuration may be (" + std::to_string(text.size()) + " bytes, at most " +
              std::to_string(kMaxConfigBytes >> 20) + " MiB)";
    } else if (OnlyBlanks(text)) {
        why = "parse error: no text, expected an object";
    } else {
        Loader loader(*root, codePage);
        loader.SetText(text);
        bool ok = false;
        try {
            ok = Json::sax_parse(text.data(), text.data() + text.size(), &loader);
        } catch (const std::exception& e) {  // out of memory, say: refused, never a crash
            loader.error = std::string("cannot be loaded: ") + e.what();
        }
        if (!ok)
            why = loader.error.empty() ? "cannot be loaded" : loader.error;
    }
    if (!why.empty()) {
        if (error)
            *error = why;
        return {};
    }
    return root;
}

bool FormatConfig(ConfigSection& root, unsigned codePage, std::string* text, std::string* error)
{
    Saver saver(codePage);
    if (!saver.Section(root, "", 1)) {
        if (error)
            *error = saver.error;
        return false;
    }
    saver.out += "\n";
    *text = std::move(saver.out);
    return true;
}

brin::CountedRef<ConfigSection> LoadConfigFile(const std::string& path, unsigned codePage, std::string* error)
{
    const auto fail = [&](const std::string& why) {
        if (error)
            *error = PathText(path, codePage) + ": " + why;
        return brin::CountedRef<ConfigSection>();
    };
    const FileInfo info = Inspect(path);
    if (!info.exists)
        return fail("cannot be read");
    if (info.folder)
        return fail("is a folder, not a configuration file");
    if (!info.regular)
        return fail("is not a regular file");
    if (info.size > kMaxConfigBytes)
        return fail("larger than a configuration may be (" + std::to_string(info.size) + " bytes, at most " +
                    std::to_string(kMaxConfigBytes >> 20) + " MiB)");
    if (info.size == 0)
        return fail("the file is empty, expected an object");
    std::string text;
    if (!ReadWhole(path, static_cast<size_t>(info.size), &text))
        return fail("cannot be read");
    std::string why;
    brin::CountedRef<ConfigSection> root = ParseConfig(text, codePage, &why);
    return root ? root : fail(why);
}

bool SaveConfigFile(const std::string& path, ConfigSection& root, unsigned codePage, std::string* error)
{
    const auto fail = [&](const std::string& why) {
        if (error)
            *error = PathText(path, codePage) + ": not saved: " + why;
        return false;
    };
    std::string text, why;
    if (!FormatConfig(root, codePage, &text, &why))
        return fail(why);
    const FileInfo info = Inspect(path);
    if (info.folder)
        return fail("it is a folder");
    const std::string temporary = path + ".tmp";
    if (!WriteWhole(temporary, text)) {
        std::remove(temporary.c_str());
        return fail("cannot write " + PathText(temporary, codePage));
    }
    if (info.exists) {
        // The backup is replaced whole too: a copy that fails halfway leaves the old one.
        const std::string backup = path + ".bak", backupTemporary = backup + ".tmp";
        std::string previous;
        const bool kept = ReadWhole(path, static_cast<size_t>(info.size), &previous) &&
                          WriteWhole(backupTemporary, previous) && ReplaceFile(backupTemporary, backup);
        if (!kept) {
            std::remove(backupTemporary.c_str());
            std::remove(temporary.c_str());
            return fail("cannot keep the previous file as " + PathText(backup, codePage));
        }
    }
    if (!ReplaceFile(temporary, path)) {
        std::remove(temporary.c_str());
        return fail("cannot replace it");
    }
    return true;
}

brin::CountedRef<ConfigSection> ParseConfig(std::string_view text, std::string* error)
{
    return ParseConfig(text, ProcessCodePage(), error);
}

bool FormatConfig(ConfigSection& root, std::string* text, std::string* error)
{
    return FormatConfig(root, ProcessCodePage(), text, error);
}

brin::CountedRef<ConfigSection> LoadConfigFile(const std::string& path, std::string* error)
{
    return LoadConfigFile(path, ProcessCodePage(), error);
}

bool SaveConfigFile(const std::string& path, ConfigSection& root, std::string* error)
{
    return SaveConfigFile(path, root, ProcessCodePage(), error);
}

}  // namespace hostkit
