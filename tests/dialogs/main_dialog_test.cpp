// The main dialog on real windows: pixalon.exe for what the program does by
// itself, dialog_host.exe for selections that only the (later) selection
// dialogs can make.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "fixture.h"
#include "registry.h"

using namespace dlgtest;
using namespace guitest;

namespace {

enum {
    kTransfer = 1, kExit = 2, kBrowse = 1002, kTemplate = 1023, kPreferences = 1024, kUseTemplate = 1071,
    kUseExisting = 1072, kGetAll = 1073, kGetSelected = 1074, kGetFromDisk = 1075, kCameraType = 1076,
    kDiskCount = 1092, kSelectedCount = 1093, kAllCount = 1095, kDestPath = 1124, kStatus = 1122, kHelp = 57670,
    kPrefsCamera = 1077, kWelcomePicture = 1119, kWelcomeCheck = 1090,
};

// Settings every test starts from: no welcome screen, a Cirra, the template "Trip".
struct Preset {
    testreg::CleanKey clean;
    Preset()
    {
        testreg::WriteNumber("IfWelcomeScreen", 0);
        testreg::WriteNumber("CameraType", 104);
        testreg::WriteText("Template", "Trip");
        testreg::WriteText("DesktopName", "This Computer");
    }
};

void Exit(Process& p, HWND main)
{
    ASSERT_TRUE(ClickButton(main, kExit));
    ASSERT_TRUE(p.WaitExit());
}

TEST(MainDialog, BitmapButtonsShowTheirFaces)
{
    Preset preset;
    Process p = Start(PixalonExe());
    HWND main = WaitForMainDialog(p.Id());
    ASSERT_NE(main, nullptr);
    struct Face {
        int id;
        UINT bitmap;
    };
    for (const Face f : {Face{kGetAll, 136}, Face{kGetSelected, 156}, Face{kGetFromDisk, 165}, Face{kHelp, 159},
                         Face{kPreferences, 162}, Face{kTransfer, 146}, Face{kExit, 140}})
        EXPECT_TRUE(WaitUntil([&] { return ShowsBitmap(Control(main, f.id), f.bitmap); })) << f.id;
    Shot(main, "main_no_selection");

    // The focus leaves Browse for the first bitmap button: its framed face.
    ASSERT_EQ(FocusOf(main), Control(main, kBrowse));
    ASSERT_TRUE(SendKey(main, VK_TAB));
    ASSERT_TRUE(WaitUntil([&] { return FocusOf(main) == Control(main, kGetAll); }));
    EXPECT_TRUE(WaitUntil([&] { return ShowsBitmap(Control(main, kGetAll), 134); }));
    Shot(main, "main_focus_on_get_all");

    // Held down, Exit shows its pressed face; let go, the normal one.
    DWORD_PTR r = 0;
    ASSERT_TRUE(SendMessageTimeoutA(Control(main, kExit), BM_SETSTATE, TRUE, 0, SMTO_ABORTIFHUNG, 5000, &r));
    EXPECT_TRUE(WaitUntil([&] { return ShowsBitmap(Control(main, kExit), 137); }));
    ASSERT_TRUE(SendMessageTimeoutA(Control(main, kExit), BM_SETSTATE, FALSE, 0, SMTO_ABORTIFHUNG, 5000, &r));
    EXPECT_TRUE(WaitUntil([&] { return ShowsBitmap(Control(main, kExit), 140); }));
    EXPECT_TRUE(p.Running());
    Exit(p, main);
}

TEST(MainDialog, TheStatusLineExplainsTheControlUnderTheMouse)
{
    Preset preset;
    Process p = Start(PixalonExe());
    HWND main = WaitForMainDialog(p.Id());
    ASSERT_NE(main, nullptr);
    struct Tip {
        int id;
        std::string text;
    };
    const Tip tips[] = {
        {kTransfer, PixresString(132)},  // disabled, and still explained
        {kExit, PixresString(131)},
        {kHelp, PixresString(129)},
        {kPreferences, PixresString(130)},
        {kGetAll, PixresString(133)},
        {kGetSelected, PixresString(134)},
        {kGetFromDisk, PixresString(135) + "This Computer"},
        {kBrowse, PixresString(136)},
        {kDestPath, PixresString(137)},
        {kTemplate, PixresString(138)},
        {kUseExisting, PixresString(139)},
        {kUseTemplate, PixresString(140)},
        {kCameraType, PixresString(141)},
        {kAllCount, " "},
    };
    for (const Tip& t : tips) {
        ASSERT_TRUE(MoveMouseOver(main, t.id));
        EXPECT_TRUE(WaitUntil([&] { return ControlText(main, kStatus) == t.text; }))
            << t.id << ": " << ControlText(main, kStatus);
        if (t.id == kGetFromDisk) Shot(main, "main_status_line");
    }
    ASSERT_TRUE(MoveMouseOverNothing(main));
    EXPECT_TRUE(WaitUntil([&] { return ControlText(main, kStatus) == " "; }));
    Exit(p, main);
}

TEST(MainDialog, TheNamingRadiosSwitchTheTemplateAndExitKeepsItsText)
{
    Preset preset;
    testreg::WriteNumber("IfUseCameraName", 1);
    Process p = Start(PixalonExe());
    HWND main = WaitForMainDialog(p.Id());
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(CheckState(main, kUseExisting), BST_CHECKED);
    EXPECT_FALSE(IsEnabled(main, kTemplate));

    RECT rc;
    GetClientRect(Control(main, kUseTemplate), &rc);
    ASSERT_TRUE(MouseClick(Control(main, kUseTemplate), 6, rc.bottom / 2));
    ASSERT_TRUE(WaitUntil([&] { return IsEnabled(main, kTemplate); }));
    EXPECT_EQ(FocusOf(main), Control(main, kTemplate));
    ASSERT_TRUE(TypeText(main, kTemplate, "Holiday"));

    ASSERT_TRUE(MouseClick(Control(main, kUseExisting), 6, rc.bottom / 2));
    EXPECT_TRUE(WaitUntil([&] { return !IsEnabled(main, kTemplate); }));
    Exit(p, main);
    EXPECT_EQ(testreg::Read("Template")->Text(), "Holiday");
}

TEST(MainDialog, TheSourceAndBrowseButtonsSayTheyAreNotAvailableYet)
{
    Preset preset;
    Process p = Start(PixalonExe());
    HWND main = WaitForMainDialog(p.Id());
    ASSERT_NE(main, nullptr);
    for (int id : {kGetAll, kGetSelected, kGetFromDisk, kBrowse}) {
        SCOPED_TRACE(id);
        ASSERT_TRUE(ClickButton(main, id));
        HWND box = WaitForMessageBox(p.Id(), "This feature is not available yet.");
        ASSERT_NE(box, nullptr);
        ASSERT_TRUE(ClickButton(box, IDOK));
        ASSERT_TRUE(WaitForNoWindow({"", "#32770", p.Id()}, Ms(0)) || WaitUntil([&] { return IsWindow(box) == FALSE; }));
        EXPECT_FALSE(IsEnabled(main, kTransfer));
        EXPECT_EQ(ControlText(main, kAllCount) + ControlText(main, kSelectedCount) + ControlText(main, kDiskCount), "");
    }
    Exit(p, main);
}

TEST(MainDialog, TheAboutItemShowsTheWelcomeScreenWhoseCheckReachesTheRegistry)
{
    Preset preset;
    testreg::WriteNumber("IfWelcomeScreen", 1);
    Process p = Start(PixalonExe());
    // The start-up welcome screen first: clicked away, it changes nothing.
    HWND welcome = WaitForDialogWith(p.Id(), kWelcomePicture);
    ASSERT_NE(welcome, nullptr);
    ASSERT_TRUE(MouseClick(welcome, 40, 40));
    HWND main = WaitForMainDialog(p.Id());
    ASSERT_NE(main, nullptr);

    ASSERT_TRUE(PostMessageA(main, WM_SYSCOMMAND, 16, 0));
    HWND about = WaitForDialogWith(p.Id(), kWelcomePicture);
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(CheckState(about, kWelcomeCheck), BST_CHECKED);
    Shot(about, "welcome_about");
    // A click on the picture does not end the About box; the click on the
    // check box after it is handled after it, so the box was still there.
    ASSERT_TRUE(MouseClick(about, 40, 40));
    RECT rc;
    GetClientRect(Control(about, kWelcomeCheck), &rc);
    ASSERT_TRUE(MouseClick(Control(about, kWelcomeCheck), rc.right / 2, rc.bottom / 2));
    ASSERT_TRUE(WaitUntil([&] { return CheckState(about, kWelcomeCheck) == BST_UNCHECKED; }));
    ASSERT_TRUE(ClickButton(about, IDOK));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(about); }));
    Exit(p, main);
    EXPECT_EQ(testreg::Read("IfWelcomeScreen")->Number(), 0u);
}

