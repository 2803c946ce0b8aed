#pragma once
// Test state in the Wine prefix that is put back as it was when the test ends.
#include <windows.h>
#include <string>
#include <vector>

// Creates root\path (in the given registry view) and, on destruction, deletes
// the topmost key that it had to create, with everything below it.
class ScopedRegistryKey
{
public:
    explicit ScopedRegistryKey(const std::wstring& path, REGSAM view = 0, HKEY root = HKEY_LOCAL_MACHINE);
    ~ScopedRegistryKey();
    ScopedRegistryKey(const ScopedRegistryKey&) = delete;
    ScopedRegistryKey& operator=(const ScopedRegistryKey&) = delete;

    bool ok() const noexcept { return key_ != nullptr; }
    HKEY get() const noexcept { return key_; }
    // Raw value with any type and exactly these bytes (for values that break the
    // rules): no NUL is added behind unterminated text. False unless stored so.
    bool SetRaw(const wchar_t* name, DWORD type, const void* data, DWORD bytes);
    bool SetString(const wchar_t* name, const std::wstring& text, DWORD type = REG_SZ);
    bool SetDword(const wchar_t* name, DWORD value);

private:
    HKEY key_ = nullptr;
    REGSAM view_;
    HKEY root_;
    std::wstring created_;  // empty when the key was already there
};

// Takes an HKLM key with its whole tree out of the registry and puts it back on destruction.
class ScopedKeyRemoval
{
public:
    explicit ScopedKeyRemoval(const std::wstring& path);
    ~ScopedKeyRemoval();
    ScopedKeyRemoval(const ScopedKeyRemoval&) = delete;
    ScopedKeyRemoval& operator=(const ScopedKeyRemoval&) = delete;

    bool ok() const noexcept { return removed_; }

private:
    std::wstring path_;
    std::wstring backup_;
    bool removed_ = false;
};

// Reads a DWORD or string value under root\path; the fallback when it is missing.
DWORD ReadDword(HKEY root, const std::wstring& path, const wchar_t* name, DWORD fallback);
std::wstring ReadString(HKEY root, const std::wstring& path, const wchar_t* name);

// Remembers one HKLM value and puts it back (or removes it) on destruction.
class ScopedRegistryValue
{
public:
    ScopedRegistryValue(const std::wstring& keyPath, const std::wstring& valueName);
    ~ScopedRegistryValue();
    ScopedRegistryValue(const ScopedRegistryValue&) = delete;
    ScopedRegistryValue& operator=(const ScopedRegistryValue&) = delete;

    // Exactly these bytes, as ScopedRegistryKey::SetRaw.
    bool SetRaw(DWORD type, const void* data, DWORD bytes);
    bool SetString(const std::wstring& text, DWORD type = REG_SZ);
    bool SetDword(DWORD value);
    bool Remove();

private:
    std::wstring keyPath_;
    std::wstring valueName_;
    bool existed_ = false;
    bool keyExisted_ = false;
    DWORD type_ = REG_NONE;
    std::vector<BYTE> data_;
};

// Sets an environment variable of this process for one scope.
class ScopedEnvironment
{
public:
    ScopedEnvironment(const wchar_t* name, const std::wstring& value);
    ~ScopedEnvironment();
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    std::wstring name_;
    bool existed_ = false;
    std::wstring old_;
};

// Makes a folder the process's current one for one scope.
class ScopedCurrentFolder
{
public:
    explicit ScopedCurrentFolder(const std::wstring& path);
    ~ScopedCurrentFolder();
    ScopedCurrentFolder(const ScopedCurrentFolder&) = delete;
    ScopedCurrentFolder& operator=(const ScopedCurrentFolder&) = delete;

    bool ok() const noexcept { return changed_; }

private:
    std::wstring old_;
    bool changed_ = false;
};

bool KeyExists(const std::wstring& path, REGSAM view = 0, HKEY root = HKEY_LOCAL_MACHINE);
// A GUID as a key name holds it: "{83941AFF-B961-...}". Taken from the product's
// own GUIDs, a key of a registration script that names another is not found.
std::wstring RegistryGuid(REFGUID guid);
