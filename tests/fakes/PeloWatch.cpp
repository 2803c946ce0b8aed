#include "PeloWatch.h"
#include <shlobj.h>
#include <fstream>

PeloWatch::PeloWatch()
    : path_(std::wstring(PELO_STANDIN_DEFAULT_KEY) + L"\\Test " + std::to_wstring(GetCurrentProcessId()))
{
    key_ = std::make_unique<ScopedRegistryKey>(path_, 0, HKEY_CURRENT_USER);
    environment_ = std::make_unique<ScopedEnvironment>(PELO_STANDIN_ENV, path_);
}

DWORD PeloWatch::Get(const wchar_t* name, DWORD fallback) const
{
    return ReadDword(HKEY_CURRENT_USER, path_, name, fallback);
}

std::wstring PeloWatch::GetText(const wchar_t* name) const
{
    return ReadString(HKEY_CURRENT_USER, path_, name);
}

namespace {

std::wstring LogPath()
{
    wchar_t folder[MAX_PATH];
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder)))
        return std::wstring();
    return std::wstring(folder) + L"\\" PELO_STANDIN_LOG_FOLDER L"\\" PELO_STANDIN_LOG_FILE;
}

}  // namespace

unsigned long long PeloWatch::LogEnd()
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(LogPath().c_str(), GetFileExInfoStandard, &data))
        return 0;
    return (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::vector<std::string> PeloWatch::LogLines(DWORD processId, unsigned long long from)
{
    std::vector<std::string> lines;
    std::ifstream log(LogPath().c_str(), std::ios::binary);
    log.seekg(static_cast<std::streamoff>(from));
    const std::string marker = " process " + std::to_string(processId) + " ";
    for (std::string line; std::getline(log, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.find(marker) != std::string::npos)
            lines.push_back(line.substr(line.find(marker) + 1));  // without the time
    }
    return lines;
}
