// The main dialog: where the user sets up a transfer (source, destination,
// naming) and starts it with Transfer (IDOK) or leaves with Exit (IDCANCEL).
//
// The caller presets the exchanged members before the modal run and reads
// them afterwards. Closing the window, whatever the result, saves the
// settings with the template as typed.
//
// This is the dialog's first form: it shows the destination, the naming
// choice and the camera type. The source commands, the destination browser,
// the preferences, the bitmap buttons and the status line help are not built
// yet; their buttons do nothing.
#pragma once

#include <cstdint>
#include <string>

#include "app/Settings.h"
#include "winui/Dialog.h"

class CMainDlg : public winui::Dialog {
public:
    CMainDlg(TransferSettings& settings, HWND parent);

    std::int32_t CameraPictureCount = 0;  // in and out for the caller
    std::int32_t SourceState = 0;         // in and out: 0 no source chosen yet

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

protected:
    void DoDataExchange(winui::DataExchange& dx) override;
    int OnCreate(CREATESTRUCTA& cs) override;
    bool OnInitDialog() override;
    bool Dispatch(const winui::Message& m, LRESULT& result) override;

private:
    LRESULT OnDestroy(WPARAM, LPARAM);
    void OnUseExistingNames();
    void OnUseNameTemplate();

    TransferSettings& settings_;
    HICON icon_;
    HICON smallIcon_;
};

// String id of the name shown for a camera type code; unknown codes show as Cirra.
unsigned CameraTypeTextId(std::int32_t cameraType);
