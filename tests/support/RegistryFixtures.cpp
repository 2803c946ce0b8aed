#include "RegistryFixtures.h"
#include <objbase.h>
#include <cstring>

namespace {

// Stores exactly `bytes` bytes of data. RegSetValueExW, like Windows, counts a
// NUL that happens to lie in memory right behind a string's data in, so an
// unterminated or odd-length string handed over as it is would be stored
// terminated whenever the bytes after it are zero. The data goes in a copy
// between units that are no NUL, and the stored type and size are read back.
LONG SetValueExactly(HKEY key, const wchar_t* name, DWORD type, const void* data, DWORD bytes)
{
    const BYTE guard = 0x5A;
    const size_t before = sizeof(wchar_t);
    std::vector<BYTE> copy(before + bytes + 2 * sizeof(wchar_t), guard);
    if (bytes != 0)
        std::memcpy(copy.data() + before, data, bytes);
    const BYTE* stored = data == nullptr ? nullptr : copy.data() + before;
    const LONG result = RegSetValueExW(key, name, 0, type, stored, bytes);
    if (result != ERROR_SUCCESS)
        return result;
    DWORD storedType = REG_NONE, storedBytes = 0;
    if (RegQueryValueExW(key, name, nullptr, &storedType, nullptr, &storedBytes) != ERROR_SUCCESS ||
        storedType != type || storedBytes != bytes)
        return ERROR_INVALID_DATA;
    return ERROR_SUCCESS;
}

bool Exists(const std::wstring& path, REGSAM view, HKEY root = HKEY_LOCAL_MACHINE)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

void DeleteTree(const std::wstring& path, REGSAM view, HKEY root = HKEY_LOCAL_MACHINE)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_ALL_ACCESS | view, &key) != ERROR_SUCCESS)
        return;
    for (;;) {
        wchar_t name[256];
        DWORD length = sizeof(name) / sizeof(name[0]);
        if (RegEnumKeyExW(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        DeleteTree(path + L"\\" + name, view, root);
    }
    RegCloseKey(key);
    RegDeleteKeyExW(root, path.c_str(), view, 0);
}

}  // namespace

bool KeyExists(const std::wstring& path, REGSAM view, HKEY root)
{
    return Exists(path, view, root);
}

DWORD ReadDword(HKEY root, const std::wstring& path, const wchar_t* name, DWORD fallback)
{
    DWORD value = 0, size = sizeof(value);
    if (RegGetValueW(root, path.c_str(), name, RRF_RT_REG_DWORD, nullptr, &value, &size) != ERROR_SUCCESS)
        return fallback;
    return value;
}

std::wstring ReadString(HKEY root, const std::wstring& path, const wchar_t* name)
{
    wchar_t text[1024] = {};
    DWORD size = sizeof(text);
    if (RegGetValueW(root, path.c_str(), name, RRF_RT_REG_SZ, nullptr, text, &size) != ERROR_SUCCESS)
        return std::wstring();
    return text;
}

ScopedKeyRemoval::ScopedKeyRemoval(const std::wstring& path)
    : path_(path), backup_(L"Software\\Kelvor Corporation\\Test backup " + std::to_wstring(GetCurrentProcessId()))
{
    HKEY source = nullptr, backup = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &source) != ERROR_SUCCESS)
        return;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, backup_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &backup,
                        nullptr) == ERROR_SUCCESS) {
        if (RegCopyTreeW(source, nullptr, backup) == ERROR_SUCCESS) {
            RegCloseKey(source);
            source = nullptr;
            DeleteTree(path_, 0);
            removed_ = !Exists(path_, 0);
        }
        RegCloseKey(backup);
    }
    if (source != nullptr)
        RegCloseKey(source);
}

ScopedKeyRemoval::~ScopedKeyRemoval()
{
    if (removed_) {
        HKEY backup = nullptr, target = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, backup_.c_str(), 0, KEY_READ, &backup) == ERROR_SUCCESS) {
            if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &target,
                                nullptr) == ERROR_SUCCESS) {
                RegCopyTreeW(backup, nullptr, target);
                RegCloseKey(target);
            }
            RegCloseKey(backup);
        }
    }
    DeleteTree(backup_, 0);
}

