// The real program under Wine: start-up, the single-instance rule, the main
// dialog's first form, the destination checks and the settings it leaves in
// the registry.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "guitest.h"
#include "registry.h"

using namespace guitest;

namespace {

// Control ids of the main and progress dialog templates.
enum {
    kTransfer = 1, kExit = 2, kTemplate = 1023, kUseTemplate = 1071, kUseExisting = 1072, kCameraType = 1076,
    kSourceFolder = 1091, kDestName = 1103, kTransferLabel = 1110, kDestPath = 1124,
    kProgressStatus = 1028, kProgressBar = 1105,
};
const std::string kTitle = "HALCYRA Pixalon";

std::string Exe() { return ExeDir() + "\\pixalon.exe"; }

// A screenshot of the whole screen once the windows of the given processes
// have painted: each is asked to paint now, and the call returns after it has.
// Windows of other processes (other tests) are left alone.
bool Screenshot(const std::string& name, std::initializer_list<DWORD> pids)
{
    for (DWORD pid : pids) {
        for (HWND w : FindTopWindows({"", "", pid})) {
            DWORD_PTR r = 0;
            SendMessageTimeoutA(w, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &r);
            RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        }
    }
    const std::string dir = ExeDir() + "\\..\\screenshots";
    CreateDirectoryA(dir.c_str(), nullptr);
    return SaveScreenshot(dir + "\\" + name + ".png");
}

// A fresh folder under the temporary folder; removed (read-only or not) at the end.
struct TempDir {
    std::string path;
    explicit TempDir(const std::string& name)
    {
        char tmp[MAX_PATH];
        GetTempPathA(MAX_PATH, tmp);
        path = std::string(tmp) + name + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(path.c_str(), nullptr);
    }
    ~TempDir()
    {
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA((path + "\\pixalon.exe").c_str());
        RemoveDirectoryA(path.c_str());
    }
};

// The main dialog; a welcome screen shown first is clicked away, which
// closes it without touching its "Display on Startup" setting.
HWND WaitForMainDialog(DWORD pid)
{
    constexpr int kWelcomePicture = 1119;
    HWND found = nullptr;
    WaitUntil([&] {
        for (HWND w : FindTopWindows({"", "#32770", pid})) {
            if (Control(w, kTemplate)) found = w;
            if (Control(w, kWelcomePicture)) PostMessageA(w, WM_LBUTTONUP, 0, 0);
        }
        return found != nullptr;
    });
    return found;
}

// Transfer starts disabled while nothing is selected; the dialog still
// takes the command the button would send.
void PressTransfer(HWND main) { ASSERT_TRUE(PostMessageA(main, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0)); }

void ExitProgram(Process& p, HWND main)
{
    ASSERT_TRUE(ClickButton(main, kExit));
    ASSERT_TRUE(p.WaitExit());
}

TEST(Startup, WithoutTheResourceLibraryItSaysSoAndTouchesNoRegistry)
{
    testreg::CleanKey clean;
    TempDir alone("pixalon_alone_");
    ASSERT_TRUE(CopyFileA(Exe().c_str(), (alone.path + "\\pixalon.exe").c_str(), FALSE));
    Process p;
    ASSERT_TRUE(p.Start(alone.path + "\\pixalon.exe", "", alone.path));
    HWND box = WaitForMessageBox(p.Id(), "Missing file PIXRES.DLL");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(WindowText(box), kTitle);
    ASSERT_TRUE(ClickButton(box, IDOK));
    ASSERT_TRUE(p.WaitExit());
    EXPECT_FALSE(testreg::KeyExists());
}

TEST(Startup, FirstStartShowsTheDefaultsAndExitSavesEveryValue)
{
    testreg::CleanKey clean;
    Process p;
    ASSERT_TRUE(p.Start(Exe(), "", ExeDir()));
    HWND main = WaitForMainDialog(p.Id());
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(WindowText(main), kTitle);
    EXPECT_EQ(ControlText(main, kDestPath), "");
    EXPECT_EQ(ControlText(main, kTemplate), "Pict");
    EXPECT_EQ(CheckState(main, kUseExisting), BST_CHECKED);
    EXPECT_EQ(CheckState(main, kUseTemplate), BST_UNCHECKED);
    EXPECT_FALSE(IsEnabled(main, kTemplate));
    EXPECT_EQ(ControlText(main, kCameraType), "Cirra");
    EXPECT_EQ(ControlText(main, kSourceFolder), "My Computer");
    EXPECT_EQ(ControlText(main, kDestName), "My Computer");
    EXPECT_FALSE(IsEnabled(main, kTransfer));
    EXPECT_FALSE(IsEnabled(main, kTransferLabel));
    EXPECT_TRUE(Screenshot("startup_main_dialog", {p.Id()}));
    EXPECT_FALSE(testreg::KeyExists()) << "nothing is written before the main dialog closes";

    ExitProgram(p, main);
    EXPECT_EQ(testreg::ValueNames().size(), 23u);
    EXPECT_FALSE(testreg::Read("ProgressDlgPosX"));
    EXPECT_FALSE(testreg::Read("ProgressDlgPosY"));
    auto tmpl = testreg::Read("Template");
    ASSERT_TRUE(tmpl);
    EXPECT_EQ(tmpl->type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(tmpl->Text(), "Pict");
    EXPECT_EQ(testreg::Read("CameraType")->Number(), 104u);
}

TEST(Startup, ShowsTheStoredChoicesAndKeepsWhatItDoesNotKnow)
{
    testreg::CleanKey clean;
    struct Case {
        std::int32_t cameraType;
        const char* shown;
        std::int32_t useCameraName;
    };
    for (const Case& c : {Case{100, "Avena", 1}, Case{101, "Belva", 0}, Case{123, "Cirra", 0}}) {
        SCOPED_TRACE(c.cameraType);
        testreg::WriteNumber("CameraType", c.cameraType);
        testreg::WriteNumber("IfUseCameraName", c.useCameraName);
        testreg::WriteText("Template", "Holiday");
        testreg::WriteText("Destination", "C:\\windows");
        Process p;
        ASSERT_TRUE(p.Start(Exe(), "", ExeDir()));
        HWND main = WaitForMainDialog(p.Id());
        ASSERT_NE(main, nullptr);
        EXPECT_EQ(ControlText(main, kCameraType), c.shown);
        EXPECT_EQ(ControlText(main, kDestPath), "C:\\windows");
        EXPECT_EQ(ControlText(main, kTemplate), "Holiday");
        EXPECT_EQ(CheckState(main, kUseExisting), c.useCameraName ? BST_CHECKED : BST_UNCHECKED);
        EXPECT_EQ(CheckState(main, kUseTemplate), c.useCameraName ? BST_UNCHECKED : BST_CHECKED);
        EXPECT_EQ(IsEnabled(main, kTemplate), !c.useCameraName);
        const std::string typed = c.useCameraName ? "Holiday" : "Trip";
        if (!c.useCameraName) {
            ASSERT_TRUE(TypeText(main, kTemplate, typed));
        }
        ExitProgram(p, main);

        EXPECT_EQ(static_cast<std::int32_t>(testreg::Read("CameraType")->Number()), c.cameraType);
        EXPECT_EQ(testreg::Read("Template")->Text(), typed) << "the template is saved as typed";
        EXPECT_EQ(static_cast<std::int32_t>(testreg::Read("IfUseCameraName")->Number()), c.useCameraName)
            << "the naming choice is taken only by a transfer";
    }
}

TEST(Startup, OnlyOneInstanceRunsAtATime)
{
    testreg::CleanKey clean;
    Process first;
    ASSERT_TRUE(first.Start(Exe(), "", ExeDir()));
    HWND main = WaitForMainDialog(first.Id());
    ASSERT_NE(main, nullptr);

    Process second;
    ASSERT_TRUE(second.Start(Exe(), "", ExeDir()));
    HWND box = WaitForMessageBox(second.Id(), "Application is already running.");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(WindowText(box), kTitle);
    EXPECT_TRUE(Screenshot("startup_second_instance", {first.Id(), second.Id()}));
    ASSERT_TRUE(ClickButton(box, IDOK));
    ASSERT_TRUE(second.WaitExit());
    EXPECT_TRUE(first.Running());
    EXPECT_TRUE(IsWindowVisible(main)) << "the running instance is not disturbed";
    ExitProgram(first, main);

    Process third;
    ASSERT_TRUE(third.Start(Exe(), "", ExeDir()));
    main = WaitForMainDialog(third.Id());
    ASSERT_NE(main, nullptr) << "a start after the first has ended succeeds";
    ExitProgram(third, main);
}

TEST(Startup, UnusableDestinationsAreRefusedAndTheMainDialogComesBack)
{
    testreg::CleanKey clean;
    // Made read-only by the test's fixture (Wine keeps no read-only attribute
    // on folders; it derives one from the Unix permissions).
    char readOnly[MAX_PATH];
    GetFullPathNameA((ExeDir() + "\\..\\readonly-destination").c_str(), MAX_PATH, readOnly, nullptr);
    const DWORD attributes = GetFileAttributesA(readOnly);
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES) << readOnly;
    ASSERT_NE(attributes & FILE_ATTRIBUTE_READONLY, 0u) << readOnly;
    struct Case {
        std::string destination;
        UINT message;
    };
    const Case cases[] = {
        {"", 185}, {"C", 185}, {"C:\\no\\such\\folder", 235}, {readOnly, 236},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.destination);
        testreg::WriteText("Destination", c.destination);
        testreg::WriteNumber("IfUseCameraName", 0);
        Process p;
        ASSERT_TRUE(p.Start(Exe(), "", ExeDir()));
        HWND main = WaitForMainDialog(p.Id());
        ASSERT_NE(main, nullptr);
        ASSERT_TRUE(TypeText(main, kTemplate, "Trip"));
        PressTransfer(main);
        HWND box = WaitForMessageBox(p.Id(), PixresString(c.message));
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(WindowText(box), PixresString(143));
        if (c.message == 236) {
            EXPECT_TRUE(Screenshot("destination_read_only", {p.Id()}));
        }
        ASSERT_TRUE(ClickButton(box, IDOK));

        main = WaitForMainDialog(p.Id());
        ASSERT_NE(main, nullptr);
        EXPECT_EQ(ControlText(main, kDestPath), c.destination);
        EXPECT_EQ(ControlText(main, kTemplate), "Trip");
        EXPECT_EQ(CheckState(main, kUseTemplate), BST_CHECKED);
        ExitProgram(p, main);
        EXPECT_EQ(testreg::Read("Destination")->Text(), c.destination);
        EXPECT_EQ(testreg::Read("Template")->Text(), "Trip");
    }
}

