// The welcome screen at start-up and as the About box, and the connecting
// notice, on real windows.
#include <windows.h>

#include <gtest/gtest.h>

#include "fixture.h"
#include "registry.h"

using namespace dlgtest;
using namespace guitest;

namespace {

enum { kPicture = 1119, kCheck = 1090, kCaption = 1120, kMainTemplate = 1023 };

HWND WaitForWelcome(const Process& p) { return WaitForDialogWith(p.Id(), kPicture); }

void ClearCheck(HWND welcome)
{
    ASSERT_TRUE(PostMessageA(Control(welcome, kCheck), BM_CLICK, 0, 0));
    ASSERT_TRUE(WaitUntil([&] { return CheckState(welcome, kCheck) == BST_UNCHECKED; }));
}

TEST(Welcome, AtStartUpItTakesThePicturesSizeAndClosesByItselfAfterTenSeconds)
{
    testreg::CleanKey clean;
    Process p = Start(PixalonExe());
    HWND welcome = WaitForWelcome(p);
    ASSERT_NE(welcome, nullptr);
    RECT rc;
    GetWindowRect(welcome, &rc);
    EXPECT_EQ(rc.right - rc.left, 387 + 6);
    EXPECT_EQ(rc.bottom - rc.top, 297 + 8);
    EXPECT_EQ(CheckState(welcome, kCheck), BST_CHECKED);
    // OK sits 12 pixels in from the lower right corner, the check box and its
    // painted caption on its line.
    RECT ok, check, caption;
    GetWindowRect(Control(welcome, IDOK), &ok);
    GetWindowRect(Control(welcome, kCheck), &check);
    GetWindowRect(Control(welcome, kCaption), &caption);
    EXPECT_EQ(rc.right - ok.right, 12 - GetSystemMetrics(SM_CXDLGFRAME));
    EXPECT_EQ(check.top, ok.top + 2);
    EXPECT_EQ(caption.top, ok.top);
    Shot(welcome, "welcome_startup");
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(welcome); }, Ms(15000)));
    HWND main = WaitForMainDialog(p.Id());
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(ClickButton(main, 2));
    ASSERT_TRUE(p.WaitExit());
    EXPECT_EQ(testreg::Read("IfWelcomeScreen")->Number(), 1u);
}

TEST(Welcome, OnlyOkTakesTheClearedCheckAClickOnThePictureDoesNot)
{
    struct Case {
        bool ok;
        bool right;
        unsigned stored;
    };
    for (const Case c : {Case{true, false, 0}, Case{false, false, 1}, Case{false, true, 1}}) {
        SCOPED_TRACE(testing::Message() << "ok " << c.ok << " right " << c.right);
        testreg::CleanKey clean;
        Process p = Start(PixalonExe());
        HWND welcome = WaitForWelcome(p);
        ASSERT_NE(welcome, nullptr);
        ClearCheck(welcome);
        if (c.ok)
            ASSERT_TRUE(ClickButton(welcome, IDOK));
        else
            ASSERT_TRUE(MouseClick(welcome, 60, 60, c.right));
        HWND main = WaitForMainDialog(p.Id());
        ASSERT_NE(main, nullptr);
        ASSERT_TRUE(ClickButton(main, 2));
        ASSERT_TRUE(p.WaitExit());
        EXPECT_EQ(testreg::Read("IfWelcomeScreen")->Number(), c.stored);
    }
}

TEST(Welcome, TheAboutBoxStaysUntilOkOrEscAndEscKeepsTheCheck)
{
    Process p = Start(HostExe(), "welcome about 1");
    HWND about = WaitForWelcome(p);
    ASSERT_NE(about, nullptr);
    ClearCheck(about);
    ASSERT_TRUE(SendKey(about, VK_ESCAPE));
    ASSERT_TRUE(p.WaitExit());
    EXPECT_EQ(ExitValue(p), 1);
}

TEST(Welcome, TheConnectingNoticeHasNoCaptionAndAsksToWait)
{
    Process p = Start(HostExe(), "connecting");
    HWND notice = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        for (HWND w : FindTopWindows({"", "#32770", p.Id()})) notice = w;
        return notice != nullptr;
    }));
    EXPECT_NE(static_cast<DWORD>(GetWindowLongA(notice, GWL_STYLE)) & WS_CAPTION, static_cast<DWORD>(WS_CAPTION));
    EXPECT_EQ(WindowText(notice), "");
    EXPECT_EQ(WindowText(GetWindow(notice, GW_CHILD)), "Connecting to the camera.\nPlease wait ...");
    Shot(notice, "connecting");
    p.Kill();
}

}  // namespace
