// Photographs every dialog template of PIXRES.DLL: one PNG per dialog, with
// the owner-drawn buttons painted from their bitmaps and the run-time texts
// filled in with long samples, so that a reviewer sees what a user would.
//
//   dialog_gallery.exe [OUTDIR]      (default: dialogs)
//
// Run through scripts/dialog-shots.sh, which builds it and provides a display.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "resource.h"

namespace {

HMODULE g_res;

// ------------------------------------------------------------ PNG writing

unsigned long Crc32(const unsigned char* p, size_t n, unsigned long crc = 0)
{
    static unsigned long table[256];
    if (!table[1]) {
        for (unsigned long i = 0; i < 256; ++i) {
            unsigned long c = i;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320UL ^ (c >> 1) : c >> 1;
            table[i] = c;
        }
    }
    crc ^= 0xFFFFFFFFUL;
    for (size_t i = 0; i < n; ++i) crc = table[(crc ^ p[i]) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFUL;
}

void Put32(std::vector<unsigned char>& v, unsigned long x)
{
    for (int s = 24; s >= 0; s -= 8) v.push_back(static_cast<unsigned char>((x >> s) & 0xFF));
}

void Chunk(FILE* f, const char* type, const std::vector<unsigned char>& data)
{
    std::vector<unsigned char> buf;
    Put32(buf, static_cast<unsigned long>(data.size()));
    buf.insert(buf.end(), type, type + 4);
    buf.insert(buf.end(), data.begin(), data.end());
    Put32(buf, Crc32(buf.data() + 4, buf.size() - 4));
    fwrite(buf.data(), 1, buf.size(), f);
}

// 24-bit RGB, top row first; the image data is deflate "stored" blocks, which
// every PNG reader accepts and which need no compressor.
bool WritePng(const char* path, int w, int h, const std::vector<unsigned char>& rgb)
{
    FILE* f = fopen(path, "wb");
    if (!f) return false;
    static const unsigned char sig[8] = {137, 'P', 'N', 'G', '\r', '\n', 26, '\n'};
    fwrite(sig, 1, 8, f);
    std::vector<unsigned char> ihdr;
    Put32(ihdr, w);
    Put32(ihdr, h);
    ihdr.insert(ihdr.end(), {8, 2, 0, 0, 0});
    Chunk(f, "IHDR", ihdr);

    std::vector<unsigned char> raw;
    for (int y = 0; y < h; ++y) {
        raw.push_back(0);  // no filter
        raw.insert(raw.end(), rgb.begin() + static_cast<size_t>(y) * w * 3, rgb.begin() + static_cast<size_t>(y + 1) * w * 3);
    }
    std::vector<unsigned char> z = {0x78, 0x01};
    unsigned long a = 1, b = 0;
    for (unsigned char c : raw) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    for (size_t pos = 0; pos < raw.size() || pos == 0;) {
        size_t n = raw.size() - pos < 65535 ? raw.size() - pos : 65535;
        bool last = pos + n == raw.size();
        z.push_back(last ? 1 : 0);
        z.push_back(n & 0xFF);
        z.push_back((n >> 8) & 0xFF);
        z.push_back(~n & 0xFF);
        z.push_back((~n >> 8) & 0xFF);
        z.insert(z.end(), raw.begin() + pos, raw.begin() + pos + n);
        pos += n;
        if (last) break;
    }
    Put32(z, (b << 16) | a);
    Chunk(f, "IDAT", z);
    Chunk(f, "IEND", {});
    return fclose(f) == 0;
}

// Copies the window, frame included, as the screen shows it.
bool Capture(HWND hwnd, const char* path)
{
    RECT r;
    GetWindowRect(hwnd, &r);
    int w = r.right - r.left, h = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, dib);
    BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    GdiFlush();
    std::vector<unsigned char> rgb(static_cast<size_t>(w) * h * 3);
    const auto* px = static_cast<const unsigned char*>(bits);
    for (size_t i = 0; i < static_cast<size_t>(w) * h; ++i) {
        rgb[i * 3] = px[i * 4 + 2];
        rgb[i * 3 + 1] = px[i * 4 + 1];
        rgb[i * 3 + 2] = px[i * 4];
    }
    SelectObject(mem, old);
    DeleteObject(dib);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return WritePng(path, w, h, rgb);
}

// -------------------------------------------------------- dialog dressing

std::string Str(UINT id)
{
    char buf[1024] = "";
    LoadStringA(g_res, id, buf, sizeof buf);
    return buf;
}

// The main dialog's bitmap buttons: normal, pressed-or-focused, disabled.
struct Faces { int id; UINT normal, pressed, disabled; };
const Faces kFaces[] = {
    {IDC_MAIN_GET_ALL, IDB_GET_ALL_NORMAL, IDB_GET_ALL_PRESSED, 0},
    {IDC_MAIN_GET_SELECTED, IDB_GET_SELECTED_NORMAL, IDB_GET_SELECTED_PRESSED, 0},
    {IDC_MAIN_GET_FROM_DISK, IDB_GET_FROM_DISK_NORMAL, IDB_GET_FROM_DISK_PRESSED, 0},
    {IDC_MAIN_HELP, IDB_HELP_NORMAL, IDB_HELP_PRESSED, 0},
    {IDC_MAIN_PREFERENCES, IDB_PREFERENCES_NORMAL, IDB_PREFERENCES_PRESSED, 0},
    {IDC_MAIN_TRANSFER, IDB_TRANSFER_NORMAL, IDB_TRANSFER_PRESSED, IDB_TRANSFER_DISABLED},
    {IDC_MAIN_EXIT, IDB_EXIT_NORMAL, IDB_EXIT_PRESSED, 0},
};

void DrawFace(const DRAWITEMSTRUCT* di)
{
    for (const Faces& f : kFaces) {
        if (static_cast<int>(di->CtlID) != f.id) continue;
        UINT id = f.normal;
        if (di->itemState & (ODS_SELECTED | ODS_FOCUS)) id = f.pressed;
        if ((di->itemState & ODS_DISABLED) && f.disabled) id = f.disabled;
        HBITMAP bmp = LoadBitmapA(g_res, MAKEINTRESOURCEA(id));
        HDC mem = CreateCompatibleDC(di->hDC);
        HGDIOBJ old = SelectObject(mem, bmp);
        BITMAP bm;
        GetObjectA(bmp, sizeof bm, &bm);
        BitBlt(di->hDC, di->rcItem.left, di->rcItem.top, bm.bmWidth, bm.bmHeight, mem, 0, 0, SRCCOPY);
        SelectObject(mem, old);
        DeleteDC(mem);
        DeleteObject(bmp);
    }
}

void SetText(HWND dlg, int id, const std::string& s) { SetDlgItemTextA(dlg, id, s.c_str()); }

void FillCombo(HWND dlg, int id, std::initializer_list<UINT> strings)
{
    for (UINT s : strings) SendDlgItemMessageA(dlg, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Str(s).c_str()));
    SendDlgItemMessageA(dlg, id, CB_SETCURSEL, 0, 0);
}

