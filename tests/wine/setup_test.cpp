// The setup editor as a host drives it: through ISetupParams, the host kit's tree and listener,
// and Win32 (edit texts, check boxes, button clicks) the way an operator sees it.
#include <array>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>
#include <windows.h>

#include <brin/ConfigNode.h>
#include <toolwindows/ControlIds.h>
#include <toolwindows/ISetupParams.h>

#include "dialog_checks.h"
#include "heap_checks.h"
#include "hostkit/CodePage.h"
#include "hostkit/ConfigSection.h"
#include "hostkit/Host.h"
#include "hostkit/JsonConfig.h"
#include "hostkit/RecordingListener.h"
#include "loaded_module.h"

using brin::CountedRef;
using brin::Value;
using hostkit::ConfigSection;
using hostkit::ListenerCall;

namespace ids = toolwindows::ids;

namespace {

// Control ids as a host reads them off the dialog.
using namespace ids::setup;

// Every number of the editor and its edit; each holds 1.25 more than the one before.
struct NumberParam {
    const char* key;
    int id;
};
constexpr NumberParam kNumbers[] = {
    {"Portes.sprites_repulse", kSpritesRepulse},
    {"Portes.sprites_scale", kSpritesScale},
    {"Portes.refractscale", kRefractScale},
    {"Portes.sprites_small", kSpritesSmall},
    {"Portes.membrane_gap", kMembraneGap},
    {"Portes.volumeduration", kVolumeDuration},
    {"Portes.maxvolume", kMaxVolume},
    {"Portes.lifetime", kLifetime},
    {"Portes.fade_duration", kFadeDuration},
    {"Portes.inflate_duration", kInflateDuration},
    {"Portes.trans_latency", kTransLatency},
    {"Portes.trans_latency2", kTransLatency2},
    {"Portes.trans_duration", kTransDuration},
    {"Portes.trans_attractor", kTransAttractor},
    {"Portes.trans_delay_near", kTransDelayNear},
    {"Portes.trans_delay_far", kTransDelayFar},
    {"Portes.trans_threshold", kTransThreshold},
    {"Portes.trans_thresholdmax", kTransThresholdMax},
    {"Portes.fadembr_duration", kFadeMbrDuration},
    {"Portes.noact_timeout", kNoActTimeout},
    {"Portes.phase_speed", kPhaseSpeed},
    {"Portes.phase_amp", kPhaseAmp},
    {"Portes.phase_freq", kPhaseFreq},
    {"Portes.mbr_tau", kMbrTau},
    {"Portes.cullback", kCullback},
    {"Trackers.minSz", kTrackersMinSz},
    {"Trackers.maxSz", kTrackersMaxSz},
    {"Trackers.minDens", kTrackersMinDens},
    {"Trackers.maxDens", kTrackersMaxDens},
    {"Trackers.nearz", kTrackersNearZ},
    {"Trackers.farz", kTrackersFarZ},
    {"Trackers.amplitudey", kTrackersAmplitudeY},
    {"Trackers.frequencey", kTrackersFrequenceY},
};

const std::vector<std::string> kStoreOrder = {"Portes.volumeduration",
                                              "Portes.maxvolume",
                                              "Portes.lifetime",
                                              "Portes.fade_duration",
                                              "Portes.inflate_duration",
                                              "Portes.trans_latency",
                                              "Portes.trans_latency2",
                                              "Portes.trans_duration",
                                              "Portes.trans_attractor",
                                              "Portes.trans_delay_near",
                                              "Portes.trans_delay_far",
                                              "Portes.trans_threshold",
                                              "Portes.trans_thresholdmax",
                                              "Portes.fadembr_duration",
                                              "Portes.tau_reac",
                                              "Portes.sprites_scale",
                                              "Portes.sprites_repulse",
                                              "Portes.refractscale",
                                              "Portes.sprites_small",
                                              "Portes.membrane_gap",
                                              "Portes.max_sprites",
                                              "Portes.noact_timeout",
                                              "Portes.phase_speed",
                                              "Portes.phase_amp",
                                              "Portes.phase_freq",
                                              "Portes.mbr_tau",
                                              "Portes.cullback",
                                              "Clients.cullback",
                                              "Trackers.minSz",
                                              "Trackers.maxSz",
                                              "Trackers.minDens",
                                              "Trackers.maxDens",
                                              "Trackers.nearz",
                                              "Trackers.farz",
                                              "Trackers.amplitudey",
                                              "Trackers.frequencey",
                                              "Global.socketfreq"};

std::string TwoDecimals(float value)
{
    char text[64];
    std::snprintf(text, sizeof(text), "%.2f", static_cast<double>(value));
    return text;
}

using Vec = std::array<float, 4>;

Vec VectorAt(brin::ConfigNode* node, const char* key)
{
    Vec v{NAN, NAN, NAN, NAN};
    if (node)
        node->ReadVector(key, &v[0], &v[1], &v[2], &v[3]);
    return v;
}

std::string StringAt(brin::ConfigNode* node, const char* key)
{
    bool found = false;
    const brin::Str<char> s = node->ReadString(key, 0, &found);
    return found ? s.AsStd() : "(absent)";
}

// The installation's tuning: every global key, the common definition in "Portes" and a
// definition for each of the first `clients` clients.
void FillConfiguration(ConfigSection& root, int clients = 7)
{
    float value = 1.25f;
    for (const NumberParam& p : kNumbers) {
        root.Set(p.key, 0, new Value(value));
        value += 1.25f;
    }
    root.Set("Portes.max_sprites", 0, new Value(12.9f));
    root.Set("Global.socketfreq", 0, new Value(29.7f));
    root.Set("Portes.tau_reac", 0, new Value(0.5f, 1.5f, -2.25f, 9.0f));
    ConfigSection* portes = root.Section("Portes");
    portes->Set("lightexp", 0, new Value(2.5f, 0.5f, 7.0f, 8.0f));
    portes->Set("lightdir", 0, new Value(0.3f, -0.7f, 5.0f, 5.0f));
    portes->Set("bumpfact", 0, new Value(1.5f));
    portes->Set("cube_map", 0, new Value("cube_common.dds"));
    portes->Set("bump_map", 0, new Value("bump_common.dds"));
    for (int k = 1; k <= clients; ++k) {
        ConfigSection* client = ConfigSection::Make();
        root.Set("Clients.Client", k - 1, hostkit::MakeNodeValue(client));
        client->Set("lightexp", 0, new Value(static_cast<float>(k), 0.0f, 0.0f, 0.0f));
        client->Set("cube_map", 0, new Value(("cube_" + std::to_string(k)).c_str()));
    }
}

// The root as the host hands it to the window: the host kit's tree, with every Set recorded.
class RecordingRoot final : public brin::ConfigNode {
public:
    struct Write {
        std::string path;
        int32_t index;
        int32_t tag;
    };
    void FinalRelease() override {}
    bool Set(const char* path, int32_t index, Value* value) override
    {
        writes.push_back({path, index, value->GetType()});
        return inner->Set(path, index, value);
    }
    Value* Find(const char* path, int32_t index) override { return inner->Find(path, index); }