TEST(Startup, TransferSavesTheChoicesAndTheWorkerSendsTheUserBack)
{
    testreg::CleanKey clean;
    TempDir dest("pixalon_dest_");
    testreg::WriteText("Destination", dest.path);
    Process p;
    ASSERT_TRUE(p.Start(Exe(), "", ExeDir()));
    HWND main = WaitForMainDialog(p.Id());
    ASSERT_NE(main, nullptr);
    // A real click on the radio, which checks it before the dialog hears of it.
    PostMessageA(Control(main, kUseTemplate), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return IsEnabled(main, kTemplate); }));
    EXPECT_EQ(CheckState(main, kUseExisting), BST_UNCHECKED);
    ASSERT_TRUE(TypeText(main, kTemplate, "Trip"));
    PressTransfer(main);

    HWND box = WaitForMessageBox(p.Id(), "Transferring pictures is not available in this build.");
    ASSERT_NE(box, nullptr);
    HWND progress = WaitForDialogWith(p.Id(), kProgressBar);
    ASSERT_NE(progress, nullptr);
    EXPECT_TRUE(WaitUntil([&] { return WindowText(progress) == kTitle; }));
    EXPECT_EQ(ControlText(progress, kProgressStatus), PixresString(172));
    EXPECT_NE(GetWindowLongA(progress, GWL_EXSTYLE) & WS_EX_TOPMOST, 0) << "always on top by default";
    RECT rc{};
    GetWindowRect(progress, &rc);
    EXPECT_TRUE(Screenshot("transfer_started", {p.Id()}));

    EXPECT_EQ(testreg::Read("Destination")->Text(), dest.path);
    EXPECT_EQ(testreg::Read("Template")->Text(), "Trip");
    EXPECT_EQ(testreg::Read("IfUseCameraName")->Number(), 0u);
    EXPECT_FALSE(testreg::Read("ProgressDlgPosX"));

    ASSERT_TRUE(ClickButton(box, IDOK));
    main = WaitForMainDialog(p.Id());
    ASSERT_NE(main, nullptr);
    EXPECT_FALSE(IsWindowVisible(progress));
    EXPECT_EQ(ControlText(main, kDestPath), dest.path);
    ExitProgram(p, main);

    // The progress window was shown, so its position is kept when it goes.
    auto x = testreg::Read("ProgressDlgPosX"), y = testreg::Read("ProgressDlgPosY");
    ASSERT_TRUE(x && y);
    EXPECT_EQ(x->type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(static_cast<LONG>(x->Number()), rc.left);
    EXPECT_EQ(static_cast<LONG>(y->Number()), rc.top);
}

}  // namespace
