// The window class layer driven through real dialogs: every scenario runs
// inside the dialog's own modal loop, posted from OnInitDialog, so the order
// of events is the order of the posts.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "winui/Controls.h"
#include "winui/Dialog.h"
#include "winui/Guard.h"
#include "winui/Resources.h"
#include "winui/Thread.h"
#include "winui_test.h"

namespace {

constexpr UINT kMsgStep = WM_APP + 3;
constexpr UINT kMsgThrow = WM_APP + 4;
constexpr UINT kMsgEnd = WM_APP + 5;
constexpr UINT kMsgUnmapped = WM_APP + 6;

std::vector<std::string> g_log;
std::vector<std::string> g_edits;  // EN_CHANGE comes with every text change, also the exchange's
int g_reports = 0;
void CountReport() { ++g_reports; }

class WinuiTest : public testing::Test {
protected:
    void SetUp() override
    {
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_PROGRESS_CLASS};
        InitCommonControlsEx(&icc);
        g_log.clear();
        g_edits.clear();
        g_reports = 0;
        winui::SetErrorReporter(&CountReport);
    }
    void TearDown() override { winui::SetErrorReporter(nullptr); }
};

// A dialog whose behaviour each test scripts.
class ScriptDlg : public winui::Dialog {
public:
    ScriptDlg() : winui::Dialog(IDD_TEST) {}

    std::string Name;
    int Count = 0;
    int Checked = 0;
    std::function<int(ScriptDlg&)> onCreate;
    std::function<void(ScriptDlg&)> onInit;
    int finalMessages = 0;

protected:
    void DoDataExchange(winui::DataExchange& dx) override
    {
        dx.Text(IDC_TEST_EDIT, Name);
        dx.Text(IDC_TEST_COUNT, Count);
        dx.Check(IDC_TEST_CHECK, Checked);
    }
    int OnCreate(CREATESTRUCTA& cs) override
    {
        g_log.push_back("create");
        return onCreate ? onCreate(*this) : winui::Dialog::OnCreate(cs);
    }
    bool OnInitDialog() override
    {
        g_log.push_back("init");
        winui::Dialog::OnInitDialog();
        if (onInit) onInit(*this);
        return true;
    }
    void OnFinalMessage() override { ++finalMessages; }

    bool Dispatch(const winui::Message& m, LRESULT& result) override
    {
        static const winui::MessageMap<ScriptDlg> map{
            winui::OnCommand(IDC_TEST_ACT, &ScriptDlg::OnAct),
            winui::OnControl(IDC_TEST_EDIT, EN_CHANGE, &ScriptDlg::OnEditChanged),
            winui::OnNotify(IDC_TEST_BAR, NM_CLICK, &ScriptDlg::OnBarClicked),
            winui::OnMessage(kMsgStep, &ScriptDlg::OnStep),
            winui::OnMessage(kMsgThrow, &ScriptDlg::OnThrow),
            winui::OnMessage(kMsgEnd, &ScriptDlg::OnEnd),
        };
        return map.Dispatch(*this, m, result) || winui::Dialog::Dispatch(m, result);
    }

private:
    void OnAct() { g_log.push_back("act"); }
    void OnEditChanged() { g_edits.push_back(ItemText(IDC_TEST_EDIT)); }
    LRESULT OnBarClicked(NMHDR& h) { g_log.push_back("notify:" + std::to_string(h.idFrom)); return 99; }
    LRESULT OnStep(WPARAM wp, LPARAM) { g_log.push_back("step:" + std::to_string(wp)); return 0; }
    LRESULT OnThrow(WPARAM wp, LPARAM)
    {
        if (wp == 1) throw std::bad_alloc();
        throw std::runtime_error("escaped");
    }
    LRESULT OnEnd(WPARAM wp, LPARAM)
    {
        EndDialog(static_cast<INT_PTR>(wp));
        return 0;
    }
};

