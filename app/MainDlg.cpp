#include "app/MainDlg.h"

#include <algorithm>

#include "app/Help.h"
#include "app/PreferencesDlg.h"
#include "app/Welcome.h"
#include "resources/resource.h"
#include "winui/Resources.h"
#include "winui/StatusHelp.h"

namespace {

// The first byte of the album name the camera gives pictures outside any album.
constexpr unsigned char kRootAlbumMarker = 0xFF;

std::string SelectedCountText(size_t count)
{
    return winui::Format("%d %s.", static_cast<int>(count), winui::LoadText(IDS_PICTURES_SELECTED).c_str());
}

}  // namespace

unsigned CameraTypeTextId(std::int32_t cameraType)
{
    switch (cameraType) {
    case kCameraAvena: return IDS_CAMERA_AVENA;
    case kCameraBelva: return IDS_CAMERA_BELVA;
    default: return IDS_CAMERA_CIRRA;
    }
}

CMainDlg::CMainDlg(TransferSettings& settings, HWND parent)
    : winui::Dialog(IDD_MAIN, parent),
      settings_(settings),
      icon_(winui::LoadResourceIcon(IDI_APP)),
      smallIcon_(winui::LoadResourceIcon(IDI_APP, true))
{
}

void CMainDlg::DoDataExchange(winui::DataExchange& dx)
{
    dx.Control(IDC_MAIN_BROWSE, browse_);
    dx.Control(IDC_MAIN_STATUS, statusLine_);
    dx.Control(IDC_MAIN_TRANSFER_LABEL, transferLabel_);
    dx.Control(IDC_MAIN_TEMPLATE, template_);
    dx.Control(IDC_MAIN_EXIT, exit_);
    dx.Control(IDC_MAIN_HELP, help_);
    dx.Control(IDC_MAIN_TRANSFER, transfer_);
    dx.Control(IDC_MAIN_PREFERENCES, preferences_);
    dx.Control(IDC_MAIN_GET_ALL, getAll_);
    dx.Control(IDC_MAIN_GET_FROM_DISK, getFromDisk_);
    dx.Control(IDC_MAIN_GET_SELECTED, getSelected_);
    dx.Text(IDC_MAIN_DEST_PATH, DestinationText);
    dx.Text(IDC_MAIN_TEMPLATE, TemplateText);
    dx.Text(IDC_MAIN_SOURCE_FOLDER, SourceFolderText);
    dx.Text(IDC_MAIN_CAMERA_TYPE, CameraTypeText);
    dx.Text(IDC_MAIN_DEST_NAME, DestinationFolderName);
    dx.Text(IDC_MAIN_STATUS, StatusText);
    dx.Check(IDC_MAIN_USE_EXISTING, UseExistingCheck);
    dx.Check(IDC_MAIN_USE_TEMPLATE, NameTemplateCheck);
}

bool CMainDlg::Dispatch(const winui::Message& m, LRESULT& result)
{
    static const winui::MessageMap<CMainDlg> map{
        winui::OnMessage(WM_DESTROY, &CMainDlg::OnDestroy),
        winui::OnMessage(WM_DRAWITEM, &CMainDlg::OnDrawItem),
        winui::OnMessage(WM_SYSCOMMAND, &CMainDlg::OnSysCommand),
        winui::OnMessage(WM_SETCURSOR, &CMainDlg::OnSetCursor),
        winui::OnMessage(WM_SETFOCUS, &CMainDlg::OnSetFocus),
        winui::OnCommand(IDC_MAIN_BROWSE, &CMainDlg::OnBrowse),
        winui::OnCommand(IDC_MAIN_PREFERENCES, &CMainDlg::OnPreferences),
        winui::OnCommand(IDC_MAIN_GET_ALL, &CMainDlg::OnGetAll),
        winui::OnCommand(IDC_MAIN_GET_SELECTED, &CMainDlg::OnGetSelected),
        winui::OnCommand(IDC_MAIN_GET_FROM_DISK, &CMainDlg::OnGetFromDisk),
        winui::OnCommand(IDC_MAIN_USE_EXISTING, &CMainDlg::OnUseExistingNames),
        winui::OnCommand(IDC_MAIN_USE_TEMPLATE, &CMainDlg::OnUseNameTemplate),
    };
    return map.Dispatch(*this, m, result) || winui::Dialog::Dispatch(m, result);
}

