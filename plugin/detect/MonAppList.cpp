#include "MonAppList.h"
#include "Guards.h"
#include "RegistryText.h"

namespace {

constexpr DWORD defaultLocation = 4316;
constexpr DWORD screenliftLocation = 4309;
const wchar_t locationKey[] = L"software\\Kelvor Corporation\\Shared Info";
const wchar_t locationValue[] = L"dwLocation";
const wchar_t pathValue[] = L"Path";
const wchar_t appNameValue[] = L"AppName";
const wchar_t playerFile[] = L"WinDVD.exe";
const wchar_t separator[] = L"\\";
const wchar_t blueRayMarker[] = L"DVDBD8";

enum class Test
{
    KeyAtScreenliftLocation,  // the key exists and "dwLocation" is the Screenlift one
    KeyInMachineView,         // the key exists in the machine's own registry view
    Key,                      // the key exists
    PlayerBehindSeparator,    // the key's "Path", "\" and "WinDVD.exe" name a file
    PlayerJoined,             // the same without the separator; the marker picks the name
    AppNameFile,              // the key's "AppName" names a file
};

}  // namespace

struct CMonAppList::Rule
{
    const wchar_t* keyPath;  // under HKEY_LOCAL_MACHINE
    const wchar_t* name;
    const wchar_t* markedName;  // PlayerJoined: the name when the path holds the marker
    Test test;
    bool onlyWhenPreviousMissed;  // a second way to find the product of the rule before
};

namespace {

// In the order they run, which is the order of the names found.
const CMonAppList::Rule rules[] = {
    {L"software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Screenlift.exe", L"Screenlift pour Ardent", nullptr,
     Test::KeyAtScreenliftLocation, false},
    {L"softWare\\Classes\\MediaCenter.DVR", L"Media Center", nullptr, Test::KeyInMachineView, false},
    {L"software\\classes\\applications\\wmplayer.exe", L"Windows Media Player", nullptr, Test::Key, false},
    {L"software\\Intervideo\\WinDVD4", L"InterVideo WinDVD 5", nullptr, Test::PlayerBehindSeparator, false},
    {L"software\\Intervideo\\DVD7", L"InterVideo WinDVD 7", nullptr, Test::PlayerBehindSeparator, false},
    // This product's path already ends in its folder separator.
    {L"software\\InterVideo\\DVD8", L"InterVideo WinDVD for Ardent", L"InterVideo WinDVD BD for Ardent",
     Test::PlayerJoined, false},
    {L"software\\microsoft\\windows\\currentversion\\app paths\\WinDVDBD.exe", L"InterVideo WinDVD for Ardent",
     nullptr, Test::Key, false},
    {L"software\\Intervideo\\dvdex", L"InterVideo WinDVD for Ardent", nullptr, Test::PlayerBehindSeparator, true},
    {L"software\\Kelvor Corporation\\Cadence Player", L"Cadence Player", nullptr, Test::AppNameFile, false},
    {L"software\\Kelvor Corporation\\Marlow Digital", L"Marlow Digital", nullptr, Test::Key, false},
    {L"software\\Kelvor Corporation\\Ardent Media plus", L"Ardent Media plus", nullptr, Test::Key, false},
};

}  // namespace

CMonAppList::CMonAppList() : location(defaultLocation)
{
}

CMonAppList::~CMonAppList() = default;  // openKey closes what is still open

void CMonAppList::Detect(CArray<CString>& names)
{
    foundNames.RemoveAll();

    ReadLocation();

    bool previousFound = false;
    for (const Rule& rule : rules) {
        if (rule.onlyWhenPreviousMissed && previousFound)
            continue;
        const wchar_t* name = Apply(rule);
        previousFound = name != nullptr;
        if (previousFound)
            foundNames.Add(name);
    }

    names.Copy(foundNames);
}

const wchar_t* CMonAppList::Apply(const Rule& rule)
{
    const wchar_t* found = nullptr;
    switch (rule.test) {
    case Test::KeyAtScreenliftLocation:
        return KeyExists(rule.keyPath) && location == screenliftLocation ? rule.name : nullptr;
    case Test::KeyInMachineView:
        return KeyExists(rule.keyPath, MediaCenterAccess(NativeArchitecture())) ? rule.name : nullptr;
    case Test::Key:
        return KeyExists(rule.keyPath) ? rule.name : nullptr;
    case Test::PlayerBehindSeparator:
        if (OpenKey(rule.keyPath) && PlayerFileFound(separator))
            found = rule.name;
        break;
    case Test::PlayerJoined: {
        CString built;
        if (OpenKey(rule.keyPath) && PlayerFileFound(L"", &built))
            found = built.Find(blueRayMarker) >= 0 ? rule.markedName : rule.name;
        break;
    }
    case Test::AppNameFile:
        if (OpenKey(rule.keyPath)) {
            CString appName;
            if (ReadRegistryPath(openKey.get(), appNameValue, appName) && FileExists(appName))
                found = rule.name;
        }
        break;
    }
    CloseKey();
    return found;
}

void CMonAppList::ReadLocation()
{
    location = defaultLocation;  // a detection never inherits the last one's value
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, locationKey, 0, KEY_READ, openKey.put()) != ERROR_SUCCESS) {
        CloseKey();
        return;
    }
    DWORD value = 0;
    DWORD type = REG_NONE;
    DWORD size = sizeof(value);
    if (RegQueryValueExW(openKey.get(), locationValue, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) ==
            ERROR_SUCCESS &&
        type == REG_DWORD && size == sizeof(value))
        location = value;
    CloseKey();
}

bool CMonAppList::KeyExists(const wchar_t* path, REGSAM access)
{
    const bool exists = RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, access, openKey.put()) == ERROR_SUCCESS;
    CloseKey();
    return exists;
}

bool CMonAppList::OpenKey(const wchar_t* path)
{
    return RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, openKey.put()) == ERROR_SUCCESS;
}

void CMonAppList::CloseKey() noexcept
{
    openKey.reset();
}

bool CMonAppList::PlayerFileFound(const wchar_t* between, CString* builtPath)
{
    CString path;
    if (!ReadRegistryPath(openKey.get(), pathValue, path))
        return false;
    path += between;
    path += playerFile;
    if (builtPath != nullptr)
        *builtPath = path;
    return FileExists(path);
}

bool CMonAppList::FileExists(const CString& path)
{
    // A path on a removable drive without its medium must not ask the user for one.
    const thread_error_mode quiet(noErrorBoxes);
    return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
}

REGSAM CMonAppList::MediaCenterAccess(WORD nativeArchitecture) noexcept
{
    return nativeArchitecture == PROCESSOR_ARCHITECTURE_AMD64 ? KEY_READ | KEY_WOW64_64KEY : KEY_READ;
}

WORD CMonAppList::NativeArchitecture()
{
    // Looked up by name: older systems lack it, and a 32-bit process must see the machine.
    using NativeInfoProc = void(WINAPI*)(LPSYSTEM_INFO);
    SYSTEM_INFO info = {};
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    auto native = kernel != nullptr ? reinterpret_cast<NativeInfoProc>(
                                          reinterpret_cast<void*>(GetProcAddress(kernel, "GetNativeSystemInfo")))
                                    : nullptr;
    if (native != nullptr)
        native(&info);
    else
        GetSystemInfo(&info);
    return info.wProcessorArchitecture;
}
