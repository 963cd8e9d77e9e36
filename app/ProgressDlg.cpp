#include "app/ProgressDlg.h"

#include "app/ErrorReport.h"
#include "app/MainDlg.h"
#include "app/ProcessState.h"
#include "app/Welcome.h"
#include "resources/resource.h"
#include "transfer/TransferWorker.h"
#include "winui/Resources.h"

namespace {

constexpr UINT_PTR kTitleTimer = 1002;

// Set once the window has been minimised the first time in this process.
bool g_minimizedBefore = false;

}  // namespace

CProgressDlg::CProgressDlg(TransferSettings& settings, HWND parent)
    : winui::Dialog(IDD_PROGRESS, parent),
      settings_(settings),
      icon_(winui::LoadResourceIcon(IDI_APP)),
      smallIcon_(winui::LoadResourceIcon(IDI_APP, true))
{
}

void CProgressDlg::DoDataExchange(winui::DataExchange& dx)
{
    dx.Control(IDC_PROGRESS_BAR, progressBar_);
    dx.Control(IDC_PROGRESS_STATUS, statusLine_);
    dx.Control(IDC_PROGRESS_PAUSE, pauseButton_);
    dx.Text(IDC_PROGRESS_STATUS, StatusText);
}

bool CProgressDlg::Dispatch(const winui::Message& m, LRESULT& result)
{
    static const winui::MessageMap<CProgressDlg> map{
        winui::OnMessage(WM_TIMER, &CProgressDlg::OnTimer),
        winui::OnMessage(WM_DESTROY, &CProgressDlg::OnDestroy),
        winui::OnMessage(WM_WORKER_BACK_TO_MAIN, &CProgressDlg::OnBackToMainDialog),
        winui::OnMessage(WM_WORKER_MINIMIZE, &CProgressDlg::OnMinimize),
    };
    return map.Dispatch(*this, m, result) || winui::Dialog::Dispatch(m, result);
}

int CProgressDlg::OnCreate(CREATESTRUCTA&)
{
    SetClassLongPtrA(Handle(), GCLP_HICON, reinterpret_cast<LONG_PTR>(icon_));
    if (settings_.IfWelcomeScreen) settings_.IfWelcomeScreen = RunWelcomeScreen(true, 1);
    ClearSelection();
    if (!RunMainDialog(1)) return -1;

    // The window only ends with its transfer: it offers no Close, Maximize or Size.
    HMENU menu = GetSystemMenu(Handle(), FALSE);
    for (UINT command : {SC_CLOSE, SC_MAXIMIZE, SC_SIZE})
        EnableMenuItem(menu, command, MF_BYCOMMAND | MF_GRAYED | MF_DISABLED);
    // The title is set once the window runs its own message loop.
    SetTimer(Handle(), kTitleTimer, 1, nullptr);
    return 0;
}

