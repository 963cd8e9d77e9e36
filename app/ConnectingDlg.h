// "Connecting to the camera. Please wait ...": a captionless notice that the
// camera selection creates modeless (its template makes it visible at once)
// while it opens the camera, and destroys afterwards. No buttons, no answer.
#pragma once

#include <windows.h>

#include "winui/Dialog.h"

class CConnectingDlg : public winui::Dialog {
public:
    explicit CConnectingDlg(HWND parent = nullptr);
};