int CMainDlg::OnCreate(CREATESTRUCTA&)
{
    HMENU menu = GetSystemMenu(Handle(), FALSE);
    for (UINT command : {SC_MAXIMIZE, SC_SIZE}) EnableMenuItem(menu, command, MF_BYCOMMAND | MF_GRAYED | MF_DISABLED);
    return 0;
}

bool CMainDlg::OnInitDialog()
{
    winui::Dialog::OnInitDialog();

    const std::string about = winui::LoadText(IDS_ABOUT);
    if (!about.empty()) {
        HMENU menu = GetSystemMenu(Handle(), FALSE);
        AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(menu, MF_STRING, kAboutCommand, about.c_str());
    }
    SendMessageA(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    SendMessageA(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));

    // The pressed face doubles as the focused one (it carries the black frame).
    getAll_.LoadBitmaps(IDB_GET_ALL_NORMAL, IDB_GET_ALL_PRESSED, IDB_GET_ALL_PRESSED);
    getSelected_.LoadBitmaps(IDB_GET_SELECTED_NORMAL, IDB_GET_SELECTED_PRESSED, IDB_GET_SELECTED_PRESSED);
    getFromDisk_.LoadBitmaps(IDB_GET_FROM_DISK_NORMAL, IDB_GET_FROM_DISK_PRESSED, IDB_GET_FROM_DISK_PRESSED);
    help_.LoadBitmaps(IDB_HELP_NORMAL, IDB_HELP_PRESSED, IDB_HELP_PRESSED);
    preferences_.LoadBitmaps(IDB_PREFERENCES_NORMAL, IDB_PREFERENCES_PRESSED, IDB_PREFERENCES_PRESSED);
    transfer_.LoadBitmaps(IDB_TRANSFER_NORMAL, IDB_TRANSFER_PRESSED, IDB_TRANSFER_PRESSED, IDB_TRANSFER_DISABLED);
    exit_.LoadBitmaps(IDB_EXIT_NORMAL, IDB_EXIT_PRESSED, IDB_EXIT_PRESSED);

    ShowSourceText();
    UpdateTransferButton();
    template_.Enable(NameTemplateCheck == 1);
    FocusBrowse();
    return false;
}

void CMainDlg::ShowSourceText()
{
    switch (SourceState) {
    case kAllCameraPictures:
        SetItemText(IDC_MAIN_ALL_COUNT, SelectedCountText(settings_.CameraPictureList.size()));
        break;
    case kPickedDiskFiles:
        SetItemText(IDC_MAIN_DISK_COUNT, SelectedCountText(settings_.DiskFileList.size()));
        break;
    case kSomeCameraPictures:
    case kEveryCameraPicturePicked: ShowCameraSelectionText(); break;
    default: break;
    }
}

// "5 pictures selected (of 20 stored)."
void CMainDlg::ShowCameraSelectionText()
{
    const std::string text =
        winui::Format("%d %s ", static_cast<int>(settings_.CameraPictureList.size()),
                      winui::LoadText(IDS_PICTURES_SELECTED).c_str()) +
        winui::LoadText(IDS_OF_STORED_OPEN) + winui::Format(" %d ", static_cast<int>(CameraPictureCount)) +
        winui::LoadText(IDS_OF_STORED_CLOSE);
    SetItemText(IDC_MAIN_SELECTED_COUNT, text);
}

void CMainDlg::ClearSourceTexts()
{
    for (int id : {IDC_MAIN_ALL_COUNT, IDC_MAIN_SELECTED_COUNT, IDC_MAIN_DISK_COUNT}) SetItemText(id, "");
}

void CMainDlg::FocusBrowse() { browse_.Focus(); }

void CMainDlg::ClearSelection()
{
    settings_.CameraPictureList.clear();
    settings_.DiskFileList.clear();
    settings_.DiskFileInfoList.clear();
}

