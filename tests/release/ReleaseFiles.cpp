#include "ReleaseFiles.h"
#include <fstream>
#include <iterator>
#include <vector>
#include "support/TestPaths.h"

const ReleaseArch x64Release = {L"x86_64", IMAGE_FILE_MACHINE_AMD64};
const ReleaseArch i686Release = {L"i686", IMAGE_FILE_MACHINE_I386};
const ReleaseArch& thisRelease = sizeof(void*) == 8 ? x64Release : i686Release;
const REGSAM thisView = sizeof(void*) == 8 ? KEY_WOW64_64KEY : KEY_WOW64_32KEY;
const REGSAM otherView = sizeof(void*) == 8 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;

namespace {

std::wstring Widen(const std::string& text)
{
    if (text.empty())
        return std::wstring();
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &wide[0], length);
    return wide;
}

void CollectFiles(const std::wstring& root, const std::wstring& relative, std::set<std::wstring>& files)
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((root + relative + L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..")
            continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            CollectFiles(root, relative + name + L"\\", files);
        else
            files.insert(relative + name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

std::vector<char> ReadAll(const std::wstring& path)
{
    std::ifstream in(path.c_str(), std::ios::binary);
    return std::vector<char>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// What the unpacking step took; the test program runs from build/x86_64/bin/.
std::wstring SnapshotFolder()
{
    return BinFile(L"") + L"..\\release-check\\";
}

}  // namespace

std::wstring ReleaseVersion()
{
    return TARVIX_RELEASE_VERSION;
}

bool ArchWasBuilt(const ReleaseArch& arch)
{
    std::ifstream list((SnapshotFolder() + L"arches.txt").c_str());
    std::string line;
    while (std::getline(list, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (Widen(line) == arch.name)
            return true;
    }
    return false;
}

std::wstring ReleaseFile(const ReleaseArch& arch, const std::wstring& file)
{
    return SnapshotFolder() + arch.name + L"\\" + file;
}

std::wstring ProductPackage(const ReleaseArch& arch)
{
    return L"Tarvix-" + ReleaseVersion() + L"-" + arch.name;
}

std::wstring DevKitPackage(const ReleaseArch& arch)
{
    return L"Tarvix-DevKit-" + ReleaseVersion() + L"-" + arch.name;
}

std::wstring InstallerFile(const ReleaseArch& arch)
{
    return ReleaseFile(arch, L"Tarvix-Setup-" + ReleaseVersion() + L"-" + arch.name + L".exe");
}

std::wstring UnpackedFolder(const std::wstring& package)
{
    return SnapshotFolder() + package + L"\\";
}

std::set<std::wstring> ZipEntries(const std::wstring& package)
{
    std::ifstream list((SnapshotFolder() + package + L".list").c_str());
    std::set<std::wstring> entries;
    std::string line;
    while (std::getline(list, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty())
            entries.insert(Widen(line));
    }
    return entries;
}

bool FileExists(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::set<std::wstring> FilesBelow(const std::wstring& folder)
{
    std::set<std::wstring> files;
    std::wstring root = folder;
    if (!root.empty() && root.back() != L'\\')
        root += L'\\';
    CollectFiles(root, std::wstring(), files);
    return files;
}

bool SameContents(const std::wstring& a, const std::wstring& b)
{
    const std::vector<char> left = ReadAll(a);
    return !left.empty() && left == ReadAll(b);
}

bool CopyFolder(const std::wstring& source, const std::wstring& target)
{
    std::wstring from = source, to = target;
    while (!from.empty() && from.back() == L'\\')
        from.pop_back();
    while (!to.empty() && to.back() == L'\\')
        to.pop_back();
    if (!CreateDirectoryW(to.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        return false;
    for (const std::wstring& file : FilesBelow(from)) {
        const size_t slash = file.find_last_of(L'\\');
        if (slash != std::wstring::npos)
            CreateDirectoryW((to + L"\\" + file.substr(0, slash)).c_str(), nullptr);
        if (!CopyFileW((from + L"\\" + file).c_str(), (to + L"\\" + file).c_str(), FALSE))
            return false;
    }
    return true;
}
