// PIXRES.DLL as the program sees it: loaded by file name, every resource
// looked up by its number.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "resource.h"
#include "pixres_fixture.h"

namespace {

// ------------------------------------------------------------------ strings

struct ExpectedString {
    UINT id;
    const char* text;
};

// Misspellings, double blanks and trailing blanks are deliberate: other code
// joins these fragments into sentences and compares whole texts.
const ExpectedString kStrings[] = {
    {101, "About HALCYRA Pixalon"},
    {102, "Windows BMP"},
    {103, "TIFF"},
    {104, "JPEG"},
    {105, "FlashPix"},
    {110, "Native HCR format"},
    {111, "Transferring picture"},
    {112, "of"},
    {113, "&Pause"},
    {114, "&Continue"},
    {115, "The Pixalon has completed processing your pictures."},
    {116, "errors were encountered while processing"},
    {117, "pictures."},
    {118, "Select Directory..."},
    {119, "Cannot create new folder "},
    {121, "Avena"},
    {122, "Belva"},
    {123, "Cirra"},
    {124, "Memory"},
    {125, "Card"},
    {126, "Pict"},
    {127, "is not  a valid path.  Please try again."},
    {128, " "},
    {129, "Click to display the Pixalon Help file"},
    {130, "Click to set preferences"},
    {131, "Click to exit the application"},
    {132, "Click to start transferring the pictures"},
    {133, "Click to get all pictures from the camera"},
    {134, "Click to get selected pictures from the camera"},
    {135, "Click to get pictures from a folder on "},
    {136, "Click to select a destination folder"},
    {137, "Shows path to selected destination folder"},
    {138, "Type the name template here"},
    {139, "Use the existing camera file names for transferred pictures"},
    {140, "Rename the transferred pictures using the name template"},
    {141, "Currently selected camera type"},
    {142, "Currently selected transfer file format"},
    {143, "HALCYRA Pixalon"},
    {144, "Check to delete the pictures from the picture source after transferring"},
    {145, "A different camera has been selected.  You will have to select a picture source again"},
    {146, "(no picture found from the camera)"},
    {148, "Select the camera type"},
    {149, "Select the computer port into which the camera cable is plugged"},
    {150, "Select the baud rate used to retrive pictures from the camera"},
    {151, "Select an output file conversion"},
    {152, "Click to specify a low-quality output (smallest file size)"},
    {153, "Click to specify a medium-quality output (medium file size)"},
    {154, "Click to specify a high-quality output (large file size)"},
    {155, "Click to specify no output compression (largest file size)"},
    {156, "Check to display a progress window when transferring pictures"},
    {157, "Check to display the progress windows always on top"},
    {158, "Click to set a dialog box as the default notification"},
    {159, "Click to set an aminated icon as the default notification"},
    {160, "Click to receive notification when the picture transfer is complete"},
    {161, "Click to hear an alert sound when notified"},
    {162, "Click to return to the default settings"},
    {163, "Click to close the dialog box and save the changed settings"},
    {164, "Click to close the dialog box without changing the settings"},
    {165, "Please wait ..."},
    {166, "Loading the thumbnail ..."},
    {167, "Loading picture ..."},
    {168, "Preparing to transfer the pictures"},
    {169, "Deleting pictures ..."},
    {170, "Saving picture to disk ..."},
    {171, "Processing and saving picture ..."},
    {172, "Opening camera ..."},
    {173, "Error in openning the dialog.  Please restart the system and try again."},
    {174, "Error in openning the dialog.  Please restart the system and try again."},
    {175, "HALCYRA Pixalon Error"},
    {176, "pictures selected"},
    {177, "(of"},
    {178, "stored)."},
    {179, "230.4KB"},
    {180, "115.2KB"},
    {181, "57.6KB"},
    {182, "38.4KB"},
    {183, "19.2KB"},
    {184, "9.6KB"},
    {185, "Destination folder is not properly set!  Please select a destination folder first."},
    {186, "Camera error:"},
    {187, "Unexpected file access error.  "},
    {188, "Invalid call parameter found"},
    {189, "Error closing the driver"},
    {190, "Attempted to open a camera not connected to the host"},
    {191, "Could not complete because camera contained pictures"},
    {192, "Function not supported by the current opened camera type"},
    {193, "SDK does not handle the specified camera type"},
    {194, "Operation requires the removable memory card, but none was found in the camera"},
    {195, "\nCan not find the Halcyra Digital Camera.  Please check that the camera is turned on, that the Pixalon port and speed settings are correct, and there are no port conflicts with other devices.\n\nSee Help and User Guide for more information."},
    {196, "Function not supported by this system"},
    {197, "Error occurred during image processing"},
    {198, "Attempted to download firmware that was incompatible with the current camera"},
    {199, "Unable to allocate required memory"},
    {200, "Image memory is full"},
    {201, "Attempted to use camera or driver before it was open"},
    {202, "Camera is not in ROM mode"},
    {203, "Unable to open because it is already open"},
    {204, "Unable to complete the command because the camera is in ROM mode"},
    {205, "Camera was already in ROM mode"},
    {206, "Compatibility error while opening the camera"},
    {207, "Can't load camera specific SDK function"},
    {208, "General low-level operating system error"},
    {209, "Unknown error"},
    {210, "Start Over"},
    {211, "Replace"},
    {212, "The Pixalon has encountered an unexpected memory error and connot continue."},
    {213, "The Pixalon has encountered an unexpected system error and connot continue."},
    {214, "The Pixalon has encountered the error"},
    {215, "while processing picture"},
    {216, ". What do you want to do?"},
    {217, "There is not enough space on the destination volume.\n\nPlease free some space or select another destination."},
    {218, "The destination folder currently contains picture(s) with filenames identical to the pictures to be transferred.  Press replace to overwite the existing files, skip to ignore existing files, or startover to select different pictures or specify a different name template."},
    {219, "The picture(s) to transfer are within the destination folder.  Please change the destination folder or specify a different name template."},
    {220, "My Computer"},
    {221, "Pict"},
    {222, "Openning the camera ..."},
    {223, "Trying to access "},
    {224, "have the same name as pictures to be processed.  Please indicate how to handle duplicate pictures, or click Cancel to start over to specify a different destination folder or name template."},
    {226, ".  Do you want to continue anyway?"},
    {227, "Are you sure you want to delete source pictures after a successful transfer?"},
    {228, "The camera, transfer mode and deletion options are not compatible. \nDeletion is turned off."},
    {229, "Missing file PIXRES.DLL."},
    {230, "Application is already running."},
    {231, "The combined destination path and name template is %1 characters, while the system limit is %2.\n\nPlease either shorten the template or choose another destination folder."},
    {233, "The name template contains the character %1.Templates cannot contain: \\ / : * ? \" < > |.\n\nPlease remove the character from the template and try again."},
    {234, "An error occurred while transferring the image(s).\n\nPlease check the camera/source and destination and try again."},
    {235, "The transfer cannot proceed because the destination drive or folder is no longer accessible.\n\nIf writing to a diskette, please check that a formatted, writeable disk is properly inserted into the drive.  If writing to the network, please check that the network is still available."},
    {236, "The transfer cannot proceed because the destination drive or folder is marked read only.\n\nPlease check the attributes of the destination drive or folder."},
    {237, "The transfer cannot proceed because the destination drive is write protected.\n\nIf writing to a diskette, please check the position of the read-write tab.  If writing to a network, please check with your network administrator."},
    {238, "The folder does not contain any images."},
    {239, "Unable to delete all the source images."},
    {240, "The source image file is empty."},
    {241, "The source image file is corrupted."},
    {242, "Tellan Halcyra Company"},
    {243, "Spatial freq. (cy/sample)"},
    {244, "Horizontal SFR (Lum.)"},
    {245, "Undefined Copyright"},
    {246, "Unable to create the destination folder "},
    {247, "There are no pictures in the camera."},
    {248, "The device you selected is not writable.  Please select a different device."},
    {249, "Network Neighborhood"},
    {250, "The output file could not be created or written"},
    {251, "This feature is not available yet."},
};

TEST_F(PixresTest, EveryStringLoadsWithItsExactText)
{
    for (const auto& s : kStrings) {
        char buf[4096];
        std::memset(buf, 'x', sizeof buf);
        int n = LoadStringA(module(), s.id, buf, sizeof buf);
        EXPECT_EQ(n, static_cast<int>(std::strlen(s.text))) << "string " << s.id;
        EXPECT_STREQ(buf, s.text) << "string " << s.id;
    }
}

TEST_F(PixresTest, UndefinedStringsLoadEmpty)
{
    std::set<UINT> defined;
    for (const auto& s : kStrings) defined.insert(s.id);
    std::vector<UINT> probes;
    for (UINT id = 0; id < 300; ++id)
        if (!defined.count(id)) probes.push_back(id);
    // The class library's standard strings are not carried.
    for (UINT id : {61440u, 61441u, 61446u, 61704u, 61888u, 65535u}) probes.push_back(id);
    for (UINT id : probes) {
        char buf[64] = "not touched";
        EXPECT_EQ(LoadStringA(module(), id, buf, sizeof buf), 0) << "string " << id;
        EXPECT_STREQ(buf, "") << "string " << id;
    }
}

// The program loads by number only, in US English; nothing else may lurk in
// the library (a stray resource would shadow the program's own).
BOOL CALLBACK CollectName(HMODULE, LPCSTR, LPSTR name, LONG_PTR out)
{
    EXPECT_TRUE(IS_INTRESOURCE(name)) << "named resource " << name;
    if (IS_INTRESOURCE(name))
        reinterpret_cast<std::set<UINT>*>(out)->insert(static_cast<UINT>(reinterpret_cast<ULONG_PTR>(name)));
    return TRUE;
}

BOOL CALLBACK CollectLanguage(HMODULE, LPCSTR, LPCSTR, WORD lang, LONG_PTR out)
{
    reinterpret_cast<std::vector<WORD>*>(out)->push_back(lang);
    return TRUE;
}

std::set<UINT> ResourceIds(HMODULE m, LPCSTR type)
{
    std::set<UINT> ids;
    EnumResourceNamesA(m, type, CollectName, reinterpret_cast<LONG_PTR>(&ids));
    return ids;
}

TEST_F(PixresTest, HoldsExactlyTheExpectedResourcesInUsEnglish)
{
    const std::set<UINT> dialogs = {102, 129, 131, 132, 133, 140, 141, 143, 144, 145, 197, 301};
    const std::set<UINT> bitmaps = {134, 136, 137, 138, 139, 140, 141, 143, 144, 145, 146, 147, 149, 150,
                                    151, 152, 153, 154, 156, 157, 159, 160, 162, 163, 165, 172, 184, 185, 186};
    const std::set<UINT> icons = {128, 142, 143, 144, 145, 146, 192, 194, 195};
    EXPECT_EQ(ResourceIds(module(), RT_DIALOG), dialogs);
    EXPECT_EQ(ResourceIds(module(), RT_BITMAP), bitmaps);
    EXPECT_EQ(ResourceIds(module(), RT_GROUP_ICON), icons);
    EXPECT_TRUE(ResourceIds(module(), RT_CURSOR).empty());
    EXPECT_TRUE(ResourceIds(module(), RT_GROUP_CURSOR).empty());
    EXPECT_TRUE(ResourceIds(module(), RT_MENU).empty());
    // String blocks of 16: 101..249 live in blocks 7..16.
    std::set<UINT> blocks;
    for (UINT b = 7; b <= 16; ++b) blocks.insert(b);
    EXPECT_EQ(ResourceIds(module(), RT_STRING), blocks);

    const WORD us = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
    auto all_us = [&](LPCSTR type, const std::set<UINT>& ids) {
        for (UINT id : ids) {
            std::vector<WORD> langs;
            EnumResourceLanguagesA(module(), type, MAKEINTRESOURCEA(id), CollectLanguage,
                                   reinterpret_cast<LONG_PTR>(&langs));
            EXPECT_EQ(langs, std::vector<WORD>{us}) << "resource " << id;
        }
    };
    all_us(RT_DIALOG, dialogs);
    all_us(RT_BITMAP, bitmaps);
    all_us(RT_GROUP_ICON, icons);
    all_us(RT_STRING, blocks);
}

// ------------------------------------------------------------------ images

struct ExpectedBitmap {
    UINT id;
    int width, height, bits;
};

const ExpectedBitmap kBitmaps[] = {
    {134, 54, 54, 8}, {136, 54, 54, 8}, {154, 54, 54, 8}, {156, 54, 54, 8},
    {163, 54, 54, 8}, {165, 54, 54, 8},
    {137, 36, 36, 8}, {140, 36, 36, 8}, {146, 36, 36, 8}, {147, 36, 36, 8},
    {149, 36, 36, 8}, {157, 36, 36, 8}, {159, 36, 36, 8}, {160, 36, 36, 8},
    {162, 36, 36, 8},
    {138, 16, 16, 4}, {139, 16, 16, 4}, {141, 16, 16, 4}, {143, 16, 16, 4},
    {144, 16, 16, 4}, {145, 16, 16, 4}, {150, 16, 16, 4}, {151, 16, 16, 4},
    {152, 16, 16, 4}, {153, 16, 16, 4}, {172, 16, 16, 8},
    {184, 387, 297, 8}, {185, 387, 297, 8}, {186, 100, 20, 8},
};

const BITMAPINFOHEADER* BitmapHeader(HMODULE m, UINT id)
{
    HRSRC r = FindResourceA(m, MAKEINTRESOURCEA(id), RT_BITMAP);
    if (!r) return nullptr;
    return static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(m, r)));
}

