#pragma once
// Small registry and text helpers for the stand-ins' configuration and state.
#include <windows.h>
#include <string>
#include <vector>

namespace sim {

// Reads a value of a key under HKEY_CURRENT_USER; `fallback` when it is missing
// or of another type.
DWORD ReadDword(const std::wstring& key, const wchar_t* name, DWORD fallback);
std::wstring ReadString(const std::wstring& key, const wchar_t* name, const std::wstring& fallback = {});
// A REG_MULTI_SZ as its lines; `present` tells whether the value exists at all.
std::vector<std::wstring> ReadMultiString(const std::wstring& key, const wchar_t* name, bool& present);

// Writes a value under HKEY_CURRENT_USER, creating the key.
bool WriteDword(const std::wstring& key, const wchar_t* name, DWORD value);
bool WriteString(const std::wstring& key, const wchar_t* name, const std::wstring& value);

// Splits at any of `separators`, dropping empty parts when `keepEmpty` is false.
std::vector<std::wstring> Split(const std::wstring& text, const wchar_t* separators, bool keepEmpty);
std::wstring Trim(const std::wstring& text);

// Method names listed in a "FailMethod" value ("Prepare, BeginRead").
class FailureList
{
public:
    FailureList() = default;
    explicit FailureList(const std::wstring& names);
    bool Fails(const wchar_t* method) const;

private:
    std::vector<std::wstring> names_;
};

// The module's own file name, for self-registration.
std::wstring ModulePath(HMODULE module);
// "{xxxxxxxx-...}" of a GUID.
std::wstring GuidText(REFGUID guid);

}  // namespace sim
