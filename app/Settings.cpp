#include "app/Settings.h"

#include <cstring>
#include <new>

#include "app/ErrorReport.h"
#include "resources/resource.h"
#include "winui/Resources.h"

namespace {

// One persisted field: its value name and where it lives in the record.
struct Field {
    using Text = std::string PersistedSettings::*;
    using Number = std::int32_t PersistedSettings::*;
    constexpr Field(const char* n, Text t) : name(n), text(t) {}
    constexpr Field(const char* n, Number v) : name(n), number(v) {}

    const char* name;
    Text text = nullptr;
    Number number = nullptr;
    bool windowPosition() const { return number == &PersistedSettings::ProgressDlgPosX || number == &PersistedSettings::ProgressDlgPosY; }
};

// The order in which values are read and written.
const Field kFields[] = {
    {"Source", &PersistedSettings::Source},
    {"DesktopName", &PersistedSettings::DesktopName},
    {"Destination", &PersistedSettings::Destination},
    {"MemType", &PersistedSettings::MemType},
    {"AlbumNo", &PersistedSettings::AlbumNo},
    {"CameraType", &PersistedSettings::CameraType},
    {"Port", &PersistedSettings::Port},
    {"BitRate", &PersistedSettings::BitRate},
    {"Template", &PersistedSettings::Template},
    {"IfUseCameraName", &PersistedSettings::IfUseCameraName},
    {"IfCameraThumbnail", &PersistedSettings::IfCameraThumbnail},
    {"IfDiskThumbnail", &PersistedSettings::IfDiskThumbnail},
    {"IfRemoveMove", &PersistedSettings::IfRemoveMove},
    {"TransferSource", &PersistedSettings::TransferSource},
    {"FileType", &PersistedSettings::FileType},
    {"Quality", &PersistedSettings::Quality},
    {"IfShowProgress", &PersistedSettings::IfShowProgress},
    {"IfAlwaysOnTop", &PersistedSettings::IfAlwaysOnTop},
    {"PopupOrIcon", &PersistedSettings::PopupOrIcon},
    {"IfNotifyComplete", &PersistedSettings::IfNotifyComplete},
    {"IfAlertSound", &PersistedSettings::IfAlertSound},
    {"IfWelcomeScreen", &PersistedSettings::IfWelcomeScreen},
    {"IfDisplayFileExtension", &PersistedSettings::IfDisplayFileExtension},
    {"ProgressDlgPosX", &PersistedSettings::ProgressDlgPosX},
    {"ProgressDlgPosY", &PersistedSettings::ProgressDlgPosY},
};

class Key {
public:
    Key() = default;
    ~Key()
    {
        if (key_) RegCloseKey(key_);
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;

    bool Open()
    {
        return RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSettingsKey, 0, KEY_ALL_ACCESS, &key_) == ERROR_SUCCESS;
    }
    bool Create()
    {
        DWORD disposition = 0;
        return RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSettingsKey, 0, const_cast<char*>(kSettingsKeyClass),
                               REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key_,
                               &disposition) == ERROR_SUCCESS;
    }
    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

// A number stored with any size but 4 bytes would fill only part of the field
// (or none of it): it counts as missing.
bool ReadNumber(HKEY key, const char* name, std::int32_t& value)
{
    std::int32_t read = 0;
    DWORD size = sizeof read;
    if (RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&read), &size) != ERROR_SUCCESS ||
        size != sizeof read)
        return false;
    value = read;
    return true;
}

// A text longer than a path buffer counts as missing. Stored texts need not
// end with a zero: the text ends at the first zero or at the stored size.
bool ReadText(HKEY key, const char* name, std::string& value)
{
    char buffer[MAX_PATH];
    DWORD size = sizeof buffer;
    if (RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS)
        return false;
    if (size > sizeof buffer) size = sizeof buffer;
    value.assign(buffer, strnlen(buffer, size));
    return true;
}

void WriteNumber(HKEY key, const char* name, std::int32_t value)
{
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

}  // namespace

void LoadSettings(PersistedSettings& settings)
{
    try {
        // Built aside, so that running out of memory half-way leaves the
        // record as it was.
        PersistedSettings loaded;
        loaded.DesktopName = winui::LoadText(IDS_MY_COMPUTER);
        loaded.Template = winui::LoadText(IDS_PICT_PREFIX);
        const PersistedSettings defaults = loaded;

        Key key;
        if (key.Open()) {
            for (const Field& f : kFields) {
                if (f.text) {
                    ReadText(key.get(), f.name, loaded.*f.text);
                } else if (!ReadNumber(key.get(), f.name, loaded.*f.number)) {
                    // The camera selection's thumbnail check was added to an
                    // existing key later: a key without it means "off".
                    loaded.*f.number = f.number == &PersistedSettings::IfCameraThumbnail ? 0 : defaults.*f.number;
                }
            }
        }
        settings = std::move(loaded);
    } catch (...) {
        ReportError(kErrorMemory, 0, false, {});
    }
}

void SaveSettings(const PersistedSettings& settings)
{
    try {
        Key key;
        if (!key.Create()) return;
        for (const Field& f : kFields) {
            if (f.text) {
                // The stored size counts no terminating zero.
                const std::string& text = settings.*f.text;
                RegSetValueExA(key.get(), f.name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.data()),
                               static_cast<DWORD>(text.size()));
            } else if (!f.windowPosition()) {
                WriteNumber(key.get(), f.name, settings.*f.number);
            }
        }
    } catch (...) {
        ReportError(kErrorMemory, 0, false, {});
    }
}

void SaveProgressWindowPosition(std::int32_t x, std::int32_t y)
{
    Key key;
    if (!key.Create()) return;
    WriteNumber(key.get(), "ProgressDlgPosX", x);
    WriteNumber(key.get(), "ProgressDlgPosY", y);
}
