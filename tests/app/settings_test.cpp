// The settings record against the real registry of the test prefix, with the
// real resource library for the two defaults that come from its strings.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>

#include "app/Settings.h"
#include "registry.h"
#include "winui/Resources.h"

namespace {

class SettingsTest : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        HMODULE pixres = LoadLibraryA("PIXRES.DLL");
        ASSERT_NE(pixres, nullptr) << "PIXRES.DLL must lie beside the test";
        winui::SetResourceModule(pixres);
    }
    testreg::CleanKey clean_;
};

PersistedSettings Loaded()
{
    PersistedSettings s;
    s.Source = s.Template = "not loaded";
    LoadSettings(s);
    return s;
}

void ExpectDefaults(const PersistedSettings& s, int cameraThumbnail)
{
    EXPECT_EQ(s.Source, "C:\\");
    EXPECT_EQ(s.DesktopName, "My Computer");
    EXPECT_EQ(s.Destination, "");
    EXPECT_EQ(s.TransferSource, 1);
    EXPECT_EQ(s.MemType, 0);
    EXPECT_EQ(s.AlbumNo, 0);
    EXPECT_EQ(s.Template, "Pict");
    EXPECT_EQ(s.IfUseCameraName, 1);
    EXPECT_EQ(s.IfCameraThumbnail, cameraThumbnail);
    EXPECT_EQ(s.IfDiskThumbnail, 1);
    EXPECT_EQ(s.IfRemoveMove, 0);
    EXPECT_EQ(s.CameraType, 104);
    EXPECT_EQ(s.Port, 1);
    EXPECT_EQ(s.BitRate, 576);
    EXPECT_EQ(s.FileType, 1);
    EXPECT_EQ(s.Quality, 90);
    EXPECT_EQ(s.IfShowProgress, 1);
    EXPECT_EQ(s.IfAlwaysOnTop, 1);
    EXPECT_EQ(s.PopupOrIcon, 0);
    EXPECT_EQ(s.IfNotifyComplete, 1);
    EXPECT_EQ(s.IfAlertSound, 1);
    EXPECT_EQ(s.IfWelcomeScreen, 1);
    EXPECT_EQ(s.IfDisplayFileExtension, 1);
    EXPECT_EQ(s.ProgressDlgPosX, 100);
    EXPECT_EQ(s.ProgressDlgPosY, 100);
}

TEST_F(SettingsTest, WithoutTheKeyEveryFieldIsItsDefault)
{
    ExpectDefaults(Loaded(), 1);
    EXPECT_FALSE(testreg::KeyExists()) << "loading never creates the key";
}

TEST_F(SettingsTest, SaveWritesEveryValueButTheWindowPositionWithExactTypesAndSizes)
{
    PersistedSettings s = Loaded();
    s.Destination = "D:\\Photos";
    SaveSettings(s);

    const std::map<std::string, std::string> texts{
        {"Source", "C:\\"}, {"DesktopName", "My Computer"}, {"Destination", "D:\\Photos"}, {"Template", "Pict"}};
    const std::map<std::string, std::uint32_t> numbers{
        {"MemType", 0},         {"AlbumNo", 0},          {"CameraType", 104},      {"Port", 1},
        {"BitRate", 576},       {"IfUseCameraName", 1},  {"IfCameraThumbnail", 1}, {"IfDiskThumbnail", 1},
        {"IfRemoveMove", 0},    {"TransferSource", 1},   {"FileType", 1},          {"Quality", 90},
        {"IfShowProgress", 1},  {"IfAlwaysOnTop", 1},    {"PopupOrIcon", 0},       {"IfNotifyComplete", 1},
        {"IfAlertSound", 1},    {"IfWelcomeScreen", 1},  {"IfDisplayFileExtension", 1}};

    EXPECT_EQ(testreg::ValueNames().size(), texts.size() + numbers.size());
    for (const auto& [name, text] : texts) {
        auto v = testreg::Read(name);
        ASSERT_TRUE(v) << name;
        EXPECT_EQ(v->type, static_cast<DWORD>(REG_SZ)) << name;
        // The program counts no terminating zero in the size it writes; the
        // registry adds one itself when the byte after the text is zero, as
        // it is here, so exactly one terminator is stored.
        EXPECT_EQ(v->Length(), text.size() + 1) << name;
        EXPECT_EQ(v->Text(), text) << name;
    }
    for (const auto& [name, number] : numbers) {
        auto v = testreg::Read(name);
        ASSERT_TRUE(v) << name;
        EXPECT_EQ(v->type, static_cast<DWORD>(REG_DWORD)) << name;
        EXPECT_EQ(v->data.size(), 4u) << name;
        EXPECT_EQ(v->Number(), number) << name;
    }
    EXPECT_FALSE(testreg::Read("ProgressDlgPosX"));
    EXPECT_FALSE(testreg::Read("ProgressDlgPosY"));
}

