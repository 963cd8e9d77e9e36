// An owner-drawn push button that shows one of four bitmaps of the resource
// module: normal, pressed, focused and disabled.
//
// The template gives the button BS_OWNERDRAW; the dialog hands each of its
// WM_DRAWITEM messages to DrawItem. A face that was not given falls back to
// the normal one, so a button without a disabled picture looks the same
// enabled and disabled (the user still cannot press it).
//
// The button owns its bitmaps; it is bound to its control like any other
// wrapper and must live as long as the dialog window.
#pragma once

#include <windows.h>

#include "winui/Controls.h"

namespace winui {

class BitmapButton : public Window {
public:
    BitmapButton() = default;
    ~BitmapButton();
    BitmapButton(const BitmapButton&) = delete;
    BitmapButton& operator=(const BitmapButton&) = delete;

    // Loads the faces by resource id; 0 means "none" for the last three.
    // False when the normal face is missing from the resource module.
    bool LoadBitmaps(UINT normal, UINT pressed = 0, UINT focused = 0, UINT disabled = 0);

    // Paints the face for the item state; false when `item` is not for this button.
    bool DrawItem(const DRAWITEMSTRUCT& item) const;

    // The face DrawItem would paint for an owner-draw item state.
    HBITMAP FaceFor(UINT itemState) const;

private:
    void Release();

    HBITMAP normal_ = nullptr;
    HBITMAP pressed_ = nullptr;
    HBITMAP focused_ = nullptr;
    HBITMAP disabled_ = nullptr;
};

}  // namespace winui
