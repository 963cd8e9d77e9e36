// The progress dialog: the program's hidden main window and main loop.
//
// Its modal run is the program's life. While its window is being created
// (still hidden) it runs the main dialog; when the user starts a transfer it
// shows itself and starts the worker, whose messages it receives; when the
// worker gives up before the first picture it runs the main dialog again.
#pragma once

#include <cstdint>
#include <string>

#include "app/Settings.h"
#include "winui/Controls.h"
#include "winui/Dialog.h"

class CProgressDlg : public winui::Dialog {
public:
    CProgressDlg(TransferSettings& settings, HWND parent);

    // Empties the camera and disk selections and the destination names.
    virtual void ClearSelection();
    // Runs the main dialog until the user leaves it or gives a usable
    // destination; then saves the settings, shows this window and starts the
    // worker. `first` is 1 on the run from window creation. Returns 1 when a
    // transfer was started, 0 when the user left (this dialog has then been
    // ended with IDCANCEL).
    virtual int RunMainDialog(int first);

    std::string StatusText;                // exchanged with the status line
    std::int32_t Running = 0;              // 1 while the worker runs, 0 while paused
    std::int32_t CameraPictureCount = 0;   // pictures the camera holds, kept across main dialog runs

protected:
    void DoDataExchange(winui::DataExchange& dx) override;
    int OnCreate(CREATESTRUCTA& cs) override;
    bool OnInitDialog() override;
    void OnOK() override;      // the Stop button
    void OnCancel() override;  // Esc: the window is ended only by the program
    bool Dispatch(const winui::Message& m, LRESULT& result) override;

private:
    LRESULT OnTimer(WPARAM id, LPARAM);
    LRESULT OnBackToMainDialog(WPARAM, LPARAM);
    LRESULT OnMinimize(WPARAM, LPARAM);
    LRESULT OnDestroy(WPARAM, LPARAM);

    TransferSettings& settings_;
    HICON icon_;
    HICON smallIcon_;
    bool shown_ = false;  // a window that was never shown has no position worth keeping
    winui::ProgressBar progressBar_;
    winui::Static statusLine_;
    winui::Button pauseButton_;
};
