#include <climits>

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <toolwindows/IProgressBar.h>

#include "loaded_module.h"

namespace {

class ProgressWindow : public testing::Test {
protected:
    void SetUp() override
    {
        bar = CreateWindowAs<IProgressBar>("progressbar", &hwnd);
        ASSERT_NE(bar, nullptr);
        ASSERT_NE(hwnd, nullptr);
    }
    void TearDown() override
    {
        if (bar)
            bar->Release();
        PumpFor(200);
    }

    std::string Message() const { return WindowText(GetDlgItem(hwnd, 2004)); }
    std::string Percent() const { return WindowText(GetDlgItem(hwnd, 2003)); }
    int BarPosition() const { return static_cast<int>(SendMessageA(GetDlgItem(hwnd, 2002), PBM_GETPOS, 0, 0)); }

    IProgressBar* bar = nullptr;
    HWND hwnd = nullptr;
};

TEST_F(ProgressWindow, IsVisibleAtCreationWithTemplateTexts)
{
    EXPECT_TRUE(IsWindowVisible(hwnd));
    EXPECT_EQ(Message(), "Static");
    EXPECT_EQ(Percent(), "Static");
    EXPECT_EQ(BarPosition(), 0);
    EXPECT_EQ(bar->GetRefCount(), 1);
}

TEST_F(ProgressWindow, SetPercentClampsTextAndBar)
{
    bar->SetPercent(150);
    EXPECT_EQ(Percent(), "100%");
    EXPECT_EQ(BarPosition(), 100);
    bar->SetPercent(-5);
    EXPECT_EQ(Percent(), "0%");
    EXPECT_EQ(BarPosition(), 0);
    bar->SetPercent(42);
    EXPECT_EQ(Percent(), "42%");
    EXPECT_EQ(BarPosition(), 42);
}

}  // namespace
