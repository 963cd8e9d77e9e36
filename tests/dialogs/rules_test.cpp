// The dialogs' rules that need no window: the error texts and forms, the
// name of the picture in a report, and how accepted preferences map into
// the settings. Texts come from the real PIXRES.DLL.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "app/ErrorDlg.h"
#include "app/PreferencesDlg.h"
#include "winui/Resources.h"

namespace {

std::string S(UINT id) { return winui::LoadText(id); }

class Rules : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        HMODULE pixres = LoadLibraryA("PIXRES.DLL");
        ASSERT_NE(pixres, nullptr);
        winui::SetResourceModule(pixres);
    }
};

std::string Question(const std::string& error, const std::string& picture)
{
    std::string text = S(214) + " \"" + error + "\" ";
    return picture.empty() ? text + "." : text + S(215) + " " + picture + S(216);
}

using Kind = ErrorForm::Kind;

TEST_F(Rules, EveryErrorKindTakesItsFormTextAndButtons)
{
    struct Case {
        int kind, sub;
        bool inTransfer;
        const char* name;
        Kind form;
        std::string text;
        bool cancelOnly;
    };
    const Case cases[] = {
        // Destination questions of the pre-flight: dialog in any case but one.
        {-999, -999, true, "", Kind::Dialog, S(217), false},
        {-999, -997, true, "", Kind::Dialog, S(218), false},
        {-999, -998, true, "", Kind::MessageBox, S(219), false},
        {-999, 5, true, "", Kind::Dialog, "", false},
        // Camera: a box outside a transfer, Cancel alone inside one.
        {-998, -1005, false, "P1.HCR", Kind::MessageBox, S(186) + "\n" + S(194), false},
        {-998, -1005, true, "P1.HCR", Kind::Dialog, Question(S(194), "P1.HCR"), true},
        {-998, -1021, true, "", Kind::Dialog, Question(S(191), ""), true},
        {-998, -1004, true, "", Kind::Dialog, Question(S(209), ""), true},
        {-998, -1002, true, "", Kind::CameraNotFound, "", false},
        {-998, -1006, false, "", Kind::CameraNotFound, "", false},
        // Output file: always the question, Retry and Skip offered.
        {-997, 0, true, "P2.BMP", Kind::Dialog, Question(S(250), "P2.BMP"), false},
        {-997, 0, false, "", Kind::Dialog, Question(S(250), ""), false},
        // Memory, file access, system: boxes outside a transfer.
        {-996, 0, false, "", Kind::MessageBox, S(212), false},
        {-996, 0, true, "P3", Kind::Dialog, Question(S(212), "P3"), false},
        {-995, 5, false, "", Kind::MessageBox, S(187), false},
        {-995, 5, true, "P4", Kind::Dialog, Question(S(187), "P4"), true},
        {-995, 19, true, "P4", Kind::Dialog, S(237), true},
        {-995, 21, true, "P4", Kind::Dialog, S(235), true},
        {-993, 0, false, "", Kind::MessageBox, S(213), false},
        {-993, 0, true, "", Kind::Dialog, Question(S(213), ""), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "kind " << c.kind << " sub " << c.sub << " in transfer " << c.inTransfer);
        const ErrorForm form = ComposeErrorForm(c.kind, c.sub, c.inTransfer, c.name);
        EXPECT_EQ(form.kind, c.form);
        EXPECT_EQ(form.text, c.text);
        EXPECT_EQ(form.cancelOnly, c.cancelOnly);
    }
}

TEST_F(Rules, DriverStatusesMapToTheirTexts)
{
    const std::pair<int, UINT> table[] = {
        {-1000, 188}, {-1001, 189}, {-1003, 192}, {-1005, 194}, {-1009, 197}, {-1010, 198}, {-1011, 199},
        {-1013, 201}, {-1014, 202}, {-1016, 203}, {-1017, 204}, {-1018, 205}, {-1019, 206}, {-1020, 208},
        {-1021, 191}, {-1022, 200}, {-1023, 193}, {-1024, 196}, {-1025, 207}, {-1002, 0},   {-1006, 0},
        {-1004, 209}, {-1007, 209}, {0, 209},     {-1, 209},
    };
    for (const auto& [status, text] : table) EXPECT_EQ(DriverStatusTextId(status), text) << status;
}

TEST_F(Rules, AReportNamesThePictureByItsFileName)
{
    EXPECT_EQ(PictureNameForReport("C:\\pictures\\Card\\PICT0001.BMP"), "PICT0001.BMP");
    EXPECT_EQ(PictureNameForReport("PICT0001.BMP"), "PICT0001.BMP");
    EXPECT_EQ(PictureNameForReport("abc"), "abc");
    EXPECT_EQ(PictureNameForReport("C:\\dir\\"), "");
    EXPECT_EQ(PictureNameForReport("ab"), "");
    EXPECT_EQ(PictureNameForReport("a"), "");
    EXPECT_EQ(PictureNameForReport(""), "");
}

