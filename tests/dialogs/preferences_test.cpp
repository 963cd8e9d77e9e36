// The preferences on real windows, opened from pixalon.exe's main dialog and
// checked through what reaches the registry. The serial ports are laid out
// by serial_ports.py around this program: COM1 free, COM2 held, COM3
// missing, COM4 free (the EveryPortBusy case runs alone with all four held).
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fixture.h"
#include "registry.h"

using namespace dlgtest;
using namespace guitest;

namespace {

enum {
    kAccept = 1, kCancel = 2, kFileType = 1002, kShowProgress = 1003, kAlertSound = 1007, kNotify = 1018,
    kDefaults = 1021, kAlwaysOnTop = 1029, kPort = 1030, kDelete = 1041, kCamera = 1077, kSpeed = 1078,
    kBest = 1079, kNoCompression = 1080, kAnimatedIcon = 1081, kPopup = 1083, kGood = 1099, kBetter = 1100,
    kQualityLabel = 1102, kStatus = 1122, kHelp = 57670, kMainPreferences = 1024, kMainExit = 2,
};

// pixalon.exe with these settings, its preferences open.
struct Session {
    testreg::CleanKey clean;
    Process p;
    HWND main = nullptr;
    HWND prefs = nullptr;

    explicit Session(std::initializer_list<std::pair<const char*, int>> numbers)
    {
        testreg::WriteNumber("IfWelcomeScreen", 0);
        for (const auto& [name, value] : numbers) testreg::WriteNumber(name, value);
        p = Start(PixalonExe());
        main = WaitForMainDialog(p.Id());
        if (!main) return;
        EXPECT_TRUE(ClickButton(main, kMainPreferences));
        prefs = WaitForDialogWith(p.Id(), kCamera);
    }
    // Ends the preferences with `button`, then the program, and reads the registry.
    void Close(int button)
    {
        ASSERT_TRUE(ClickButton(prefs, button));
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(prefs); }));
        ASSERT_TRUE(ClickButton(main, kMainExit));
        ASSERT_TRUE(p.WaitExit());
    }
    std::uint32_t Stored(const char* name) { return testreg::Read(name)->Number(); }
};

bool Click(HWND dialog, int id)
{
    return IsEnabled(dialog, id) && PostMessageA(Control(dialog, id), BM_CLICK, 0, 0);
}

bool Select(HWND dialog, int id, int index)
{
    return SelectComboItem(dialog, id, index) && WaitUntil([&] { return ComboSelection(dialog, id) == index; });
}

const std::vector<std::string> kAllSpeeds = {"230.4KB", "115.2KB", "57.6KB", "38.4KB", "19.2KB", "9.6KB"};
const std::vector<std::string> kAvenaSpeeds(kAllSpeeds.begin() + 1, kAllSpeeds.end());

TEST(Preferences, OnlyPortsThatOpenAreOfferedAndTheNthEntryIsTheNthOpenPort)
{
    {
        Session s({{"Port", 4}});
        ASSERT_NE(s.prefs, nullptr);
        EXPECT_EQ(ComboItems(s.prefs, kPort), (std::vector<std::string>{"COM1", "COM4"}));
        EXPECT_EQ(ComboSelection(s.prefs, kPort), 1);
        Shot(s.prefs, "preferences");
        ASSERT_TRUE(Select(s.prefs, kPort, 0));
        s.Close(kAccept);
        EXPECT_EQ(s.Stored("Port"), 1u);
    }
    {
        // The held port is not listed, so nothing is selected and Accept keeps it.
        Session s({{"Port", 2}});
        ASSERT_NE(s.prefs, nullptr);
        EXPECT_EQ(ComboSelection(s.prefs, kPort), -1);
        s.Close(kAccept);
        EXPECT_EQ(s.Stored("Port"), 2u);
    }
}

TEST(Preferences, EveryPortBusyGivesAnEmptyListAndKeepsThePort)
{
    Session s({{"Port", 3}});
    ASSERT_NE(s.prefs, nullptr);
    EXPECT_TRUE(ComboItems(s.prefs, kPort).empty());
    s.Close(kAccept);
    EXPECT_EQ(s.Stored("Port"), 3u);
}