    brin::ConfigNode* inner = nullptr;
    std::vector<Write> writes;
};

class SetupEditor : public testing::Test {
protected:
    void SetUp() override
    {
        root.inner = host.Root();
        editor = CreateWindowAs<ISetupParams>("SetupParams", &hwnd);
        ASSERT_NE(editor, nullptr);
        ASSERT_NE(hwnd, nullptr);
    }
    void TearDown() override
    {
        if (editor)
            editor->Release();
        PumpFor(100);
        EXPECT_EQ(host.RefCount(), 1) << "the window keeps a reference on the host";
    }

    // Attaches the host with a full configuration, sets the listener, loads.
    void LoadFull(int clients = 7)
    {
        FillConfiguration(*host.Root(), clients);
        host.SetConfig(&root);
        editor->Attach(&host);
        editor->SetListener(&listener);
        editor->Load();
        root.writes.clear();
    }

    std::string Text(int id) const
    {
        const HWND control = GetDlgItem(hwnd, id);
        std::string text(static_cast<size_t>(GetWindowTextLengthA(control)) + 1, '\0');
        text.resize(static_cast<size_t>(GetWindowTextA(control, text.data(), static_cast<int>(text.size()))));
        return text;
    }
    void Type(int id, const std::string& text) { SetWindowTextA(GetDlgItem(hwnd, id), text.c_str()); }
    void Click(int id) { SendMessageA(GetDlgItem(hwnd, id), BM_CLICK, 0, 0); }
    bool Checked() const { return SendMessageA(GetDlgItem(hwnd, kTwoSides), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    void SetChecked(bool on)
    {
        SendMessageA(GetDlgItem(hwnd, kTwoSides), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
    }

    ConfigSection* Portes() { return host.Root()->Section("Portes"); }
    brin::ConfigNode* Client(int k) { return host.Root()->ReadNode("Clients.Client", k - 1); }
    std::vector<ListenerCall> Changed(int32_t flags) { return {ListenerCall::ChangedTo(flags)}; }

    RecordingRoot root;  // outlives the host, which holds it
    hostkit::Host host;
    hostkit::RecordingListener listener;
    ISetupParams* editor = nullptr;
    HWND hwnd = nullptr;
};

enum Kind { Label, GroupEdit, Edit, Push, GroupBox, Check };

struct TemplateControl {
    int id;
    Kind kind;
    const char* text;
    std::array<LONG, 4> rect;  // dialog units
};

const TemplateControl kTemplate[] = {
    {-1, Label, "espace entre membranes :", {7, 7, 81, 8}},
    {-1,
     Label,
     "\xE9"
     "chelle des sprites :",
     {7, 19, 81, 8}},
    {-1,
     Label,
     "\xE9"
     "chelle min des sprites :",
     {7, 31, 81, 8}},
    {kMembraneGap, GroupEdit, "", {96, 7, 21, 12}},
    {kSpritesScale, GroupEdit, "", {96, 19, 21, 12}},
    {kSpritesSmall, GroupEdit, "", {96, 31, 21, 12}},
    {kUpdate, Push, "Update", {7, 405, 50, 14}},
    {-1, Label, "transition lantency :", {7, 169, 57, 8}},
    {-1, Label, "volume fade in/out duration :", {7, 214, 85, 8}},
    {-1, Label, "transition duration :", {7, 184, 56, 8}},
    {-1, Label, "transition amplitude :", {7, 199, 62, 8}},
    {-1, Label, "max volume :", {7, 229, 40, 8}},
    {-1, Label, "sprites lifetime :", {7, 244, 47, 8}},
    {-1, Label, "fade in/out duration :", {7, 258, 62, 8}},
    {-1, Label, "scaling in/out duration :", {7, 274, 70, 8}},
    {kTransLatency, GroupEdit, "", {96, 167, 21, 12}},
    {kTransDuration, GroupEdit, "", {96, 182, 21, 12}},
    {kTransAttractor, GroupEdit, "", {96, 197, 21, 12}},
    {kVolumeDuration, GroupEdit, "", {96, 212, 21, 12}},
    {kMaxVolume, GroupEdit, "", {96, 227, 21, 12}},
    {kLifetime, GroupEdit, "", {96, 242, 21, 12}},
    {kFadeDuration, GroupEdit, "", {96, 257, 21, 12}},
    {kInflateDuration, GroupEdit, "", {96, 272, 21, 12}},
    {-1, Label, "sprites reactions (tau) :", {7, 289, 68, 8}},
    {kTauReac0, GroupEdit, "", {96, 288, 21, 12}},
    {kTauReac1, GroupEdit, "", {117, 288, 21, 12}},
    {kTauReac2, GroupEdit, "", {139, 288, 21, 12}},
    {-1, Label, "sprites repulsion :", {7, 319, 53, 8}},
    {kSpritesRepulse, GroupEdit, "", {96, 318, 21, 12}},
    {-1, Label, "next mbr near  :", {7, 334, 84, 8}},
    {kTransThreshold, GroupEdit, "", {95, 335, 21, 12}},
    {kTransDelayNear, GroupEdit, "", {120, 335, 21, 12}},
    {-1, Label, "front sprites fade speed :", {7, 349, 74, 8}},
    {kFadeMbrDuration, GroupEdit, "", {96, 348, 21, 12}},
    {kSave, Push, "Save", {194, 405, 50, 14}},
    {kDefinitionGroup, GroupBox, "Membrane related", {7, 57, 237, 103}},
    {-1, Label, "max sprites :", {7, 45, 81, 8}},
    {-1, Label, "bump map :", {14, 79, 30, 8}},
    {-1, Label, "cube map :", {13, 91, 31, 8}},
    {-1, Label, "light dir (Ox/Oy) :", {13, 103, 75, 8}},
    {-1, Label, "light exponent :", {23, 115, 65, 8}},
    {-1, Label, "bump factor :", {29, 127, 59, 8}},
    {-1, Label, "refract scale :", {20, 139, 68, 8}},
    {kMaxSprites, GroupEdit, "", {96, 45, 21, 12}},
    {kBumpMap, GroupEdit, "", {55, 79, 105, 12}},
    {kCubeMap, GroupEdit, "", {55, 91, 105, 12}},
    {kLightDirY, GroupEdit, "", {96, 103, 21, 12}},
    {kLightExp, GroupEdit, "", {96, 115, 21, 12}},
    {kBumpFact, GroupEdit, "", {96, 127, 21, 12}},
    {kRefractScale, GroupEdit, "", {96, 139, 21, 12}},
    {kLightDirX, GroupEdit, "", {117, 103, 21, 12}},
    {kTwoSides, Check, "2sides", {125, 116, 35, 10}},
    {kNextDefinition, Push, ">", {21, 69, 7, 9}},
    {kPreviousDefinition, Push, "<", {13, 69, 7, 9}},
    {kTransLatency2, GroupEdit, "", {119, 167, 21, 12}},
    {kTransThresholdMax, GroupEdit, "", {200, 335, 21, 12}},
    {kNoActTimeout, GroupEdit, "", {96, 362, 21, 12}},
    {-1, Label, "timemout for inactivity :", {7, 364, 67, 8}},
    {kPhaseSpeed, GroupEdit, "", {96, 376, 21, 12}},
    {-1, Label, "phase speed/amp/freq :", {7, 378, 75, 8}},
    {kPhaseAmp, GroupEdit, "", {119, 376, 21, 12}},
    {kPhaseFreq, GroupEdit, "", {142, 376, 21, 12}},
    {-1, Label, "membrane reaction (tau) :", {7, 303, 77, 8}},
    {kMbrTau, GroupEdit, "", {96, 302, 21, 12}},
    {kCullback, GroupEdit, "", {96, 390, 21, 12}},
    {-1, Label, "back membrane cull : ", {7, 392, 75, 8}},
    {-1, GroupBox, "Tracking", {147, 166, 92, 124}},
    {kTrackersMinSz, Edit, "", {195, 174, 40, 12}},
    {kTrackersMaxSz, Edit, "", {195, 188, 40, 12}},
    {kTrackersMinDens, Edit, "", {195, 204, 40, 12}},
    {kTrackersMaxDens, Edit, "", {195, 218, 40, 12}},
    {-1, Label, "minSz", {171, 177, 20, 11}},
    {-1, Label, "minDens", {161, 204, 29, 11}},
    {-1, Label, "maxSz", {151, 190, 38, 11}},
    {-1, Label, "maxDens", {161, 220, 29, 11}},
    {kTrackersNearZ, Edit, "", {195, 233, 40, 12}},
    {-1, Label, "nearz", {159, 233, 29, 11}},
    {-1, Label, "Socket send freq : ", {125, 10, 81, 8}},
    {kSocketFreq, GroupEdit, "", {214, 10, 21, 12}},
    {kTrackersFarZ, Edit, "", {196, 245, 40, 12}},
    {-1, Label, "farz", {160, 245, 29, 11}},
    {kTrackersAmplitudeY, Edit, "", {196, 260, 40, 12}},
    {-1, Label, "amp y", {160, 260, 29, 11}},
    {kTrackersFrequenceY, Edit, "", {196, 275, 40, 12}},
    {-1, Label, "freq y", {160, 275, 29, 11}},
    {kTransDelayFar, GroupEdit, "", {225, 335, 21, 12}},
    {-1, Label, "next mbr far :", {150, 335, 49, 8}},
};

}  // namespace

TEST_F(SetupEditor, MatchesItsTemplateAndStartsHiddenAndEmpty)
{
    EXPECT_FALSE(IsWindowVisible(hwnd));
    EXPECT_EQ(WindowText(hwnd), "Global Setup  helper");
    EXPECT_TRUE(HasStyle(hwnd, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, WS_CHILD));
    EXPECT_TRUE(HasFont(hwnd, "MS Sans Serif", 8));
    EXPECT_EQ(ClientEdges(hwnd), DialogRect(hwnd, 0, 0, 251, 426));

    // The edits' border becomes a client edge when the dialog manager makes them.
    const LONG child = WS_CHILD | WS_VISIBLE;
    const auto expectedStyle = [&](Kind kind) -> LONG {
        switch (kind) {
        case Label: return child | WS_GROUP | SS_RIGHT;
        case GroupEdit: return child | WS_GROUP | WS_TABSTOP | ES_AUTOHSCROLL;
        case Edit: return child | WS_TABSTOP | ES_AUTOHSCROLL;
        case Push: return child | WS_TABSTOP | BS_PUSHBUTTON;
        case GroupBox: return child | BS_GROUPBOX;
        case Check: return child | WS_TABSTOP | BS_AUTOCHECKBOX;
        }
        return 0;
    };
    const auto isEdit = [](Kind kind) { return kind == Edit || kind == GroupEdit; };
    std::vector<ExpectedControl> expected;
    for (const TemplateControl& c : kTemplate)
        expected.push_back({c.id,
                            isEdit(c.kind)    ? "Edit"
                            : c.kind == Label ? "Static"
                                              : "Button",
                            c.text, DialogRect(hwnd, c.rect[0], c.rect[1], c.rect[2], c.rect[3]),
                            expectedStyle(c.kind)});
    ASSERT_NO_FATAL_FAILURE(ExpectControls(hwnd, expected));

    const std::vector<HWND> children = Children(hwnd);
    int edits = 0;
    for (size_t i = 0; i < children.size(); ++i) {
        if (isEdit(kTemplate[i].kind)) {
            ++edits;
            EXPECT_TRUE(GetWindowLongA(children[i], GWL_EXSTYLE) & WS_EX_CLIENTEDGE) << "control " << i + 1;
        }
    }
    EXPECT_EQ(edits, 44);
}

TEST_F(SetupEditor, LoadFillsTheEditsAndShowsTheCommonDefinition)
{
    // Before Attach nothing is loaded.
    editor->Load();
    EXPECT_EQ(Text(kMembraneGap), "");
    EXPECT_EQ(Text(kDefinitionGroup), "Membrane related");

    LoadFull();
    float value = 1.25f;
    for (const NumberParam& p : kNumbers) {
        EXPECT_EQ(Text(p.id), TwoDecimals(value)) << p.key;
        value += 1.25f;
    }
    EXPECT_EQ(Text(kMaxSprites), "12");
    EXPECT_EQ(Text(kSocketFreq), "30");
    EXPECT_EQ(Text(kTauReac0), "0.50");
    EXPECT_EQ(Text(kTauReac1), "1.50");
    EXPECT_EQ(Text(kTauReac2), "-2.25");

    EXPECT_EQ(Text(kDefinitionGroup), "common definition 0");
    EXPECT_EQ(Text(kLightExp), "2.50");
    EXPECT_TRUE(Checked());
    EXPECT_EQ(Text(kLightDirX), "0.30");
    EXPECT_EQ(Text(kLightDirY), "-0.70");
    EXPECT_EQ(Text(kBumpFact), "1.50");
    EXPECT_EQ(Text(kCubeMap), "cube_common.dds");
    EXPECT_EQ(Text(kBumpMap), "bump_common.dds");
    EXPECT_TRUE(root.writes.empty());
}

TEST_F(SetupEditor, AbsentAndWrongTagKeysShowZero)
{
    host.Root()->Set("Portes.max_sprites", 0, hostkit::MakeIntValue(40));
    host.Root()->Set("Portes.lifetime", 0, new Value(true));
    host.Root()->Set("Portes.tau_reac", 0, new Value(3.0f));
    editor->Attach(&host);
    editor->Load();
    for (const NumberParam& p : kNumbers)
        EXPECT_EQ(Text(p.id), "0.00") << p.key;
    EXPECT_EQ(Text(kMaxSprites), "0");
    EXPECT_EQ(Text(kSocketFreq), "0");
    EXPECT_EQ(Text(kTauReac0) + Text(kTauReac1) + Text(kTauReac2), "0.000.000.00");
    // A definition without entries shows empty fields, the bump factor included.
    EXPECT_EQ(Text(kLightExp) + Text(kLightDirX) + Text(kLightDirY) + Text(kBumpFact) + Text(kCubeMap), "");
    EXPECT_FALSE(Checked());
}

TEST_F(SetupEditor, UpdateWritesThirtySevenValuesInStoreOrderAndNotifies)
{
    LoadFull();
    editor->Show();
    Type(kMaxSprites, "40");
    Type(kTauReac0, " 2.5e1");
    Type(kCullback, "1,5");
    Type(kMembraneGap, "abc");
    Type(kSpritesScale, "");
    Click(kUpdate);

    ASSERT_EQ(root.writes.size(), kStoreOrder.size());
    for (size_t i = 0; i < kStoreOrder.size(); ++i) {
        EXPECT_EQ(root.writes[i].path, kStoreOrder[i]);
        EXPECT_EQ(root.writes[i].index, 0);
        EXPECT_EQ(root.writes[i].tag, kStoreOrder[i] == "Portes.tau_reac" ? brin::Vector : brin::Float)
            << kStoreOrder[i];
    }
    ConfigSection* r = host.Root();
    EXPECT_EQ(r->ReadFloat("Portes.max_sprites"), 40.0f);
    EXPECT_EQ(VectorAt(r, "Portes.tau_reac"), (Vec{25.0f, 1.5f, -2.25f, 0.0f}));
    EXPECT_EQ(r->ReadFloat("Portes.cullback"), 1.0f);
    EXPECT_EQ(r->ReadFloat("Clients.cullback"), 1.0f);
    EXPECT_EQ(r->ReadFloat("Portes.membrane_gap"), 0.0f);
    EXPECT_EQ(r->ReadFloat("Portes.sprites_scale"), 0.0f);
    EXPECT_EQ(listener.calls, Changed(2));
    EXPECT_TRUE(IsWindowVisible(hwnd)) << "Update never hides the window";

    // Nothing edited: all 37 again, and 2 again. The shown max sprites (12 of 12.9) goes back whole.
    editor->Load();
    root.writes.clear();
    listener.calls.clear();
    SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(kUpdate, BN_CLICKED), 0);
    EXPECT_EQ(root.writes.size(), 37u);
    EXPECT_EQ(r->ReadFloat("Portes.max_sprites"), 40.0f);
    EXPECT_EQ(listener.calls, Changed(2));
}

TEST_F(SetupEditor, ATextureNameChangeIsReportedOnceBrowseStepsIncluded)
{
    LoadFull();
    Type(kCubeMap, "other.dds");
    Click(kUpdate);
    EXPECT_EQ(StringAt(Portes(), "cube_map"), "other.dds");
    Click(kUpdate);
    Type(kBumpMap, "bump_common.dds");  // the same name, typed again
    Click(kUpdate);
    EXPECT_EQ(listener.calls, (std::vector<ListenerCall>{ListenerCall::ChangedTo(3), ListenerCall::ChangedTo(2),
                                                         ListenerCall::ChangedTo(2)}));
    listener.calls.clear();

    // Changed on client 1, then stepped away: the next Update tells.
    Click(kNextDefinition);
    Type(kBumpMap, "Bump_1.dds");
    Click(kNextDefinition);
    Click(kPreviousDefinition);
    EXPECT_TRUE(listener.calls.empty()) << "browsing notifies nobody";
    EXPECT_EQ(Text(kBumpMap), "Bump_1.dds");
    Type(kBumpMap, "bump_1.dds");  // one letter's case
    Click(kUpdate);
    EXPECT_EQ(StringAt(Client(1), "bump_map"), "bump_1.dds");
    EXPECT_EQ(listener.calls, Changed(3));

    // Load clears what was not yet delivered.
    Type(kCubeMap, "again.dds");
    Click(kNextDefinition);
    editor->Load();
    listener.calls.clear();
    Click(kUpdate);
    EXPECT_EQ(listener.calls, Changed(2));
}

TEST_F(SetupEditor, SaveAsksTheHostWithoutStoring)
{
    LoadFull();
    Type(kMaxSprites, "77");
    Type(kCubeMap, "unsaved.dds");
    Click(kSave);
    EXPECT_EQ(host.saves, std::vector<int32_t>{0});
    EXPECT_TRUE(root.writes.empty());
    EXPECT_TRUE(listener.calls.empty());
    EXPECT_EQ(host.Root()->ReadFloat("Portes.max_sprites"), 12.9f);
    EXPECT_TRUE(IsWindow(hwnd));

    // The dialog manager's keys: Enter is Update, Escape is Save.
    MSG key{GetDlgItem(hwnd, kMembraneGap), WM_KEYDOWN, VK_RETURN, 0, 0, {0, 0}};
    IsDialogMessageA(hwnd, &key);
    EXPECT_EQ(root.writes.size(), 37u);
    EXPECT_EQ(listener.calls, Changed(3));
    key.wParam = VK_ESCAPE;
    IsDialogMessageA(hwnd, &key);
    EXPECT_EQ(host.saves, (std::vector<int32_t>{0, 0}));
    EXPECT_TRUE(IsWindow(hwnd));
}

std::wstring WideText(HWND control)
{
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::string FileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// A French installation's file: its accented names are what the editor shows, as Unicode
// through Win32, and a name the operator types goes back to the file as UTF-8.
TEST_F(SetupEditor, AccentedNamesAreShownTypedAndSavedAsWritten)
{
    const std::string file = "{\n    \"Portes\": {\n        \"max_sprites\": 150,\n"
                             "        \"cube_map\": \"textures/\xC3\xA9t\xC3\xA9.dds\",\n"
                             "        \"bump_map\": \"textures/bump.dds\"\n    }\n}\n";
    std::string error;
    const CountedRef<ConfigSection> loaded = hostkit::ParseConfig(file, GetACP(), &error);
    ASSERT_TRUE(loaded) << error;
    host.SetRoot(loaded.get());
    char folder[MAX_PATH];
    ASSERT_NE(GetTempPathA(MAX_PATH, folder), 0u);
    const std::string saved =
        std::string(folder) + "toolwindows-accents-" + std::to_string(GetCurrentProcessId()) + ".json";
    host.onSave = [&](int32_t) { return hostkit::SaveConfigFile(saved, *host.Root(), GetACP(), &error) ? 0 : 1; };
    editor->Attach(&host);
    editor->Load();
    EXPECT_EQ(WideText(GetDlgItem(hwnd, kCubeMap)), L"textures/\u00E9t\u00E9.dds");
    EXPECT_EQ(WideText(GetDlgItem(hwnd, kMaxSprites)), L"150");

    SetWindowTextW(GetDlgItem(hwnd, kBumpMap), L"textures/lumi\u00E8re_\u0153.dds");
    Click(kUpdate);
    Click(kSave);
    const std::string bytes = FileBytes(saved);
    DeleteFileA(saved.c_str());
    EXPECT_EQ(host.saves, std::vector<int32_t>{0}) << error;
    EXPECT_NE(bytes.find("\"cube_map\": \"textures/\xC3\xA9t\xC3\xA9.dds\""), std::string::npos) << bytes;
    EXPECT_NE(bytes.find("\"bump_map\": \"textures/lumi\xC3\xA8re_\xC5\x93.dds\""), std::string::npos) << bytes;
    EXPECT_NE(bytes.find("\"max_sprites\": 150,\n"), std::string::npos) << "the integer stays as written";
    EXPECT_EQ(bytes.rfind("{\n    \"Portes\": {\n        \"max_sprites\": 150,\n        \"cube_map\"", 0), 0u) << bytes;
}

// Natively the host kit converts with its own Windows-1252 table: it is the system's.
TEST(HostKitCodePage, TheBuiltInWindows1252IsTheSystems)
{
    std::set<char32_t> characters;
    for (int b = 1; b < 256; ++b) {
        const char byte = static_cast<char>(b);
        wchar_t wide = 0;
        ASSERT_EQ(MultiByteToWideChar(1252, MB_ERR_INVALID_CHARS, &byte, 1, &wide, 1), 1) << b;
        EXPECT_EQ(static_cast<char32_t>(wide), hostkit::Windows1252Character(static_cast<unsigned char>(b))) << b;
        characters.insert(static_cast<char32_t>(wide));
    }
    // And the system takes back exactly those characters, never a best-fit neighbour.
    for (char32_t c = 1; c < 0x10000; ++c) {
        if (c >= 0xD800 && c < 0xE000)
            continue;
        const wchar_t wide = static_cast<wchar_t>(c);
        char utf8[4];
        const int n = WideCharToMultiByte(CP_UTF8, 0, &wide, 1, utf8, sizeof utf8, nullptr, nullptr);
        std::string text, why;
        EXPECT_EQ(hostkit::FromUtf8(std::string(utf8, static_cast<size_t>(n)), 1252, &text, &why),
                  characters.count(c) == 1)
            << std::hex << static_cast<unsigned>(c) << " " << why;
    }
}

TEST_F(SetupEditor, WithoutAHostOrConfigurationNothingHappens)
{
    FillConfiguration(*host.Root());
    editor->SetListener(&listener);
    Type(kMembraneGap, "5");
    Click(kUpdate);
    Click(kSave);
    Click(kNextDefinition);
    SendMessageA(hwnd, WM_CLOSE, 0, 0);
    EXPECT_EQ(listener.calls, (std::vector<ListenerCall>{ListenerCall::Close()}));
    EXPECT_TRUE(host.saves.empty());
    EXPECT_EQ(Text(kDefinitionGroup), "Membrane related");

    // A host whose GetConfig answers null: no configuration.
    host.SetConfig(nullptr);
    editor->Attach(&host);
    EXPECT_EQ(host.RefCount(), 2);
    editor->Load();
    Click(kUpdate);
    EXPECT_EQ(Text(kMembraneGap), "5");
    EXPECT_EQ(listener.calls.size(), 1u);
    Click(kSave);
    EXPECT_EQ(host.saves, std::vector<int32_t>{0});
}

TEST_F(SetupEditor, AttachCountsTheHostOnceAndFetchesTheRootAgain)
{
    editor->Attach(&host);
    editor->Attach(&host);
    EXPECT_EQ(host.RefCount(), 2);
    // The same host, another root: fetched again.
    FillConfiguration(*host.Root());
    host.SetConfig(&root);
    editor->Attach(&host);
    EXPECT_EQ(root.refCount, 2);
    editor->Load();
    EXPECT_EQ(Text(kMaxSprites), "12");

    // Null lets the host go but keeps the root; without a host Load and Update do nothing.
    editor->Attach(nullptr);
    EXPECT_EQ(host.RefCount(), 1);
    EXPECT_EQ(root.refCount, 2);
    editor->SetListener(&listener);
    Type(kMaxSprites, "3");
    editor->Load();
    Click(kUpdate);
    EXPECT_EQ(Text(kMaxSprites), "3");
    EXPECT_TRUE(root.writes.empty());
    EXPECT_TRUE(listener.calls.empty());

    editor->Attach(&host);
    editor->ClearListener(&listener);
    Click(kUpdate);
    SendMessageA(hwnd, WM_CLOSE, 0, 0);
    editor->SetListener(&listener);
    editor->ClearListener(nullptr);
    Click(kUpdate);
    EXPECT_TRUE(listener.calls.empty());
    EXPECT_EQ(root.writes.size(), 74u);
    EXPECT_TRUE(IsWindow(hwnd)) << "the close box without a listener changes nothing";
}

TEST_F(SetupEditor, BrowsesEightDefinitionsWithoutWrapping)
{
    LoadFull();
    for (int k = 1; k <= 7; ++k) {
        Click(kNextDefinition);
        EXPECT_EQ(Text(kDefinitionGroup), "Client " + std::to_string(k));
        EXPECT_EQ(Text(kCubeMap), "cube_" + std::to_string(k));
        EXPECT_EQ(Text(kLightExp), TwoDecimals(static_cast<float>(k)));
        EXPECT_EQ(Text(kBumpFact), "") << "no bump factor on clients";
    }
    // An eighth press stores client 7 again and stays.
    Type(kBumpFact, "9");
    Type(kLightDirX, "0.5");
    Click(kNextDefinition);
    EXPECT_EQ(Text(kDefinitionGroup), "Client 7");
    EXPECT_EQ(Text(kBumpFact), "9");
    EXPECT_EQ(Client(7)->ReadFloat("bumpfact"), 9.0f);
    EXPECT_EQ(VectorAt(Client(7), "lightdir"), (Vec{0.5f, 0, 0, 0}));
    EXPECT_EQ(Client(6)->Find("bumpfact", 0), nullptr) << "stepping on stores nothing from empty fields";

    for (int k = 6; k >= 0; --k)
        Click(kPreviousDefinition);
    EXPECT_EQ(Text(kDefinitionGroup), "common definition 0");
    // "<" on the common definition stores it and stays; the stored exponent and direction come
    // back as shown, with the two-sided flag as 1 and the other components as 0.
    Type(kLightExp, "3");
    Click(kPreviousDefinition);
    EXPECT_EQ(Text(kDefinitionGroup), "common definition 0");
    EXPECT_EQ(VectorAt(Portes(), "lightexp"), (Vec{3.0f, 1.0f, 0, 0}));
    EXPECT_EQ(VectorAt(Portes(), "lightdir"), (Vec{0.3f, -0.7f, 0, 0}));
    EXPECT_EQ(Portes()->ReadFloat("bumpfact"), 1.5f);
}

TEST_F(SetupEditor, EmptyFieldsKeepTheirEntries)
{
    LoadFull();
    Type(kCubeMap, "");
    Type(kLightExp, "");
    SetChecked(false);
    Type(kLightDirX, "");
    Type(kLightDirY, "4");
    Type(kBumpFact, "");
    Click(kNextDefinition);
    Click(kPreviousDefinition);
    EXPECT_EQ(StringAt(Portes(), "cube_map"), "cube_common.dds");
    EXPECT_EQ(VectorAt(Portes(), "lightexp"), (Vec{2.5f, 0.5f, 7.0f, 8.0f}));
    EXPECT_EQ(VectorAt(Portes(), "lightdir"), (Vec{0.3f, -0.7f, 5.0f, 5.0f}));
    EXPECT_EQ(Text(kCubeMap), "cube_common.dds");
    EXPECT_EQ(Text(kBumpFact), "1.50");
    EXPECT_TRUE(Checked());

    // On client 1: ticking "2sides" with no exponent stores nothing for it.
    Click(kNextDefinition);
    Type(kLightExp, "");
    SetChecked(true);
    Click(kNextDefinition);
    EXPECT_EQ(VectorAt(Client(1), "lightexp"), (Vec{1.0f, 0, 0, 0}));
}

TEST_F(SetupEditor, AMissingClientDefinitionShowsEmptyFieldsAndStoresNothing)
{
    LoadFull(2);
    host.Root()->Set("Clients.Client", 3, new Value(4.0f));  // client 4: not a section
    Click(kNextDefinition);
    Click(kNextDefinition);
    Click(kNextDefinition);
    EXPECT_EQ(Text(kDefinitionGroup), "Client 3");
    EXPECT_EQ(Text(kLightExp) + Text(kLightDirX) + Text(kLightDirY) + Text(kBumpFact) + Text(kCubeMap) + Text(kBumpMap),
              "");
    EXPECT_FALSE(Checked());
    Type(kLightExp, "1");
    Type(kCubeMap, "lost.dds");
    Click(kNextDefinition);
    EXPECT_EQ(Text(kDefinitionGroup), "Client 4");
    EXPECT_EQ(host.Root()->Find("Clients.Client", 2), nullptr);
    Type(kCubeMap, "lost.dds");
    Click(kUpdate);
    EXPECT_EQ(host.Root()->Find("Clients.Client", 3)->GetType(), brin::Float);
    EXPECT_EQ(listener.calls, Changed(2));
}

TEST_F(SetupEditor, BrowsingBeforeTheFirstLoadShowsTheCommonDefinition)
{
    FillConfiguration(*host.Root());
    editor->Attach(&host);
    Click(kPreviousDefinition);
    EXPECT_EQ(Text(kDefinitionGroup), "Membrane related");
    Click(kNextDefinition);
    EXPECT_EQ(Text(kDefinitionGroup), "common definition 0");
    EXPECT_EQ(Text(kLightExp), "2.50");
    EXPECT_EQ(VectorAt(Portes(), "lightexp"), (Vec{2.5f, 0.5f, 7.0f, 8.0f}));
}

TEST_F(SetupEditor, ALongTextureNameIsShownAndKeptWhole)
{
    std::string name;
    for (int i = 0; name.size() < 300; ++i)
        name += "textures\\membrane_" + std::to_string(i) + ".dds;";
    name.resize(300);
    LoadFull();
    Portes()->Set("bump_map", 0, new Value(name.c_str()));
    Client(1)->Set("cube_map", 0, new Value(name.c_str()));
    editor->Load();
    EXPECT_EQ(Text(kBumpMap), name);
    Click(kUpdate);
    Click(kNextDefinition);
    EXPECT_EQ(Text(kCubeMap), name);
    Click(kNextDefinition);
    Click(kPreviousDefinition);
    Click(kPreviousDefinition);
    Click(kUpdate);
    EXPECT_EQ(StringAt(Portes(), "bump_map"), name);
    EXPECT_EQ(StringAt(Client(1), "cube_map"), name);
    EXPECT_EQ(listener.calls, (std::vector<ListenerCall>{ListenerCall::ChangedTo(2), ListenerCall::ChangedTo(2)}));
}

TEST_F(SetupEditor, TextThatIsNoNumberStoresWhatAtofGives)
{
    LoadFull();
    Type(kMembraneGap, std::string(100000, '7'));
    Type(kSpritesScale, "inf");
    Type(kSpritesSmall, "nan");
    Type(kMaxSprites, "1e999");
    Type(kLightExp, std::string(5000, '1'));  // Wine's edit takes seconds over 100,000 characters
    Click(kUpdate);
    EXPECT_EQ(root.writes.size(), 37u);
    ConfigSection* r = host.Root();
    EXPECT_EQ(r->ReadFloat("Portes.membrane_gap"), INFINITY);
    EXPECT_EQ(r->ReadFloat("Portes.max_sprites"), INFINITY);
    for (const auto& [key, text] : {std::pair{"Portes.sprites_scale", "inf"}, {"Portes.sprites_small", "nan"}}) {
        const float atofGives = static_cast<float>(std::atof(text));
        const float stored = r->ReadFloat(key);
        EXPECT_TRUE(stored == atofGives || (std::isnan(stored) && std::isnan(atofGives))) << key << " " << stored;
    }
    EXPECT_EQ(VectorAt(Portes(), "lightexp")[0], INFINITY);
    editor->Load();
    EXPECT_EQ(Text(kMaxSprites), "2147483647");
    EXPECT_EQ(listener.calls, Changed(2));
}

TEST_F(SetupEditor, AListenerMayReleaseTheLastReferenceInsideItsCall)
{
    if (InHeapCheckedRun()) {
        ASSERT_TRUE(FreedBlocksAreFilled()) << "Wine's heap checks are not on in this run";
    }
    for (const bool closeBox : {false, true}) {
        SCOPED_TRACE(closeBox ? "OnCloseRequest" : "OnChanged");
        if (!editor)
            editor = CreateWindowAs<ISetupParams>("SetupParams", &hwnd);
        ASSERT_NE(editor, nullptr);
        listener.calls.clear();
        LoadFull();
        bool aliveAfterRelease = false;
        listener.during = [&](const ListenerCall&) {
            std::exchange(editor, nullptr)->Release();
            aliveAfterRelease = IsWindow(hwnd) && IsWindow(GetDlgItem(hwnd, kMembraneGap));
        };
        if (closeBox)
            SendMessageA(hwnd, WM_CLOSE, 0, 0);
        else
            Click(kUpdate);
        listener.during = nullptr;
        EXPECT_TRUE(aliveAfterRelease) << "the window lives until its handler ends";
        EXPECT_FALSE(IsWindow(hwnd));
        EXPECT_EQ(listener.calls, closeBox ? std::vector<ListenerCall>{ListenerCall::Close()} : Changed(2));
        EXPECT_EQ(host.RefCount(), 1);
        EXPECT_EQ(root.refCount, 1) << "only the host holds the root";
        EXPECT_TRUE(ProcessHeapsAreValid());
    }
}

// A host compiled elsewhere reaches each operation by its slot alone.
TEST_F(SetupEditor, SlotsSitWhereTheHostLooks)
{
    FillConfiguration(*host.Root());
    CallSlot<void(IHost*)>(editor, 8, &host);
    EXPECT_EQ(host.RefCount(), 2);
    CallSlot<void()>(editor, 7);
    EXPECT_EQ(Text(kMaxSprites), "12");
    CallSlot<void(IDlgListener*)>(editor, 9, &listener);
    Click(kUpdate);
    CallSlot<void(IDlgListener*)>(editor, 10, &listener);
    Click(kUpdate);
    EXPECT_EQ(listener.calls, Changed(2));
    CallSlot<void()>(editor, 5);
    EXPECT_TRUE(IsWindowVisible(hwnd));
    CallSlot<void()>(editor, 6);
    EXPECT_FALSE(IsWindowVisible(hwnd));
    EXPECT_EQ(CallSlot<int32_t()>(editor, 0), 1);
}
