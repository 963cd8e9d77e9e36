// The welcome screen, shown at start-up and as the About box, and the static
// control that paints its pictures.
#pragma once

#include <windows.h>

#include <cstdint>

#include "winui/Controls.h"
#include "winui/Dialog.h"

// A static control that paints one of the resource module's pictures at its
// top-left corner, unscaled.
class CBitmapStatic : public winui::Window {
public:
    enum Kind : std::int32_t { kStartupPicture = 0, kAboutPicture = 1, kStartupCaption = 2 };

    CBitmapStatic() = default;
    ~CBitmapStatic();
    CBitmapStatic(const CBitmapStatic&) = delete;
    CBitmapStatic& operator=(const CBitmapStatic&) = delete;

    // Takes over the painting of `control`.
    void Subclass(HWND control);

    std::int32_t Kind = kStartupPicture;

    // The bitmap resource a kind paints.
    static UINT BitmapId(std::int32_t kind);

private:
    static LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR self);
    void Paint() const;
};

class CWelcomeDlg : public winui::Dialog {
public:
    // Start-up mode closes by itself after ten seconds or at a click on the
    // picture; About mode stays until OK or Esc.
    CWelcomeDlg(bool startupMode, HWND parent = nullptr);

    // The "Display on Startup" check: preset by the caller, taken back only by OK.
    int DisplayOnStartup = 0;
    const bool StartupMode;

protected:
    void DoDataExchange(winui::DataExchange& dx) override;
    bool OnInitDialog() override;
    bool Dispatch(const winui::Message& m, LRESULT& result) override;

private:
    LRESULT OnShowWindow(WPARAM shown, LPARAM);
    LRESULT OnTimer(WPARAM id, LPARAM);
    LRESULT OnButtonUp(WPARAM, LPARAM);
    void FitToPicture();

    CBitmapStatic picture_;
    CBitmapStatic caption_;
    UINT_PTR timer_ = 0;
};
