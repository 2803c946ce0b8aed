#pragma once
// Folders and files a test makes for itself and reads back.
#include <string>

// A fresh folder under %TEMP%, removed with its files on destruction.
class ScopedTempFolder
{
public:
    // `tag` names the folder, with this process's id and a serial behind it.
    explicit ScopedTempFolder(const wchar_t* tag);
    ~ScopedTempFolder();
    ScopedTempFolder(const ScopedTempFolder&) = delete;
    ScopedTempFolder& operator=(const ScopedTempFolder&) = delete;

    // Path with a trailing backslash.
    const std::wstring& path() const noexcept { return path_; }
    // The same without it, as a user types or a program stores a folder.
    std::wstring folder() const { return path_.substr(0, path_.size() - 1); }
    // Creates an empty file (and its sub-folders) below the folder; answers its full path.
    std::wstring MakeFile(const std::wstring& relativePath) const;
    // Creates a folder (and those above it) below the folder; answers its full path, without a trailing backslash.
    std::wstring MakeFolder(const std::wstring& relativePath) const;

private:
    std::wstring path_;
};

// A whole file's bytes (empty when it cannot be read), and a file replaced by `bytes`.
std::string FileBytes(const std::wstring& path);
bool WriteFileBytes(const std::wstring& path, const std::string& bytes);
