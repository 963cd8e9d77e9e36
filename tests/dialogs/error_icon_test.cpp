// The error dialog's taskbar icon while minimised, in-process: Wine does not
// answer WM_GETICON across processes, so the dialog runs here and a second
// thread plays the user.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <set>
#include <thread>

#include "app/ErrorDlg.h"
#include "guitest.h"
#include "winui/Resources.h"

namespace {

using guitest::WaitUntil;

TEST(ErrorDialogIcon, WhileMinimisedItCyclesThroughFourFramesAndComesBackWhenRestored)
{
    HMODULE pixres = LoadLibraryA("PIXRES.DLL");
    ASSERT_NE(pixres, nullptr);
    winui::SetResourceModule(pixres);

    DWORD_PTR normal = 0;
    std::set<DWORD_PTR> frames;
    bool restored = false;
    std::thread user([&] {
        HWND dlg = nullptr;
        WaitUntil([&] {
            const auto mine = guitest::FindTopWindows({"", "#32770", GetCurrentProcessId()});
            return (dlg = mine.empty() ? nullptr : mine.front()) != nullptr;
        });
        if (!dlg) return;
        auto icon = [&] { return static_cast<DWORD_PTR>(SendMessageA(dlg, WM_GETICON, ICON_BIG, 0)); };
        normal = icon();
        ShowWindow(dlg, SW_MINIMIZE);
        WaitUntil([&] {
            const DWORD_PTR h = icon();
            if (h != normal) frames.insert(h);
            return frames.size() >= 4;
        });
        ShowWindow(dlg, SW_RESTORE);
        restored = WaitUntil([&] { return icon() == normal; });
        PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(4, BN_CLICKED), 0);
    });
    CErrorDlg dialog(kErrorMemory, 0, 1, "PICT0007.HCR");
    dialog.DoModal();
    user.join();

    EXPECT_NE(normal, 0u);
    EXPECT_EQ(frames.size(), 4u);
    EXPECT_EQ(frames.count(normal), 0u);
    EXPECT_TRUE(restored);
    EXPECT_EQ(dialog.Answer, kAnswerRetry);
}

}  // namespace
