#pragma once
// The release packages of both architectures as the unpacking step
// (UnpackPackages.cmake) took them, seen from either build's test program: never
// the build's own release folders, which a build may be writing meanwhile.
#include <windows.h>
#include <set>
#include <string>

struct ReleaseArch
{
    const wchar_t* name;  // x86_64, i686
    WORD machine;         // what every binary of its packages is built for
};

extern const ReleaseArch x64Release;
extern const ReleaseArch i686Release;
// The architecture of this test program, whose packages it installs and runs.
extern const ReleaseArch& thisRelease;
// The registry view this architecture's installer and programs use, and the other one.
extern const REGSAM thisView;
extern const REGSAM otherView;

// The version the packages are named after, e.g. 5.0.0.4240.
std::wstring ReleaseVersion();
// False when that architecture was not built beside this one (then its checks are
// skipped): it is not in the snapshot that the unpacking step took.
bool ArchWasBuilt(const ReleaseArch& arch);
// The snapshot's copy of build/<arch>/release/<file>.
std::wstring ReleaseFile(const ReleaseArch& arch, const std::wstring& file);

// Package names: Tarvix-<version>-<arch>, Tarvix-DevKit-<version>-<arch>.
std::wstring ProductPackage(const ReleaseArch& arch);
std::wstring DevKitPackage(const ReleaseArch& arch);
std::wstring InstallerFile(const ReleaseArch& arch);

// The unpacked package, with a trailing backslash.
std::wstring UnpackedFolder(const std::wstring& package);
// The entry names of the zip exactly as it lists them ('/' separated), empty when
// the unpacking step found no such zip.
std::set<std::wstring> ZipEntries(const std::wstring& package);

bool FileExists(const std::wstring& path);
bool FolderExists(const std::wstring& path);
// The files below a folder, relative to it, with '\' separators.
std::set<std::wstring> FilesBelow(const std::wstring& folder);
// Whole-file comparison.
bool SameContents(const std::wstring& a, const std::wstring& b);
// Copies a folder's files (and sub-folders) into another, which is created.
bool CopyFolder(const std::wstring& from, const std::wstring& to);
