#include "app/PreferencesDlg.h"

#include "resources/resource.h"
#include "winui/Resources.h"
#include "winui/StatusHelp.h"

namespace {

// Speeds in list order, hundreds of baud; the Avena cannot do the first.
constexpr std::int32_t kBitRates[] = {2304, 1152, 576, 384, 192, 96};
constexpr UINT kSpeedTexts[] = {IDS_SPEED_2304, IDS_SPEED_1152, IDS_SPEED_576,
                                IDS_SPEED_384,  IDS_SPEED_192,  IDS_SPEED_96};
constexpr int kSpeedCount = 6;
constexpr UINT kFileTypeTexts[] = {IDS_FILETYPE_NATIVE, IDS_FILETYPE_BMP, IDS_FILETYPE_TIFF, IDS_FILETYPE_JPEG,
                                   IDS_FILETYPE_FLASHPIX};

int SpeedIndexFor(std::int32_t bitRate)
{
    for (int i = 0; i < kSpeedCount - 1; ++i)
        if (kBitRates[i] == bitRate) return i;
    return kSpeedCount - 1;
}

bool IsAvena(int cameraIndex) { return cameraIndex == 0; }

}  // namespace

std::int32_t CameraTypeForIndex(int index)
{
    switch (index) {
    case 0: return kCameraAvena;
    case 1: return kCameraBelva;
    default: return kCameraCirra;
    }
}

void ApplyPreferences(const PreferencesValues& v, PersistedSettings& s)
{
    // The port list holds only the ports that opened: its n-th entry is the
    // n-th available port.
    if (v.PortIndex >= 0) {
        int listed = 0;
        for (int n = 1; n <= kPortCount; ++n) {
            if (!v.PortAvailable[n - 1]) continue;
            if (listed++ == v.PortIndex) {
                s.Port = n;
                break;
            }
        }
    }
    s.CameraType = CameraTypeForIndex(v.CameraIndex);
    if (v.SpeedIndex >= 0) {
        const int speed = v.SpeedIndex + (IsAvena(v.CameraIndex) ? 1 : 0);
        s.BitRate = speed < kSpeedCount ? kBitRates[speed] : kBitRates[kSpeedCount - 1];
    }
    if (v.FileTypeIndex >= 0) s.FileType = v.FileTypeIndex;
    if (v.Good) s.Quality = 75;
    if (v.Better) s.Quality = 90;
    if (v.Best) s.Quality = 100;
    if (v.NoCompression) s.Quality = 0;
    s.IfRemoveMove = v.Remove;
    s.IfShowProgress = v.ShowProgress;
    s.IfNotifyComplete = v.Notify;
    s.IfAlwaysOnTop = v.AlwaysOnTop;
    s.IfAlertSound = v.AlertSound;
    s.PopupOrIcon = v.Popup ? 0 : 1;
}

CPreferencesDlg::CPreferencesDlg(const PersistedSettings& settings, HWND parent)
    : winui::Dialog(IDD_PREFERENCES, parent), settings_(settings)
{
}

void CPreferencesDlg::DoDataExchange(winui::DataExchange& dx)
{
    dx.Control(IDC_PREFS_CAMERA, cameraList_);
    dx.Control(IDC_PREFS_PORT, portList_);
    dx.Control(IDC_PREFS_SPEED, speedList_);
    dx.Control(IDC_PREFS_FILETYPE, fileTypeList_);
    dx.Control(IDC_PREFS_GOOD, good_);
    dx.Control(IDC_PREFS_BETTER, better_);
    dx.Control(IDC_PREFS_BEST, best_);
    dx.Control(IDC_PREFS_NO_COMPRESSION, noCompression_);
    dx.Control(IDC_PREFS_QUALITY_LABEL, qualityLabel_);
    dx.Control(IDC_PREFS_STATUS, statusLine_);
    dx.Check(IDC_PREFS_DELETE, Values.Remove);
    dx.Check(IDC_PREFS_SHOW_PROGRESS, Values.ShowProgress);
    dx.Check(IDC_PREFS_NOTIFY, Values.Notify);
    dx.Check(IDC_PREFS_ALWAYS_ON_TOP, Values.AlwaysOnTop);
    dx.Check(IDC_PREFS_ALERT_SOUND, Values.AlertSound);
    dx.Check(IDC_PREFS_GOOD, Values.Good);
    dx.Check(IDC_PREFS_BETTER, Values.Better);
    dx.Check(IDC_PREFS_BEST, Values.Best);
    dx.Check(IDC_PREFS_NO_COMPRESSION, Values.NoCompression);
    dx.Check(IDC_PREFS_POPUP, Values.Popup);
    dx.Check(IDC_PREFS_ANIMATED_ICON, Values.AnimatedIcon);
    dx.ComboIndex(IDC_PREFS_CAMERA, Values.CameraIndex);
    dx.ComboIndex(IDC_PREFS_PORT, Values.PortIndex);
    dx.ComboIndex(IDC_PREFS_SPEED, Values.SpeedIndex);
    dx.ComboIndex(IDC_PREFS_FILETYPE, Values.FileTypeIndex);
    dx.Text(IDC_PREFS_STATUS, StatusText);
}

