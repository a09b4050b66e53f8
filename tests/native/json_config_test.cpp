// The configuration file: JSON to tree and back, and the atomic save.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "hostkit/CodePage.h"
#include "hostkit/JsonConfig.h"

using brin::CountedRef;
using hostkit::ConfigSection;

namespace {

CountedRef<ConfigSection> Parse(const std::string& text)
{
    std::string error;
    CountedRef<ConfigSection> root = hostkit::ParseConfig(text, hostkit::kCodePage1252, &error);
    EXPECT_TRUE(root) << error;
    return root;
}

std::string Format(ConfigSection& root)
{
    std::string text, error;
    EXPECT_TRUE(hostkit::FormatConfig(root, hostkit::kCodePage1252, &text, &error)) << error;
    return text;
}

std::string ParseError(const std::string& text)
{
    std::string error;
    EXPECT_FALSE(hostkit::ParseConfig(text, hostkit::kCodePage1252, &error));
    return error;
}

std::string ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteFile(const std::filesystem::path& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

// What the saver writes: four blanks of indent, a newline at the end.
const char* const kFile = R"({
    "Portes": {
        "max_sprites": 12.0,
        "membrane_gap": 0.1,
        "tau_reac": [
            1.5,
            2.0,
            0.3,
            0.0
        ],
        "cube_map": "cube.dds",
        "unknown_flag": true,
        "count": 3
    },
    "Clients": {
        "Client": [
            {
                "lightexp": [
                    8.0,
                    1.0,
                    0.0,
                    0.0
                ]
            },
            null,
            {
                "bump_map": "b.dds"
            }
        ]
    },
    "Zeta": -7
}
)";

}  // namespace

TEST(JsonConfig, MapsEveryKindAndWritesItBackUnchanged)
{
    CountedRef<ConfigSection> root = Parse(kFile);
    ASSERT_TRUE(root);
    EXPECT_TRUE(root->Find("Portes.max_sprites", 0)->IsType(brin::Float));
    EXPECT_EQ(root->ReadFloat("Portes.membrane_gap"), 0.1f);
    EXPECT_TRUE(root->Find("Portes.count", 0)->IsType(brin::Int));
    EXPECT_EQ(root->Find("Portes.count", 0)->AsInt(), 3);
    EXPECT_EQ(root->Find("Zeta", 0)->AsInt(), -7);
    EXPECT_TRUE(root->ReadBool("Portes.unknown_flag"));
    EXPECT_TRUE(root->ReadString("Portes.cube_map").Equals("cube.dds"));
    float y = 0;
    EXPECT_TRUE(root->ReadVector("Portes.tau_reac", nullptr, &y, nullptr, nullptr));
    EXPECT_EQ(y, 2.0f);
    ASSERT_NE(root->ReadNode("Clients.Client", 0), nullptr);
    EXPECT_EQ(root->ReadNode("Clients.Client", 1), nullptr);  // the hole
    ASSERT_NE(root->ReadNode("Clients.Client", 2), nullptr);
    EXPECT_TRUE(root->ReadNode("Clients.Client", 2)->ReadString("bump_map").Equals("b.dds"));

    EXPECT_EQ(Format(*root), kFile);
}

TEST(JsonConfig, ChangedValuesAreWrittenInPlaceAndFloatsShortest)
{
    CountedRef<ConfigSection> root = Parse(kFile);
    ASSERT_TRUE(root);
    // As the setup editor writes them: new Float values over the old ones, a new key at the end.
    root->Set("Portes.max_sprites", 0, new brin::Value(static_cast<float>(std::atof("13"))));
    root->Set("Clients.cullback", 0, new brin::Value(0.3f));
    std::string expected = kFile;
    expected.replace(expected.find("12.0"), 4, "13.0");
    expected.replace(expected.find("            }\n        ]\n    },"),
                     std::string("            }\n        ]\n    },").size(),
                     "            }\n        ],\n        \"cullback\": 0.3\n    },");
    EXPECT_EQ(Format(*root), expected);

    // Every float reads back to the same single-precision value.
    for (float f : {0.1f, 1.0f / 3, 1e-7f, 3.4e38f, 16777217.0f, -0.0f, 1234.5678f}) {
        CountedRef<ConfigSection> one(ConfigSection::Make());
        one->Set("f", 0, new brin::Value(f));
        CountedRef<ConfigSection> back = Parse(Format(*one));
        ASSERT_TRUE(back);
        EXPECT_EQ(back->ReadFloat("f"), f);
        EXPECT_TRUE(back->Find("f", 0)->IsType(brin::Float));
    }
}