void Post(HWND wnd, UINT msg, WPARAM wp = 0, LPARAM lp = 0) { ASSERT_TRUE(PostMessageA(wnd, msg, wp, lp)); }
void Click(HWND wnd, int id) { Post(wnd, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

TEST_F(WinuiTest, DataExchangeMovesMembersBothWays)
{
    ScriptDlg dlg;
    dlg.Name = "Pict";
    dlg.Count = 5;
    dlg.Checked = 1;
    dlg.onInit = [](ScriptDlg& d) {
        EXPECT_EQ(d.ItemText(IDC_TEST_EDIT), "Pict");
        EXPECT_EQ(d.ItemText(IDC_TEST_COUNT), "5");
        EXPECT_EQ(winui::Button(d.Item(IDC_TEST_CHECK)).Checked(), 1);
        d.SetItemText(IDC_TEST_EDIT, "Holiday");
        d.SetItemText(IDC_TEST_COUNT, " -42 ");
        winui::Button(d.Item(IDC_TEST_CHECK)).SetChecked(false);
        Click(d.Handle(), IDOK);
    };
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.Name, "Holiday");
    EXPECT_EQ(dlg.Count, -42);
    EXPECT_EQ(dlg.Checked, 0);
}

TEST_F(WinuiTest, OkIsRefusedWhileANumberFieldHoldsNoNumber)
{
    for (const char* bad : {"4x", "", "99999999999", "-"}) {
        ScriptDlg dlg;
        dlg.Count = 5;
        dlg.onInit = [bad](ScriptDlg& d) {
            d.SetItemText(IDC_TEST_COUNT, bad);
            Click(d.Handle(), IDOK);  // refused: the dialog stays
            Post(d.Handle(), kMsgStep, 1);
            Click(d.Handle(), IDCANCEL);
        };
        EXPECT_EQ(dlg.DoModal(), IDCANCEL) << bad;
        EXPECT_EQ(dlg.Count, 5) << bad;
        EXPECT_EQ(g_log.back(), "step:1") << bad;
    }
}

TEST_F(WinuiTest, MessageMapRoutesMessagesCommandsAndNotifications)
{
    ScriptDlg dlg;
    LRESULT notifyResult = 0, unmappedResult = -5;
    dlg.onInit = [&](ScriptDlg& d) {
        g_log.clear();
        Click(d.Handle(), IDC_TEST_ACT);
        Post(d.Handle(), kMsgStep, 7);
        d.SetItemText(IDC_TEST_EDIT, "typed");  // EN_CHANGE arrives at once
        NMHDR h{d.Item(IDC_TEST_BAR), IDC_TEST_BAR, NM_CLICK};
        notifyResult = SendMessageA(d.Handle(), WM_NOTIFY, IDC_TEST_BAR, reinterpret_cast<LPARAM>(&h));
        unmappedResult = SendMessageA(d.Handle(), kMsgUnmapped, 0, 0);
        // A notification code the map does not list is not the command.
        Post(d.Handle(), WM_COMMAND, MAKEWPARAM(IDC_TEST_ACT, BN_SETFOCUS), 0);
        Post(d.Handle(), kMsgEnd, 55);
    };
    EXPECT_EQ(dlg.DoModal(), 55);
    EXPECT_EQ(g_log, (std::vector<std::string>{"notify:1005", "act", "step:7"}));
    ASSERT_FALSE(g_edits.empty());
    EXPECT_EQ(g_edits.back(), "typed");
    EXPECT_EQ(notifyResult, 99);
    EXPECT_EQ(unmappedResult, 0);
    EXPECT_EQ(dlg.Handle(), nullptr);
    EXPECT_EQ(dlg.finalMessages, 1);
}

TEST_F(WinuiTest, OnCreateCanFailTheModalRun)
{
    ScriptDlg dlg;
    dlg.onCreate = [](ScriptDlg& d) {
        EXPECT_EQ(winui::Dialog::FromHandle(d.Handle()), &d);
        EXPECT_EQ(d.Item(IDC_TEST_EDIT), nullptr) << "controls come after WM_CREATE";
        return -1;
    };
    EXPECT_EQ(dlg.DoModal(), -1);
    EXPECT_EQ(g_log, (std::vector<std::string>{"create"}));
    EXPECT_EQ(dlg.Handle(), nullptr);
    EXPECT_EQ(dlg.finalMessages, 1);

    // The same object runs normally afterwards.
    g_log.clear();
    dlg.onCreate = nullptr;
    dlg.onInit = [](ScriptDlg& d) { Post(d.Handle(), kMsgEnd, 9); };
    EXPECT_EQ(dlg.DoModal(), 9);
    EXPECT_EQ(g_log, (std::vector<std::string>{"create", "init"}));
}

TEST_F(WinuiTest, ModalRunsNestInsideOnCreate)
{
    ScriptDlg outer, inner;
    INT_PTR innerResult = 0;
    inner.onInit = [](ScriptDlg& d) { Post(d.Handle(), kMsgEnd, 7); };
    outer.onCreate = [&](ScriptDlg& d) {
        innerResult = inner.DoModal();
        g_log.push_back(winui::Dialog::FromHandle(d.Handle()) == &d ? "outer still attached" : "outer lost");
        return 0;
    };
    outer.onInit = [](ScriptDlg& d) { Post(d.Handle(), kMsgEnd, 8); };
    EXPECT_EQ(outer.DoModal(), 8);
    EXPECT_EQ(innerResult, 7);
    EXPECT_EQ(g_log, (std::vector<std::string>{"create", "create", "init", "outer still attached", "init"}));
}

TEST_F(WinuiTest, EscapingExceptionsAreReportedAndTheDialogGoesOn)
{
    ScriptDlg dlg;
    dlg.onInit = [](ScriptDlg& d) {
        Post(d.Handle(), kMsgThrow, 1);  // std::bad_alloc
        Post(d.Handle(), kMsgThrow, 2);  // anything else
        Post(d.Handle(), kMsgStep, 3);
        Post(d.Handle(), kMsgEnd, 4);
    };
    EXPECT_EQ(dlg.DoModal(), 4);
    EXPECT_EQ(g_reports, 2);
    EXPECT_EQ(g_log.back(), "step:3");

    // An exception in OnCreate fails the creation.
    ScriptDlg failing;
    failing.onCreate = [](ScriptDlg&) -> int { throw std::bad_alloc(); };
    EXPECT_EQ(failing.DoModal(), -1);
    EXPECT_EQ(g_reports, 3);

    // A reporter that throws itself is contained too.
    winui::SetErrorReporter([] { throw std::bad_alloc(); });
    ScriptDlg again;
    again.onInit = [](ScriptDlg& d) {
        Post(d.Handle(), kMsgThrow, 1);
        Post(d.Handle(), kMsgEnd, 5);
    };
    EXPECT_EQ(again.DoModal(), 5);
}

TEST_F(WinuiTest, ThreadRoutinesRunGuarded)
{
    winui::Thread thread;
    int seen = 0;
    ASSERT_TRUE(thread.Start([](void* arg) -> unsigned { *static_cast<int*>(arg) = 42; return 3; }, &seen));
    ASSERT_TRUE(thread.Wait(10000));
    DWORD code = 0;
    GetExitCodeThread(thread.Handle(), &code);
    EXPECT_EQ(code, 3u);
    EXPECT_EQ(seen, 42);

    ASSERT_TRUE(thread.Start([](void*) -> unsigned { throw std::bad_alloc(); }, nullptr));
    ASSERT_TRUE(thread.Wait(10000));
    GetExitCodeThread(thread.Handle(), &code);
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(g_reports, 1);
}

TEST_F(WinuiTest, ControlWrappers)
{
    ScriptDlg dlg;
    dlg.onInit = [](ScriptDlg& d) {
        winui::ComboBox combo(d.Item(IDC_TEST_COMBO));
        EXPECT_EQ(combo.Selection(), -1);
        EXPECT_EQ(combo.Add("Avena"), 0);
        EXPECT_EQ(combo.Add("Belva"), 1);
        combo.Select(1);
        EXPECT_EQ(combo.Count(), 2);
        EXPECT_EQ(combo.Selection(), 1);
        EXPECT_EQ(combo.ItemText(1), "Belva");
        EXPECT_EQ(combo.ItemText(5), "");
        combo.Clear();
        EXPECT_EQ(combo.Count(), 0);

        winui::ProgressBar bar(d.Item(IDC_TEST_BAR));
        bar.SetRange(0, 100);
        bar.SetPosition(37);
        EXPECT_EQ(bar.Position(), 37);

        winui::Edit edit(d.Item(IDC_TEST_EDIT));
        edit.SetLimit(4);
        SendMessageA(edit.Handle(), WM_CHAR, 'a', 1);
        for (char c : std::string("bcdef")) SendMessageA(edit.Handle(), WM_CHAR, c, 1);
        EXPECT_EQ(edit.Text(), "abcd");

        winui::Window label(d.Item(IDC_TEST_LABEL));
        label.Enable(false);
        EXPECT_FALSE(label.IsEnabled());
        Post(d.Handle(), kMsgEnd, 1);
    };
    EXPECT_EQ(dlg.DoModal(), 1);
}

TEST_F(WinuiTest, ModelessDialogLivesUntilEnded)
{
    ScriptDlg dlg;
    dlg.Name = "modeless";
    ASSERT_TRUE(dlg.Create());
    ASSERT_NE(dlg.Handle(), nullptr);
    EXPECT_EQ(dlg.ItemText(IDC_TEST_EDIT), "modeless");
    dlg.EndDialog(IDOK);
    EXPECT_EQ(dlg.Handle(), nullptr);
    EXPECT_EQ(dlg.finalMessages, 1);
}

TEST_F(WinuiTest, MissingTemplateFailsTheRun)
{
    class Missing : public winui::Dialog {
    public:
        Missing() : winui::Dialog(4321) {}
    } dlg;
    EXPECT_EQ(dlg.DoModal(), -1);
    // A window created afterwards is not mistaken for it.
    ScriptDlg next;
    next.onInit = [](ScriptDlg& d) { Post(d.Handle(), kMsgEnd, 2); };
    EXPECT_EQ(next.DoModal(), 2);
}

TEST(WinuiText, LoadsStringsAndMissingOnesAreEmpty)
{
    EXPECT_EQ(winui::LoadText(IDS_TEST_INSERTS), "The path is %1 characters, the limit %2.");
    EXPECT_EQ(winui::LoadText(IDS_TEST_LONG).size(), 600u);
    EXPECT_EQ(winui::LoadText(9999), "");
}

TEST(WinuiText, Formats)
{
    EXPECT_EQ(winui::Format("%d %s.", 5, "pictures selected"), "5 pictures selected.");
    EXPECT_EQ(winui::Format("%s", std::string(1000, 'x').c_str()).size(), 1000u);
    EXPECT_EQ(winui::Format("%s", ""), "");

    struct Case {
        const char* pattern;
        std::initializer_list<std::string_view> inserts;
        const char* expected;
    };
    const Case cases[] = {
        {"The path is %1 characters, the limit %2.", {"300", "260"}, "The path is 300 characters, the limit 260."},
        {"%2%1%2", {"a", "b"}, "bab"},
        {"100%% of %1", {"%2"}, "100% of %2"},  // an insert is not scanned again
        {"%3 and %0 stay", {"a"}, "%3 and %0 stay"},
        {"ends with %", {}, "ends with %"},
        {"character %1.Templates", {"*"}, "character *.Templates"},
    };
    for (const Case& c : cases) EXPECT_EQ(winui::FormatInserts(c.pattern, c.inserts), c.expected) << c.pattern;
}

}  // namespace