bool CPreferencesDlg::Dispatch(const winui::Message& m, LRESULT& result)
{
    static const winui::MessageMap<CPreferencesDlg> map{
        winui::OnMessage(WM_SETCURSOR, &CPreferencesDlg::OnSetCursor),
        winui::OnCommand(IDC_PREFS_DEFAULTS, &CPreferencesDlg::FillControls),
        winui::OnControl(IDC_PREFS_FILETYPE, CBN_SELCHANGE, &CPreferencesDlg::OnFileTypeChanged),
        winui::OnControl(IDC_PREFS_CAMERA, CBN_SELCHANGE, &CPreferencesDlg::OnCameraTypeChanged),
    };
    return map.Dispatch(*this, m, result) || winui::Dialog::Dispatch(m, result);
}

bool CPreferencesDlg::OnInitDialog()
{
    winui::Dialog::OnInitDialog();
    FillControls();
    SendMessageA(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(winui::LoadResourceIcon(IDI_APP)));
    SendMessageA(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(winui::LoadResourceIcon(IDI_APP, true)));
    return true;
}

void CPreferencesDlg::FillControls()
{
    winui::Button(Item(IDC_PREFS_DELETE)).SetChecked(settings_.IfRemoveMove != 0);

    cameraList_.Clear();
    for (UINT id : {IDS_CAMERA_AVENA, IDS_CAMERA_BELVA, IDS_CAMERA_CIRRA}) cameraList_.Add(winui::LoadText(id));
    cameraList_.Select(settings_.CameraType == kCameraAvena ? 0 : settings_.CameraType == kCameraBelva ? 1 : 2);

    FillPorts();
    FillSpeeds();

    fileTypeList_.Clear();
    for (UINT id : kFileTypeTexts) fileTypeList_.Add(winui::LoadText(id));
    fileTypeList_.Select(settings_.FileType);

    for (const winui::Button* radio : {&good_, &better_, &best_, &noCompression_}) radio->SetChecked(false);
    switch (settings_.Quality) {
    case 0: noCompression_.SetChecked(true); break;
    case 75: good_.SetChecked(true); break;
    case 90: better_.SetChecked(true); break;
    case 100: best_.SetChecked(true); break;
    default: break;
    }
    if (settings_.FileType == kFileJpeg || settings_.FileType == kFileFlashPix) {
        EnableQuality(true);
        noCompression_.Enable(settings_.FileType == kFileFlashPix);
        if (settings_.FileType == kFileJpeg) {
            // JPEG always compresses.
            if (settings_.Quality == 0) best_.SetChecked(true);
            noCompression_.SetChecked(false);
        }
    } else {
        EnableQuality(false);
        noCompression_.Enable(false);
    }

    winui::Button(Item(IDC_PREFS_SHOW_PROGRESS)).SetChecked(settings_.IfShowProgress != 0);
    winui::Button(Item(IDC_PREFS_ALWAYS_ON_TOP)).SetChecked(settings_.IfAlwaysOnTop != 0);
    winui::Button(Item(IDC_PREFS_POPUP)).SetChecked(settings_.PopupOrIcon == 0);
    winui::Button(Item(IDC_PREFS_ANIMATED_ICON)).SetChecked(settings_.PopupOrIcon == 1);
    winui::Button(Item(IDC_PREFS_NOTIFY)).SetChecked(settings_.IfNotifyComplete != 0);
    winui::Button(Item(IDC_PREFS_ALERT_SOUND)).SetChecked(settings_.IfAlertSound != 0);
}