void CMainDlg::UpdateTransferButton()
{
    const bool any = !settings_.CameraPictureList.empty() || !settings_.DiskFileList.empty();
    transfer_.Enable(any);
    transferLabel_.Enable(any);
}

LRESULT CMainDlg::OnDestroy(WPARAM, LPARAM)
{
    settings_.Template = template_.Text();
    SaveSettings(settings_);
    CloseHelp();
    return Default();
}

LRESULT CMainDlg::OnDrawItem(WPARAM, LPARAM item)
{
    const auto& draw = *reinterpret_cast<const DRAWITEMSTRUCT*>(item);
    for (const winui::BitmapButton* button :
         {&exit_, &help_, &transfer_, &preferences_, &getAll_, &getFromDisk_, &getSelected_})
        if (button->DrawItem(draw)) return TRUE;
    return Default();
}

LRESULT CMainDlg::OnSysCommand(WPARAM command, LPARAM)
{
    if ((command & 0xFFF0) != kAboutCommand) return Default();
    settings_.IfWelcomeScreen = RunWelcomeScreen(false, settings_.IfWelcomeScreen);
    return 0;
}

LRESULT CMainDlg::OnSetCursor(WPARAM wp, LPARAM)
{
    HWND under = winui::ControlUnderMouse(Handle(), reinterpret_cast<HWND>(wp));
    const UINT id = winui::StatusHelpFor(Handle(), under,
                                         {
                                             {IDC_MAIN_TRANSFER, IDS_TIP_TRANSFER},
                                             {IDC_MAIN_EXIT, IDS_TIP_EXIT},
                                             {IDC_MAIN_HELP, IDS_TIP_HELP},
                                             {IDC_MAIN_PREFERENCES, IDS_TIP_PREFERENCES},
                                             {IDC_MAIN_GET_ALL, IDS_TIP_GET_ALL},
                                             {IDC_MAIN_GET_SELECTED, IDS_TIP_GET_SELECTED},
                                             {IDC_MAIN_GET_FROM_DISK, IDS_TIP_GET_FROM_DISK},
                                             {IDC_MAIN_BROWSE, IDS_TIP_BROWSE},
                                             {IDC_MAIN_DEST_PATH, IDS_TIP_DESTINATION},
                                             {IDC_MAIN_TEMPLATE, IDS_TIP_TEMPLATE},
                                             {IDC_MAIN_USE_EXISTING, IDS_TIP_USE_EXISTING},
                                             {IDC_MAIN_USE_TEMPLATE, IDS_TIP_USE_TEMPLATE},
                                             {IDC_MAIN_CAMERA_TYPE, IDS_TIP_CAMERA_TYPE},
                                         },
                                         IDS_BLANK);
    std::string text = winui::LoadText(id);
    if (id == IDS_TIP_GET_FROM_DISK) text += settings_.DesktopName;
    winui::SetTextIfChanged(statusLine_.Handle(), text.c_str());
    return Default();
}

LRESULT CMainDlg::OnSetFocus(WPARAM, LPARAM)
{
    const LRESULT result = Default();
    FocusBrowse();
    return result;
}

void CMainDlg::OnUseExistingNames()
{
    if (winui::Button(Item(IDC_MAIN_USE_EXISTING)).Checked()) template_.Enable(false);
}

void CMainDlg::OnUseNameTemplate()
{
    if (winui::Button(Item(IDC_MAIN_USE_TEMPLATE)).Checked()) {
        template_.Enable(true);
        template_.Focus();
    }
}

void CMainDlg::OnPreferences()
{
    CPreferencesDlg preferences(settings_, nullptr);
    if (preferences.DoModal() != IDOK) return;

    const std::int32_t cameraType = CameraTypeForIndex(preferences.Values.CameraIndex);
    if (cameraType != settings_.CameraType &&
        (!settings_.CameraPictureList.empty() || !settings_.DiskFileList.empty())) {
        // Pictures chosen for one camera model cannot be fetched with another.
        MessageBoxA(Handle(), winui::LoadText(IDS_CAMERA_CHANGED).c_str(), winui::LoadText(IDS_APP_TITLE).c_str(),
                    MB_ICONEXCLAMATION);
        ClearSelection();
        // Nothing is chosen any more: neither the texts nor Transfer may say otherwise.
        ClearSourceTexts();
        SourceState = kNoSourceYet;
        UpdateTransferButton();
    }
    ApplyPreferences(preferences.Values, settings_);
    CameraTypeText = winui::LoadText(CameraTypeTextId(settings_.CameraType));
    SetItemText(IDC_MAIN_CAMERA_TYPE, CameraTypeText);
}

