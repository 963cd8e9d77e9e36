#include "app/MainDlg.h"

#include "resources/resource.h"
#include "winui/Controls.h"
#include "winui/Resources.h"

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
    SendMessageA(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    SendMessageA(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
    UpdateTransferButton();
    EnableItem(IDC_MAIN_TEMPLATE, NameTemplateCheck == 1);
    SetFocus(Item(IDC_MAIN_BROWSE));
    return false;
}

void CMainDlg::ClearSelection()
{
    settings_.CameraPictureList.clear();
    settings_.DiskFileList.clear();
    settings_.DiskFileInfoList.clear();
}

void CMainDlg::UpdateTransferButton()
{
    const bool any = !settings_.CameraPictureList.empty() || !settings_.DiskFileList.empty();
    EnableItem(IDC_MAIN_TRANSFER, any);
    EnableItem(IDC_MAIN_TRANSFER_LABEL, any);
}

LRESULT CMainDlg::OnDestroy(WPARAM, LPARAM)
{
    settings_.Template = ItemText(IDC_MAIN_TEMPLATE);
    SaveSettings(settings_);
    return Default();
}

void CMainDlg::OnUseExistingNames()
{
    if (winui::Button(Item(IDC_MAIN_USE_EXISTING)).Checked()) EnableItem(IDC_MAIN_TEMPLATE, false);
}

void CMainDlg::OnUseNameTemplate()
{
    if (winui::Button(Item(IDC_MAIN_USE_TEMPLATE)).Checked()) {
        EnableItem(IDC_MAIN_TEMPLATE, true);
        SetFocus(Item(IDC_MAIN_TEMPLATE));
    }
}