TEST(Preferences, TheAvenaHasNoTopSpeedAndTheSameSpeedStaysSelectedAcrossSwitches)
{
    {
        Session s({{"CameraType", 100}, {"BitRate", 2304}});
        ASSERT_NE(s.prefs, nullptr);
        EXPECT_EQ(ComboItems(s.prefs, kSpeed), kAvenaSpeeds);
        EXPECT_EQ(ComboSelection(s.prefs, kSpeed), 0);
        ASSERT_TRUE(Select(s.prefs, kCamera, 2));
        EXPECT_TRUE(WaitUntil([&] { return ComboItems(s.prefs, kSpeed) == kAllSpeeds; }));
        EXPECT_EQ(ComboSelection(s.prefs, kSpeed), 1);
        s.Close(kAccept);
        EXPECT_EQ(s.Stored("CameraType"), 104u);
        EXPECT_EQ(s.Stored("BitRate"), 1152u);
    }
    {
        Session s({{"CameraType", 104}, {"BitRate", 2304}});
        ASSERT_NE(s.prefs, nullptr);
        EXPECT_EQ(ComboItems(s.prefs, kSpeed), kAllSpeeds);
        EXPECT_EQ(ComboSelection(s.prefs, kSpeed), 0);
        ASSERT_TRUE(Select(s.prefs, kCamera, 0));
        EXPECT_TRUE(WaitUntil([&] { return ComboItems(s.prefs, kSpeed) == kAvenaSpeeds; }));
        EXPECT_EQ(ComboSelection(s.prefs, kSpeed), 0);
        ASSERT_TRUE(Select(s.prefs, kCamera, 1));
        EXPECT_TRUE(WaitUntil([&] { return ComboItems(s.prefs, kSpeed) == kAllSpeeds; }));
        EXPECT_EQ(ComboSelection(s.prefs, kSpeed), 1);
        ASSERT_TRUE(Select(s.prefs, kCamera, 0));
        ASSERT_TRUE(WaitUntil([&] { return ComboItems(s.prefs, kSpeed) == kAvenaSpeeds; }));
        ASSERT_TRUE(Select(s.prefs, kSpeed, 4));
        s.Close(kAccept);
        EXPECT_EQ(s.Stored("CameraType"), 100u);
        EXPECT_EQ(s.Stored("BitRate"), 96u);
    }
}

TEST(Preferences, QualityIsOfferedForJpegAndFlashPixOnlyAndJpegAlwaysCompresses)
{
    {
        Session s({{"FileType", 4}, {"Quality", 0}});
        ASSERT_NE(s.prefs, nullptr);
        EXPECT_EQ(CheckState(s.prefs, kNoCompression), BST_CHECKED);
        EXPECT_TRUE(IsEnabled(s.prefs, kNoCompression));
        ASSERT_TRUE(Select(s.prefs, kFileType, 3));
        EXPECT_TRUE(WaitUntil([&] { return !IsEnabled(s.prefs, kNoCompression); }));
        EXPECT_EQ(CheckState(s.prefs, kNoCompression), BST_UNCHECKED);
        EXPECT_EQ(CheckState(s.prefs, kBest), BST_CHECKED);
        ASSERT_TRUE(Select(s.prefs, kFileType, 4));
        EXPECT_TRUE(WaitUntil([&] { return IsEnabled(s.prefs, kNoCompression); }));
        ASSERT_TRUE(Select(s.prefs, kFileType, 1));
        EXPECT_TRUE(WaitUntil([&] { return !IsEnabled(s.prefs, kBest); }));
        for (int id : {kQualityLabel, kGood, kBetter, kBest, kNoCompression}) EXPECT_FALSE(IsEnabled(s.prefs, id)) << id;
        EXPECT_EQ(CheckState(s.prefs, kBest), BST_CHECKED) << "the check stays";
        Shot(s.prefs, "preferences_bmp_quality_off");
        s.Close(kAccept);
        EXPECT_EQ(s.Stored("FileType"), 1u);
        EXPECT_EQ(s.Stored("Quality"), 100u);
    }
    {
        Session s({{"FileType", 3}, {"Quality", 0}});
        ASSERT_NE(s.prefs, nullptr);
        EXPECT_EQ(CheckState(s.prefs, kBest), BST_CHECKED);
        EXPECT_EQ(CheckState(s.prefs, kNoCompression), BST_UNCHECKED);
        EXPECT_FALSE(IsEnabled(s.prefs, kNoCompression));
        EXPECT_TRUE(IsEnabled(s.prefs, kGood));
        Shot(s.prefs, "preferences_jpeg");
        s.Close(kCancel);
        EXPECT_EQ(s.Stored("Quality"), 0u) << "Cancel changes nothing";
    }
}