TEST_F(Rules, AcceptedPreferencesMapIntoTheSettings)
{
    PersistedSettings before;
    before.Port = 3;
    before.BitRate = 384;
    before.Quality = 90;
    before.FileType = kFileTiff;

    PreferencesValues v;
    v.CameraIndex = 2;
    v.PortIndex = 1;
    v.PortAvailable[0] = 1;  // COM1, COM3 and COM4 opened: entry 1 is COM3
    v.PortAvailable[2] = 1;
    v.PortAvailable[3] = 1;
    v.SpeedIndex = 0;
    v.FileTypeIndex = 3;
    v.Good = 1;
    v.Popup = 0;
    v.Remove = 1;
    v.ShowProgress = 0;
    v.Notify = 1;
    v.AlwaysOnTop = 0;
    v.AlertSound = 1;

    PersistedSettings s = before;
    ApplyPreferences(v, s);
    EXPECT_EQ(s.Port, 3);
    EXPECT_EQ(s.CameraType, kCameraCirra);
    EXPECT_EQ(s.BitRate, 2304);
    EXPECT_EQ(s.FileType, kFileJpeg);
    EXPECT_EQ(s.Quality, 75);
    EXPECT_EQ(s.PopupOrIcon, 1);
    EXPECT_EQ(s.IfRemoveMove, 1);
    EXPECT_EQ(s.IfShowProgress, 0);
    EXPECT_EQ(s.IfNotifyComplete, 1);
    EXPECT_EQ(s.IfAlwaysOnTop, 0);
    EXPECT_EQ(s.IfAlertSound, 1);

    struct Case {
        const char* what;
        void (*change)(PreferencesValues&);
        void (*check)(const PersistedSettings&);
    };
    const Case cases[] = {
        {"port entry 2 is the third open port", [](PreferencesValues& x) { x.PortIndex = 2; },
         [](const PersistedSettings& r) { EXPECT_EQ(r.Port, 4); }},
        {"no port listed keeps the port", [](PreferencesValues& x) { x.PortIndex = -1; },
         [](const PersistedSettings& r) { EXPECT_EQ(r.Port, 3); }},
        {"an entry past the open ports keeps the port", [](PreferencesValues& x) { x.PortIndex = 3; },
         [](const PersistedSettings& r) { EXPECT_EQ(r.Port, 3); }},
        {"Avena's first speed is 115.2", [](PreferencesValues& x) { x.CameraIndex = 0; },
         [](const PersistedSettings& r) {
             EXPECT_EQ(r.CameraType, kCameraAvena);
             EXPECT_EQ(r.BitRate, 1152);
         }},
        {"Avena's last speed is 9.6",
         [](PreferencesValues& x) {
             x.CameraIndex = 0;
             x.SpeedIndex = 4;
         },
         [](const PersistedSettings& r) { EXPECT_EQ(r.BitRate, 96); }},
        {"Belva's speeds start at 230.4",
         [](PreferencesValues& x) {
             x.CameraIndex = 1;
             x.SpeedIndex = 2;
         },
         [](const PersistedSettings& r) {
             EXPECT_EQ(r.CameraType, kCameraBelva);
             EXPECT_EQ(r.BitRate, 576);
         }},
        {"no quality checked keeps the quality", [](PreferencesValues& x) { x.Good = 0; },
         [](const PersistedSettings& r) { EXPECT_EQ(r.Quality, 90); }},
        {"no compression wins over an earlier check", [](PreferencesValues& x) { x.NoCompression = 1; },
         [](const PersistedSettings& r) { EXPECT_EQ(r.Quality, 0); }},
        {"best", [](PreferencesValues& x) { x.Good = 0, x.Best = 1; },
         [](const PersistedSettings& r) { EXPECT_EQ(r.Quality, 100); }},
        {"pop-up", [](PreferencesValues& x) { x.Popup = 1; },
         [](const PersistedSettings& r) { EXPECT_EQ(r.PopupOrIcon, 0); }},
        {"a file type list without selection keeps the type", [](PreferencesValues& x) { x.FileTypeIndex = -1; },
         [](const PersistedSettings& r) { EXPECT_EQ(r.FileType, kFileTiff); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PreferencesValues changed = v;
        c.change(changed);
        PersistedSettings r = before;
        ApplyPreferences(changed, r);
        c.check(r);
    }
}

}  // namespace
