#include "app/ErrorDlg.h"

#include <utility>

#include "app/ProcessState.h"
#include "resources/resource.h"
#include "winui/Resources.h"

namespace {

constexpr UINT_PTR kIconTimer = 1001;
constexpr UINT kIconPeriodMs = 250;

// Which of the four animation frames the next tick shows; shared by every
// error dialog of the process (the worker's and the window thread's).
std::atomic<unsigned> g_animationCounter{0};

constexpr char kLastResortText[] = "Unrecoverable memory error! Please reboot the system and try again.";
constexpr char kLastResortCaption[] = "Error";

std::string Text(UINT id) { return winui::LoadText(id); }

// The error's own description, placed between the quotes of the question.
std::string ErrorDescription(int errorKind, int subCode)
{
    switch (errorKind) {
    case kErrorCamera: return Text(DriverStatusTextId(subCode));
    case kErrorMemory: return Text(IDS_MEMORY_ERROR);
    case kErrorFileAccess: return Text(IDS_FILE_ACCESS_ERROR);
    case kErrorSystem: return Text(IDS_SYSTEM_ERROR);
    case kErrorOutputFile: {
        // A library without this newer string still names the program.
        std::string text = Text(IDS_OUTPUT_FILE_ERROR);
        return text.empty() ? Text(IDS_APP_TITLE) : text;
    }
    default: return {};
    }
}

}  // namespace

UINT DriverStatusTextId(int status)
{
    switch (status) {
    case -1000: return IDS_DRV_BAD_PARAMETER;
    case -1001: return IDS_DRV_CLOSE_FAILED;
    case -1002:
    case -1006: return 0;
    case -1003: return IDS_DRV_NOT_SUPPORTED_BY_CAMERA;
    case -1005: return IDS_DRV_NO_CARD;
    case -1009: return IDS_DRV_IMAGE_PROCESSING;
    case -1010: return IDS_DRV_FIRMWARE_INCOMPATIBLE;
    case -1011: return IDS_DRV_NO_MEMORY;
    case -1013: return IDS_DRV_NOT_OPEN;
    case -1014: return IDS_DRV_NOT_ROM_MODE;
    case -1016: return IDS_DRV_ALREADY_OPEN;
    case -1017: return IDS_DRV_IN_ROM_MODE;
    case -1018: return IDS_DRV_ALREADY_ROM_MODE;
    case -1019: return IDS_DRV_COMPATIBILITY;
    case -1020: return IDS_DRV_OS_ERROR;
    case -1021: return IDS_DRV_CAMERA_NOT_EMPTY;
    case -1022: return IDS_DRV_IMAGE_MEMORY_FULL;
    case -1023: return IDS_DRV_UNKNOWN_CAMERA_TYPE;
    case -1024: return IDS_DRV_NOT_SUPPORTED_BY_SYSTEM;
    case -1025: return IDS_DRV_CANNOT_LOAD_FUNCTION;
    default: return IDS_DRV_UNKNOWN;
    }
}