TEST(MainDialog, HelpOpensTheGuideAndClosingTheDialogClosesIt)
{
    Preset preset;
    Process p = Start(PixalonExe());
    HWND main = WaitForMainDialog(p.Id());
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(ClickButton(main, kHelp));
    HWND guide = WaitForWindow({"Pixalon User Guide", "PixalonGuide", p.Id()});
    ASSERT_NE(guide, nullptr);
    EXPECT_NE(WindowText(GetWindow(guide, GW_CHILD)).find("CONNECTING THE CAMERA"), std::string::npos);
    Shot(guide, "help_guide");
    // Asked again, the same window comes forward.
    ASSERT_TRUE(ClickButton(main, kHelp));
    ASSERT_TRUE(ClickButton(main, kPreferences));
    HWND prefs = WaitForDialogWith(p.Id(), kPrefsCamera);
    ASSERT_NE(prefs, nullptr);
    ASSERT_TRUE(ClickButton(prefs, kHelp));
    ASSERT_TRUE(ClickButton(prefs, IDCANCEL));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(prefs); }));
    EXPECT_EQ(FindTopWindows({"", "PixalonGuide", p.Id()}).size(), 1u);
    ASSERT_TRUE(ClickButton(main, kExit));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(guide); }));
    ASSERT_TRUE(p.WaitExit());
}

