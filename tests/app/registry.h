// The program's settings key in the test prefix's registry, read and written
// raw, below the settings code, so that tests see exactly what is stored.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace testreg {

// A value as the registry stores it. Texts are read in their stored (wide)
// form: the ANSI query adds a terminator of its own when there is room,
// which would hide whether one was stored.
struct Value {
    DWORD type = 0;
    std::vector<unsigned char> data;  // as stored
    // Stored length: characters for text types, bytes for the others.
    size_t Length() const;
    // A text value up to its first zero; other values byte for byte.
    std::string Text() const;
    std::uint32_t Number() const;
};

// Removes the company's whole key (the settings key and its parents).
void DeleteKey();
bool KeyExists();
// Every value of the settings key, by name; empty when the key is missing.
std::vector<std::string> ValueNames();
std::optional<Value> Read(const std::string& name);
void Write(const std::string& name, DWORD type, const void* data, DWORD size);
void WriteText(const std::string& name, const std::string& text);
void WriteNumber(const std::string& name, std::int32_t value);
void Remove(const std::string& name);

// Deletes the key when constructed and again when destroyed, so every test
// starts without it and leaves the prefix as it found it.
struct CleanKey {
    CleanKey() { DeleteKey(); }
    ~CleanKey() { DeleteKey(); }
};

}  // namespace testreg
