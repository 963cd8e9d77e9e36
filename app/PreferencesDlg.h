// The preferences: camera model, port and speed, output format and quality,
// deletion of the sources, progress and notification options.
//
// The dialog only shows and collects: it fills its controls from the
// settings, and on Accept (IDOK) the caller maps Values back into the
// settings with ApplyPreferences. Cancel changes nothing.
#pragma once

#include <windows.h>

#include <cstdint>

#include "app/Settings.h"
#include "winui/Controls.h"
#include "winui/Dialog.h"

inline constexpr int kPortCount = 4;  // COM1..COM4

// What the dialog collected, in the controls' terms.
struct PreferencesValues {
    int Remove = 0;
    int ShowProgress = 0;
    int Notify = 0;
    int AlwaysOnTop = 0;
    int AlertSound = 0;
    int Good = 0;
    int Better = 0;
    int Best = 0;
    int NoCompression = 0;
    int Popup = 0;
    int AnimatedIcon = 0;
    int CameraIndex = -1;
    int PortIndex = -1;       // among the available ports only
    int SpeedIndex = -1;      // the Avena's list lacks the first speed
    int FileTypeIndex = -1;
    int PortAvailable[kPortCount] = {};  // 1 for each of COM1..COM4 that opened
};

// Camera type code for a camera list index; anything but 0 and 1 is Cirra.
std::int32_t CameraTypeForIndex(int index);

// Takes accepted values into the settings: port, camera type, speed, file
// type, quality, deletion, progress and notification. A list without a
// selection leaves its field as it was; so does a quality without a check.
void ApplyPreferences(const PreferencesValues& values, PersistedSettings& settings);

class CPreferencesDlg : public winui::Dialog {
public:
    CPreferencesDlg(const PersistedSettings& settings, HWND parent = nullptr);

    PreferencesValues Values;
    std::string StatusText;

    // Puts every control back to the values the settings hold.
    virtual void FillControls();

protected:
    void DoDataExchange(winui::DataExchange& dx) override;
    bool OnInitDialog() override;
    bool Dispatch(const winui::Message& m, LRESULT& result) override;

private:
    LRESULT OnSetCursor(WPARAM wp, LPARAM);
    void OnFileTypeChanged();
    void OnCameraTypeChanged();
    void FillPorts();
    void FillSpeeds();
    void EnableQuality(bool enable);

    const PersistedSettings& settings_;
    winui::ComboBox cameraList_;
    winui::ComboBox portList_;
    winui::ComboBox speedList_;
    winui::ComboBox fileTypeList_;
    winui::Button good_;
    winui::Button better_;
    winui::Button best_;
    winui::Button noCompression_;
    winui::Static qualityLabel_;
    winui::Static statusLine_;
};