HIMAGELIST CameraImages()
{
    static HIMAGELIST list;
    if (!list) {
        list = ImageList_Create(16, 16, ILC_COLOR24, 0, 10);
        for (UINT id : {IDB_SMALL_CAMERA, IDB_SMALL_CAMERA_SEL, IDB_SMALL_MEMORY, IDB_SMALL_MEMORY_SEL,
                        IDB_SMALL_CARD, IDB_SMALL_CARD_SEL, IDB_SMALL_ALBUM, IDB_SMALL_ALBUM_SEL,
                        IDB_SMALL_PICTURE, IDB_SMALL_PICTURE_SEL}) {
            HBITMAP b = LoadBitmapA(g_res, MAKEINTRESOURCEA(id));
            ImageList_Add(list, b, nullptr);
            DeleteObject(b);
        }
    }
    return list;
}

void FillSelection(HWND dlg)
{
    HIMAGELIST images = CameraImages();
    HWND tree = GetDlgItem(dlg, IDC_SELECT_TREE);
    TreeView_SetImageList(tree, images, TVSIL_NORMAL);
    auto add = [&](HTREEITEM parent, const std::string& text, int image) {
        TVINSERTSTRUCTA ins{};
        ins.hParent = parent;
        ins.hInsertAfter = TVI_LAST;
        ins.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
        ins.item.pszText = const_cast<char*>(text.c_str());
        ins.item.iImage = image;
        ins.item.iSelectedImage = image + 1;
        return reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&ins)));
    };
    HTREEITEM cam = add(TVI_ROOT, Str(IDS_CAMERA_CIRRA), 0);
    HTREEITEM mem = add(cam, Str(IDS_LOCATION_MEMORY), 2);
    HTREEITEM card = add(cam, Str(IDS_LOCATION_CARD), 4);
    add(card, "Holiday", 6);
    HTREEITEM birthday = add(card, "Birthday", 6);
    TreeView_Expand(tree, cam, TVE_EXPAND);
    TreeView_Expand(tree, card, TVE_EXPAND);
    TreeView_SelectItem(tree, birthday);
    (void)mem;

    auto fill = [&](int id, std::initializer_list<const char*> names, int first) {
        HWND list = GetDlgItem(dlg, id);
        ListView_SetImageList(list, images, LVSIL_SMALL);
        int i = 0;
        for (const char* n : names) {
            LVITEMA item{};
            item.mask = LVIF_TEXT | LVIF_IMAGE;
            item.iItem = i;
            item.pszText = const_cast<char*>(n);
            item.iImage = i < first ? 6 : 8;
            SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
            ++i;
        }
    };
    fill(IDC_SELECT_FILES, {"Cake", "PICT0001", "PICT0002", "PICT0003", "PICT0004", "PICT0005", "PICT0006"}, 1);
    fill(IDC_SELECT_TRANSFER_LIST, {"PICT0002", "PICT0005"}, 0);
    CheckDlgButton(dlg, IDC_SELECT_SHOW_THUMBNAIL, BST_CHECKED);
}

