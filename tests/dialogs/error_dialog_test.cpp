// The error dialog on real windows, through dialog_host: its forms in and
// outside a transfer, its buttons and answers, the icons, the camera-not-found
// notice.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "fixture.h"

using namespace dlgtest;
using namespace guitest;

namespace {

enum { kRetry = 4, kCancel = 2, kSkip = 1073, kText = 1108, kIcon = 1125, kNotFoundHelp = 57670 };
constexpr int kAnswerCancel = -999, kAnswerRetry = -998, kAnswerSkip = -997;

HWND WaitForErrorDialog(const Process& p) { return WaitForDialogWith(p.Id(), kText); }

std::string Question(const std::string& error, const std::string& picture)
{
    std::string text = PixresString(214) + " \"" + error + "\" ";
    return picture.empty() ? text + "." : text + PixresString(215) + " " + picture + PixresString(216);
}

// Which sign the icon control shows, by its colours: the error sign is a red
// disc, the warning sign a yellow triangle.
enum class Sign { None, Error, Warning };
Sign SignShown(HWND dialog)
{
    RECT rc;
    if (!GetWindowRect(Control(dialog, kIcon), &rc)) return Sign::None;
    HDC screen = GetDC(nullptr);
    int red = 0, yellow = 0;
    for (int y = rc.top; y < rc.bottom; ++y)
        for (int x = rc.left; x < rc.right; ++x) {
            const COLORREF c = GetPixel(screen, x, y);
            const int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
            if (r > 180 && g < 80 && b < 80) ++red;
            if (r > 180 && g > 180 && b < 80) ++yellow;
        }
    ReleaseDC(nullptr, screen);
    if (red > 50 && red > yellow) return Sign::Error;
    if (yellow > 50) return Sign::Warning;
    return Sign::None;
}

TEST(ErrorDialog, ACameraFailureInATransferOffersCancelAlone)
{
    Process p = Start(HostExe(), "error -998 -1005 1 PICT0001.HCR");
    HWND dlg = WaitForErrorDialog(p);
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(WindowText(dlg), PixresString(143));
    EXPECT_EQ(ControlText(dlg, kText), Question(PixresString(194), "PICT0001.HCR"));
    EXPECT_FALSE(IsEnabled(dlg, kRetry));
    EXPECT_FALSE(IsEnabled(dlg, kSkip));
    EXPECT_TRUE(IsEnabled(dlg, kCancel));
    EXPECT_EQ(ControlText(dlg, kCancel), "&Cancel");
    EXPECT_TRUE(WaitUntil([&] { return SignShown(dlg) == Sign::Error; }));
    Shot(dlg, "error_camera_in_transfer");
    // Enter must not slip through the disabled default button.
    ASSERT_TRUE(SendKey(dlg, VK_RETURN));
    ASSERT_TRUE(p.WaitExit());
    EXPECT_EQ(ExitValue(p), kAnswerCancel);
}

TEST(ErrorDialog, AWriteProtectedDestinationExplainsItselfAndOffersCancelAlone)
{
    Process p = Start(HostExe(), "error -995 19 1 PICT0002.HCR");
    HWND dlg = WaitForErrorDialog(p);
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(ControlText(dlg, kText), PixresString(237));
    EXPECT_FALSE(IsEnabled(dlg, kRetry));
    EXPECT_FALSE(IsEnabled(dlg, kSkip));
    Shot(dlg, "error_write_protected");
    ASSERT_TRUE(ClickButton(dlg, kCancel));
    ASSERT_TRUE(p.WaitExit());
    EXPECT_EQ(ExitValue(p), kAnswerCancel);
}

TEST(ErrorDialog, TheDuplicateQuestionOffersReplaceSkipAndStartOver)
{
    struct Case {
        int button;
        int answer;
    };
    for (const Case c : {Case{kRetry, kAnswerRetry}, Case{kSkip, kAnswerSkip}, Case{kCancel, kAnswerCancel}}) {
        SCOPED_TRACE(c.button);
        Process p = Start(HostExe(), "error -999 -997 1");
        HWND dlg = WaitForErrorDialog(p);
        ASSERT_NE(dlg, nullptr);
        ASSERT_TRUE(WaitUntil([&] { return ControlText(dlg, kRetry) == PixresString(211); }));
        EXPECT_EQ(ControlText(dlg, kCancel), PixresString(210));
        EXPECT_EQ(ControlText(dlg, kSkip), "&Skip");
        EXPECT_EQ(ControlText(dlg, kText), PixresString(218));
        for (int id : {kRetry, kSkip, kCancel}) EXPECT_TRUE(IsEnabled(dlg, id)) << id;
        EXPECT_TRUE(WaitUntil([&] { return SignShown(dlg) == Sign::Warning; }));
        if (c.button == kRetry) Shot(dlg, "error_duplicates");
        ASSERT_TRUE(ClickButton(dlg, c.button));
        ASSERT_TRUE(p.WaitExit());
        EXPECT_EQ(ExitValue(p), c.answer);
    }
}

TEST(ErrorDialog, AFailedOutputFileOffersRetrySkipAndCancelAndEscCancels)
{
    struct Case {
        int button;  // 0: the Esc key
        int answer;
    };
    for (const Case c : {Case{kRetry, kAnswerRetry}, Case{kSkip, kAnswerSkip}, Case{0, kAnswerCancel}}) {
        SCOPED_TRACE(c.button);
        Process p = Start(HostExe(), "error -997 0 1 PICT0003.BMP");
        HWND dlg = WaitForErrorDialog(p);
        ASSERT_NE(dlg, nullptr);
        EXPECT_EQ(ControlText(dlg, kText), Question(PixresString(250), "PICT0003.BMP"));
        EXPECT_EQ(ControlText(dlg, kRetry), "&Retry");
        for (int id : {kRetry, kSkip, kCancel}) EXPECT_TRUE(IsEnabled(dlg, id)) << id;
        EXPECT_TRUE(WaitUntil([&] { return SignShown(dlg) == Sign::Error; }));
        if (c.button == kRetry) Shot(dlg, "error_output_file");
        ASSERT_TRUE(c.button ? ClickButton(dlg, c.button) : SendKey(dlg, VK_ESCAPE));
        ASSERT_TRUE(p.WaitExit());
        EXPECT_EQ(ExitValue(p), c.answer);
    }
}

TEST(ErrorDialog, OutsideATransferEveryFailureIsAPlainMessageBoxAnsweredCancel)
{
    struct Case {
        const char* args;
        std::string text;
    };
    const Case cases[] = {
        {"error -998 -1005 0 X", PixresString(186) + "\n" + PixresString(194)},
        {"error -998 -1030 0", PixresString(186) + "\n" + PixresString(209)},
        {"error -996 0 0", PixresString(212)},
        {"error -995 19 0", PixresString(187)},
        {"error -993 0 0", PixresString(213)},
        {"error -999 -998 1", PixresString(219)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        Process p = Start(HostExe(), c.args);
        HWND box = WaitForMessageBox(p.Id(), c.text);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(WindowText(box), PixresString(143));
        EXPECT_EQ(WaitForDialogWith(p.Id(), kText, Ms(0)), nullptr) << "the dialog itself never shows";
        if (c.text == cases[0].text) Shot(box, "error_camera_outside_transfer");
        ASSERT_TRUE(ClickButton(box, IDOK));
        ASSERT_TRUE(p.WaitExit());
        EXPECT_EQ(ExitValue(p), kAnswerCancel);
    }
}

TEST(ErrorDialog, ACameraThatIsNotFoundGetsItsNoticeWithHelp)
{
    Process p = Start(HostExe(), "error -998 -1006 1 PICT0004.HCR");
    HWND notice = WaitForWindow({"Pixalon", "#32770", p.Id()});
    ASSERT_NE(notice, nullptr);
    EXPECT_FALSE(IsVisible(notice, IDCANCEL));
    Shot(notice, "camera_not_found");
    ASSERT_TRUE(ClickButton(notice, kNotFoundHelp));
    EXPECT_NE(WaitForWindow({"", "PixalonGuide", p.Id()}), nullptr);
    ASSERT_TRUE(ClickButton(notice, IDOK));
    ASSERT_TRUE(p.WaitExit());
    EXPECT_EQ(ExitValue(p), kAnswerCancel);
}

TEST(ErrorDialog, AReportNamesThePictureByItsFileNameOrNotAtAll)
{
    struct Case {
        const char* path;
        std::string shown;
    };
    for (const Case& c : {Case{"C:\\out\\Card\\PICT0005.BMP", "PICT0005.BMP"}, Case{"PICT0006.BMP", "PICT0006.BMP"},
                          Case{"C:", ""}, Case{"x", ""}}) {
        SCOPED_TRACE(c.path);
        Process p = Start(HostExe(), std::string("report -997 0 ") + c.path);
        HWND dlg = WaitForErrorDialog(p);
        ASSERT_NE(dlg, nullptr);
        EXPECT_EQ(ControlText(dlg, kText), Question(PixresString(250), c.shown));
        if (c.shown.empty()) Shot(dlg, "error_without_picture_name");
        ASSERT_TRUE(ClickButton(dlg, kSkip));
        ASSERT_TRUE(p.WaitExit());
        EXPECT_EQ(ExitValue(p), kAnswerSkip);
    }
}

}  // namespace