TEST_F(SettingsTest, EveryFieldRoundTrips)
{
    PersistedSettings out;
    out.Source = "E:\\Camera";
    out.DesktopName = "This Computer";
    out.Destination = "C:\\Out";
    out.TransferSource = 2;
    out.MemType = 1;
    out.AlbumNo = 3;
    out.Template = "Trip";
    out.IfUseCameraName = 0;
    out.IfCameraThumbnail = 0;
    out.IfDiskThumbnail = 0;
    out.IfRemoveMove = 1;
    out.CameraType = 101;
    out.Port = 4;
    out.BitRate = 2304;
    out.FileType = 3;
    out.Quality = 75;
    out.IfShowProgress = 0;
    out.IfAlwaysOnTop = 0;
    out.PopupOrIcon = 1;
    out.IfNotifyComplete = 0;
    out.IfAlertSound = 0;
    out.IfWelcomeScreen = 0;
    out.IfDisplayFileExtension = 0;
    SaveSettings(out);
    SaveProgressWindowPosition(-20, 640);

    const PersistedSettings in = Loaded();
    EXPECT_EQ(in.Source, out.Source);
    EXPECT_EQ(in.DesktopName, out.DesktopName);
    EXPECT_EQ(in.Destination, out.Destination);
    EXPECT_EQ(in.Template, out.Template);
    const std::int32_t PersistedSettings::*numbers[] = {
        &PersistedSettings::TransferSource, &PersistedSettings::MemType,        &PersistedSettings::AlbumNo,
        &PersistedSettings::IfUseCameraName, &PersistedSettings::IfCameraThumbnail,
        &PersistedSettings::IfDiskThumbnail, &PersistedSettings::IfRemoveMove, &PersistedSettings::CameraType,
        &PersistedSettings::Port,           &PersistedSettings::BitRate,        &PersistedSettings::FileType,
        &PersistedSettings::Quality,        &PersistedSettings::IfShowProgress, &PersistedSettings::IfAlwaysOnTop,
        &PersistedSettings::PopupOrIcon,    &PersistedSettings::IfNotifyComplete, &PersistedSettings::IfAlertSound,
        &PersistedSettings::IfWelcomeScreen, &PersistedSettings::IfDisplayFileExtension};
    for (auto field : numbers) EXPECT_EQ(in.*field, out.*field);
    EXPECT_EQ(in.ProgressDlgPosX, -20);
    EXPECT_EQ(in.ProgressDlgPosY, 640);
}

// Each case stores one odd value in an otherwise complete key and checks the
// field it lands in.
TEST_F(SettingsTest, OddStoredValues)
{
    const std::string s259(259, 'a'), s261(261, 'c');
    const unsigned char two[] = {7, 0};
    const unsigned char eight[] = {5, 0, 0, 0, 0, 0, 0, 0};
    struct Case {
        const char* what;
        std::function<void()> store;
        std::function<void(const PersistedSettings&)> check;
    };
    const Case cases[] = {
        {"IfCameraThumbnail deleted reads as 0, not its default",
         [] { testreg::Remove("IfCameraThumbnail"); },
         [](const PersistedSettings& s) { EXPECT_EQ(s.IfCameraThumbnail, 0); }},
        {"another deleted number falls back to its default",
         [] { testreg::Remove("Quality"); },
         [](const PersistedSettings& s) { EXPECT_EQ(s.Quality, 90); }},
        {"a number of size 0 is missing",
         [] { testreg::Write("BitRate", REG_DWORD, nullptr, 0); testreg::Write("IfCameraThumbnail", REG_DWORD, nullptr, 0); },
         [](const PersistedSettings& s) { EXPECT_EQ(s.BitRate, 576); EXPECT_EQ(s.IfCameraThumbnail, 0); }},
        {"a number of 2 bytes is missing, not half a number",
         [&] { testreg::Write("Port", REG_BINARY, two, sizeof two); },
         [](const PersistedSettings& s) { EXPECT_EQ(s.Port, 1); }},
        {"a number of 8 bytes is missing",
         [&] { testreg::Write("FileType", REG_QWORD, eight, sizeof eight); },
         [](const PersistedSettings& s) { EXPECT_EQ(s.FileType, 1); }},
        {"an unknown camera type is kept as read",
         [] { testreg::WriteNumber("CameraType", 123); },
         [](const PersistedSettings& s) { EXPECT_EQ(s.CameraType, 123); }},
        {"a text of 259 characters and its terminator fits",
         [&] { testreg::Write("Source", REG_SZ, s259.c_str(), 260); },
         [&](const PersistedSettings& s) { EXPECT_EQ(s.Source, s259); }},
        {"a text of 261 bytes is missing: the default stays",
         [&] { testreg::WriteText("Template", s261); },
         [](const PersistedSettings& s) { EXPECT_EQ(s.Template, "Pict"); }},
        {"a text far longer than a path is missing",
         [&] { testreg::WriteText("Destination", std::string(5000, 'd')); },
         [](const PersistedSettings& s) { EXPECT_EQ(s.Destination, ""); }},
        {"a text ends at its first zero",
         [] { testreg::Write("DesktopName", REG_SZ, "ab\0cd", 5); },
         [](const PersistedSettings& s) { EXPECT_EQ(s.DesktopName, "ab"); }},
        {"a text stored without terminator ends at its stored size",
         [] { testreg::Write("Destination", REG_BINARY, "XYZ", 3); },
         [](const PersistedSettings& s) { EXPECT_EQ(s.Destination, "XYZ"); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        testreg::DeleteKey();
        PersistedSettings base;
        base.DesktopName = "My Computer";
        base.Template = "Pict";
        SaveSettings(base);
        c.store();
        c.check(Loaded());
    }
}

}  // namespace
