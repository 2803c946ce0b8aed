#include "TempFolder.h"
#include <windows.h>
#include <shellapi.h>
#include "Handles.h"

namespace {

void RemoveTree(const std::wstring& path)
{
    // SHFileOperation wants a double-NUL-terminated list.
    std::wstring from = path.substr(0, path.size() - 1);
    from.push_back(L'\0');
    SHFILEOPSTRUCTW operation = {};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = FOF_NO_UI;
    (void)SHFileOperationW(&operation);
}

// Every folder from the root's end to the last separator of `full`.
void MakeFoldersAbove(const std::wstring& full, size_t rootLength)
{
    for (size_t slash = full.find(L'\\', rootLength); slash != std::wstring::npos;
         slash = full.find(L'\\', slash + 1))
        CreateDirectoryW(full.substr(0, slash).c_str(), nullptr);
}

}  // namespace

ScopedTempFolder::ScopedTempFolder(const wchar_t* tag)
{
    wchar_t temp[MAX_PATH];
    const DWORD length = GetTempPathW(MAX_PATH, temp);
    static LONG serial = 0;
    path_ = std::wstring(temp, length) + tag + L"-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
            std::to_wstring(InterlockedIncrement(&serial)) + L"\\";
    // An ended process of the same id may have left one (the prefix lives on).
    if (GetFileAttributesW(path_.c_str()) != INVALID_FILE_ATTRIBUTES)
        RemoveTree(path_);
    CreateDirectoryW(path_.c_str(), nullptr);
}

ScopedTempFolder::~ScopedTempFolder()
{
    RemoveTree(path_);
}

std::wstring ScopedTempFolder::MakeFile(const std::wstring& relativePath) const
{
    const std::wstring full = path_ + relativePath;
    MakeFoldersAbove(full, path_.size());
    unique_handle file(
        ::CreateFileW(full.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    return full;
}

std::wstring ScopedTempFolder::MakeFolder(const std::wstring& relativePath) const
{
    const std::wstring full = path_ + relativePath;
    MakeFoldersAbove(full + L"\\", path_.size());
    return full;
}

std::string FileBytes(const std::wstring& path)
{
    unique_handle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    std::string bytes;
    if (!file)
        return bytes;
    bytes.resize(GetFileSize(file.get(), nullptr));
    DWORD read = 0;
    if (!ReadFile(file.get(), &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr))
        read = 0;
    bytes.resize(read);
    return bytes;
}

bool WriteFileBytes(const std::wstring& path, const std::string& bytes)
{
    unique_handle file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file && WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}
