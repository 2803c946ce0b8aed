#include "SettingsStore.h"
#include <shlobj.h>
#include <cerrno>
#include <cstdlib>
#include <vector>

namespace sim {

namespace {

std::string ToUtf8(const std::wstring& text)
{
    if (text.empty())
        return std::string();
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                         nullptr);
    std::string result(static_cast<size_t>(size > 0 ? size : 0), '\0');
    if (size > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &result[0], size, nullptr,
                            nullptr);
    return result;
}

std::wstring FromUtf8(const std::string& text)
{
    if (text.empty())
        return std::wstring();
    const int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring result(static_cast<size_t>(size > 0 ? size : 0), L'\0');
    if (size > 0)
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &result[0], size);
    return result;
}

bool ParseLong(const std::string& text, long& value)
{
    if (text.empty())
        return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtol(text.c_str(), &end, 10);
    return errno == 0 && end != nullptr && *end == '\0';
}

class FileHandle
{
public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    ~FileHandle()
    {
        if (handle_ != INVALID_HANDLE_VALUE)
            CloseHandle(handle_);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    HANDLE get() const { return handle_; }
    bool Close()
    {
        const bool closed = CloseHandle(handle_) != FALSE;
        handle_ = INVALID_HANDLE_VALUE;
        return closed;
    }

private:
    HANDLE handle_;
};

HRESULT LastError()
{
    const DWORD error = GetLastError();
    return error != ERROR_SUCCESS ? HRESULT_FROM_WIN32(error) : E_FAIL;
}

}  // namespace

bool SettingsStore::IsValidSection(const std::wstring& section)
{
    return !section.empty() && section.find_first_of(L"\t\r\n") == std::wstring::npos;
}

bool SettingsStore::Get(const std::wstring& section, LONG index, INT32& value) const
{
    AcquireSRWLockShared(&lock_);
    const auto found = values_.find({section, index});
    const bool exists = found != values_.end();
    if (exists)
        value = found->second;
    ReleaseSRWLockShared(&lock_);
    return exists;
}

void SettingsStore::Set(const std::wstring& section, LONG index, INT32 value)
{
    AcquireSRWLockExclusive(&lock_);
    values_[{section, index}] = value;
    ReleaseSRWLockExclusive(&lock_);
}

void SettingsStore::Remove(const std::wstring& section, LONG index)
{
    AcquireSRWLockExclusive(&lock_);
    values_.erase({section, index});
    ReleaseSRWLockExclusive(&lock_);
}

std::string SettingsStore::Serialize(const Values& values)
{
    std::string text = "# SimSettingsService: section<TAB>index<TAB>value\n";
    for (const auto& entry : values)
        text += ToUtf8(entry.first.first) + '\t' + std::to_string(entry.first.second) + '\t' +
                std::to_string(entry.second) + '\n';
    return text;
}

SettingsStore::Values SettingsStore::Parse(const std::string& text)
{
    Values values;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == '#')
            continue;
        const size_t tab1 = line.find('\t');
        const size_t tab2 = tab1 == std::string::npos ? std::string::npos : line.find('\t', tab1 + 1);
        long index = 0;
        long value = 0;
        if (tab2 == std::string::npos || tab1 == 0 || !ParseLong(line.substr(tab1 + 1, tab2 - tab1 - 1), index) ||
            !ParseLong(line.substr(tab2 + 1), value))
            continue;  // a line we did not write is skipped, not fatal
        values[{FromUtf8(line.substr(0, tab1)), static_cast<LONG>(index)}] = static_cast<INT32>(value);
    }
    return values;
}

HRESULT SettingsStore::Commit()
{
    AcquireSRWLockShared(&lock_);
    const std::string text = Serialize(values_);
    ReleaseSRWLockShared(&lock_);

    const size_t slash = file_.find_last_of(L"\\/");
    if (slash != std::wstring::npos) {
        const std::wstring folder = file_.substr(0, slash);
        const int created = SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
        if (created != ERROR_SUCCESS && created != ERROR_ALREADY_EXISTS && created != ERROR_FILE_EXISTS)
            return HRESULT_FROM_WIN32(static_cast<DWORD>(created));
    }

    // Written beside the file and moved over it in one step: a crash leaves
    // either the old file or the new one, never a part.
    const std::wstring temporary = file_ + L"." + std::to_wstring(GetCurrentProcessId()) + L".tmp";
    FileHandle out(
        CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (out.get() == INVALID_HANDLE_VALUE)
        return LastError();
    DWORD written = 0;
    bool ok = WriteFile(out.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
              written == text.size() && FlushFileBuffers(out.get());
    ok = out.Close() && ok;
    if (ok)
        ok = MoveFileExW(temporary.c_str(), file_.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) !=
             FALSE;
    if (!ok) {
        const HRESULT hr = LastError();
        DeleteFileW(temporary.c_str());
        return hr;
    }
    return S_OK;
}

HRESULT SettingsStore::Reload()
{
    FileHandle in(CreateFileW(file_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (in.get() == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND)
            return HRESULT_FROM_WIN32(error);
        AcquireSRWLockExclusive(&lock_);
        values_.clear();  // nothing was ever committed
        ReleaseSRWLockExclusive(&lock_);
        return S_OK;
    }
    std::string text;
    char buffer[4096];
    DWORD read = 0;
    for (;;) {
        if (!ReadFile(in.get(), buffer, sizeof(buffer), &read, nullptr))
            return LastError();  // keep what we have rather than half a file
        if (read == 0)
            break;
        text.append(buffer, read);
    }
    Values values = Parse(text);
    AcquireSRWLockExclusive(&lock_);
    values_.swap(values);
    ReleaseSRWLockExclusive(&lock_);
    return S_OK;
}

}  // namespace sim
