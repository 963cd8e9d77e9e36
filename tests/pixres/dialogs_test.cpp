// The twelve dialog templates: each creates a dialog with every control the
// program binds by identifier, of the right kind and initial state, and the
// layout leaves no control overlapping another and no text cut off.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "resource.h"
#include "pixres_fixture.h"

namespace {

// ---------------------------------------------------------------- the table

enum class Kind {
    OwnerDraw, Push, DefPush, Check, Radio, Group,
    Text, Sunken, Icon, Bitmap,
    Edit, DropList, List, SortedList, Tree, TreeNoDrag, Progress,
};

enum : unsigned { kDisabled = 1, kHidden = 2 };

struct Ctl {
    int id;
    Kind kind;
    const char* text;   // window text; for icons and bitmaps unused
    unsigned state = 0;
};

struct Dlg {
    int id;
    const char* name;   // for messages and the gallery's file names
    const char* caption;
    int cx, cy;         // dialog units
    std::vector<Ctl> controls;
};

constexpr int kStatic = -1;

const std::vector<Dlg>& Dialogs()
{
    static const std::vector<Dlg> dialogs = {
        {IDD_MAIN, "main", "HALCYRA Pixalon", 293, 239, {
            {IDC_MAIN_BROWSE, Kind::Push, "&Browse..."},
            {kStatic, Kind::Group, "Source"},
            {IDC_MAIN_GET_ALL, Kind::OwnerDraw, "&A"},
            {kStatic, Kind::Text, "Get All Pictures from the Camera"},
            {kStatic, Kind::Text, "Your Camera is a"},
            {IDC_MAIN_ALL_COUNT, Kind::Text, ""},
            {IDC_MAIN_SELECTED_COUNT, Kind::Text, ""},
            {IDC_MAIN_GET_SELECTED, Kind::OwnerDraw, "&C"},
            {kStatic, Kind::Text, "Get Selected Pictures from the Camera"},
            {IDC_MAIN_GET_FROM_DISK, Kind::OwnerDraw, "&S"},
            {kStatic, Kind::Text, "Get Selected Pictures from"},
            {IDC_MAIN_DISK_COUNT, Kind::Text, ""},
            {IDC_MAIN_SOURCE_FOLDER, Kind::Text, "My Computer"},
            {IDC_MAIN_CAMERA_TYPE, Kind::Text, ""},
            {kStatic, Kind::Group, "Destination"},
            {IDC_MAIN_DEST_NAME, Kind::Text, "My Computer"},
            {IDC_MAIN_DEST_PATH, Kind::Sunken, ""},
            {kStatic, Kind::Group, ""},
            {IDC_MAIN_USE_EXISTING, Kind::Radio, "Use Existing Picture Names"},
            {IDC_MAIN_USE_TEMPLATE, Kind::Radio, "Name Template:"},
            {IDC_MAIN_TEMPLATE, Kind::Edit, ""},
            {IDC_MAIN_HELP, Kind::OwnerDraw, "&H"},
            {kStatic, Kind::Text, "Help"},
            {kStatic, Kind::Text, "Preferences"},
            {IDC_MAIN_PREFERENCES, Kind::OwnerDraw, "&P"},
            {IDC_MAIN_TRANSFER, Kind::OwnerDraw, "&T", kDisabled},
            {IDC_MAIN_TRANSFER_LABEL, Kind::Text, "Transfer", kDisabled},
            {IDC_MAIN_EXIT, Kind::OwnerDraw, "&x"},
            {kStatic, Kind::Text, "Exit"},
            {IDC_MAIN_STATUS, Kind::Sunken, ""},
        }},
        {IDD_PROGRESS, "progress", "", 246, 70, {
            {IDC_PROGRESS_STATUS, Kind::Text, ""},
            {IDC_PROGRESS_PAUSE, Kind::Push, "&Pause"},
            {IDC_PROGRESS_STOP, Kind::Push, "&Stop"},
            {IDC_PROGRESS_BAR, Kind::Progress, ""},
            {IDC_PROGRESS_THUMBNAIL, Kind::Sunken, ""},
        }},
        {IDD_FINISH, "finish", "HALCYRA Pixalon", 186, 69, {
            {IDC_FINISH_OK, Kind::DefPush, "&Finish"},
            {IDC_FINISH_TEXT, Kind::Text, ""},
            {kStatic, Kind::Icon, nullptr},
        }},
        {IDD_ERROR, "error", "HALCYRA Pixalon", 242, 85, {
            {IDC_ERROR_RETRY, Kind::DefPush, "&Retry"},
            {IDC_ERROR_CANCEL, Kind::Push, "&Cancel"},
            {IDC_ERROR_TEXT, Kind::Text, ""},
            {IDC_ERROR_SKIP, Kind::Push, "&Skip"},
            {IDC_ERROR_ICON, Kind::Icon, nullptr},
        }},
        {IDD_CONNECTING, "connecting", "", 113, 28, {
            {kStatic, Kind::Text, "Connecting to the camera.\nPlease wait ..."},
        }},
        {IDD_BROWSE_FOLDER, "browse-folder", "HALCYRA Pixalon Browse Folder", 225, 173, {
            {IDC_BROWSE_OK, Kind::DefPush, "&OK"},
            {IDC_BROWSE_CANCEL, Kind::Push, "&Cancel"},
            {IDC_BROWSE_NEW_FOLDER, Kind::Push, "&New Folder"},
            {IDC_BROWSE_TREE, Kind::Tree, ""},
        }},
        {IDD_WELCOME, "welcome", "", 257, 183, {
            {IDC_WELCOME_OK, Kind::DefPush, "&OK"},
            {IDC_WELCOME_SHOW_ON_STARTUP, Kind::Check, "&Display on Startup"},
            {IDC_WELCOME_CAPTION, Kind::Bitmap, nullptr},
            {IDC_WELCOME_PICTURE, Kind::Bitmap, nullptr},
        }},
        {IDD_CAMERA_SELECT, "camera-select", "HALCYRA Pixalon Picture Selection", 395, 207, {
            {kStatic, Kind::Text, "Select the pictures you would like to transfer and          move them to the Picture Transfer List"},
            {kStatic, Kind::Text, "File Selection"},
            {IDC_SELECT_FILES, Kind::List, ""},
            {IDC_SELECT_ADD, Kind::Push, "A&dd to List ->", kDisabled},
            {IDC_SELECT_REMOVE, Kind::Push, "&Remove from List", kDisabled},
            {IDC_SELECT_REMOVE_ALL, Kind::Push, "Remove &All from List", kDisabled},
            {kStatic, Kind::Text, "Picture Transfer List"},
            {IDC_SELECT_TRANSFER_LIST, Kind::List, ""},
            {kStatic, Kind::Text, "Folder Selection"},
            {IDC_SELECT_TREE, Kind::Tree, ""},
            {IDC_SELECT_THUMBNAIL, Kind::Sunken, ""},
            {IDC_SELECT_SHOW_THUMBNAIL, Kind::Check, "Show &Thumbnail"},
            {IDC_SELECT_OK, Kind::DefPush, "&OK", kDisabled},
            {IDC_SELECT_CANCEL, Kind::Push, "&Cancel"},
            {IDC_SELECT_HELP, Kind::Push, "&Help"},
        }},
        {IDD_FOLDER_SELECT, "folder-select", "HALCYRA Pixalon Picture Selection", 395, 207, {
            {kStatic, Kind::Text, "Select the pictures you would like to transfer and          move them to the Picture Transfer List"},
            {kStatic, Kind::Text, "File Selection"},
            {IDC_SELECT_FILES, Kind::SortedList, ""},
            {IDC_SELECT_ADD, Kind::Push, "A&dd to List ->", kDisabled},
            {IDC_SELECT_REMOVE, Kind::Push, "&Remove from List", kDisabled},
            {IDC_SELECT_REMOVE_ALL, Kind::Push, "Remove &All from List", kDisabled},
            {kStatic, Kind::Text, "Picture Transfer List"},
            {IDC_SELECT_TRANSFER_LIST, Kind::List, ""},
            {kStatic, Kind::Text, "Folder Selection"},
            {IDC_SELECT_TREE, Kind::TreeNoDrag, ""},
            {IDC_SELECT_THUMBNAIL, Kind::Sunken, ""},
            {IDC_SELECT_SHOW_THUMBNAIL, Kind::Check, "Show &Thumbnail"},
            {IDC_SELECT_OK, Kind::DefPush, "&OK", kDisabled},
            {IDC_SELECT_CANCEL, Kind::Push, "&Cancel"},
            {IDC_SELECT_HELP, Kind::Push, "&Help"},
        }},
        {IDD_NEW_FOLDER, "new-folder", "Create new folder", 186, 61, {
            {IDC_NEWFOLDER_NAME, Kind::Edit, ""},
            {IDC_NEWFOLDER_OK, Kind::DefPush, "&OK"},
            {IDC_NEWFOLDER_CANCEL, Kind::Push, "&Cancel"},
            {kStatic, Kind::Text, "Enter new folder name:"},
            {kStatic, Kind::Text, "Current folder:"},
            {IDC_NEWFOLDER_CURRENT, Kind::Text, ""},
        }},
        {IDD_CAMERA_NOT_FOUND, "camera-not-found", "Pixalon", 238, 108, {
            {IDC_NOTFOUND_OK, Kind::DefPush, "OK"},
            {IDC_NOTFOUND_CANCEL, Kind::Push, "Cancel", kDisabled | kHidden},
            {IDC_NOTFOUND_HELP, Kind::Push, "Help"},
            {kStatic, Kind::Text, "Can not find the Halcyra Cirra Digital Camera."},
            {kStatic, Kind::Text, "Please check:"},
            {kStatic, Kind::Text, "1) Camera is turned on."},
            {kStatic, Kind::Text, "2) Port and speed selections."},
            {kStatic, Kind::Text, "3) Port conflicts with other system devices."},
            {kStatic, Kind::Text, "See Help and User Guide for more information."},
        }},
        {IDD_PREFERENCES, "preferences", "HALCYRA Pixalon Preferences", 252, 234, {
            {kStatic, Kind::Group, "Copy / Move"},
            {IDC_PREFS_DELETE, Kind::Check, "De&lete Pictures from Source after Transfer"},
            {kStatic, Kind::Group, "Communication"},
            {kStatic, Kind::Text, "Camera Type:"},
            {IDC_PREFS_CAMERA, Kind::DropList, ""},
            {kStatic, Kind::Text, "Port:"},
            {IDC_PREFS_PORT, Kind::DropList, ""},
            {kStatic, Kind::Text, "Speed:"},
            {IDC_PREFS_SPEED, Kind::DropList, ""},
            {kStatic, Kind::Group, "File Conversion"},
            {kStatic, Kind::Text, "File type:"},
            {IDC_PREFS_FILETYPE, Kind::DropList, ""},
            {IDC_PREFS_QUALITY_LABEL, Kind::Text, "Quality"},
            {IDC_PREFS_GOOD, Kind::Radio, "&Good"},
            {IDC_PREFS_BETTER, Kind::Radio, "&Better"},
            {IDC_PREFS_BEST, Kind::Radio, "B&est"},
            {IDC_PREFS_NO_COMPRESSION, Kind::Radio, "N&o Compression"},
            {kStatic, Kind::Group, "Progress"},
            {IDC_PREFS_SHOW_PROGRESS, Kind::Check, "&Show Progress Window"},
            {IDC_PREFS_ALWAYS_ON_TOP, Kind::Check, "Always on &Top"},
            {kStatic, Kind::Group, "Notification method"},
            {IDC_PREFS_POPUP, Kind::Radio, "&Pop-up Dialog"},
            {IDC_PREFS_ANIMATED_ICON, Kind::Radio, "Animated &Icon"},
            {IDC_PREFS_NOTIFY, Kind::Check, "&Notify When Complete"},
            {IDC_PREFS_ALERT_SOUND, Kind::Check, "Ale&rt Sound"},
            {IDC_PREFS_HELP, Kind::Push, "&Help"},
            {IDC_PREFS_DEFAULTS, Kind::Push, "&Default Settings"},
            {IDC_PREFS_ACCEPT, Kind::DefPush, "&Accept"},
            {IDC_PREFS_CANCEL, Kind::Push, "&Cancel"},
            {IDC_PREFS_STATUS, Kind::Sunken, ""},
        }},
    };
    return dialogs;
}

// ------------------------------------------------------------ template reader

struct TemplateItem {
    DWORD style;
    short x, y, cx, cy;
    int id;
    std::string cls;    // "#128" for the predefined classes by atom
    std::string title;  // "#n" for a resource ordinal
};

struct Template {
    bool extended = false;
    DWORD style = 0;
    short cx = 0, cy = 0;
    std::string title, font;
    WORD points = 0;
    std::vector<TemplateItem> items;
};

std::string ReadSzOrOrd(const WORD*& p)
{
    if (*p == 0xFFFF) {
        std::string s = "#" + std::to_string(p[1]);
        p += 2;
        return s;
    }
    std::string s;
    while (*p) s += static_cast<char>(*p++);
    ++p;
    return s;
}

Template ReadTemplate(HMODULE m, int id)
{
    Template t;
    HRSRC r = FindResourceA(m, MAKEINTRESOURCEA(id), RT_DIALOG);
    if (!r) return t;
    const auto* dt = static_cast<const DLGTEMPLATE*>(LockResource(LoadResource(m, r)));
    if (reinterpret_cast<const WORD*>(dt)[1] == 0xFFFF) {
        t.extended = true;  // this reader keeps to plain templates
        return t;
    }
    t.style = dt->style;
    t.cx = dt->cx;
    t.cy = dt->cy;
    const WORD* p = reinterpret_cast<const WORD*>(dt + 1);
    ReadSzOrOrd(p);  // menu
    ReadSzOrOrd(p);  // class
    t.title = ReadSzOrOrd(p);
    if (t.style & DS_SETFONT) {
        t.points = *p++;
        t.font = ReadSzOrOrd(p);
    }
    for (int i = 0; i < dt->cdit; ++i) {
        p = reinterpret_cast<const WORD*>((reinterpret_cast<ULONG_PTR>(p) + 3) & ~ULONG_PTR(3));
        const auto* it = reinterpret_cast<const DLGITEMTEMPLATE*>(p);
        TemplateItem item{it->style, it->x, it->y, it->cx, it->cy, static_cast<short>(it->id), "", ""};
        p = reinterpret_cast<const WORD*>(it + 1);
        item.cls = ReadSzOrOrd(p);
        item.title = ReadSzOrOrd(p);
        WORD extra = *p++;
        p = reinterpret_cast<const WORD*>(reinterpret_cast<const BYTE*>(p) + extra);
        t.items.push_back(item);
    }
    return t;
}

// ------------------------------------------------------------------ helpers

INT_PTR CALLBACK QuietProc(HWND, UINT msg, WPARAM, LPARAM)
{
    return msg == WM_INITDIALOG;
}

struct DialogWindow {
    HWND hwnd;
    explicit DialogWindow(HMODULE m, int id)
        : hwnd(CreateDialogParamA(m, MAKEINTRESOURCEA(id), nullptr, QuietProc, 0)) {}
    ~DialogWindow() { if (hwnd) DestroyWindow(hwnd); }
};

std::string ClassOf(HWND w)
{
    char buf[64] = "";
    GetClassNameA(w, buf, sizeof buf);
    return buf;
}

std::string TextOf(HWND w)
{
    char buf[512] = "";
    GetWindowTextA(w, buf, sizeof buf);
    return buf;
}

std::vector<HWND> Children(HWND dlg)
{
    std::vector<HWND> out;
    for (HWND c = GetWindow(dlg, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) out.push_back(c);
    return out;
}

const char* ClassFor(Kind k)
{
    switch (k) {
    case Kind::OwnerDraw: case Kind::Push: case Kind::DefPush:
    case Kind::Check: case Kind::Radio: case Kind::Group: return "Button";
    case Kind::Text: case Kind::Sunken: case Kind::Icon: case Kind::Bitmap: return "Static";
    case Kind::Edit: return "Edit";
    case Kind::DropList: return "ComboBox";
    case Kind::List: case Kind::SortedList: return WC_LISTVIEWA;
    case Kind::Tree: case Kind::TreeNoDrag: return WC_TREEVIEWA;
    case Kind::Progress: return PROGRESS_CLASSA;
    }
    return "";
}

// Finds a control of the table: by identifier, or an unnumbered one by class and text.
HWND FindControl(HWND dlg, const Ctl& c)
{
    if (c.id != kStatic) return GetDlgItem(dlg, c.id);
    for (HWND w : Children(dlg)) {
        if (GetDlgCtrlID(w) != 0xFFFF && GetDlgCtrlID(w) != -1) continue;
        if (_stricmp(ClassOf(w).c_str(), ClassFor(c.kind)) != 0) continue;
        LONG style = GetWindowLongA(w, GWL_STYLE);
        if (c.kind == Kind::Icon) {
            if ((style & SS_TYPEMASK) == SS_ICON) return w;
            continue;
        }
        if (c.kind == Kind::Group && (style & BS_TYPEMASK) != BS_GROUPBOX) continue;
        if (TextOf(w) == c.text) return w;
    }
    return nullptr;
}

void CheckKind(HWND w, const Ctl& c)
{
    LONG style = GetWindowLongA(w, GWL_STYLE);
    EXPECT_STRCASEEQ(ClassOf(w).c_str(), ClassFor(c.kind));
    switch (c.kind) {
    case Kind::OwnerDraw: EXPECT_EQ(style & BS_TYPEMASK, BS_OWNERDRAW); break;
    case Kind::Push: EXPECT_EQ(style & BS_TYPEMASK, BS_PUSHBUTTON); break;
    case Kind::DefPush: EXPECT_EQ(style & BS_TYPEMASK, BS_DEFPUSHBUTTON); break;
    case Kind::Check: EXPECT_EQ(style & BS_TYPEMASK, BS_AUTOCHECKBOX); break;
    case Kind::Radio: EXPECT_EQ(style & BS_TYPEMASK, BS_AUTORADIOBUTTON); break;
    case Kind::Group: EXPECT_EQ(style & BS_TYPEMASK, BS_GROUPBOX); break;
    case Kind::Text:
    case Kind::Sunken: {
        LONG type = style & SS_TYPEMASK;
        EXPECT_TRUE(type == SS_LEFT || type == SS_CENTER || type == SS_LEFTNOWORDWRAP) << type;
        EXPECT_EQ((style & SS_SUNKEN) != 0, c.kind == Kind::Sunken);
        break;
    }
    case Kind::Icon: EXPECT_EQ(style & SS_TYPEMASK, SS_ICON); break;
    case Kind::Bitmap: EXPECT_EQ(style & SS_TYPEMASK, SS_BITMAP); break;
    case Kind::Edit: break;
    case Kind::DropList: EXPECT_EQ(style & 3, CBS_DROPDOWNLIST); break;
    case Kind::List:
    case Kind::SortedList:
        EXPECT_EQ(style & LVS_TYPEMASK, LVS_LIST);
        EXPECT_TRUE(style & LVS_SHAREIMAGELISTS);
        EXPECT_FALSE(style & LVS_SINGLESEL);  // several pictures are picked at once
        EXPECT_FALSE(style & LVS_SHOWSELALWAYS);  // the selection shows only with the focus
        EXPECT_EQ((style & LVS_SORTASCENDING) != 0, c.kind == Kind::SortedList);
        break;
    case Kind::Tree:
    case Kind::TreeNoDrag: {
        const LONG need = TVS_HASBUTTONS | TVS_HASLINES | TVS_SHOWSELALWAYS;
        EXPECT_EQ(style & need, need);
        EXPECT_EQ((style & TVS_DISABLEDRAGDROP) != 0, c.kind == Kind::TreeNoDrag);
        break;
    }
    case Kind::Progress: break;
    }
    if (c.text && c.kind != Kind::Icon && c.kind != Kind::Bitmap) {
        EXPECT_EQ(TextOf(w), c.text);
    }
    EXPECT_EQ(IsWindowEnabled(w) == FALSE, (c.state & kDisabled) != 0);
    EXPECT_EQ((style & WS_VISIBLE) == 0, (c.state & kHidden) != 0);
}

class DialogTest : public PixresTest, public ::testing::WithParamInterface<Dlg> {};

// ------------------------------------------------------------------- tests

TEST_P(DialogTest, TemplateHasItsCaptionSizeAndFont)
{
    const Dlg& d = GetParam();
    Template t = ReadTemplate(module(), d.id);
    ASSERT_FALSE(t.extended);
    EXPECT_EQ(t.title, d.caption);
    EXPECT_EQ(t.cx, d.cx);
    EXPECT_EQ(t.cy, d.cy);
    EXPECT_EQ(t.font, "MS Sans Serif");
    EXPECT_EQ(t.points, 8);
    EXPECT_EQ(t.items.size(), d.controls.size()) << "controls that the program does not know of";
}

TEST_P(DialogTest, CreatesWithEveryControlOfItsKindAndState)
{
    const Dlg& d = GetParam();
    DialogWindow dlg(module(), d.id);
    ASSERT_NE(dlg.hwnd, nullptr) << "error " << GetLastError();
    EXPECT_EQ(TextOf(dlg.hwnd), d.caption);
    for (const Ctl& c : d.controls) {
        SCOPED_TRACE(std::string(d.name) + " control " + std::to_string(c.id) + " " + (c.text ? c.text : ""));
        HWND w = FindControl(dlg.hwnd, c);
        ASSERT_NE(w, nullptr);
        CheckKind(w, c);
    }
}

std::string DialogName(const ::testing::TestParamInfo<Dlg>& info)
{
    std::string s = std::to_string(info.param.id) + "_" + info.param.name;
    for (char& ch : s)
        if (ch == '-') ch = '_';
    return s;
}

INSTANTIATE_TEST_SUITE_P(Templates, DialogTest, ::testing::ValuesIn(Dialogs()), DialogName);

// Details the program relies on that a generic table does not express.
TEST_F(PixresTest, WindowStylesFitHowEachDialogIsUsed)
{
    auto style = [&](int id) { return ReadTemplate(module(), id).style; };
    // The main and progress windows live on the taskbar and can be minimised.
    for (int id : {IDD_MAIN, IDD_PROGRESS}) {
        EXPECT_EQ(style(id) & (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX),
                  static_cast<DWORD>(WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX)) << id;
        EXPECT_FALSE(style(id) & WS_MAXIMIZEBOX) << id;
    }
    // The notices have no caption bar; the connecting notice shows itself.
    for (int id : {IDD_CONNECTING, IDD_WELCOME}) {
        EXPECT_NE(style(id) & WS_CAPTION, static_cast<DWORD>(WS_CAPTION)) << id;
    }
    EXPECT_TRUE(style(IDD_CONNECTING) & WS_VISIBLE);
    for (const Dlg& d : Dialogs()) {
        if (d.id != IDD_CONNECTING) {
            EXPECT_FALSE(style(d.id) & WS_VISIBLE) << d.id;
        }
    }
}

TEST_F(PixresTest, BitmapButtonsAreAsLargeAsTheirBitmaps)
{
    DialogWindow dlg(module(), IDD_MAIN);
    ASSERT_NE(dlg.hwnd, nullptr);
    const std::pair<int, int> buttons[] = {
        {IDC_MAIN_GET_ALL, 54}, {IDC_MAIN_GET_SELECTED, 54}, {IDC_MAIN_GET_FROM_DISK, 54},
        {IDC_MAIN_HELP, 36}, {IDC_MAIN_PREFERENCES, 36}, {IDC_MAIN_TRANSFER, 36}, {IDC_MAIN_EXIT, 36},
    };
    for (auto [id, px] : buttons) {
        RECT r;
        GetWindowRect(GetDlgItem(dlg.hwnd, id), &r);
        EXPECT_EQ(r.right - r.left, px) << id;
        EXPECT_EQ(r.bottom - r.top, px) << id;
    }
}

TEST_F(PixresTest, TemplatesCarryTheFixedControlSizesAndPictures)
{
    auto item = [&](const Template& t, int id) -> TemplateItem {
        for (const auto& i : t.items)
            if (i.id == id) return i;
        ADD_FAILURE() << "no control " << id;
        return {};
    };
    Template browse = ReadTemplate(module(), IDD_BROWSE_FOLDER);
    TemplateItem tree = item(browse, IDC_BROWSE_TREE);
    EXPECT_EQ(tree.cx, 153);
    EXPECT_EQ(tree.cy, 158);

    Template welcome = ReadTemplate(module(), IDD_WELCOME);
    TemplateItem box = item(welcome, IDC_WELCOME_SHOW_ON_STARTUP);
    EXPECT_EQ(box.cx, 8);
    EXPECT_EQ(box.cy, 8);
    TemplateItem picture = item(welcome, IDC_WELCOME_PICTURE);
    EXPECT_EQ(picture.title, "#" + std::to_string(IDB_WELCOME_PICTURE));
    EXPECT_EQ(picture.x, 0);
    EXPECT_EQ(picture.y, 0);
    EXPECT_GE(picture.cx, welcome.cx);
    EXPECT_GE(picture.cy, welcome.cy);
    EXPECT_EQ(item(welcome, IDC_WELCOME_CAPTION).title, "#" + std::to_string(IDB_STARTUP_CAPTION));

    // The completion notice shows the application icon, the error dialog
    // starts with the error sign until the program picks one.
    bool app_icon = false;
    for (const auto& i : ReadTemplate(module(), IDD_FINISH).items) {
        app_icon |= (i.style & SS_TYPEMASK) == SS_ICON && i.title == "#" + std::to_string(IDI_APP);
    }
    EXPECT_TRUE(app_icon);
    EXPECT_EQ(item(ReadTemplate(module(), IDD_ERROR), IDC_ERROR_ICON).title, "#" + std::to_string(IDI_ERROR_SIGN));
}

TEST_F(PixresTest, WelcomePicturesShowInTheirControls)
{
    DialogWindow dlg(module(), IDD_WELCOME);
    ASSERT_NE(dlg.hwnd, nullptr);
    auto image_size = [&](int id) {
        auto bmp = reinterpret_cast<HBITMAP>(SendDlgItemMessageA(dlg.hwnd, id, STM_GETIMAGE, IMAGE_BITMAP, 0));
        BITMAP bm{};
        if (bmp) GetObjectA(bmp, sizeof bm, &bm);
        return std::pair{static_cast<int>(bm.bmWidth), static_cast<int>(bm.bmHeight)};
    };
    EXPECT_EQ(image_size(IDC_WELCOME_PICTURE), (std::pair{387, 297}));
    EXPECT_EQ(image_size(IDC_WELCOME_CAPTION), (std::pair{100, 20}));
    // The picture lies beneath the other controls.
    EXPECT_EQ(GetWindow(dlg.hwnd, GW_CHILD) == GetDlgItem(dlg.hwnd, IDC_WELCOME_PICTURE), false);
    EXPECT_EQ(GetWindow(GetDlgItem(dlg.hwnd, IDC_WELCOME_PICTURE), GW_HWNDNEXT), nullptr);
}

// Automatic radio buttons clear every other radio button of their group, so a
// group that runs on into the next one would lose the other's choice.
TEST_F(PixresTest, RadioGroupsHoldExactlyTheirButtons)
{
    struct Group { int dialog; std::vector<int> radios; };
    const Group groups[] = {
        {IDD_MAIN, {IDC_MAIN_USE_EXISTING, IDC_MAIN_USE_TEMPLATE}},
        {IDD_PREFERENCES, {IDC_PREFS_GOOD, IDC_PREFS_BETTER, IDC_PREFS_BEST, IDC_PREFS_NO_COMPRESSION}},
        {IDD_PREFERENCES, {IDC_PREFS_POPUP, IDC_PREFS_ANIMATED_ICON}},
    };
    for (const Group& g : groups) {
        DialogWindow dlg(module(), g.dialog);
        ASSERT_NE(dlg.hwnd, nullptr);
        HWND first = GetDlgItem(dlg.hwnd, g.radios.front());
        EXPECT_TRUE(GetWindowLongA(first, GWL_STYLE) & WS_GROUP);
        std::vector<int> members;
        HWND w = first;
        do {
            members.push_back(GetDlgCtrlID(w));
            w = GetNextDlgGroupItem(dlg.hwnd, w, FALSE);
        } while (w && w != first && members.size() < 50);
        EXPECT_EQ(members, g.radios) << "dialog " << g.dialog;
        // Clicking the last one leaves it the only checked radio in the dialog.
        CheckDlgButton(dlg.hwnd, g.radios.front(), BST_CHECKED);
        SendDlgItemMessageA(dlg.hwnd, g.radios.back(), BM_CLICK, 0, 0);
        EXPECT_EQ(IsDlgButtonChecked(dlg.hwnd, g.radios.front()), static_cast<UINT>(BST_UNCHECKED));
        EXPECT_EQ(IsDlgButtonChecked(dlg.hwnd, g.radios.back()), static_cast<UINT>(BST_CHECKED));
    }
}

// ------------------------------------------------------------------- layout

RECT RectIn(HWND dlg, HWND w)
{
    RECT r;
    GetWindowRect(w, &r);
    MapWindowPoints(nullptr, dlg, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

bool Inside(const RECT& inner, const RECT& outer)
{
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

bool Overlap(const RECT& a, const RECT& b)
{
    RECT i;
    return IntersectRect(&i, &a, &b) != FALSE;
}

bool IsGroupBox(HWND w)
{
    return _stricmp(ClassOf(w).c_str(), "Button") == 0 &&
           (GetWindowLongA(w, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
}

bool IsBackground(HWND w) { return GetDlgCtrlID(w) == IDC_WELCOME_PICTURE; }

TEST_P(DialogTest, ControlsStayInsideAndApart)
{
    const Dlg& d = GetParam();
    DialogWindow dlg(module(), d.id);
    ASSERT_NE(dlg.hwnd, nullptr);
    RECT client;
    GetClientRect(dlg.hwnd, &client);
    std::vector<HWND> kids = Children(dlg.hwnd);
    for (HWND a : kids) {
        if (IsBackground(a)) continue;
        RECT ra = RectIn(dlg.hwnd, a);
        EXPECT_TRUE(Inside(ra, client)) << d.name << ": control " << GetDlgCtrlID(a) << " '" << TextOf(a)
                                        << "' leaves the dialog";
        for (HWND b : kids) {
            if (b <= a || IsBackground(b)) continue;
            RECT rb = RectIn(dlg.hwnd, b);
            if (!Overlap(ra, rb)) continue;
            // A group box frames whole controls, never a part of one.
            if (IsGroupBox(a) && Inside(rb, ra)) continue;
            if (IsGroupBox(b) && Inside(ra, rb)) continue;
            ADD_FAILURE() << d.name << ": control " << GetDlgCtrlID(a) << " '" << TextOf(a) << "' overlaps "
                          << GetDlgCtrlID(b) << " '" << TextOf(b) << "'";
        }
    }
}

// How much room a text needs inside its control, in pixels.
struct Fit {
    bool ok;
    SIZE need, have;
};

Fit TextFits(HWND w, const std::string& text)
{
    HWND dlg = GetParent(w);
    HDC dc = GetDC(w);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(dlg, WM_GETFONT, 0, 0)));
    RECT client;
    GetClientRect(w, &client);
    LONG style = GetWindowLongA(w, GWL_STYLE);
    std::string cls = ClassOf(w);
    SIZE have{client.right, client.bottom};
    RECT calc{0, 0, client.right, 0};
    bool is_static = _stricmp(cls.c_str(), "Static") == 0;
    if (is_static && (style & SS_TYPEMASK) != SS_LEFTNOWORDWRAP) {
        DrawTextA(dc, text.c_str(), -1, &calc, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS);
    } else {
        calc.right = 0;
        DrawTextA(dc, text.c_str(), -1, &calc, DT_CALCRECT | DT_SINGLELINE);
    }
    SIZE need{calc.right, calc.bottom};
    if (!is_static) {
        switch (style & BS_TYPEMASK) {
        case BS_AUTOCHECKBOX:
        case BS_AUTORADIOBUTTON:
            need.cx += GetSystemMetrics(SM_CXMENUCHECK) + 4;  // the box and its gap
            break;
        case BS_GROUPBOX:
            need.cx += 16;  // the frame runs on both sides of the caption
            break;
        default:
            need.cx += 8;  // bevel and focus rectangle
            need.cy += 4;
            break;
        }
    }
    if (is_static && (style & SS_SUNKEN)) {
        have.cx -= 2;
    }
    SelectObject(dc, old);
    ReleaseDC(w, dc);
    return {need.cx <= have.cx && need.cy <= have.cy, need, have};
}

TEST_P(DialogTest, NoCaptionIsCutOff)
{
    const Dlg& d = GetParam();
    DialogWindow dlg(module(), d.id);
    ASSERT_NE(dlg.hwnd, nullptr);
    for (HWND w : Children(dlg.hwnd)) {
        LONG style = GetWindowLongA(w, GWL_STYLE);
        std::string text = TextOf(w);
        if (text.empty()) continue;
        std::string cls = ClassOf(w);
        if (_stricmp(cls.c_str(), "Button") == 0 && (style & BS_TYPEMASK) == BS_OWNERDRAW) continue;  // a mnemonic only
        if (GetDlgCtrlID(w) == IDC_WELCOME_SHOW_ON_STARTUP && d.id == IDD_WELCOME) continue;  // the box alone, by design
        Fit f = TextFits(w, text);
        EXPECT_TRUE(f.ok) << d.name << ": '" << text << "' needs " << f.need.cx << "x" << f.need.cy << " px, has "
                          << f.have.cx << "x" << f.have.cy;
    }
}

std::string Load(HMODULE m, UINT id)
{
    char buf[1024] = "";
    LoadStringA(m, id, buf, sizeof buf);
    return buf;
}

// The texts the program puts into the empty controls at run time, at their
// longest, must fit as well.
TEST_F(PixresTest, RunTimeTextsFitTheirControls)
{
    auto s = [&](UINT id) { return Load(module(), id); };
    struct Case { int dialog, control; std::string text; };
    std::vector<Case> cases = {
        {IDD_MAIN, IDC_MAIN_ALL_COUNT, "9999 " + s(176) + "."},
        {IDD_MAIN, IDC_MAIN_DISK_COUNT, "9999 " + s(176) + "."},
        {IDD_MAIN, IDC_MAIN_SELECTED_COUNT, "9999 " + s(176) + " " + s(177) + " 9999 " + s(178)},
        {IDD_MAIN, IDC_MAIN_SELECTED_COUNT, s(146)},
        {IDD_MAIN, IDC_MAIN_ALL_COUNT, s(146)},
        {IDD_MAIN, IDC_MAIN_CAMERA_TYPE, s(123)},
        {IDD_MAIN, IDC_MAIN_STATUS, s(135) + s(220)},
        {IDD_MAIN, IDC_MAIN_STATUS, s(135) + s(249)},
        {IDD_PROGRESS, IDC_PROGRESS_STATUS, s(111) + " 9999 " + s(112) + " 9999"},
        {IDD_FINISH, IDC_FINISH_TEXT, s(115) + " 9999 " + s(116) + " 9999 " + s(117)},
        {IDD_ERROR, IDC_ERROR_TEXT, s(217)},
        {IDD_ERROR, IDC_ERROR_TEXT, s(218)},
        {IDD_ERROR, IDC_ERROR_TEXT, s(235)},
        {IDD_ERROR, IDC_ERROR_TEXT, s(236)},
        {IDD_ERROR, IDC_ERROR_TEXT, s(237)},
        {IDD_ERROR, IDC_ERROR_TEXT,
         s(214) + " \"" + s(194) + "\" " + s(215) + " PICT0001.HCR" + s(216)},
    };
    for (UINT id = 129; id <= 141; ++id) cases.push_back({IDD_MAIN, IDC_MAIN_STATUS, s(id)});
    for (UINT id : {144u, 148u, 149u, 150u, 151u, 152u, 153u, 154u, 155u, 156u, 157u, 158u, 159u, 160u, 161u,
                    162u, 163u, 164u})
        cases.push_back({IDD_PREFERENCES, IDC_PREFS_STATUS, s(id)});
    for (UINT id = 165; id <= 172; ++id) cases.push_back({IDD_PROGRESS, IDC_PROGRESS_STATUS, s(id)});

    for (const Case& c : cases) {
        ASSERT_FALSE(c.text.empty());
        DialogWindow dlg(module(), c.dialog);
        ASSERT_NE(dlg.hwnd, nullptr);
        HWND w = GetDlgItem(dlg.hwnd, c.control);
        ASSERT_NE(w, nullptr);
        Fit f = TextFits(w, c.text);
        EXPECT_TRUE(f.ok) << "dialog " << c.dialog << " control " << c.control << ": '" << c.text << "' needs "
                          << f.need.cx << "x" << f.need.cy << " px, has " << f.have.cx << "x" << f.have.cy;
    }
}

} // namespace