TEST_F(PixresTest, BitmapsAreUncompressedDibsOfTheirSizeAndDepth)
{
    for (const auto& b : kBitmaps) {
        SCOPED_TRACE("bitmap " + std::to_string(b.id));
        const BITMAPINFOHEADER* h = BitmapHeader(module(), b.id);
        ASSERT_NE(h, nullptr);
        EXPECT_EQ(h->biSize, sizeof(BITMAPINFOHEADER));
        EXPECT_EQ(h->biCompression, static_cast<DWORD>(BI_RGB));
        EXPECT_EQ(h->biWidth, b.width);
        EXPECT_EQ(h->biHeight, b.height); // bottom-up
        EXPECT_EQ(h->biBitCount, b.bits);

        HBITMAP bmp = static_cast<HBITMAP>(
            LoadImageA(module(), MAKEINTRESOURCEA(b.id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        ASSERT_NE(bmp, nullptr);
        DIBSECTION ds{};
        ASSERT_EQ(GetObjectA(bmp, sizeof ds, &ds), static_cast<int>(sizeof ds));
        EXPECT_EQ(ds.dsBm.bmWidth, b.width);
        EXPECT_EQ(ds.dsBm.bmHeight, b.height);
        EXPECT_EQ(ds.dsBm.bmBitsPixel, b.bits);
        DeleteObject(bmp);

        // The way the program loads them: a screen-compatible bitmap.
        HBITMAP ddb = LoadBitmapA(module(), MAKEINTRESOURCEA(b.id));
        ASSERT_NE(ddb, nullptr);
        BITMAP bm{};
        GetObjectA(ddb, sizeof bm, &bm);
        EXPECT_EQ(bm.bmWidth, b.width);
        EXPECT_EQ(bm.bmHeight, b.height);
        DeleteObject(ddb);
    }
}

// Reads a pixel of a bitmap resource as RGB.
COLORREF Pixel(HMODULE m, UINT id, int x, int y)
{
    const BITMAPINFOHEADER* h = BitmapHeader(m, id);
    const auto* palette = reinterpret_cast<const RGBQUAD*>(reinterpret_cast<const BYTE*>(h) + h->biSize);
    int colours = h->biClrUsed ? static_cast<int>(h->biClrUsed) : 1 << h->biBitCount;
    const BYTE* bits = reinterpret_cast<const BYTE*>(palette + colours);
    int stride = ((h->biWidth * h->biBitCount + 31) / 32) * 4;
    const BYTE* row = bits + static_cast<size_t>(h->biHeight - 1 - y) * stride;
    int index = h->biBitCount == 8 ? row[x] : (x % 2 ? row[x / 2] & 15 : row[x / 2] >> 4);
    const RGBQUAD& q = palette[index];
    return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
}

TEST_F(PixresTest, PressedButtonFacesHaveABlackFrameAndNormalOnesDoNot)
{
    struct Pair { UINT pressed, normal; int size; };
    const Pair pairs[] = {{134, 136, 54}, {154, 156, 54}, {163, 165, 54}, {137, 140, 36},
                          {149, 147, 36}, {157, 159, 36}, {160, 162, 36}};
    for (const auto& p : pairs) {
        int black_normal = 0;
        const int n = p.size - 1;
        for (int i = 0; i < p.size; ++i) {
            for (auto [x, y] : {std::pair{i, 0}, std::pair{i, n}, std::pair{0, i}, std::pair{n, i}}) {
                EXPECT_EQ(Pixel(module(), p.pressed, x, y), RGB(0, 0, 0)) << p.pressed << " at " << x << "," << y;
            }
            // Top and left edges of the normal face are lit, not framed (the
            // far corners belong to the shadow edges).
            if (i < n) {
                black_normal += Pixel(module(), p.normal, i, 0) == RGB(0, 0, 0);
                black_normal += Pixel(module(), p.normal, 0, i) == RGB(0, 0, 0);
            }
        }
        EXPECT_EQ(black_normal, 0) << "normal face " << p.normal;
    }
}

TEST_F(PixresTest, IconsHoldOne32By32SixteenColourImage)
{
#pragma pack(push, 2)
    struct GroupEntry {
        BYTE width, height, colours, reserved;
        WORD planes, bits;
        DWORD bytes;
        WORD id;
    };
    struct GroupDir {
        WORD reserved, type, count;
        GroupEntry entries[1];
    };
#pragma pack(pop)
    for (UINT id : {128u, 142u, 143u, 144u, 145u, 146u, 192u, 194u, 195u}) {
        SCOPED_TRACE("icon " + std::to_string(id));
        HRSRC r = FindResourceA(module(), MAKEINTRESOURCEA(id), RT_GROUP_ICON);
        ASSERT_NE(r, nullptr);
        const auto* dir = static_cast<const GroupDir*>(LockResource(LoadResource(module(), r)));
        ASSERT_EQ(dir->count, 1);
        EXPECT_EQ(dir->entries[0].width, 32);
        EXPECT_EQ(dir->entries[0].height, 32);
        EXPECT_EQ(dir->entries[0].colours, 16);
        EXPECT_EQ(dir->entries[0].bits, 4);

        HICON icon = static_cast<HICON>(LoadImageA(module(), MAKEINTRESOURCEA(id), IMAGE_ICON, 32, 32, 0));
        ASSERT_NE(icon, nullptr);
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(icon, &info));
        EXPECT_TRUE(info.fIcon);
        BITMAP bm{};
        GetObjectA(info.hbmColor, sizeof bm, &bm);
        EXPECT_EQ(bm.bmWidth, 32);
        EXPECT_EQ(bm.bmHeight, 32);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(icon);
        // The way the class library loads them.
        HICON plain = LoadIconA(module(), MAKEINTRESOURCEA(id));
        EXPECT_NE(plain, nullptr);
    }
}

// ------------------------------------------------------- module and version

TEST_F(PixresTest, ExportDirectoryNamesTheModuleAndListsNothing)
{
    const BYTE* base = reinterpret_cast<const BYTE*>(module());
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    ASSERT_EQ(dos->e_magic, IMAGE_DOS_SIGNATURE);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    ASSERT_EQ(nt->Signature, IMAGE_NT_SIGNATURE);
    EXPECT_TRUE(nt->FileHeader.Characteristics & IMAGE_FILE_DLL);
    const IMAGE_DATA_DIRECTORY& exp = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    ASSERT_NE(exp.VirtualAddress, 0u);
    ASSERT_GE(exp.Size, sizeof(IMAGE_EXPORT_DIRECTORY));
    const auto* dir = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + exp.VirtualAddress);
    EXPECT_STREQ(reinterpret_cast<const char*>(base + dir->Name), "PIXRES.dll");
    EXPECT_EQ(dir->NumberOfFunctions, 0u);
    EXPECT_EQ(dir->NumberOfNames, 0u);

    // It calls nothing: no imported module at all.
    const IMAGE_DATA_DIRECTORY& imp = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imp.VirtualAddress) {
        const auto* first = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imp.VirtualAddress);
        EXPECT_EQ(first->Name, 0u);
    }
}

