// The setup editor's table, formats and parsing, and the membrane definition fields, against
// the host kit's tree.
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

// A section that records every Set, to see the order and the tags of what is written.
class RecordingNode final : public brin::ConfigNode {
public:
    struct Write {
        std::string path;
        int32_t index;
        int32_t tag;
        float v[4];
    };
    void FinalRelease() override {}
    bool Set(const char* path, int32_t index, Value* value) override
    {
        Write w{path, index, value->GetType(), {value->AsFloat()}};
        if (value->IsType(brin::Vector))
            value->GetVector(&w.v[0], &w.v[1], &w.v[2], &w.v[3]);
        writes.push_back(w);
        delete value;
        return true;
    }
    Value* Find(const char*, int32_t) override { return nullptr; }
    std::vector<Write> writes;
};

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

TEST(SetupTable, LoadsThirtyEightTextsInLoadOrderWithZeroForWhatIsMissing)
{
    CountedRef<ConfigSection> root{ConfigSection::Make()};
    root->Set("Portes.sprites_repulse", 0, new Value(1234.5678f));
    root->Set("Portes.max_sprites", 0, new Value(12.9f));
    root->Set("Portes.tau_reac", 0, new Value(0.5f, 1.25f, -2.0f, 9.0f));
    root->Set("Global.socketfreq", 0, new Value(29.7f));
    root->Set("Portes.lifetime", 0, hostkit::MakeIntValue(7));  // another tag counts as absent

    const std::vector<EditText> texts = LoadParamTexts(*root.get());
    ASSERT_EQ(texts.size(), 38u);
    EXPECT_EQ(texts[0].control, IDC_SPRITES_REPULSE);
    EXPECT_EQ(texts[0].text, "1234.57");
    EXPECT_EQ(texts[5].text, "12");
    EXPECT_EQ(texts[6].text, "0.50");
    EXPECT_EQ(texts[7].text, "1.25");
    EXPECT_EQ(texts[8].control, IDC_TAU_REAC_2);
    EXPECT_EQ(texts[8].text, "-2.00");
    EXPECT_EQ(texts[11].control, IDC_LIFETIME);
    EXPECT_EQ(texts[11].text, "0.00");
    EXPECT_EQ(texts[37].control, IDC_SOCKETFREQ);
    EXPECT_EQ(texts[37].text, "30");

    CountedRef<ConfigSection> empty{ConfigSection::Make()};
    for (const EditText& t : LoadParamTexts(*empty.get()))
        EXPECT_EQ(t.text, t.control == IDC_MAX_SPRITES || t.control == IDC_SOCKETFREQ ? "0" : "0.00") << t.control;
}

TEST(SetupTable, StoresThirtySevenValuesInStoreOrder)
{
    const std::vector<std::string> expected = {
        "Portes.volumeduration", "Portes.maxvolume", "Portes.lifetime", "Portes.fade_duration",
        "Portes.inflate_duration", "Portes.trans_latency", "Portes.trans_latency2", "Portes.trans_duration",
        "Portes.trans_attractor", "Portes.trans_delay_near", "Portes.trans_delay_far", "Portes.trans_threshold",
        "Portes.trans_thresholdmax", "Portes.fadembr_duration", "Portes.tau_reac", "Portes.sprites_scale",
        "Portes.sprites_repulse", "Portes.refractscale", "Portes.sprites_small", "Portes.membrane_gap",
        "Portes.max_sprites", "Portes.noact_timeout", "Portes.phase_speed", "Portes.phase_amp", "Portes.phase_freq",
        "Portes.mbr_tau", "Portes.cullback", "Clients.cullback", "Trackers.minSz", "Trackers.maxSz",
        "Trackers.minDens", "Trackers.maxDens", "Trackers.nearz", "Trackers.farz", "Trackers.amplitudey",
        "Trackers.frequencey", "Global.socketfreq"};
    RecordingNode node;
    StoreParamTexts(node, [](int id) {
        switch (id) {
        case IDC_TAU_REAC_0: return std::string("1.5");
        case IDC_TAU_REAC_1: return std::string("abc");
        case IDC_TAU_REAC_2: return std::string(" -2e1");
        case IDC_CULLBACK: return std::string("0,75");
        case IDC_MAX_SPRITES: return std::string("12");
        default: return std::string();
        }
    });
    ASSERT_EQ(node.writes.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        const RecordingNode::Write& w = node.writes[i];
        EXPECT_EQ(w.path, expected[i]);
        EXPECT_EQ(w.index, 0);
        EXPECT_EQ(w.tag, w.path == "Portes.tau_reac" ? brin::Vector : brin::Float) << w.path;
    }
    EXPECT_EQ(std::vector<float>(node.writes[14].v, node.writes[14].v + 4), (std::vector<float>{1.5f, 0, -20.0f, 0}));
    EXPECT_EQ(node.writes[20].v[0], 12.0f);
    EXPECT_EQ(node.writes[26].v[0], 0.0f);
    EXPECT_EQ(node.writes[27].v[0], 0.0f);
}

TEST(MembraneDefinition, SelectsTheCommonOrAClientSection)
{
    CountedRef<ConfigSection> root{ConfigSection::Make()};
    ConfigSection* portes = root->Section("Portes", true);
    CountedRef<ConfigSection> client3{ConfigSection::Make()};
    root->Set("Clients.Client", 2, hostkit::MakeNodeValue(client3.get()));
    root->Set("Clients.Client", 3, new Value(1.0f));
    EXPECT_EQ(SelectDefinition(*root.get(), 0), portes);
    EXPECT_EQ(SelectDefinition(*root.get(), -1), portes);
    EXPECT_EQ(SelectDefinition(*root.get(), 3), client3.get());
    EXPECT_EQ(SelectDefinition(*root.get(), 4), nullptr);  // not a section
    EXPECT_EQ(SelectDefinition(*root.get(), 1), nullptr);
    EXPECT_EQ(DefinitionCaption(0), "common definition 0");
    EXPECT_EQ(DefinitionCaption(7), "Client 7");

    // No definition: empty fields, and nothing is written.
    const MembraneFields none = ReadMembraneFields(nullptr);
    EXPECT_TRUE(none.lightExponent.empty() && none.cubeMap.empty() && none.bumpFactor.empty() && !none.twoSides);
    EXPECT_EQ(WriteMembraneFields(nullptr, MembraneFields{"1", true, "1", "1", "1", "a", "b"}), 0u);
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
