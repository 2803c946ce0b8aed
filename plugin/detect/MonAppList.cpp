#include "MonAppList.h"
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

} // namespace

CMonAppList::CMonAppList() : location(defaultLocation)
{
    keyPaths[0] = L"software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Screenlift.exe";
    keyPaths[1] = L"softWare\\Classes\\MediaCenter.DVR";
    keyPaths[2] = L"software\\classes\\applications\\wmplayer.exe";
    keyPaths[3] = L"software\\Intervideo\\WinDVD4";
    keyPaths[4] = L"software\\Intervideo\\DVD7";
    keyPaths[5] = L"software\\InterVideo\\DVD8";
    keyPaths[6] = L"software\\microsoft\\windows\\currentversion\\app paths\\WinDVDBD.exe";
    keyPaths[7] = L"software\\Intervideo\\dvdex";
    keyPaths[8] = L"software\\Kelvor Corporation\\Cadence Player";
    keyPaths[9] = L"software\\Kelvor Corporation\\Marlow Digital";
    keyPaths[10] = L"software\\Kelvor Corporation\\Ardent Media plus";

    displayNames[0] = L"Screenlift pour Ardent";
    displayNames[1] = L"Media Center";
    displayNames[2] = L"Windows Media Player";
    displayNames[3] = L"InterVideo WinDVD 5";
    displayNames[4] = L"InterVideo WinDVD 7";
    displayNames[5] = L"InterVideo WinDVD for Ardent";
    displayNames[6] = L"InterVideo WinDVD BD for Ardent";
    displayNames[7] = L"Cadence Player";
    displayNames[8] = L"Ardent Media plus";
    displayNames[9] = L"Marlow Digital";
}

CMonAppList::~CMonAppList() = default;  // openKey closes what is still open

void CMonAppList::Detect(CArray<CString>& names)
{
    foundNames.RemoveAll();

    ReadLocation();

    if (KeyExists(0) && location == screenliftLocation)
        Found(0);

    if (KeyExists(1, MediaCenterAccess(NativeArchitecture())))
        Found(1);

    if (KeyExists(2))
        Found(2);

    if (OpenRule(3) && PlayerFileFound(separator))
        Found(3);
    CloseKey();

    if (OpenRule(4) && PlayerFileFound(separator))
        Found(4);
    CloseKey();

    // This product's path already ends in its folder separator.
    CString built;
    if (OpenRule(5) && PlayerFileFound(L"", &built))
        Found(built.Find(blueRayMarker) >= 0 ? 6 : 5);
    CloseKey();

    if (KeyExists(6)) {
        Found(5);
    } else {
        if (OpenRule(7) && PlayerFileFound(separator))
            Found(5);
        CloseKey();
    }

    if (OpenRule(8)) {
        CString appName;
        if (ReadRegistryPath(openKey.get(), appNameValue, appName, false) && FileExists(appName))
            Found(7);
    }
    CloseKey();

    if (KeyExists(9))
        Found(9);

    if (KeyExists(10))
        Found(8);

    names.Copy(foundNames);
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
    if (RegQueryValueExW(openKey.get(), locationValue, nullptr, &type, reinterpret_cast<BYTE*>(&value),
                         &size) == ERROR_SUCCESS &&
        type == REG_DWORD && size == sizeof(value))
        location = value;
    CloseKey();
}

bool CMonAppList::KeyExists(int rule, REGSAM access)
{
    const bool exists =
        RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPaths.at(rule), 0, access, openKey.put()) == ERROR_SUCCESS;
    CloseKey();
    return exists;
}

bool CMonAppList::OpenRule(int rule)
{
    return RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPaths.at(rule), 0, KEY_READ, openKey.put()) ==
           ERROR_SUCCESS;
}

void CMonAppList::CloseKey() noexcept { openKey.reset(); }

bool CMonAppList::PlayerFileFound(const wchar_t* between, CString* builtPath)
{
    CString path;
    if (!ReadRegistryPath(openKey.get(), pathValue, path, false))
        return false;
    path += between;
    path += playerFile;
    if (builtPath != nullptr)
        *builtPath = path;
    return FileExists(path);
}

bool CMonAppList::FileExists(const CString& path)
{
    return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
}

void CMonAppList::Found(int nameNo) { foundNames.Add(displayNames.at(nameNo)); }

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
    auto native = kernel != nullptr
                      ? reinterpret_cast<NativeInfoProc>(
                            reinterpret_cast<void*>(GetProcAddress(kernel, "GetNativeSystemInfo")))
                      : nullptr;
    if (native != nullptr)
        native(&info);
    else
        GetSystemInfo(&info);
    return info.wProcessorArchitecture;
}