std::string PictureNameForReport(const std::string& path)
{
    if (path.size() <= 2) return {};
    const size_t slash = path.rfind('\\');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

ErrorForm ComposeErrorForm(int errorKind, int subCode, bool inTransfer, const std::string& itemName)
{
    ErrorForm form;
    if (errorKind == kErrorDestination) {
        if (subCode == kDestinationHoldsSources) {
            form.kind = ErrorForm::Kind::MessageBox;
            form.text = Text(IDS_SOURCE_IN_DESTINATION);
        } else if (subCode == kDestinationNoSpace) {
            form.text = Text(IDS_NO_SPACE);
        } else if (subCode == kDestinationDuplicates) {
            form.text = Text(IDS_DUPLICATE_NAMES);
        }
        return form;
    }

    if (errorKind == kErrorCamera && DriverStatusTextId(subCode) == 0) {
        form.kind = ErrorForm::Kind::CameraNotFound;
        return form;
    }
    const std::string description = ErrorDescription(errorKind, subCode);
    if (!inTransfer) {
        switch (errorKind) {
        case kErrorCamera:
            form.kind = ErrorForm::Kind::MessageBox;
            form.text = Text(IDS_CAMERA_ERROR) + "\n" + description;
            return form;
        case kErrorMemory:
        case kErrorFileAccess:
        case kErrorSystem:
            form.kind = ErrorForm::Kind::MessageBox;
            form.text = description;
            return form;
        default: break;
        }
    }

    form.text = Text(IDS_ERROR_ENCOUNTERED) + " \"" + description + "\" ";
    if (itemName.empty())
        form.text += ".";
    else
        form.text += Text(IDS_ERROR_WHILE_PROCESSING) + " " + itemName + Text(IDS_ERROR_WHAT_TO_DO);

    if (errorKind == kErrorFileAccess && inTransfer) {
        // The two conditions the user can put right get their own explanation;
        // no file access error is worth retrying or skipping.
        if (subCode == ERROR_WRITE_PROTECT) form.text = Text(IDS_DEST_WRITE_PROTECTED);
        if (subCode == ERROR_NOT_READY) form.text = Text(IDS_DEST_NOT_ACCESSIBLE);
        form.cancelOnly = true;
    }
    // The camera link is broken: the rest of the transfer cannot work either.
    if (errorKind == kErrorCamera && inTransfer) form.cancelOnly = true;
    return form;
}

CErrorDlg::CErrorDlg(int errorKind, int subCode, int inTransfer, std::string itemName, HWND parent)
    : winui::Dialog(IDD_ERROR, parent),
      ErrorKind(errorKind),
      SubCode(subCode),
      InTransfer(inTransfer),
      ItemName(std::move(itemName))
{
}

void CErrorDlg::DoDataExchange(winui::DataExchange& dx)
{
    dx.Control(IDC_ERROR_ICON, iconStatic_);
    dx.Control(IDC_ERROR_RETRY, retryButton_);
    dx.Control(IDC_ERROR_CANCEL, cancelButton_);
    dx.Text(IDC_ERROR_TEXT, MessageText);
}

bool CErrorDlg::Dispatch(const winui::Message& m, LRESULT& result)
{
    static const winui::MessageMap<CErrorDlg> map{
        winui::OnMessage(WM_SHOWWINDOW, &CErrorDlg::OnShowWindow),
        winui::OnMessage(WM_SIZE, &CErrorDlg::OnSize),
        winui::OnMessage(WM_TIMER, &CErrorDlg::OnTimer),
        winui::OnCommand(IDC_ERROR_RETRY, &CErrorDlg::OnRetry),
        winui::OnCommand(IDC_ERROR_SKIP, &CErrorDlg::OnSkip),
    };
    return map.Dispatch(*this, m, result) || winui::Dialog::Dispatch(m, result);
}

int CErrorDlg::OnCreate(CREATESTRUCTA&)
{
    try {
        const std::string caption = Text(IDS_APP_TITLE);
        SetWindowTextA(Handle(), caption.c_str());
        const ErrorForm form = ComposeErrorForm(ErrorKind, SubCode, InTransfer != 0, ItemName);
        switch (form.kind) {
        case ErrorForm::Kind::MessageBox:
            MessageBoxA(Handle(), form.text.c_str(), caption.c_str(), MB_ICONHAND);
            Answer = kAnswerCancel;
            return -1;
        case ErrorForm::Kind::CameraNotFound:
            RunCameraNotFoundDialog(nullptr);
            Answer = kAnswerCancel;
            return -1;
        case ErrorForm::Kind::Dialog: break;
        }
        MessageText = form.text;
        if (form.cancelOnly) CancelOnly = 1;
        // The user answers with the buttons; closing the window would be no answer.
        EnableMenuItem(GetSystemMenu(Handle(), FALSE), SC_CLOSE, MF_BYCOMMAND | MF_GRAYED | MF_DISABLED);
        return 0;
    } catch (...) {
        // Most likely out of memory: say so with as little as possible.
        bool shown = false;
        try {
            const std::string text = Text(IDS_MEMORY_ERROR);
            if (!text.empty()) {
                MessageBoxA(nullptr, text.c_str(), Text(IDS_APP_TITLE).c_str(), MB_ICONHAND | MB_TASKMODAL);
                shown = true;
            }
        } catch (...) {
        }
        if (!shown) MessageBoxA(Handle(), kLastResortText, kLastResortCaption, MB_ICONHAND);
        Answer = kAnswerCancel;
        return -1;
    }
}

bool CErrorDlg::OnInitDialog()
{
    winui::Dialog::OnInitDialog();
    SetIcons(IDI_APP);
    if (CancelOnly) {
        retryButton_.Enable(false);
        EnableItem(IDC_ERROR_SKIP, false);
        // Enter must not fall through to a disabled default button.
        SendMessageA(Handle(), DM_SETDEFID, IDCANCEL, 0);
        cancelButton_.Focus();
        return false;
    }
    return true;
}

LRESULT CErrorDlg::OnShowWindow(WPARAM shown, LPARAM)
{
    const LRESULT result = Default();
    if (!shown) return result;
    UINT icon = IDI_ERROR_SIGN;
    if (ErrorKind == kErrorDestination) {
        cancelButton_.SetText(Text(IDS_START_OVER));
        retryButton_.SetText(Text(IDS_REPLACE));
        icon = IDI_WARNING_SIGN;
    }
    iconStatic_.Send(STM_SETICON, reinterpret_cast<WPARAM>(winui::LoadResourceIcon(icon)));
    return result;
}

void CErrorDlg::SetIcons(UINT iconId)
{
    SendMessageA(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(winui::LoadResourceIcon(iconId)));
    SendMessageA(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(winui::LoadResourceIcon(iconId, true)));
}

// While minimised the dialog's taskbar icon cycles through four frames, so a
// waiting question is noticed. The timer runs on the dialog itself: it has no
// parent, and the progress window's timers have meanings of their own.
LRESULT CErrorDlg::OnSize(WPARAM type, LPARAM)
{
    if (type == SIZE_MINIMIZED && !animating_) {
        animating_ = SetTimer(Handle(), kIconTimer, kIconPeriodMs, nullptr) != 0;
    } else if (type == SIZE_RESTORED && animating_) {
        KillTimer(Handle(), kIconTimer);
        animating_ = false;
        SetIcons(IDI_APP);
    }
    return Default();
}

LRESULT CErrorDlg::OnTimer(WPARAM id, LPARAM)
{
    if (id != kIconTimer || !IsIconic(Handle())) return Default();
    static constexpr UINT kFrames[] = {IDI_TARGET_1, IDI_TARGET_2, IDI_TARGET_3, IDI_TARGET_4};
    SetIcons(kFrames[g_animationCounter.fetch_add(1) % 4]);
    return 0;
}

void CErrorDlg::OnRetry()
{
    Answer = kAnswerRetry;
    winui::Dialog::OnCancel();
}

void CErrorDlg::OnSkip()
{
    Answer = kAnswerSkip;
    winui::Dialog::OnCancel();
}

void CErrorDlg::OnCancel()
{
    Answer = kAnswerCancel;
    winui::Dialog::OnCancel();
}

// Enter when no enabled button is the default: never an answer of its own.
void CErrorDlg::OnOK() { OnCancel(); }

void RunCameraNotFoundDialog(HWND parent)
{
    winui::Dialog notice(IDD_CAMERA_NOT_FOUND, parent);
    notice.DoModal();
}

int ReportPictureError(const PersistedSettings& settings, int errorKind, int subCode, const std::string& path)
{
    ++TransferState.ErrorCount;
    if (settings.IfAlertSound) MessageBeep(MB_ICONEXCLAMATION);
    CErrorDlg dialog(errorKind, subCode, 1, PictureNameForReport(path), nullptr);
    dialog.DoModal();
    return dialog.Answer;
}