bool CProgressDlg::OnInitDialog()
{
    winui::Dialog::OnInitDialog();
    SendMessageA(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    SendMessageA(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
    return true;
}

void CProgressDlg::ClearSelection()
{
    settings_.CameraPictureList.clear();
    settings_.DiskFileList.clear();
    settings_.DestinationNameList.clear();
}

int CProgressDlg::RunMainDialog(int first)
{
    TransferState.StopRequested = 0;
    TransferState.WriteFailed = 0;
    TransferState.ShowThumbnails = 1;
    TransferState.PauseRequested = 0;
    TransferState.TransferFinished = 0;

    ProgressWindow = Handle();
    ShowWindow(Handle(), SW_HIDE);

    CMainDlg main(settings_, nullptr);
    main.DestinationText = settings_.Destination;
    main.TemplateText = settings_.Template;
    main.SourceFolderText = settings_.DesktopName;
    main.DestinationFolderName = settings_.DesktopName;
    main.CameraTypeText = winui::LoadText(CameraTypeTextId(settings_.CameraType));
    if (settings_.IfUseCameraName)
        main.UseExistingCheck = 1;
    else
        main.NameTemplateCheck = 1;
    if (first == 1) {
        SourceState = 0;
        CameraPictureCount = 0;
    }

    // Until the user leaves or names a destination that exists and can be written to.
    for (;;) {
        main.CameraPictureCount = CameraPictureCount;
        main.SourceState = SourceState;
        const INT_PTR result = main.DoModal();
        CameraPictureCount = main.CameraPictureCount;
        SourceState = main.SourceState;
        if (result != IDOK) {
            ClearSelection();
            EndDialog(IDCANCEL);
            return 0;
        }
        const std::string caption = winui::LoadText(IDS_APP_TITLE);
        const DWORD attributes = GetFileAttributesA(main.DestinationText.c_str());
        UINT refusal = 0;
        if (main.DestinationText.size() < 2)
            refusal = IDS_NO_DESTINATION;
        else if (attributes == INVALID_FILE_ATTRIBUTES)
            refusal = IDS_DEST_NOT_ACCESSIBLE;
        else if (attributes & FILE_ATTRIBUTE_READONLY)
            refusal = IDS_DEST_READ_ONLY;
        if (!refusal) break;
        MessageBoxA(Handle(), winui::LoadText(refusal).c_str(), caption.c_str(), MB_ICONHAND);
    }

    settings_.IfUseCameraName = main.UseExistingCheck == 1 ? 1 : 0;
    settings_.Destination = main.DestinationText;
    settings_.Template = main.TemplateText;
    SaveSettings(settings_);

    ShowWindow(Handle(), SW_SHOW);
    shown_ = true;
    Running = 1;
    if (!WorkerThread.Start(&TransferWorker, &settings_)) {
        // Nothing runs that could ever ask for the main dialog again: ask ourselves.
        ReportError(kErrorSystem, 0, false, {});
        PostMessageA(Handle(), WM_WORKER_BACK_TO_MAIN, 0, 0);
    }
    StatusText = winui::LoadText(IDS_OPENING_CAMERA);
    if (!settings_.IfShowProgress) PostMessageA(Handle(), WM_WORKER_MINIMIZE, 0, 0);
    if (settings_.IfAlwaysOnTop) SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 10, 10, SWP_NOSIZE | SWP_NOMOVE);
    return 1;
}

void CProgressDlg::OnOK()
{
    TransferState.StopRequested = 1;
    if (!Running) {
        // A paused worker has to run to see the request.
        Running = 1;
        TransferState.PauseRequested = 0;
        WorkerThread.Resume();
    }
}

void CProgressDlg::OnCancel() {}

LRESULT CProgressDlg::OnTimer(WPARAM id, LPARAM)
{
    if (id == kTitleTimer) {
        KillTimer(Handle(), kTitleTimer);
        SetWindowTextA(Handle(), winui::LoadText(IDS_APP_TITLE).c_str());
    }
    return Default();
}

LRESULT CProgressDlg::OnBackToMainDialog(WPARAM, LPARAM)
{
    RunMainDialog(0);
    return 0;
}

LRESULT CProgressDlg::OnMinimize(WPARAM, LPARAM)
{
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    GetWindowPlacement(Handle(), &placement);
    placement.showCmd = SW_MINIMIZE;
    if (!g_minimizedBefore) {
        g_minimizedBefore = true;
        GetWindowRect(Handle(), &placement.rcNormalPosition);
    }
    SetWindowPlacement(Handle(), &placement);
    return 0;
}

LRESULT CProgressDlg::OnDestroy(WPARAM, LPARAM)
{
    const LRESULT result = Default();
    ProgressWindow = nullptr;
    // The position of a minimised window is off-screen, and one that was
    // never shown has none worth keeping: keep the stored one then.
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    if (!shown_ || IsIconic(Handle()) || !GetWindowPlacement(Handle(), &placement) ||
        placement.showCmd == SW_MINIMIZE || placement.showCmd == SW_SHOWMINIMIZED)
        return result;
    RECT rc{};
    GetWindowRect(Handle(), &rc);
    settings_.ProgressDlgPosX = rc.left;
    settings_.ProgressDlgPosY = rc.top;
    SaveProgressWindowPosition(rc.left, rc.top);
    return result;
}