TEST(JsonConfig, ASingleEntryListStaysAList)
{
    const std::string text = "{\n    \"Trackers\": {\n        \"Tracker\": [\n            {\n                "
                             "\"mouseSimul\": false\n            }\n        ]\n    }\n}\n";
    CountedRef<ConfigSection> root = Parse(text);
    ASSERT_TRUE(root);
    EXPECT_EQ(Format(*root), text);
}

TEST(JsonConfig, BadInputSaysWhereAndWhat)
{
    EXPECT_NE(ParseError("{\n  \"a\": 1,\n  \"b\": }").find("line 3, column 8"), std::string::npos);
    EXPECT_NE(ParseError("").find("parse error"), std::string::npos);
    EXPECT_EQ(ParseError("[1, 2]"), "top level: expected an object");
    EXPECT_EQ(ParseError(R"({"P": {"v": [1, 2, "x", 4]}})"),
              "\"P.v\": expected four numbers or a list of objects (null for a hole)");
    EXPECT_EQ(ParseError(R"({"v": [1, 2, 3]})"), "\"v\": expected four numbers (x, y, z, w), found 3");
    EXPECT_EQ(ParseError(R"({"C": [{"a": 1}, 2]})"), "\"C[1]\": expected an object or null in a list, found a number");
    EXPECT_EQ(ParseError(R"({"n": null})"), "\"n\": expected a number, a string or a boolean, found null");
    EXPECT_EQ(ParseError(R"({"big": 3000000000})"), "\"big\": expected an integer of 32 bits");
    EXPECT_EQ(ParseError(R"({"f": 1e39})"), "\"f\": expected a number within single precision");
    EXPECT_EQ(ParseError(R"({"a.b": 1})"), "\"a.b\": expected a key without dots");
}

TEST(JsonConfig, WhatJsonCannotHoldIsNotSaved)
{
    CountedRef<ConfigSection> root(ConfigSection::Make());
    root->Set("Portes.x", 0, new brin::Value(INFINITY));
    std::string text, error;
    EXPECT_FALSE(hostkit::FormatConfig(*root, hostkit::kCodePage1252, &text, &error));
    EXPECT_EQ(error, "\"Portes.x\": a number that is not finite has no JSON form");
}

