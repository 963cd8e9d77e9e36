// The harness's own test: every helper against a real window of another process.
#include "guitest.h"

#include <gtest/gtest.h>

#include <cstdio>

using namespace guitest;

namespace {

enum { kEdit = 100, kDone = 101, kCheck = 102, kCombo = 103, kLabel = 104 };

struct Target {
    Process proc;
    HWND wnd = nullptr;
    Target()
    {
        EXPECT_TRUE(proc.Start(ExeDir() + "\\guitest_target.exe"));
        wnd = WaitForWindow({"Guitest Target", "GuitestTarget", proc.Id()});
    }
};

}  // namespace

TEST(GuiTest, FindsWindowAndReadsControls)
{
    Target t;
    ASSERT_NE(t.wnd, nullptr);
    EXPECT_EQ(ControlText(t.wnd, kEdit), "start");
    EXPECT_EQ(ClassName(Control(t.wnd, kCombo)), "ComboBox");
    EXPECT_FALSE(IsEnabled(t.wnd, kCheck));
    EXPECT_TRUE(IsVisible(t.wnd, kDone));
    EXPECT_EQ(CheckState(t.wnd, kCheck), BST_UNCHECKED);
    EXPECT_EQ(ComboItems(t.wnd, kCombo), (std::vector<std::string>{"alpha", "beta", "gamma"}));
    // A window that never comes is reported after the deadline.
    EXPECT_EQ(WaitForWindow({"No Such Window", "", 0}, Ms(200)), nullptr);
}

TEST(GuiTest, TypesSelectsAndClicks)
{
    Target t;
    ASSERT_NE(t.wnd, nullptr);
    ASSERT_TRUE(TypeText(t.wnd, kEdit, "Pict 42"));
    EXPECT_TRUE(WaitUntil([&] { return ControlText(t.wnd, kLabel) == "typed:Pict 42"; }));
    ASSERT_TRUE(SelectComboItem(t.wnd, kCombo, 2));
    EXPECT_TRUE(WaitUntil([&] { return ControlText(t.wnd, kLabel) == "combo:2"; }));
    EXPECT_EQ(ComboSelection(t.wnd, kCombo), 2);
    EXPECT_FALSE(ClickButton(t.wnd, kCheck)) << "a disabled control cannot be clicked";
    ASSERT_TRUE(ClickButton(t.wnd, kDone));
    ASSERT_TRUE(t.proc.WaitExit());
    EXPECT_EQ(t.proc.ExitCode(), 7u);
}

TEST(GuiTest, SendsKeysToTheFocusedControl)
{
    Target t;
    ASSERT_NE(t.wnd, nullptr);
    ASSERT_TRUE(SendKey(t.wnd, VK_ESCAPE));
    ASSERT_TRUE(t.proc.WaitExit());
    EXPECT_EQ(t.proc.ExitCode(), 8u);
}

TEST(GuiTest, ScreenshotIsAPngOfTheScreen)
{
    Target t;
    ASSERT_NE(t.wnd, nullptr);
    const std::string path = ExeDir() + "\\guitest-shot.png";
    ASSERT_TRUE(SaveScreenshot(path));
    FILE* f = std::fopen(path.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    unsigned char head[24] = {};
    ASSERT_EQ(std::fread(head, 1, sizeof head, f), sizeof head);
    std::fclose(f);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(head + 1), 3), "PNG");
    const int w = (head[16] << 24) | (head[17] << 16) | (head[18] << 8) | head[19];
    const int h = (head[20] << 24) | (head[21] << 16) | (head[22] << 8) | head[23];
    EXPECT_EQ(w, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(h, GetSystemMetrics(SM_CYSCREEN));
    std::remove(path.c_str());
}
