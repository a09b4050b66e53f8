// The setup editor's formats and parsing, and the membrane definition fields against the host
// kit's tree; the window's own tests cover the orders and the browsing.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <string>
#include <vector>

#include "hostkit/ConfigSection.h"
#include "setup/MembraneDefinition.h"
#include "setup/SetupTable.h"

using brin::CountedRef;
using brin::Value;
using hostkit::ConfigSection;
using namespace setup;

namespace {

std::string Text(ParamFormat format, float value) { return FormatParam(format, value).chars; }

}  // namespace

TEST(SetupTable, FormatsEachKindOfRow)
{
    EXPECT_EQ(Text(ParamFormat::Fixed2, 1234.5678f), "1234.57");
    EXPECT_EQ(Text(ParamFormat::Fixed2, 0.0f), "0.00");
    EXPECT_EQ(Text(ParamFormat::Truncated, 12.9f), "12");
    EXPECT_EQ(Text(ParamFormat::Truncated, -3.7f), "-3");
    EXPECT_EQ(Text(ParamFormat::Rounded, 29.7f), "30");
    EXPECT_EQ(Text(ParamFormat::Rounded, 60.0f), "60");
    // Beyond what the buffer or an int can hold: shown whole, or at the nearest int.
    EXPECT_EQ(Text(ParamFormat::Fixed2, -FLT_MAX).size(), 43u);
    EXPECT_EQ(Text(ParamFormat::Truncated, 1e10f), "2147483647");
    EXPECT_EQ(Text(ParamFormat::Truncated, -1e10f), "-2147483648");
    EXPECT_EQ(Text(ParamFormat::Truncated, NAN), "0");
}

TEST(SetupTable, ParsesAsAtofDoesAndNarrowsToFloat)
{
    EXPECT_EQ(ParseParam("1,5"), 1.0f);
    EXPECT_EQ(ParseParam(" 2.5e1"), 25.0f);
    EXPECT_EQ(ParseParam("abc"), 0.0f);
    EXPECT_EQ(ParseParam(""), 0.0f);
    EXPECT_EQ(ParseParam("-12.25xyz"), -12.25f);
    EXPECT_EQ(ParseParam("1e999"), INFINITY);
    EXPECT_EQ(ParseParam("-1e300"), -INFINITY);  // a double, but no float
    EXPECT_EQ(ParseParam(std::string(100000, '9')), INFINITY);
    ParseParam("nan");
    ParseParam("inf");
}

// Every edit's text goes to its key and comes back to the same edit, the vector included.
TEST(SetupTable, WhatUpdateStoresLoadShowsAgain)
{
    CountedRef<ConfigSection> root{ConfigSection::Make()};
    StoreParamTexts(*root.get(), [](int id) { return std::to_string(id) + ".5"; });
    const std::vector<EditText> texts = LoadParamTexts(*root.get());
    ASSERT_EQ(texts.size(), 38u);
    for (const EditText& t : texts) {
        // "%d" truncates 2012.5; "%.0f" rounds 2052.5 to the even 2052.
        const bool whole = t.control == IDC_MAX_SPRITES || t.control == IDC_SOCKETFREQ;
        const std::string expected = std::to_string(t.control) + (whole ? "" : ".50");
        EXPECT_EQ(t.text, expected);
    }
    EXPECT_EQ(root->ReadFloat("Clients.cullback"), root->ReadFloat("Portes.cullback"));
}

TEST(MembraneDefinition, RoundTripsWhatItShowsAndKeepsWhatIsEmpty)
{
    CountedRef<ConfigSection> def{ConfigSection::Make()};
    def->Set("lightexp", 0, new Value(2.5f, 0.5f, 7.0f, 8.0f));
    def->Set("lightdir", 0, new Value(0.3f, -0.7f, 5.0f, 5.0f));
    const std::string longName(300, 'n');
    def->Set("cube_map", 0, new Value(longName.c_str()));
    def->Set("bump_map", 0, new Value("Bump.dds"));

    MembraneFields fields = ReadMembraneFields(def.get());
    EXPECT_EQ(fields.lightExponent, "2.50");
    EXPECT_TRUE(fields.twoSides);
    EXPECT_EQ(fields.lightDirX, "0.30");
    EXPECT_EQ(fields.lightDirY, "-0.70");
    EXPECT_EQ(fields.bumpFactor, "");
    EXPECT_EQ(fields.cubeMap, longName);

    EXPECT_EQ(WriteMembraneFields(def.get(), fields), 0u);
    float v[4];
    def->ReadVector("lightexp", &v[0], &v[1], &v[2], &v[3]);
    EXPECT_EQ(std::vector<float>(v, v + 4), (std::vector<float>{2.5f, 1, 0, 0}));
    def->ReadVector("lightdir", &v[0], &v[1], &v[2], &v[3]);
    EXPECT_EQ(std::vector<float>(v, v + 4), (std::vector<float>{0.3f, -0.7f, 0, 0}));
    EXPECT_EQ(def->Find("bumpfact", 0), nullptr);
    EXPECT_EQ(def->ReadString("cube_map").AsStd(), longName);

    // One letter's case is a new name; empty fields leave their entries alone.
    fields = MembraneFields{};
    fields.twoSides = true;
    fields.lightDirY = "4";
    fields.bumpMap = "bump.dds";
    EXPECT_EQ(WriteMembraneFields(def.get(), fields), TexturesChanged);
    EXPECT_EQ(def->ReadString("bump_map").AsStd(), "bump.dds");
    EXPECT_EQ(def->ReadString("cube_map").AsStd(), longName);
    def->ReadVector("lightexp", &v[0], &v[1], nullptr, nullptr);
    EXPECT_EQ(v[1], 1.0f);
    def->ReadVector("lightdir", &v[0], &v[1], nullptr, nullptr);
    EXPECT_EQ(v[1], -0.7f);
}
