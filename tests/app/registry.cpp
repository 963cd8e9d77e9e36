#include "registry.h"

#include <cstring>

namespace testreg {

namespace {
constexpr char kCompany[] = "SOFTWARE\\Tellan Halcyra Company";
constexpr char kKey[] = "SOFTWARE\\Tellan Halcyra Company\\Pixalon\\1.01";
}

namespace {
bool IsText(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ; }
std::wstring Wide(const std::string& s) { return std::wstring(s.begin(), s.end()); }  // value names are ASCII
}

size_t Value::Length() const { return IsText(type) ? data.size() / 2 : data.size(); }

std::string Value::Text() const
{
    if (!IsText(type)) return std::string(data.begin(), data.end());
    std::string text;
    for (size_t i = 0; i + 1 < data.size(); i += 2) {
        const char c = static_cast<char>(data[i] | (data[i + 1] << 8));
        if (!c) break;
        text += c;
    }
    return text;
}

std::uint32_t Value::Number() const
{
    std::uint32_t n = 0;
    std::memcpy(&n, data.data(), data.size() < 4 ? data.size() : 4);
    return n;
}

void DeleteKey()
{
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kCompany);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kCompany);
}

bool KeyExists()
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

std::vector<std::string> ValueNames()
{
    std::vector<std::string> names;
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return names;
    for (DWORD i = 0;; ++i) {
        char name[256];
        DWORD len = sizeof name;
        if (RegEnumValueA(key, i, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        names.emplace_back(name, len);
    }
    RegCloseKey(key);
    return names;
}

std::optional<Value> Read(const std::string& name)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return std::nullopt;
    Value v;
    const std::wstring wname = Wide(name);
    DWORD size = 0;
    LONG rc = RegQueryValueExW(key, wname.c_str(), nullptr, &v.type, nullptr, &size);
    if (rc == ERROR_SUCCESS) {
        v.data.resize(size);
        rc = RegQueryValueExW(key, wname.c_str(), nullptr, &v.type, v.data.data(), &size);
        v.data.resize(size);
    }
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS) return std::nullopt;
    return v;
}

void Write(const std::string& name, DWORD type, const void* data, DWORD size)
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return;
    RegSetValueExA(key, name.c_str(), 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
}

void WriteText(const std::string& name, const std::string& text)
{
    Write(name, REG_SZ, text.data(), static_cast<DWORD>(text.size()));
}

void WriteNumber(const std::string& name, std::int32_t value) { Write(name, REG_DWORD, &value, sizeof value); }

void Remove(const std::string& name)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
    RegDeleteValueA(key, name.c_str());
    RegCloseKey(key);
}

}  // namespace testreg
