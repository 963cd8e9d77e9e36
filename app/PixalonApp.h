// The application object: it owns the transfer settings for the life of the
// process and runs the start-up.
#pragma once

#include <windows.h>

#include "app/Settings.h"
#include "winui/Application.h"

class CPixalonApp : public winui::Application, public TransferSettings {
public:
    CPixalonApp() = default;
    ~CPixalonApp() override;

    // The resource library; null until loaded.
    HMODULE ResourceLibrary = nullptr;

protected:
    bool InitInstance() override;
};

// The one application object.
CPixalonApp& App();
