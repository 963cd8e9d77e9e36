#include "winui/BitmapButton.h"

#include "winui/Resources.h"

namespace winui {

namespace {

HBITMAP LoadFace(UINT id)
{
    if (id == 0) return nullptr;
    return static_cast<HBITMAP>(LoadImageA(ResourceModule(), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, 0));
}

}  // namespace

BitmapButton::~BitmapButton() { Release(); }

void BitmapButton::Release()
{
    for (HBITMAP* face : {&normal_, &pressed_, &focused_, &disabled_}) {
        if (*face) DeleteObject(*face);
        *face = nullptr;
    }
}

bool BitmapButton::LoadBitmaps(UINT normal, UINT pressed, UINT focused, UINT disabled)
{
    Release();
    normal_ = LoadFace(normal);
    pressed_ = LoadFace(pressed);
    focused_ = LoadFace(focused);
    disabled_ = LoadFace(disabled);
    if (wnd_) InvalidateRect(wnd_, nullptr, FALSE);
    return normal_ != nullptr;
}

HBITMAP BitmapButton::FaceFor(UINT itemState) const
{
    // Pressed wins over focused: the button being pressed has the focus too.
    if ((itemState & ODS_SELECTED) && pressed_) return pressed_;
    if ((itemState & ODS_FOCUS) && focused_) return focused_;
    if ((itemState & ODS_DISABLED) && disabled_) return disabled_;
    return normal_;
}

bool BitmapButton::DrawItem(const DRAWITEMSTRUCT& item) const
{
    if (!wnd_ || item.hwndItem != wnd_) return false;
    const RECT& rc = item.rcItem;
    FillRect(item.hDC, &rc, GetSysColorBrush(COLOR_BTNFACE));
    HBITMAP face = FaceFor(item.itemState);
    if (!face) return true;

    BITMAP info{};
    GetObjectA(face, sizeof info, &info);
    HDC memory = CreateCompatibleDC(item.hDC);
    if (!memory) return true;
    HGDIOBJ previous = SelectObject(memory, face);
    // Centred: a button laid out a pixel larger than its picture keeps an even rim.
    const int x = rc.left + ((rc.right - rc.left) - info.bmWidth) / 2;
    const int y = rc.top + ((rc.bottom - rc.top) - info.bmHeight) / 2;
    BitBlt(item.hDC, x, y, info.bmWidth, info.bmHeight, memory, 0, 0, SRCCOPY);
    SelectObject(memory, previous);
    DeleteDC(memory);
    return true;
}

}  // namespace winui