struct ControlState {
    std::vector<std::vector<std::string>> lists;
    std::vector<int> selections, checks, enabled;
    bool operator==(const ControlState&) const = default;
};

ControlState Snapshot(HWND prefs)
{
    ControlState st;
    for (int id : {kCamera, kPort, kSpeed, kFileType}) {
        st.lists.push_back(ComboItems(prefs, id));
        st.selections.push_back(ComboSelection(prefs, id));
    }
    for (int id : {kDelete, kShowProgress, kAlwaysOnTop, kPopup, kAnimatedIcon, kNotify, kAlertSound, kGood, kBetter,
                   kBest, kNoCompression}) {
        st.checks.push_back(CheckState(prefs, id));
        st.enabled.push_back(IsEnabled(prefs, id));
    }
    return st;
}

TEST(Preferences, DefaultSettingsRestoresWhatTheDialogOpenedWithAndAcceptStoresTheChoices)
{
    Session s({{"CameraType", 101}, {"BitRate", 576}, {"FileType", 4}, {"Quality", 75}, {"IfRemoveMove", 0},
               {"PopupOrIcon", 0}, {"IfAlertSound", 1}, {"IfAlwaysOnTop", 1}});
    ASSERT_NE(s.prefs, nullptr);
    const ControlState opened = Snapshot(s.prefs);
    ASSERT_TRUE(Select(s.prefs, kCamera, 0));
    ASSERT_TRUE(Select(s.prefs, kFileType, 2));
    for (int id : {kDelete, kAnimatedIcon, kAlertSound, kAlwaysOnTop}) ASSERT_TRUE(Click(s.prefs, id)) << id;
    ASSERT_TRUE(WaitUntil([&] { return CheckState(s.prefs, kAlwaysOnTop) == BST_UNCHECKED; }));
    ASSERT_FALSE(Snapshot(s.prefs) == opened);
    ASSERT_TRUE(ClickButton(s.prefs, kDefaults));
    EXPECT_TRUE(WaitUntil([&] { return Snapshot(s.prefs) == opened; }));

    ASSERT_TRUE(Select(s.prefs, kSpeed, 3));
    ASSERT_TRUE(Select(s.prefs, kFileType, 3));
    for (int id : {kBetter, kDelete, kAnimatedIcon, kAlertSound}) ASSERT_TRUE(Click(s.prefs, id)) << id;
    ASSERT_TRUE(WaitUntil([&] { return CheckState(s.prefs, kAlertSound) == BST_UNCHECKED; }));
    s.Close(kAccept);
    EXPECT_EQ(s.Stored("CameraType"), 101u);
    EXPECT_EQ(s.Stored("BitRate"), 384u);
    EXPECT_EQ(s.Stored("FileType"), 3u);
    EXPECT_EQ(s.Stored("Quality"), 90u);
    EXPECT_EQ(s.Stored("IfRemoveMove"), 1u);
    EXPECT_EQ(s.Stored("PopupOrIcon"), 1u);
    EXPECT_EQ(s.Stored("IfAlertSound"), 0u);
    EXPECT_EQ(s.Stored("IfAlwaysOnTop"), 1u);
}

TEST(Preferences, TheStatusLineExplainsTheControlUnderTheMouse)
{
    Session s({{"FileType", 4}});
    ASSERT_NE(s.prefs, nullptr);
    const std::pair<int, UINT> tips[] = {
        {kDelete, 144}, {kCamera, 148}, {kPort, 149}, {kSpeed, 150}, {kFileType, 151}, {kGood, 152},
        {kBetter, 153}, {kBest, 154}, {kNoCompression, 155}, {kShowProgress, 156}, {kAlwaysOnTop, 157},
        {kPopup, 158}, {kAnimatedIcon, 159}, {kNotify, 160}, {kAlertSound, 161}, {kHelp, 129},
        {kDefaults, 162}, {kAccept, 163}, {kCancel, 164}, {kQualityLabel, 128},
    };
    for (const auto& [id, text] : tips) {
        ASSERT_TRUE(MoveMouseOver(s.prefs, id));
        EXPECT_TRUE(WaitUntil([&] { return ControlText(s.prefs, kStatus) == PixresString(text); }))
            << id << ": " << ControlText(s.prefs, kStatus);
    }
    ASSERT_TRUE(MoveMouseOver(s.prefs, kDelete));
    ASSERT_TRUE(WaitUntil([&] { return ControlText(s.prefs, kStatus) == PixresString(144); }));
    Shot(s.prefs, "preferences_status_line");
    s.Close(kCancel);
}

}  // namespace
