#include <gtest/gtest.h>

#include <toolwindows/IProgressBar.h>

#include "loaded_module.h"

TEST(Factory, ExportReturnsOneFactoryWithoutNameOrQueries)
{
    const GetTinyFactoryFn get = TinyFactoryExport();
    ASSERT_NE(get, nullptr);
    brin::ITinyFactory* factory = get();
    ASSERT_NE(factory, nullptr);
    EXPECT_EQ(get(), factory);
    EXPECT_EQ(factory->GetName(), nullptr);
    EXPECT_EQ(factory->Query(nullptr), nullptr);
    EXPECT_EQ(factory->Query(factory), nullptr);
}

TEST(Factory, MakesAWindowOnlyForTheExactName)
{
    brin::ITinyFactory* factory = Factory();
    ASSERT_NE(factory, nullptr);
    // The first Create of any name makes the hidden parent; from here on only tool windows appear.
    factory->Create(nullptr);
    const std::set<HWND> before = ThreadWindows();
    for (const char* name : {static_cast<const char*>(nullptr), "", "Progressbar", "PROGRESSBAR", "progressbar ",
                             " progressbar", "progress", "progressbarx", "DLGLOG", "setupparams", "nosuch"}) {
        SCOPED_TRACE(name ? name : "(null)");
        EXPECT_EQ(factory->Create(name), nullptr);
        EXPECT_EQ(ThreadWindows(), before);
    }
    HWND hwnd = nullptr;
    IProgressBar* bar = CreateWindowAs<IProgressBar>("progressbar", &hwnd);
    ASSERT_NE(bar, nullptr);
    EXPECT_NE(hwnd, nullptr);
    bar->Release();
}

TEST(HiddenParent, OwnsEveryToolWindowAndOutlivesThem)
{
    HWND first = nullptr, second = nullptr;
    IProgressBar* a = CreateWindowAs<IProgressBar>("progressbar", &first);
    IProgressBar* b = CreateWindowAs<IProgressBar>("progressbar", &second);
    ASSERT_TRUE(a && b);
    ASSERT_TRUE(first && second && first != second);
    const HWND parent = GetWindow(first, GW_OWNER);
    EXPECT_TRUE(IsHiddenParent(parent));
    EXPECT_EQ(GetWindow(second, GW_OWNER), parent);

    a->Release();
    b->Release();
    EXPECT_FALSE(IsWindow(first));
    EXPECT_FALSE(IsWindow(second));
    EXPECT_TRUE(IsHiddenParent(parent));

    // Reused, not remade, once no tool window is left.
    HWND third = nullptr;
    IProgressBar* c = CreateWindowAs<IProgressBar>("progressbar", &third);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(GetWindow(third, GW_OWNER), parent);
    c->Release();
    EXPECT_TRUE(IsHiddenParent(parent));
}
