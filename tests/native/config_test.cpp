// The reads a window makes on a section, against the host kit's tree, and the tree's ownership.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "brin/ConfigNode.h"
#include "hostkit/ConfigSection.h"
#include "hostkit/Host.h"
#include "hostkit/RecordingListener.h"

using brin::CountedRef;
using brin::Value;
using hostkit::ConfigSection;

namespace {

// Counts its own destructions, to see that the tree frees each value exactly once.
int g_valuesFreed = 0;
struct CountedValue : Value {
    explicit CountedValue(float f) : Value(f) {}
    ~CountedValue() override { ++g_valuesFreed; }
};

class Tree : public testing::Test {
protected:
    CountedRef<ConfigSection> root{ConfigSection::Make()};
};

}  // namespace

TEST_F(Tree, DottedPathsGoThroughNestedSectionsInInsertionOrder)
{
    root->Set("Portes.max_sprites", 0, new Value(12.0f));
    root->Set("Global.socketfreq", 0, new Value(30.0f));
    root->Set("Portes.cullback", 0, new Value(true));
    EXPECT_EQ(root->ReadFloat("Portes.max_sprites"), 12.0f);
    ASSERT_NE(root->Section("Portes"), nullptr);
    EXPECT_EQ(root->Section("Portes")->ReadFloat("max_sprites"), 12.0f);
    std::vector<std::string> keys;
    for (const auto& e : root->Entries())
        keys.push_back(e.key);
    EXPECT_EQ(keys, (std::vector<std::string>{"Portes", "Global"}));
    keys.clear();
    for (const auto& e : root->Section("Portes")->Entries())
        keys.push_back(e.key);
    EXPECT_EQ(keys, (std::vector<std::string>{"max_sprites", "cullback"}));
}

TEST_F(Tree, ListsAreIndexedUnderOnePath)
{
    for (int client = 1; client <= 3; ++client) {
        ConfigSection* def = ConfigSection::Make();
        def->Set("lightexp", 0, new Value(static_cast<float>(client)));
        root->Set("Clients.Client", client - 1, hostkit::MakeNodeValue(def));
    }
    ConfigSection* tracker = ConfigSection::Make();
    tracker->Set("mouseSimul", 0, new Value(true));
    root->Set("Trackers.Tracker", 3, hostkit::MakeNodeValue(tracker));

    CountedRef<brin::ConfigNode> second(root->ReadNode("Clients.Client", 1));
    ASSERT_TRUE(second);
    EXPECT_EQ(second->ReadFloat("lightexp"), 2.0f);
    EXPECT_EQ(root->ReadNode("Clients.Client", 3), nullptr);
    EXPECT_EQ(root->ReadNode("Trackers.Tracker", 2), nullptr);
    ASSERT_NE(root->ReadNode("Trackers.Tracker", 3), nullptr);
    EXPECT_TRUE(root->ReadNode("Trackers.Tracker", 3)->ReadBool("mouseSimul"));
}

TEST_F(Tree, ReadsTreatAbsentAndOtherTagsAlikeAndLeaveOutputsAlone)
{
    root->Set("f", 0, new Value(2.5f));
    root->Set("s", 0, new Value("text"));
    root->Set("v", 0, new Value(1, 2, 3, 4));
    root->Set("b", 0, new Value(true));

    EXPECT_EQ(root->ReadFloat("s"), 0.0f);
    EXPECT_EQ(root->ReadFloat("missing"), 0.0f);
    EXPECT_FALSE(root->ReadBool("f"));
    EXPECT_TRUE(root->ReadBool("b"));
    EXPECT_EQ(root->ReadNode("f"), nullptr);

    bool found = true;
    brin::Str<char> s = root->ReadString("f", 0, &found);
    EXPECT_FALSE(found);
    EXPECT_EQ(s.GetChars(), nullptr);
    s = root->ReadString("s", 0, &found);
    EXPECT_TRUE(found);
    EXPECT_TRUE(s.Equals("text"));
    found = true;
    EXPECT_EQ(root->ReadString(nullptr, 0, &found).GetChars(), nullptr);
    EXPECT_FALSE(found);

    float x = -1, y = -1, z = -1, w = -1;
    found = true;
    EXPECT_FALSE(root->ReadVector("f", &x, &y, &z, &w, 0, &found));
    EXPECT_FALSE(found);
    EXPECT_FALSE(root->ReadVector(nullptr, &x, &y, &z, &w, 0, &found));
    EXPECT_FALSE(root->ReadVector("v", &x, &y, &z, &w, 1, &found));  // another index
    EXPECT_EQ((std::vector<float>{x, y, z, w}), (std::vector<float>{-1, -1, -1, -1}));
    EXPECT_TRUE(root->ReadVector("v", &x, nullptr, nullptr, &w, 0, &found));
    EXPECT_TRUE(found);
    EXPECT_EQ(x, 1);
    EXPECT_EQ(y, -1);
    EXPECT_EQ(w, 4);
}