// What the program does to the welcome screen before showing it: fit the
// window to the picture and move the controls into its bottom strip.
void FitWelcome(HWND dlg)
{
    RECT wr;
    GetWindowRect(dlg, &wr);
    int w = 387 + 6, h = 297 + 8;
    SetWindowPos(dlg, nullptr, 0, 0, w, h, SWP_NOMOVE | SWP_NOZORDER);
    HWND ok = GetDlgItem(dlg, IDOK);
    RECT br;
    GetWindowRect(ok, &br);
    int bw = br.right - br.left, bh = br.bottom - br.top;
    int top = h - bh - 12;
    SetWindowPos(ok, nullptr, w - bw - 12, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    for (int id : {IDC_WELCOME_SHOW_ON_STARTUP, IDC_WELCOME_CAPTION}) {
        HWND c = GetDlgItem(dlg, id);
        RECT cr;
        GetWindowRect(c, &cr);
        MapWindowPoints(nullptr, dlg, reinterpret_cast<POINT*>(&cr), 2);
        SetWindowPos(c, nullptr, cr.left, id == IDC_WELCOME_CAPTION ? top : top + 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    }
    CheckDlgButton(dlg, IDC_WELCOME_SHOW_ON_STARTUP, BST_CHECKED);
    // The program paints both pictures through the mapped-bitmap loader,
    // which gives their grey strip the system's face colour.
    const std::pair<int, UINT> pictures[] = {{IDC_WELCOME_PICTURE, IDB_WELCOME_PICTURE},
                                             {IDC_WELCOME_CAPTION, IDB_STARTUP_CAPTION}};
    for (auto [control, bitmap] : pictures) {
        HBITMAP mapped = CreateMappedBitmap(g_res, bitmap, 0, nullptr, 0);
        SendDlgItemMessageA(dlg, control, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(mapped));
    }
}

void Dress(HWND dlg, int id)
{
    switch (id) {
    case IDD_MAIN:
        SetText(dlg, IDC_MAIN_ALL_COUNT, "");
        SetText(dlg, IDC_MAIN_CAMERA_TYPE, Str(IDS_CAMERA_CIRRA));
        SetText(dlg, IDC_MAIN_SELECTED_COUNT, "5 " + Str(176) + " " + Str(177) + " 20 " + Str(178));
        SetText(dlg, IDC_MAIN_DEST_PATH, "C:\\My Documents\\Pictures\\Holiday");
        SetText(dlg, IDC_MAIN_TEMPLATE, "Holiday");
        SetText(dlg, IDC_MAIN_STATUS, Str(IDS_TIP_GET_SELECTED));
        CheckRadioButton(dlg, IDC_MAIN_USE_TEMPLATE, IDC_MAIN_USE_EXISTING, IDC_MAIN_USE_TEMPLATE);
        EnableWindow(GetDlgItem(dlg, IDC_MAIN_TRANSFER), TRUE);
        EnableWindow(GetDlgItem(dlg, IDC_MAIN_TRANSFER_LABEL), TRUE);
        break;
    case IDD_PROGRESS:
        SetWindowTextA(dlg, Str(IDS_APP_TITLE).c_str());
        SetText(dlg, IDC_PROGRESS_STATUS, Str(111) + " 12 " + Str(112) + " 20");
        SendDlgItemMessageA(dlg, IDC_PROGRESS_BAR, PBM_SETPOS, 60, 0);
        break;
    case IDD_FINISH:
        SetText(dlg, IDC_FINISH_TEXT, Str(115) + " 2 " + Str(116) + " 20 " + Str(117));
        break;
    case IDD_ERROR:
        SetText(dlg, IDC_ERROR_TEXT, Str(218));
        SetText(dlg, IDC_ERROR_RETRY, Str(IDS_REPLACE));
        SetText(dlg, IDC_ERROR_CANCEL, Str(IDS_START_OVER));
        SendDlgItemMessageA(dlg, IDC_ERROR_ICON, STM_SETICON,
                            reinterpret_cast<WPARAM>(LoadIconA(g_res, MAKEINTRESOURCEA(IDI_WARNING_SIGN))), 0);
        break;
    case IDD_BROWSE_FOLDER: {
        HWND tree = GetDlgItem(dlg, IDC_BROWSE_TREE);
        auto add = [&](HTREEITEM parent, const char* text) {
            TVINSERTSTRUCTA ins{};
            ins.hParent = parent;
            ins.hInsertAfter = TVI_LAST;
            ins.item.mask = TVIF_TEXT;
            ins.item.pszText = const_cast<char*>(text);
            return reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&ins)));
        };
        HTREEITEM pc = add(TVI_ROOT, "My Computer");
        HTREEITEM c = add(pc, "(C:)");
        add(c, "My Documents");
        HTREEITEM pics = add(c, "Pictures");
        add(pc, "(D:)");
        TreeView_Expand(tree, pc, TVE_EXPAND);
        TreeView_Expand(tree, c, TVE_EXPAND);
        TreeView_SelectItem(tree, pics);
        break;
    }
    case IDD_WELCOME:
        FitWelcome(dlg);
        break;
    case IDD_CAMERA_SELECT:
    case IDD_FOLDER_SELECT:
        FillSelection(dlg);
        break;
    case IDD_NEW_FOLDER:
        SetText(dlg, IDC_NEWFOLDER_CURRENT, "C:\\My Documents\\Pictures");
        SetText(dlg, IDC_NEWFOLDER_NAME, "Holiday");
        break;
    case IDD_PREFERENCES:
        FillCombo(dlg, IDC_PREFS_CAMERA, {121, 122, 123});
        SendDlgItemMessageA(dlg, IDC_PREFS_PORT, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("COM1"));
        SendDlgItemMessageA(dlg, IDC_PREFS_PORT, CB_SETCURSEL, 0, 0);
        FillCombo(dlg, IDC_PREFS_SPEED, {179, 180, 181, 182, 183, 184});
        FillCombo(dlg, IDC_PREFS_FILETYPE, {110, 102, 103, 104, 105});
        SendDlgItemMessageA(dlg, IDC_PREFS_FILETYPE, CB_SETCURSEL, 3, 0);
        CheckDlgButton(dlg, IDC_PREFS_BETTER, BST_CHECKED);
        CheckDlgButton(dlg, IDC_PREFS_SHOW_PROGRESS, BST_CHECKED);
        CheckDlgButton(dlg, IDC_PREFS_POPUP, BST_CHECKED);
        CheckDlgButton(dlg, IDC_PREFS_NOTIFY, BST_CHECKED);
        SetText(dlg, IDC_PREFS_STATUS, Str(IDS_TIP_DELETE));
        break;
    }
}

