// The settings store (named 32-bit values under one key of the current user) and the program
// file's own resources.
#include "host/screen_saver.h"

#include <cstdint>

LONG ScreenSaver::openSettingsKey() {
    if (RegOpenKeyA(HKEY_CURRENT_USER, settingsKeyPath.c_str(), &settingsKey) == ERROR_SUCCESS) {
        onSettingsKeyOpened();
        return ERROR_SUCCESS;
    }
    const LONG created = RegCreateKeyA(HKEY_CURRENT_USER, settingsKeyPath.c_str(), &settingsKey);
    if (created == ERROR_SUCCESS) {
        onSettingsKeyCreated();
    } else {
        settingsKey = nullptr;
    }
    return created;
}

bool ScreenSaver::valueExists(const char* name) {
    DWORD size = 0;
    return RegQueryValueExA(settingsKey, name, nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS;
}

int ScreenSaver::readValue(const char* name) {
    std::int32_t value = 0;
    DWORD type = REG_NONE;
    DWORD size = sizeof(value);
    const LONG result = RegQueryValueExA(settingsKey, name, nullptr, &type,
                                         reinterpret_cast<BYTE*>(&value), &size);
    // A failed query, or data of another length, leaves nothing trustworthy in the buffer, and
    // four bytes of text ("500" and its terminator) are not the number they spell: the callers
    // take 0 as "keep the default". Four bytes stored as binary are the same bytes a number is.
    const bool number = type == REG_DWORD || type == REG_BINARY;
    if (result != ERROR_SUCCESS || size != sizeof(value) || !number) {
        return 0;
    }
    return value;
}

void ScreenSaver::writeValue(const char* name, int value) {
    const std::int32_t stored = value;
    RegSetValueExA(settingsKey, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&stored),
                   sizeof(stored));
}

const void* ScreenSaver::loadResource(WORD id, const char* type) {
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(id), type);
    if (found == nullptr) {
        return nullptr;
    }
    return LockResource(LoadResource(nullptr, found));
}

DWORD ScreenSaver::resourceSize(WORD id, const char* type) {
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(id), type);
    if (found == nullptr) {
        return 0;
    }
    return SizeofResource(nullptr, found);
}