TEST_F(Tree, OwnsEveryValueAndFreesEachOnce)
{
    g_valuesFreed = 0;
    root->Set("Portes.a", 0, new CountedValue(1));
    Value* second = new CountedValue(2);
    root->Set("Portes.a", 0, second);  // replaces: the first is freed now
    EXPECT_EQ(g_valuesFreed, 1);
    EXPECT_EQ(root->Find("Portes.a", 0), second);
    root->Set("Portes.a", 0, second);  // the same value again: kept, not freed
    EXPECT_EQ(g_valuesFreed, 1);
    EXPECT_EQ(root->ReadFloat("Portes.a"), 2.0f);

    // Values that cannot be stored are freed at once.
    EXPECT_FALSE(root->Set(nullptr, 0, new CountedValue(3)));
    EXPECT_FALSE(root->Set("", 0, new CountedValue(4)));
    EXPECT_FALSE(root->Set("Portes..a", 0, new CountedValue(5)));
    EXPECT_FALSE(root->Set("Portes.a.b", 0, new CountedValue(6)));  // "a" holds a float
    EXPECT_FALSE(root->Set("x", 0, nullptr));
    EXPECT_EQ(g_valuesFreed, 5);
    EXPECT_EQ(root->Find(nullptr, 0), nullptr);
    EXPECT_EQ(root->Find("", 0), nullptr);
    EXPECT_EQ(root->ReadFloat("Portes.a"), 2.0f);

    root = nullptr;  // the last holder: the whole tree goes
    EXPECT_EQ(g_valuesFreed, 6);
}

TEST_F(Tree, SectionsCountTheirHolders)
{
    ConfigSection* portes = root->Section("Portes", true);
    ASSERT_NE(portes, nullptr);
    EXPECT_EQ(portes->refCount, 1);  // its Node value
    CountedRef<brin::ConfigNode> held(portes);
    EXPECT_EQ(portes->refCount, 2);
    portes->Set("kept", 0, new Value(1.0f));
    root->Set("Portes", 0, new Value(0.0f));  // the tree lets go of the section
    EXPECT_EQ(portes->refCount, 1);
    EXPECT_EQ(held->ReadFloat("kept"), 1.0f);
}

TEST(HostKit, HostAnswersItsServicesAndCounts)
{
    hostkit::Host host;
    EXPECT_EQ(host.Query("ILogging"), static_cast<ILogging*>(&host.logging));
    EXPECT_EQ(host.Query("ilogging"), nullptr);
    EXPECT_EQ(host.Query(nullptr), nullptr);
    EXPECT_EQ(host.GetConfig(), host.Root());
    host.SetConfig(nullptr);
    EXPECT_EQ(host.GetConfig(), nullptr);
    host.onSave = [](int32_t how) { return how + 1; };
    EXPECT_EQ(host.SaveConfig(0), 1);
    EXPECT_EQ(host.saves, (std::vector<int32_t>{0}));
    IHost* asHost = &host;
    asHost->AddRef();
    EXPECT_EQ(host.RefCount(), 2);
    asHost->Release();
    EXPECT_EQ(host.RefCount(), 1);
}

TEST(HostKit, LoggingFormatsWholeMessagesOfAnyLength)
{
    hostkit::Logging log;
    ILogging* asLogging = &log;
    asLogging->Log(2, "Could not find Tracker setup #%d", 5);
    const std::string longText(100000, 'x');
    asLogging->Log(1, "%s|%s", longText.c_str(), "end");
    asLogging->Log(0, nullptr);
    ASSERT_EQ(log.lines.size(), 3u);
    EXPECT_EQ(log.lines[0].level, 2);
    EXPECT_EQ(log.lines[0].text, "Could not find Tracker setup #5");
    EXPECT_EQ(log.lines[1].text, longText + "|end");
    EXPECT_EQ(log.lines[2].text, "");
}

TEST(HostKit, ListenerKeepsCallsInOrderAndActsInside)
{
    hostkit::RecordingListener listener;
    std::vector<hostkit::ListenerCall> seenInside;
    listener.during = [&](const hostkit::ListenerCall& call) {
        seenInside.push_back(call);
        if (call.kind == hostkit::ListenerCall::Changed && call.value == 1)
            listener.OnChanged(2);  // re-entry is kept too
    };
    IDlgListener* asListener = &listener;
    asListener->OnMouse(0.5f, 1.0f, 0x9, 3);
    asListener->OnChanged(1);
    asListener->OnCloseRequest();
    using C = hostkit::ListenerCall;
    const std::vector<C> expected{C::MouseAt(0.5f, 1.0f, 0x9, 3), C::ChangedTo(1), C::ChangedTo(2), C::Close()};
    EXPECT_EQ(listener.calls, expected);
    EXPECT_EQ(seenInside, expected);
}
