// The configuration file: JSON to tree and back, and the atomic save.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

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
    expected.replace(expected.find("            }\n        ]\n    },"), std::string("            }\n        ]\n    },").size(),
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
    const std::string text = "{\n    \"Trackers\": {\n        \"Tracker\": [\n            {\n                \"mouseSimul\": false\n            }\n        ]\n    }\n}\n";
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
