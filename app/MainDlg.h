// The main dialog: where the user sets up a transfer (source, destination,
// naming) and starts it with Transfer (IDOK) or leaves with Exit (IDCANCEL).
//
// The caller presets the exchanged members, CameraPictureCount and
// SourceState before the modal run and reads them afterwards. Closing the
// window, whatever the result, saves the settings with the template as typed.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/Settings.h"
#include "winui/BitmapButton.h"
#include "winui/Controls.h"
#include "winui/Dialog.h"

// What the source buttons have chosen so far.
enum SourceStateCode : std::int32_t {
    kNoSourceYet = 0,
    kAllCameraPictures = 1,
    kSomeCameraPictures = 2,
    kPickedDiskFiles = 3,
    kEveryCameraPicturePicked = 4,
};

// The system menu's About item.
inline constexpr UINT kAboutCommand = 16;

class CMainDlg : public winui::Dialog {
public:
    CMainDlg(TransferSettings& settings, HWND parent);

    std::int32_t CameraPictureCount = 0;  // pictures the camera holds, as last reported
    std::int32_t SourceState = kNoSourceYet;

    std::string DestinationText;        // destination path
    std::string TemplateText;           // name template
    std::string SourceFolderText;       // folder name beside the disk source
    std::string CameraTypeText;         // name of the camera model
    std::string DestinationFolderName;  // label above the destination path
    std::string StatusText;             // status line
    int UseExistingCheck = 0;           // "Use Existing Picture Names"
    int NameTemplateCheck = 0;          // "Name Template:"

    // Empties the camera and disk selections.
    virtual void ClearSelection();
    // Transfer and its label are enabled only while a selection exists.
    void UpdateTransferButton();

    // What the source commands do with the pictures a selection dialog
    // hands over (the records move into the settings' lists).
    //   All pictures of the camera, as read by the camera selection:
    void TakeAllCameraPictures(std::vector<std::unique_ptr<CameraPictureRecord>>& received);
    //   Pictures picked in the camera selection, which ended with OK; the
    //   camera holds `storedCount` pictures:
    void TakePickedCameraPictures(std::vector<std::unique_ptr<CameraPictureRecord>>& received,
                                  std::int32_t storedCount);
    //   Files picked in the disk selection, which ended with OK; `infos` is
    //   index-parallel to `paths`:
    void TakePickedDiskFiles(std::vector<std::string>& paths, std::vector<std::string>& infos);

protected:
    void DoDataExchange(winui::DataExchange& dx) override;
    int OnCreate(CREATESTRUCTA& cs) override;
    bool OnInitDialog() override;
    bool Dispatch(const winui::Message& m, LRESULT& result) override;

private:
    LRESULT OnDestroy(WPARAM, LPARAM);
    LRESULT OnDrawItem(WPARAM, LPARAM item);
    LRESULT OnSysCommand(WPARAM command, LPARAM);
    LRESULT OnSetCursor(WPARAM wp, LPARAM);
    LRESULT OnSetFocus(WPARAM, LPARAM);
    void OnBrowse();
    void OnPreferences();
    void OnGetAll();
    void OnGetSelected();
    void OnGetFromDisk();
    void OnUseExistingNames();
    void OnUseNameTemplate();

    void ShowSourceText();
    void ShowCameraSelectionText();
    void ClearSourceTexts();
    void FocusBrowse();
    void ShowNotAvailableYet();

    TransferSettings& settings_;
    HICON icon_;
    HICON smallIcon_;
    winui::Button browse_;
    winui::Static statusLine_;
    winui::Static transferLabel_;
    winui::Edit template_;
    winui::BitmapButton exit_;
    winui::BitmapButton help_;
    winui::BitmapButton transfer_;
    winui::BitmapButton preferences_;
    winui::BitmapButton getAll_;
    winui::BitmapButton getFromDisk_;
    winui::BitmapButton getSelected_;
};

// String id of the name shown for a camera type code; unknown codes show as Cirra.
unsigned CameraTypeTextId(std::int32_t cameraType);
