#pragma once
// Finds which of the known video applications are installed, from keys under
// HKEY_LOCAL_MACHINE and the files they point to.
#include "CArray.h"
#include "CString.h"
#include "Handles.h"

class CMonAppList
{
public:
    CMonAppList();
    virtual ~CMonAppList();
    CMonAppList(const CMonAppList&) = delete;
    CMonAppList& operator=(const CMonAppList&) = delete;

    // Runs every rule in order and replaces `names` with the display names
    // found (a name can appear more than once).
    void Detect(CArray<CString>& names);

    // "dwLocation" as the last detection read it; 4316 until then, and whenever
    // that detection found no valid value.
    DWORD GetLocation() const noexcept { return location; }

    // How the Media Center key is opened for a native processor architecture.
    static REGSAM MediaCenterAccess(WORD nativeArchitecture) noexcept;
    // The processor architecture of the machine (not of this process).
    static WORD NativeArchitecture();

    struct Rule;

private:
    // The rule's display name when it finds its product, else null.
    const wchar_t* Apply(const Rule& rule);
    void ReadLocation();
    bool KeyExists(const wchar_t* path, REGSAM access = KEY_READ);
    bool OpenKey(const wchar_t* path);
    void CloseKey() noexcept;
    // The open key's "Path" joined with `between` and "WinDVD.exe", when that file exists.
    bool PlayerFileFound(const wchar_t* between, CString* builtPath = nullptr);
    static bool FileExists(const CString& path);

    CArray<CString> foundNames;
    DWORD location;
    unique_hkey openKey;
};
