#include "app/ConnectingDlg.h"

#include "resources/resource.h"

CConnectingDlg::CConnectingDlg(HWND parent) : winui::Dialog(IDD_CONNECTING, parent) {}
