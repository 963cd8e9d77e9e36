// The transfer settings: what the user chose, what the dialogs remember
// between visits, and the pictures picked for the next transfer.
//
// The persisted fields live under HKEY_LOCAL_MACHINE\<kSettingsKey>, each as
// a value of its own name: strings as REG_SZ, everything else as REG_DWORD.
// Integers are signed 32-bit; "If" fields are flags holding 0 or 1.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/CameraPictureRecord.h"

inline constexpr char kSettingsKey[] = "SOFTWARE\\Tellan Halcyra Company\\Pixalon\\1.01";
inline constexpr char kSettingsKeyClass[] = "Pixalon";

// Codes shared with the rest of the program.
enum CameraTypeCode : std::int32_t { kCameraAvena = 100, kCameraBelva = 101, kCameraCirra = 104 };
enum FileTypeCode : std::int32_t { kFileNative = 0, kFileBmp = 1, kFileTiff = 2, kFileJpeg = 3, kFileFlashPix = 4 };
enum TransferSourceCode : std::int32_t { kSourceAllCamera = 0, kSourcePickedCamera = 1, kSourcePickedDisk = 2 };

struct PersistedSettings {
    std::string Source = "C:\\";       // folder last shown by the disk selection
    std::string DesktopName;            // display name of the computer folder (string 220 by default)
    std::string Destination;            // destination folder
    std::int32_t TransferSource = kSourcePickedCamera;
    std::int32_t MemType = 0;           // camera memory last shown by the camera selection
    std::int32_t AlbumNo = 0;           // camera album last shown there
    std::string Template;               // name template (string 221 by default)
    std::int32_t IfUseCameraName = 1;   // keep the pictures' own names instead of the template
    std::int32_t IfCameraThumbnail = 1;
    std::int32_t IfDiskThumbnail = 1;
    std::int32_t IfRemoveMove = 0;      // delete the sources after a successful transfer
    std::int32_t CameraType = kCameraCirra;  // other values read are kept, and shown as Cirra
    std::int32_t Port = 1;              // COM1..COM4
    std::int32_t BitRate = 576;         // hundreds of baud
    std::int32_t FileType = kFileBmp;
    std::int32_t Quality = 90;          // 0 no compression, 75, 90, 100
    std::int32_t IfShowProgress = 1;
    std::int32_t IfAlwaysOnTop = 1;
    std::int32_t PopupOrIcon = 0;       // completion notice: 0 pop-up, 1 animated icon
    std::int32_t IfNotifyComplete = 1;
    std::int32_t IfAlertSound = 1;
    std::int32_t IfWelcomeScreen = 1;
    std::int32_t IfDisplayFileExtension = 1;
    std::int32_t ProgressDlgPosX = 100; // written only by the progress window
    std::int32_t ProgressDlgPosY = 100;
};

struct TransferSettings : PersistedSettings {
    // Pictures chosen from the camera, in transfer order; the list owns them.
    std::vector<std::unique_ptr<CameraPictureRecord>> CameraPictureList;
    // Full paths of the pictures chosen from disk, in transfer order.
    std::vector<std::string> DiskFileList;
    // Per entry of DiskFileList: the folder item text it was picked through, or empty.
    std::vector<std::string> DiskFileInfoList;
    // Destination names of the pictures to transfer, computed before the transfer.
    std::vector<std::string> DestinationNameList;
};

// Sets every persisted field to its default and then takes each value the
// registry holds. Values that are missing, unreadable, too long for a path
// buffer or of the wrong size keep the default, except IfCameraThumbnail,
// which reads as 0 when the key exists without it. Never shows a message
// unless memory runs out; then the fields are left as they were.
void LoadSettings(PersistedSettings& settings);

// Writes every persisted field but the two window-position values. A key that
// cannot be created or written is skipped silently.
void SaveSettings(const PersistedSettings& settings);

// Writes the progress window's position (the two values SaveSettings leaves out).
void SaveProgressWindowPosition(std::int32_t x, std::int32_t y);