ScopedRegistryKey::ScopedRegistryKey(const std::wstring& path, REGSAM view, HKEY root) : view_(view), root_(root)
{
    // Find the first part of the path that is missing: that is what goes afterwards.
    size_t position = 0;
    while (position != std::wstring::npos) {
        position = path.find(L'\\', position + 1);
        const std::wstring prefix = path.substr(0, position);
        if (!Exists(prefix, view, root)) {
            created_ = prefix;
            break;
        }
    }
    if (RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr, &key_, nullptr) !=
        ERROR_SUCCESS)
        key_ = nullptr;
}

ScopedRegistryKey::~ScopedRegistryKey()
{
    if (key_ != nullptr)
        RegCloseKey(key_);
    if (!created_.empty())
        DeleteTree(created_, view_, root_);
}

bool ScopedRegistryKey::SetRaw(const wchar_t* name, DWORD type, const void* data, DWORD bytes)
{
    return key_ != nullptr && SetValueExactly(key_, name, type, data, bytes) == ERROR_SUCCESS;
}

bool ScopedRegistryKey::SetString(const wchar_t* name, const std::wstring& text, DWORD type)
{
    return SetRaw(name, type, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

bool ScopedRegistryKey::SetDword(const wchar_t* name, DWORD value)
{
    return SetRaw(name, REG_DWORD, &value, sizeof(value));
}

ScopedRegistryValue::ScopedRegistryValue(const std::wstring& keyPath, const std::wstring& valueName)
    : keyPath_(keyPath), valueName_(valueName)
{
    HKEY key = nullptr;
    keyExisted_ = RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS;
    if (!keyExisted_)
        return;
    DWORD size = 0;
    if (RegQueryValueExW(key, valueName.c_str(), nullptr, &type_, nullptr, &size) == ERROR_SUCCESS) {
        data_.resize(size);
        existed_ = RegQueryValueExW(key, valueName.c_str(), nullptr, &type_, data_.data(), &size) == ERROR_SUCCESS;
        data_.resize(size);
    }
    RegCloseKey(key);
}

ScopedRegistryValue::~ScopedRegistryValue()
{
    if (existed_) {
        (void)SetRaw(type_, data_.data(), static_cast<DWORD>(data_.size()));
    } else if (!keyExisted_) {
        DeleteTree(keyPath_, 0);
    } else {
        (void)Remove();
    }
}

bool ScopedRegistryValue::SetRaw(DWORD type, const void* data, DWORD bytes)
{
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, keyPath_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return false;
    const bool ok = SetValueExactly(key, valueName_.c_str(), type, data, bytes) == ERROR_SUCCESS;
    RegCloseKey(key);
    return ok;
}

bool ScopedRegistryValue::SetString(const std::wstring& text, DWORD type)
{
    return SetRaw(type, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

bool ScopedRegistryValue::SetDword(DWORD value)
{
    return SetRaw(REG_DWORD, &value, sizeof(value));
}

bool ScopedRegistryValue::Remove()
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath_.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return true;
    const LONG result = RegDeleteValueW(key, valueName_.c_str());
    RegCloseKey(key);
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}

ScopedEnvironment::ScopedEnvironment(const wchar_t* name, const std::wstring& value) : name_(name)
{
    wchar_t buffer[1024];
    const DWORD length = GetEnvironmentVariableW(name, buffer, sizeof(buffer) / sizeof(buffer[0]));
    existed_ = length > 0 && length < sizeof(buffer) / sizeof(buffer[0]);
    if (existed_)
        old_.assign(buffer, length);
    SetEnvironmentVariableW(name, value.c_str());
}

ScopedEnvironment::~ScopedEnvironment()
{
    SetEnvironmentVariableW(name_.c_str(), existed_ ? old_.c_str() : nullptr);
}

ScopedCurrentFolder::ScopedCurrentFolder(const std::wstring& path)
{
    wchar_t buffer[MAX_PATH];
    const DWORD length = GetCurrentDirectoryW(MAX_PATH, buffer);
    if (length == 0 || length >= MAX_PATH)
        return;
    old_.assign(buffer, length);
    changed_ = SetCurrentDirectoryW(path.c_str()) != FALSE;
}

ScopedCurrentFolder::~ScopedCurrentFolder()
{
    if (changed_)
        (void)SetCurrentDirectoryW(old_.c_str());
}

std::wstring RegistryGuid(REFGUID guid)
{
    wchar_t text[40] = L"";
    const int length = StringFromGUID2(guid, text, ARRAYSIZE(text));
    return std::wstring(text, length > 0 ? length - 1 : 0);
}