// Selections made through the steps the selection dialogs will call.
TEST(MainDialog, SourceTextsAndTransferFollowTheSelection)
{
    Preset preset;
    struct Case {
        const char* args;
        int textId;
        std::string text;
        bool transfer;
    };
    const std::string selected = PixresString(176);
    const Case cases[] = {
        {"main 0 0 0 0", 0, "", false},
        {"main 1 5 5 0", kAllCount, "5 " + selected + ".", true},
        {"main 2 20 5 0", kSelectedCount, "5 " + selected + " " + PixresString(177) + " 20 " + PixresString(178), true},
        {"main 4 7 7 0", kSelectedCount, "7 " + selected + " " + PixresString(177) + " 7 " + PixresString(178), true},
        {"main 3 0 0 3", kDiskCount, "3 " + selected + ".", true},
        {"main 0 0 0 0 take-all 0", kAllCount, PixresString(146), false},
        {"main 1 2 2 0 take-all 0", kAllCount, PixresString(146), true},
        {"main 0 0 0 0 take-all 4", kAllCount, "4 " + selected + ".", true},
        {"main 3 0 0 2 take-picked 3 12", kSelectedCount, "3 " + selected + " " + PixresString(177) + " 12 " + PixresString(178), true},
        {"main 1 3 3 0 take-disk 2", kDiskCount, "2 " + selected + ".", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        Process p = Start(HostExe(), c.args);
        HWND main = WaitForMainDialog(p.Id());
        ASSERT_NE(main, nullptr);
        for (int id : {kAllCount, kSelectedCount, kDiskCount})
            EXPECT_EQ(ControlText(main, id), id == c.textId ? c.text : "") << id;
        EXPECT_EQ(IsEnabled(main, kTransfer), c.transfer);
        EXPECT_EQ(IsEnabled(main, 1110), c.transfer);
        if (c.transfer) {
            EXPECT_TRUE(WaitUntil([&] { return ShowsBitmap(Control(main, kTransfer), 147); }));
        }
        if (std::string(c.args) == "main 2 20 5 0") Shot(main, "main_camera_selection");
        Exit(p, main);
    }
}

TEST(MainDialog, AnotherCameraTypeClearsTheSelectionTheSameTypeDoesNot)
{
    Preset preset;
    struct Case {
        int cameraIndex;
        bool cleared;
        const char* typeText;
    };
    for (const Case c : {Case{2, false, "Cirra"}, Case{0, true, "Avena"}}) {
        SCOPED_TRACE(c.cameraIndex);
        testreg::WriteNumber("CameraType", 104);
        Process p = Start(HostExe(), "main 1 2 2 0");
        HWND main = WaitForMainDialog(p.Id());
        ASSERT_NE(main, nullptr);
        ASSERT_TRUE(IsEnabled(main, kTransfer));
        ASSERT_TRUE(ClickButton(main, kPreferences));
        HWND prefs = WaitForDialogWith(p.Id(), kPrefsCamera);
        ASSERT_NE(prefs, nullptr);
        ASSERT_TRUE(SelectComboItem(prefs, kPrefsCamera, c.cameraIndex));
        ASSERT_TRUE(WaitUntil([&] { return ComboSelection(prefs, kPrefsCamera) == c.cameraIndex; }));
        ASSERT_TRUE(ClickButton(prefs, IDOK));
        if (c.cleared) {
            HWND box = WaitForMessageBox(p.Id(), PixresString(145));
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(WindowText(box), PixresString(143));
            Shot(box, "main_camera_changed");
            ASSERT_TRUE(ClickButton(box, IDOK));
        }
        ASSERT_TRUE(WaitUntil([&] { return ControlText(main, kCameraType) == c.typeText; }));
        EXPECT_EQ(WaitForAnyMessageBox(p.Id(), Ms(0)), nullptr);
        EXPECT_EQ(IsEnabled(main, kTransfer), !c.cleared);
        EXPECT_EQ(ControlText(main, kAllCount).empty(), c.cleared);
        Exit(p, main);
        EXPECT_EQ(testreg::Read("CameraType")->Number(), c.cleared ? 100u : 104u);
    }
}

}  // namespace
