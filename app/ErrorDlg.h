// The error dialog: the one way a failure reaches the user.
//
// During a transfer it asks what to do about the failed picture: "&Retry",
// "&Skip" or "&Cancel"; for the destination questions before a transfer the
// same three buttons read "Replace", "&Skip" and "Start Over". Outside a
// transfer, and for failures no answer can mend, it reduces itself to a plain
// message box (or the camera-not-found notice) and is never shown; the answer
// is then Cancel.
//
// Run it with DoModal and read Answer; the modal result means nothing.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <string>

#include "app/ErrorReport.h"
#include "app/Settings.h"
#include "winui/Controls.h"
#include "winui/Dialog.h"

// Sub-codes of kErrorDestination.
enum DestinationProblem : int {
    kDestinationNoSpace = -999,
    kDestinationHoldsSources = -998,
    kDestinationDuplicates = -997,
};

// What a report turns into.
struct ErrorForm {
    enum class Kind { Dialog, MessageBox, CameraNotFound } kind = Kind::Dialog;
    std::string text;     // the dialog's or the message box's text
    bool cancelOnly = false;  // the dialog offers Cancel alone
};

// The form and text of a report, from the resource module's strings.
ErrorForm ComposeErrorForm(int errorKind, int subCode, bool inTransfer, const std::string& itemName);

// String id of the text for a camera driver status; 0 for the two statuses
// that mean the camera cannot be found (they get a notice of their own).
UINT DriverStatusTextId(int status);

// The part of a picture's path the dialog names: the text after the last
// backslash (all of it when there is none); nothing for paths of one or two
// characters, which name no picture.
std::string PictureNameForReport(const std::string& path);

class CErrorDlg : public winui::Dialog {
public:
    CErrorDlg(int errorKind, int subCode, int inTransfer, std::string itemName, HWND parent = nullptr);

    // kAnswerCancel (also Start Over), kAnswerRetry (also Replace) or kAnswerSkip.
    // Cancel until the user says otherwise, whatever ends the dialog.
    int Answer = kAnswerCancel;
    int CancelOnly = 0;  // Retry and Skip are disabled
    const int ErrorKind;
    const int SubCode;
    const int InTransfer;
    const std::string ItemName;
    std::string MessageText;

protected:
    void DoDataExchange(winui::DataExchange& dx) override;
    int OnCreate(CREATESTRUCTA& cs) override;
    bool OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    bool Dispatch(const winui::Message& m, LRESULT& result) override;

private:
    LRESULT OnShowWindow(WPARAM shown, LPARAM);
    LRESULT OnSize(WPARAM type, LPARAM);
    LRESULT OnTimer(WPARAM id, LPARAM);
    void OnRetry();
    void OnSkip();
    void SetIcons(UINT iconId);

    winui::Static iconStatic_;
    winui::Button retryButton_;
    winui::Button cancelButton_;
    bool animating_ = false;
};

// The notice shown when the camera does not answer: a plain dialog whose OK
// ends it (its Help button opens the guide).
void RunCameraNotFoundDialog(HWND parent);

// The worker's report of a failed picture, run on the worker's own thread:
// counts the error, beeps when the user wants alert sounds, and asks the user
// about the picture at `path`. Returns the answer.
int ReportPictureError(const PersistedSettings& settings, int errorKind, int subCode, const std::string& path);