TEST_F(PixresTest, VersionRecordNamesTheLibrary)
{
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA("PIXRES.DLL", &handle);
    ASSERT_GT(size, 0u);
    std::vector<char> data(size);
    ASSERT_TRUE(GetFileVersionInfoA("PIXRES.DLL", 0, size, data.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT len = 0;
    ASSERT_TRUE(VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&fixed), &len));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0u);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_DLL));

    struct Translation { WORD language, codepage; }* tr = nullptr;
    ASSERT_TRUE(VerQueryValueA(data.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&tr), &len));
    ASSERT_GE(len, sizeof(Translation));
    EXPECT_EQ(tr->language, 0x0409);
    char block[64];
    wsprintfA(block, "\\StringFileInfo\\%04x%04x\\", tr->language, tr->codepage);

    const std::pair<const char*, const char*> values[] = {
        {"CompanyName", "Tellan Halcyra Company"}, {"FileDescription", "PIXRES DLL"},
        {"FileVersion", "1.0.2"}, {"InternalName", "PIXRES"},
        {"OriginalFilename", "PIXRES.DLL"}, {"ProductName", "Pixalon Resource DLL"},
        {"ProductVersion", "1.0.2"},
    };
    for (const auto& [key, expected] : values) {
        char* value = nullptr;
        std::string path = std::string(block) + key;
        ASSERT_TRUE(VerQueryValueA(data.data(), path.c_str(), reinterpret_cast<void**>(&value), &len)) << key;
        EXPECT_STREQ(value, expected) << key;
    }
}

} // namespace
