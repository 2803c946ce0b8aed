#include "Registry.h"
#include <objbase.h>

namespace sim {

namespace {

class Key
{
public:
    Key(const std::wstring& path, bool create)
    {
        const LONG result = create ? RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0,
                                                     KEY_READ | KEY_WRITE, nullptr, &key_, nullptr)
                                   : RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key_);
        if (result != ERROR_SUCCESS)
            key_ = nullptr;
    }
    ~Key()
    {
        if (key_ != nullptr)
            RegCloseKey(key_);
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

// The raw data of a value as whole wide characters, or false.
bool ReadWide(const std::wstring& path, const wchar_t* name, DWORD expectedType, std::wstring& data)
{
    Key key(path, false);
    if (key.get() == nullptr)
        return false;
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(key.get(), name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || type != expectedType)
        return false;
    std::wstring buffer(size / sizeof(wchar_t) + 1, L'\0');
    size = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    if (RegQueryValueExW(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(&buffer[0]), &size) !=
            ERROR_SUCCESS ||
        type != expectedType)
        return false;
    buffer.resize(size / sizeof(wchar_t));
    data = buffer;
    return true;
}

bool IsSpace(wchar_t ch)
{
    return ch == L' ' || ch == L'\t' || ch == L'\r' || ch == L'\n';
}

}  // namespace

DWORD ReadDword(const std::wstring& path, const wchar_t* name, DWORD fallback)
{
    Key key(path, false);
    if (key.get() == nullptr)
        return fallback;
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (RegQueryValueExW(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof(value))
        return fallback;
    return value;
}

std::wstring ReadString(const std::wstring& path, const wchar_t* name, const std::wstring& fallback)
{
    std::wstring data;
    if (!ReadWide(path, name, REG_SZ, data))
        return fallback;
    const size_t end = data.find(L'\0');
    if (end != std::wstring::npos)
        data.resize(end);
    return data;
}

std::vector<std::wstring> ReadMultiString(const std::wstring& path, const wchar_t* name, bool& present)
{
    std::vector<std::wstring> lines;
    std::wstring data;
    present = ReadWide(path, name, REG_MULTI_SZ, data);
    if (!present)
        return lines;
    size_t start = 0;
    while (start < data.size()) {
        size_t end = data.find(L'\0', start);
        if (end == std::wstring::npos)
            end = data.size();
        if (end == start)
            break;  // the empty string that closes the list
        lines.push_back(data.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

bool WriteDword(const std::wstring& path, const wchar_t* name, DWORD value)
{
    Key key(path, true);
    return key.get() != nullptr &&
           RegSetValueExW(key.get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value)) ==
               ERROR_SUCCESS;
}

bool WriteString(const std::wstring& path, const wchar_t* name, const std::wstring& value)
{
    Key key(path, true);
    const DWORD size = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
    return key.get() != nullptr &&
           RegSetValueExW(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()), size) ==
               ERROR_SUCCESS;
}

std::vector<std::wstring> Split(const std::wstring& text, const wchar_t* separators, bool keepEmpty)
{
    std::vector<std::wstring> parts;
    size_t start = 0;
    for (;;) {
        const size_t end = text.find_first_of(separators, start);
        const std::wstring part = text.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start);
        if (keepEmpty || !part.empty())
            parts.push_back(part);
        if (end == std::wstring::npos)
            return parts;
        start = end + 1;
    }
}

std::wstring Trim(const std::wstring& text)
{
    size_t first = 0;
    size_t last = text.size();
    while (first < last && IsSpace(text[first]))
        ++first;
    while (last > first && IsSpace(text[last - 1]))
        --last;
    return text.substr(first, last - first);
}

FailureList::FailureList(const std::wstring& names)
{
    for (const std::wstring& name : Split(names, L" ,;\t", false))
        names_.push_back(name);
}

bool FailureList::Fails(const wchar_t* method) const
{
    for (const std::wstring& name : names_)
        if (_wcsicmp(name.c_str(), method) == 0)
            return true;
    return false;
}

std::wstring ModulePath(HMODULE module)
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(module, &path[0], static_cast<DWORD>(path.size()));
        if (length == 0)
            return std::wstring();
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

std::wstring GuidText(REFGUID guid)
{
    wchar_t text[40] = {};
    StringFromGUID2(guid, text, static_cast<int>(sizeof(text) / sizeof(text[0])));
    return text;
}

}  // namespace sim