// A port is offered only when it can be opened now: one that is missing, or
// held by another program, would fail the transfer later.
void CPreferencesDlg::FillPorts()
{
    portList_.Clear();
    for (int n = 1; n <= kPortCount; ++n) {
        Values.PortAvailable[n - 1] = 0;
        const std::string name = winui::Format("COM%d", n);
        HANDLE port = CreateFileA(name.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (port == INVALID_HANDLE_VALUE) continue;
        CloseHandle(port);
        Values.PortAvailable[n - 1] = 1;
        const int index = portList_.Add(name);
        if (settings_.Port == n) portList_.Select(index);
    }
    if (settings_.Port == 0 && portList_.Count() > 0) portList_.Select(0);
}

void CPreferencesDlg::FillSpeeds()
{
    const bool avena = settings_.CameraType == kCameraAvena;
    speedList_.Clear();
    for (int i = avena ? 1 : 0; i < kSpeedCount; ++i) speedList_.Add(winui::LoadText(kSpeedTexts[i]));
    int index = SpeedIndexFor(settings_.BitRate);
    if (avena && index > 0) --index;
    speedList_.Select(index);
}

void CPreferencesDlg::EnableQuality(bool enable)
{
    qualityLabel_.Enable(enable);
    good_.Enable(enable);
    better_.Enable(enable);
    best_.Enable(enable);
}

void CPreferencesDlg::OnFileTypeChanged()
{
    const int index = fileTypeList_.Selection();
    if (index == kFileJpeg || index == kFileFlashPix) {
        EnableQuality(true);
        if (index == kFileFlashPix) {
            noCompression_.Enable(true);
            return;
        }
        if (noCompression_.Checked()) {
            noCompression_.SetChecked(false);
            best_.SetChecked(true);
        }
    } else {
        EnableQuality(false);
    }
    noCompression_.Enable(false);
}

// The Avena's list lacks the first speed: keep the same speed selected as
// the entry comes and goes.
void CPreferencesDlg::OnCameraTypeChanged()
{
    const int camera = cameraList_.Selection();
    const int count = speedList_.Count();
    const int selected = speedList_.Selection();
    if (!IsAvena(camera) && count < kSpeedCount) {
        speedList_.Send(CB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(winui::LoadText(kSpeedTexts[0]).c_str()));
        speedList_.Select(selected + 1);
    } else if (IsAvena(camera) && count == kSpeedCount) {
        speedList_.Send(CB_DELETESTRING, 0);
        speedList_.Select(selected > 0 ? selected - 1 : 0);
    }
}

LRESULT CPreferencesDlg::OnSetCursor(WPARAM wp, LPARAM)
{
    HWND under = winui::ControlUnderMouse(Handle(), reinterpret_cast<HWND>(wp));
    const UINT id = winui::StatusHelpFor(Handle(), under,
                                         {
                                             {IDC_PREFS_DELETE, IDS_TIP_DELETE},
                                             {IDC_PREFS_CAMERA, IDS_TIP_CAMERA_LIST},
                                             {IDC_PREFS_PORT, IDS_TIP_PORT},
                                             {IDC_PREFS_SPEED, IDS_TIP_SPEED},
                                             {IDC_PREFS_FILETYPE, IDS_TIP_FILE_TYPE},
                                             {IDC_PREFS_GOOD, IDS_TIP_GOOD},
                                             {IDC_PREFS_BETTER, IDS_TIP_BETTER},
                                             {IDC_PREFS_BEST, IDS_TIP_BEST},
                                             {IDC_PREFS_NO_COMPRESSION, IDS_TIP_NO_COMPRESSION},
                                             {IDC_PREFS_SHOW_PROGRESS, IDS_TIP_SHOW_PROGRESS},
                                             {IDC_PREFS_ALWAYS_ON_TOP, IDS_TIP_ALWAYS_ON_TOP},
                                             {IDC_PREFS_POPUP, IDS_TIP_POPUP},
                                             {IDC_PREFS_ANIMATED_ICON, IDS_TIP_ANIMATED_ICON},
                                             {IDC_PREFS_NOTIFY, IDS_TIP_NOTIFY},
                                             {IDC_PREFS_ALERT_SOUND, IDS_TIP_ALERT_SOUND},
                                             {IDC_PREFS_HELP, IDS_TIP_HELP},
                                             {IDC_PREFS_DEFAULTS, IDS_TIP_DEFAULTS},
                                             {IDC_PREFS_ACCEPT, IDS_TIP_ACCEPT},
                                             {IDC_PREFS_CANCEL, IDS_TIP_CANCEL},
                                         },
                                         IDS_BLANK);
    winui::SetTextIfChanged(statusLine_.Handle(), winui::LoadText(id).c_str());
    return Default();
}