INT_PTR CALLBACK GalleryProc(HWND dlg, UINT msg, WPARAM, LPARAM lp)
{
    if (msg == WM_INITDIALOG) {
        SendMessageA(dlg, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(LoadIconA(g_res, MAKEINTRESOURCEA(IDI_APP))));
        return TRUE;
    }
    if (msg == WM_DRAWITEM) {
        DrawFace(reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
        return TRUE;
    }
    return FALSE;
}

void Pump(DWORD ms)
{
    DWORD end = GetTickCount() + ms;
    while (static_cast<LONG>(end - GetTickCount()) > 0) {
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&m);
            DispatchMessageA(&m);
        }
        Sleep(10);
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR cmd, int)
{
    std::string out = cmd && *cmd ? cmd : "dialogs";
    if (out.size() > 1 && out.front() == '"') out = out.substr(1, out.size() - 2);
    CreateDirectoryA(out.c_str(), nullptr);

    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    g_res = LoadLibraryA("PIXRES.DLL");
    if (!g_res) {
        fprintf(stderr, "cannot load PIXRES.DLL\n");
        return 1;
    }
    const std::pair<int, const char*> dialogs[] = {
        {IDD_MAIN, "main"}, {IDD_PROGRESS, "progress"}, {IDD_FINISH, "finish"}, {IDD_ERROR, "error"},
        {IDD_CONNECTING, "connecting"}, {IDD_BROWSE_FOLDER, "browse-folder"}, {IDD_WELCOME, "welcome"},
        {IDD_CAMERA_SELECT, "camera-select"}, {IDD_FOLDER_SELECT, "folder-select"},
        {IDD_NEW_FOLDER, "new-folder"}, {IDD_CAMERA_NOT_FOUND, "camera-not-found"},
        {IDD_PREFERENCES, "preferences"},
    };
    int failures = 0;
    for (auto [id, name] : dialogs) {
        HWND dlg = CreateDialogParamA(g_res, MAKEINTRESOURCEA(id), nullptr, GalleryProc, 0);
        if (!dlg) {
            fprintf(stderr, "dialog %d: cannot create (%lu)\n", id, GetLastError());
            ++failures;
            continue;
        }
        Dress(dlg, id);
        SetWindowPos(dlg, HWND_TOPMOST, 40, 40, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
        UpdateWindow(dlg);
        Pump(400);
        RedrawWindow(dlg, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        Pump(200);
        char path[MAX_PATH];
        snprintf(path, sizeof path, "%s\\%d-%s.png", out.c_str(), id, name);
        if (!Capture(dlg, path)) {
            fprintf(stderr, "%s: cannot write\n", path);
            ++failures;
        } else {
            printf("%s\n", path);
        }
        DestroyWindow(dlg);
        Pump(100);
    }
    FreeLibrary(g_res);
    return failures ? 1 : 0;
}