// The camera selection, the disk selection and the destination browser come
// with the next steps of the program. Until then their buttons say so
// instead of pretending to choose anything.
void CMainDlg::ShowNotAvailableYet()
{
    MessageBoxA(Handle(), winui::LoadText(IDS_NOT_AVAILABLE_YET).c_str(), winui::LoadText(IDS_APP_TITLE).c_str(),
                MB_ICONINFORMATION);
    FocusBrowse();
}

void CMainDlg::OnBrowse() { ShowNotAvailableYet(); }
void CMainDlg::OnGetAll() { ShowNotAvailableYet(); }
void CMainDlg::OnGetSelected() { ShowNotAvailableYet(); }
void CMainDlg::OnGetFromDisk() { ShowNotAvailableYet(); }

void CMainDlg::TakeAllCameraPictures(std::vector<std::unique_ptr<CameraPictureRecord>>& received)
{
    settings_.TransferSource = kSourceAllCamera;
    if (received.empty()) {
        // The previous selection, if any, stays.
        SetItemText(IDC_MAIN_ALL_COUNT, winui::LoadText(IDS_NO_PICTURE_FOUND));
        FocusBrowse();
    } else {
        ClearSelection();
        SourceState = kAllCameraPictures;
        const bool cirra = settings_.CameraType == kCameraCirra;
        for (auto& record : received) {
            // Pictures outside every album carry a marker instead of an album name.
            if (cirra && static_cast<unsigned char>(record->AlbumName[0]) == kRootAlbumMarker)
                std::fill(std::begin(record->AlbumName), std::end(record->AlbumName), '\0');
            settings_.CameraPictureList.push_back(std::move(record));
        }
        SetItemText(IDC_MAIN_ALL_COUNT, SelectedCountText(settings_.CameraPictureList.size()));
        SetItemText(IDC_MAIN_SELECTED_COUNT, "");
        SetItemText(IDC_MAIN_DISK_COUNT, "");
        CameraPictureCount = static_cast<std::int32_t>(received.size());
        received.clear();
    }
    UpdateTransferButton();
}

void CMainDlg::TakePickedCameraPictures(std::vector<std::unique_ptr<CameraPictureRecord>>& received,
                                        std::int32_t storedCount)
{
    settings_.TransferSource = kSourcePickedCamera;
    ClearSelection();
    ClearSourceTexts();
    const size_t count = received.size();
    if (received.empty()) {
        FocusBrowse();
    } else {
        for (auto& record : received) settings_.CameraPictureList.push_back(std::move(record));
        CameraPictureCount = storedCount;
        ShowCameraSelectionText();
    }
    SourceState = static_cast<std::int32_t>(count) == CameraPictureCount ? kEveryCameraPicturePicked
                                                                          : kSomeCameraPictures;
    received.clear();
    UpdateTransferButton();
}

void CMainDlg::TakePickedDiskFiles(std::vector<std::string>& paths, std::vector<std::string>& infos)
{
    settings_.TransferSource = kSourcePickedDisk;
    ClearSelection();
    ClearSourceTexts();
    SourceState = kPickedDiskFiles;
    if (paths.empty()) {
        FocusBrowse();
    } else {
        for (size_t i = 0; i < paths.size(); ++i) {
            settings_.DiskFileList.push_back(std::move(paths[i]));
            settings_.DiskFileInfoList.push_back(i < infos.size() ? std::move(infos[i]) : std::string());
        }
        SetItemText(IDC_MAIN_DISK_COUNT, SelectedCountText(settings_.DiskFileList.size()));
    }
    paths.clear();
    infos.clear();
    UpdateTransferButton();
}