class SaveFile : public testing::Test {
protected:
    void SetUp() override
    {
        folder = std::filesystem::temp_directory_path() /
                 ("toolwindows-json-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        file = folder / "install.json";
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    std::filesystem::path folder, file;
};

TEST_F(SaveFile, ReplacesTheFileAndKeepsThePreviousOne)
{
    WriteFile(file, kFile);
    std::string error;
    CountedRef<ConfigSection> root = hostkit::LoadConfigFile(file.string(), hostkit::kCodePage1252, &error);
    ASSERT_TRUE(root) << error;
    root->Set("Portes.max_sprites", 0, new brin::Value(40.0f));
    ASSERT_TRUE(hostkit::SaveConfigFile(file.string(), *root, hostkit::kCodePage1252, &error)) << error;
    EXPECT_EQ(ReadFile(folder / "install.json.bak"), kFile);
    EXPECT_NE(ReadFile(file).find("\"max_sprites\": 40.0"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(folder / "install.json.tmp"));
    CountedRef<ConfigSection> again = hostkit::LoadConfigFile(file.string(), hostkit::kCodePage1252, &error);
    ASSERT_TRUE(again) << error;
    EXPECT_EQ(Format(*again), ReadFile(file));
}

TEST_F(SaveFile, AFailedWriteLeavesTheOldFileAlone)
{
    WriteFile(file, kFile);
    CountedRef<ConfigSection> root = Parse(kFile);
    ASSERT_TRUE(root);
    // The temporary file cannot be made: a folder stands in its place.
    std::filesystem::create_directory(folder / "install.json.tmp");
    std::string error;
    EXPECT_FALSE(hostkit::SaveConfigFile(file.string(), *root, hostkit::kCodePage1252, &error));
    EXPECT_NE(error.find("not saved"), std::string::npos);
    EXPECT_EQ(ReadFile(file), kFile);
    EXPECT_FALSE(std::filesystem::exists(folder / "install.json.bak"));

    root->Set("bad", 0, new brin::Value(NAN));
    std::filesystem::remove(folder / "install.json.tmp");
    EXPECT_FALSE(hostkit::SaveConfigFile(file.string(), *root, hostkit::kCodePage1252, &error));
    EXPECT_EQ(ReadFile(file), kFile);
}

TEST_F(SaveFile, LoadErrorsNameTheFile)
{
    std::string error;
    EXPECT_FALSE(hostkit::LoadConfigFile((folder / "missing.json").string(), hostkit::kCodePage1252, &error));
    EXPECT_EQ(error, (folder / "missing.json").string() + ": cannot be read");
    WriteFile(file, "{\"v\": [1, 2, 3, true]}");
    EXPECT_FALSE(hostkit::LoadConfigFile(file.string(), hostkit::kCodePage1252, &error));
    EXPECT_EQ(error.rfind(file.string() + ": ", 0), 0u);
}

// The example installation, also built into the demo, is in the saver's own form: loading and
// saving it unchanged writes the same bytes.
TEST(JsonConfig, TheExampleInstallationRoundTrips)
{
    const std::string text = ReadFile(std::filesystem::path(TOOLWINDOWS_SOURCE_DIR) / "demo" / "installation.json");
    ASSERT_FALSE(text.empty());
    CountedRef<ConfigSection> root = Parse(text);
    ASSERT_TRUE(root);
    EXPECT_EQ(Format(*root), text);
    EXPECT_NE(root->ReadNode("Clients.Client", 6), nullptr);
    EXPECT_EQ(root->ReadNode("Trackers.Tracker", 0), nullptr);
    for (int tracker = 1; tracker <= 4; ++tracker)
        ASSERT_NE(root->ReadNode("Trackers.Tracker", tracker), nullptr);
}

namespace {

std::string Nested(int levels)
{
    std::string text;
    for (int i = 0; i < levels; ++i)
        text += "{\"a\": ";
    text += "1";
    for (int i = 0; i < levels; ++i)
        text += "}";
    return text;
}

}  // namespace

// Every way a file can be wrong, and what the loader says of it: the line and column for what
// the parser finds, the dotted place and what was expected for what the tree cannot take.
TEST(JsonConfig, EveryBadFileIsRefusedWithItsPlaceAndWhatWasExpected)
{
    const struct {
        std::string text;
        std::string message;
    } cases[] = {
        {"{\"f\": 1e400}", "line 1, column 11: \"f\": expected a number within single precision, found 1e400"},
        {"{\"P\": {\n \"v\": [0, -1e400, 0, 0]}}",
         "line 2, column 16: \"P.v[1]\": expected a number within single precision, found -1e400"},
        {"{\"Portes\": {\"max_sprites\": 1e39}}", "\"Portes.max_sprites\": expected a number within single precision"},
        {Nested(10000), "\"" +
                            std::string("a.a.a.a.a.a.a.a.a.a.a.a.a.a.a.a.a.a.a.a.a.a.a.a.a.a.a.a.a.a.a.a.a.a.a.a.a.a.a."
                                        "a.a.a.a.a.a.a.a.a.a.a.a.a.a.a.a.a.a.a.a.a.a.a.a.a") +
                            "\": nested deeper than 64 objects and arrays"},
        {Nested(65), "\"a.a.a.a.a.a.a.a.a.a.a.a.a.a.a.a.a.a.a.a.a.a.a.a.a.a.a.a.a.a.a.a.a.a.a.a.a.a.a.a.a.a.a.a.a.a.a."
                     "a.a.a.a.a.a.a.a.a.a.a.a.a.a.a.a.a\": nested deeper than 64 objects and arrays"},
        {"{\"a\": 1, \"b\": 2, \"a\": 3}", "\"a\": the key is given twice in one object"},
        {"{\"C\": [{\"k\": 1, \"k\": 1}]}", "\"C[0].k\": the key is given twice in one object"},
        {"{\"t\": \"\xC3(\"}", "parse error at line 1, column 9: syntax error while parsing value - invalid string: "
                               "ill-formed UTF-8 byte; last read: '\"\\xC3('"},
        {"{\"t\": \"\xE4\xB8\xAD\"}", "\"t\": the character U+4E2D (\xE4\xB8\xAD) has no byte in code page 1252"},
        {"{\"P\": {\"\xE4\xB8\xAD\": 1}}",
         "\"P.\xE4\xB8\xAD\": the character U+4E2D (\xE4\xB8\xAD) has no byte in code page 1252"},
        {"{\"t\": \"a\\u0000b\"}", "\"t\": expected text without NUL characters"},
        {"{\"k\\u0000x\": 1}", "\"k\\u0000\": expected a key without NUL characters"},
        {" \r\n\t", "parse error: no text, expected an object"},
        {"\"x\"", "top level: expected an object"},
        {std::string(hostkit::kMaxConfigBytes + 1, ' '),
         "larger than a configuration may be (33554433 bytes, at most 32 MiB)"},
        // The module's keys hold what it reads there.
        {"{\"Portes\": {\"max_sprites\": \"150\"}}", "\"Portes.max_sprites\": expected a number, found a string"},
        {"{\"Portes\": {\"tau_reac\": 0.5}}",
         "\"Portes.tau_reac\": expected four numbers (x, y, z, w), found a number"},
        {"{\"Portes\": {\"tau_reac\": [{}]}}",
         "\"Portes.tau_reac\": expected four numbers (x, y, z, w), found an object"},
        {"{\"Portes\": {\"cube_map\": 3}}", "\"Portes.cube_map\": expected a string, found a number"},
        {"{\"Portes\": [{}]}", "\"Portes\": expected an object, found an array"},
        {"{\"Global\": true}", "\"Global\": expected an object, found a boolean"},
        {"{\"Clients\": {\"Client\": {\"bumpfact\": 1}}}",
         "\"Clients.Client\": expected a list of objects (null for a hole), found an object"},
        {"{\"Clients\": {\"Client\": [1, 2, 3, 4]}}",
         "\"Clients.Client\": expected a list of objects (null for a hole), found a number"},
        {"{\"Clients\": {\"Client\": [null, {\"lightdir\": \"up\"}]}}",
         "\"Clients.Client[1].lightdir\": expected four numbers (x, y, z, w), found a string"},
        {"{\"Trackers\": {\"Tracker\": [null, {\"mouseSimul\": 1}]}}",
         "\"Trackers.Tracker[1].mouseSimul\": expected true or false, found a number"},
        {"{\"x\": [null, 1, 2, 3]}", "\"x\": expected four numbers or a list of objects (null for a hole)"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseError(c.text), c.message) << c.text.substr(0, 60);
    // As deep as the limit is fine, BOM and all.
    EXPECT_TRUE(Parse("\xEF\xBB\xBF" + Nested(64)));
}

// The file is UTF-8, the tree the code page's text: keys and strings are converted both ways
// and come back byte for byte.
TEST(JsonConfig, TextsAreTheCodePagesInTheTreeAndUtf8InTheFile)
{
    const std::string file =
        "{\n    \"Installation\": {\n        \"title\": \"Salle des lumi\xC3\xA8res\"\n    },\n"
        "    \"Portes\": {\n        \"cube_map\": \"textures/\xC3\xA9t\xC3\xA9.dds\",\n"
        "        \"\xC5\x93uvre \xE2\x82\xAC\": \"\xE2\x80\x94 \\\" \\\\ \\n \xC3\xBF\"\n    }\n}\n";
    CountedRef<ConfigSection> root = Parse(file);
    ASSERT_TRUE(root);
    EXPECT_EQ(root->ReadString("Installation.title").AsStd(), "Salle des lumi\xE8res");
    EXPECT_EQ(root->ReadString("Portes.cube_map").AsStd(), "textures/\xE9t\xE9.dds");
    EXPECT_EQ(root->ReadString("Portes.\x9Cuvre \x80").AsStd(), "\x97 \" \\ \n \xFF");
    EXPECT_EQ(Format(*root), file);
    // What the operator types, in the code page, saves as UTF-8.
    root->Set("Portes.bump_map", 0, new brin::Value("lumi\xE8re \x8C"));
    EXPECT_NE(Format(*root).find("\"bump_map\": \"lumi\xC3\xA8re \xC5\x92\""), std::string::npos);

    // Every byte of Windows-1252 has its character and comes back; text outside is refused.
    for (int b = 1; b < 256; ++b) {
        const std::string byte(1, static_cast<char>(b));
        std::string utf8, back, why;
        ASSERT_TRUE(hostkit::ToUtf8(byte, hostkit::kCodePage1252, &utf8, &why)) << b;
        ASSERT_TRUE(hostkit::FromUtf8(utf8, hostkit::kCodePage1252, &back, &why)) << b << ": " << why;
        EXPECT_EQ(back, byte) << b;
    }
    const struct {
        std::string utf8;
        unsigned codePage;
        std::string why;
    } refused[] = {
        {"\xC2\x80", 1252, "the character U+0080 has no byte in code page 1252"},
        {"x\xF0\x9F\x98\x80", 1252, "the character U+1F600 (\xF0\x9F\x98\x80) has no byte in code page 1252"},
        {"\xC0\xAF", 1252, "text that is not UTF-8"},       // an overlong "/"
        {"\xED\xA0\x80", 65001, "text that is not UTF-8"},  // a surrogate
        {"\xE9t\xE9", 65001, "text that is not UTF-8"},
        {"\xC3\xA9", 932, "code page 932 is not built in (only 1252 and 65001 are)"},
    };
    for (const auto& r : refused) {
        std::string out, why;
        EXPECT_FALSE(hostkit::FromUtf8(r.utf8, r.codePage, &out, &why)) << r.why;
        EXPECT_EQ(why, r.why);
    }
}

// The module's number keys take integers as anyone writes them; other keys keep Int.
TEST(JsonConfig, AnIntegerForAFloatKeyIsAFloatSavedAsThatIntegerWhileUnchanged)
{
    const std::string file =
        "{\n    \"Portes\": {\n        \"max_sprites\": 150,\n        \"count\": 3\n    },\n"
        "    \"Clients\": {\n        \"Client\": [\n            {\n                \"bumpfact\": -2\n"
        "            }\n        ]\n    }\n}\n";
    CountedRef<ConfigSection> root = Parse(file);
    ASSERT_TRUE(root);
    ASSERT_TRUE(root->Find("Portes.max_sprites", 0)->IsType(brin::Float));
    EXPECT_EQ(root->ReadFloat("Portes.max_sprites"), 150.0f);
    EXPECT_TRUE(root->Find("Portes.count", 0)->IsType(brin::Int));
    EXPECT_EQ(root->ReadNode("Clients.Client", 0)->ReadFloat("bumpfact"), -2.0f);
    EXPECT_EQ(Format(*root), file);
    // As Update writes it: a new value, equal, keeps the form; another one is a float.
    root->Set("Portes.max_sprites", 0, new brin::Value(150.0f));
    EXPECT_EQ(Format(*root), file);
    root->Set("Portes.max_sprites", 0, new brin::Value(151.0f));
    EXPECT_NE(Format(*root).find("\"max_sprites\": 151.0,"), std::string::npos);
}

TEST(JsonConfig, WhatAFileCouldNotLoadIsNotSaved)
{
    // Deeper than a file may be, and a section inside itself.
    CountedRef<ConfigSection> root(ConfigSection::Make());
    ConfigSection* deepest = root.get();
    for (int i = 0; i < hostkit::kMaxConfigDepth; ++i)
        deepest = deepest->Section("a", true);
    std::string text, error;
    EXPECT_FALSE(hostkit::FormatConfig(*root, hostkit::kCodePage1252, &text, &error));
    EXPECT_EQ(error.rfind("\"a.a.a.a", 0), 0u) << error;
    EXPECT_NE(error.find("nested deeper than 64 objects and arrays"), std::string::npos);
    CountedRef<ConfigSection> loop(ConfigSection::Make());
    loop->Set("self", 0, hostkit::MakeNodeValue(loop.get()));
    EXPECT_FALSE(hostkit::FormatConfig(*loop, hostkit::kCodePage1252, &text, &error));
    loop->Set("self", 0, new brin::Value(true));  // lets the section go

    // A list set out of order is written by index, holes as null; a hole too far is refused.
    CountedRef<ConfigSection> lists(ConfigSection::Make());
    for (int index : {3, 0, 1})
        lists->Set("L", index, hostkit::MakeNodeValue(ConfigSection::Make()));
    ASSERT_TRUE(hostkit::FormatConfig(*lists, hostkit::kCodePage1252, &text, &error)) << error;
    EXPECT_EQ(text, "{\n    \"L\": [\n        {},\n        {},\n        null,\n        {}\n    ]\n}\n");
    lists->Set("L", 100000000, hostkit::MakeNodeValue(ConfigSection::Make()));
    EXPECT_FALSE(hostkit::FormatConfig(*lists, hostkit::kCodePage1252, &text, &error));
    EXPECT_EQ(error, "larger than a configuration file may be (32 MiB)");
}

TEST_F(SaveFile, FoldersEmptyAndHugeFilesAreRefusedUnreadAndNothingIsLeftBehind)
{
    WriteFile(folder / "empty.json", "");
    std::filesystem::create_directory(folder / "sub.json");
    std::ofstream(folder / "huge.json").close();
    std::filesystem::resize_file(folder / "huge.json", hostkit::kMaxConfigBytes + 1);
    const struct {
        const char* name;
        const char* message;
    } cases[] = {
        {"empty.json", "the file is empty, expected an object"},
        {"sub.json", "is a folder, not a configuration file"},
        {"huge.json", "larger than a configuration may be (33554433 bytes, at most 32 MiB)"},
    };
    for (const auto& c : cases) {
        std::string error;
        EXPECT_FALSE(hostkit::LoadConfigFile((folder / c.name).string(), hostkit::kCodePage1252, &error));
        EXPECT_EQ(error, (folder / c.name).string() + ": " + c.message);
    }

    // Saves that cannot be made leave nothing: into a folder that is not there, over a folder.
    CountedRef<ConfigSection> root = Parse(kFile);
    ASSERT_TRUE(root);
    std::string error;
    EXPECT_FALSE(
        hostkit::SaveConfigFile((folder / "nowhere" / "x.json").string(), *root, hostkit::kCodePage1252, &error));
    EXPECT_EQ(error, (folder / "nowhere" / "x.json").string() + ": not saved: cannot write " +
                         (folder / "nowhere" / "x.json.tmp").string());
    EXPECT_FALSE(hostkit::SaveConfigFile((folder / "sub.json").string(), *root, hostkit::kCodePage1252, &error));
    EXPECT_EQ(error, (folder / "sub.json").string() + ": not saved: it is a folder");
    // Two saves: the backup is the file before the last one, and no temporary file stays.
    ASSERT_TRUE(hostkit::SaveConfigFile(file.string(), *root, hostkit::kCodePage1252, &error)) << error;
    root->Set("Portes.max_sprites", 0, new brin::Value(13.0f));
    ASSERT_TRUE(hostkit::SaveConfigFile(file.string(), *root, hostkit::kCodePage1252, &error)) << error;
    EXPECT_EQ(ReadFile(folder / "install.json.bak"), kFile);
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names,
              (std::vector<std::string>{"empty.json", "huge.json", "install.json", "install.json.bak", "sub.json"}));
}
