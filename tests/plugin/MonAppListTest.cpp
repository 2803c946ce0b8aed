// Detection of installed video applications, against keys and files that
// each test makes in the prefix and removes again.
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>
#include "detect/MonAppList.h"
#include "Guards.h"
#include "support/ImportPatch.h"
#include "support/RegistryFixtures.h"
#include "support/RowTrace.h"
#include "support/TempFolder.h"

namespace {

const std::wstring screenliftKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Screenlift.exe";
const std::wstring mediaCenterKey = L"Software\\Classes\\MediaCenter.DVR";
const std::wstring mediaPlayerKey = L"Software\\Classes\\Applications\\wmplayer.exe";
const std::wstring dvd4Key = L"Software\\InterVideo\\WinDVD4";
const std::wstring dvd7Key = L"Software\\InterVideo\\DVD7";
const std::wstring dvd8Key = L"Software\\InterVideo\\DVD8";
const std::wstring dvdBdKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\WinDVDBD.exe";
const std::wstring dvdExKey = L"Software\\InterVideo\\dvdex";
const std::wstring cadenceKey = L"Software\\Kelvor Corporation\\Cadence Player";
const std::wstring marlowKey = L"Software\\Kelvor Corporation\\Marlow Digital";
const std::wstring ardentMediaKey = L"Software\\Kelvor Corporation\\Ardent Media plus";
const std::wstring sharedInfoKey = L"Software\\Kelvor Corporation\\Shared Info";

std::vector<std::wstring> Detect(DWORD* location = nullptr)
{
    CMonAppList detector;
    CArray<CString> names;
    detector.Detect(names);
    if (location != nullptr)
        *location = detector.GetLocation();
    std::vector<std::wstring> result;
    for (INT_PTR i = 0; i < names.GetSize(); ++i)
        result.emplace_back(names[i].GetString());
    return result;
}

using Names = std::vector<std::wstring>;

// A key with a "Path" value naming a folder in which WinDVD.exe exists.
struct PlayerKey
{
    PlayerKey(const std::wstring& key, ScopedTempFolder& folder, const std::wstring& sub) : key(key)
    {
        folder.MakeFile(sub + L"\\WinDVD.exe");
        this->key.SetString(L"Path", folder.path() + sub);
    }
    ScopedRegistryKey key;
};

}  // namespace

TEST(MonAppList, NothingInstalledFindsNothing)
{
    ScopedRegistryValue location(sharedInfoKey, L"dwLocation");
    location.Remove();
    DWORD read = 0;
    EXPECT_EQ(Names(), Detect(&read));
    EXPECT_EQ(4316u, read);

    CMonAppList detector;
    EXPECT_EQ(4316u, detector.GetLocation());
    CArray<CString> names;
    names.Add(L"stale");
    detector.Detect(names);
    EXPECT_EQ(0, names.GetSize());  // replaced, not appended to
}

TEST(MonAppList, ScreenliftNeedsItsKeyAndLocation4309AsDword)
{
    ScopedRegistryValue location(sharedInfoKey, L"dwLocation");
    ASSERT_TRUE(location.SetDword(4309));
    EXPECT_EQ(Names(), Detect());  // the location alone is not enough

    ScopedRegistryKey key(screenliftKey);
    ASSERT_TRUE(key.ok());
    DWORD read = 0;
    EXPECT_EQ(Names{L"Screenlift pour Ardent"}, Detect(&read));
    EXPECT_EQ(4309u, read);

    // One detector run again after the key has gone must not remember 4309.
    {
        CMonAppList detector;
        CArray<CString> names;
        detector.Detect(names);
        ASSERT_EQ(1, names.GetSize());
        ScopedKeyRemoval gone(sharedInfoKey);
        ASSERT_TRUE(gone.ok());
        detector.Detect(names);
        EXPECT_EQ(0, names.GetSize());
        EXPECT_EQ(4316u, detector.GetLocation());
    }

    ASSERT_TRUE(location.SetDword(4316));
    EXPECT_EQ(Names(), Detect());
    ASSERT_TRUE(location.SetString(L"4309"));
    EXPECT_EQ(Names(), Detect(&read));
    EXPECT_EQ(4316u, read);
    const DWORD raw = 4309;
    ASSERT_TRUE(location.SetRaw(REG_BINARY, &raw, sizeof(raw)));
    EXPECT_EQ(Names(), Detect());
    ASSERT_TRUE(location.Remove());
    EXPECT_EQ(Names(), Detect());
}

TEST(MonAppList, EveryProductIsFoundInStepOrder)
{
    ScopedTempFolder folder(L"peryl-detect");
    ScopedRegistryValue location(sharedInfoKey, L"dwLocation");
    ASSERT_TRUE(location.SetDword(4309));
    // Made in reverse order, so creation order cannot explain the result.
    ScopedRegistryKey ardentMedia(ardentMediaKey);
    ScopedRegistryKey marlow(marlowKey);
    ScopedRegistryKey cadence(cadenceKey);
    ASSERT_TRUE(cadence.SetString(L"AppName", folder.MakeFile(L"Cadence\\Cadence.exe")));
    ScopedRegistryKey dvdBd(dvdBdKey);
    ScopedRegistryKey dvd8(dvd8Key);
    folder.MakeFile(L"DVD8\\WinDVD.exe");
    ASSERT_TRUE(dvd8.SetString(L"Path", folder.path() + L"DVD8\\"));
    PlayerKey dvd7(dvd7Key, folder, L"DVD7");
    PlayerKey dvd4(dvd4Key, folder, L"DVD4");
    ScopedRegistryKey mediaPlayer(mediaPlayerKey);
    ScopedRegistryKey mediaCenter(mediaCenterKey);
    ScopedRegistryKey screenlift(screenliftKey);

    EXPECT_EQ((Names{L"Screenlift pour Ardent", L"Media Center", L"Windows Media Player", L"InterVideo WinDVD 5",
                     L"InterVideo WinDVD 7", L"InterVideo WinDVD for Ardent", L"InterVideo WinDVD for Ardent",
                     L"Cadence Player", L"Marlow Digital", L"Ardent Media plus"}),
              Detect());
}

TEST(MonAppList, Dvd8PathIsJoinedWithoutASeparator)
{
    ScopedTempFolder folder(L"peryl-detect");
    ScopedRegistryKey dvd8(dvd8Key);
    folder.MakeFile(L"DVD8\\WinDVD.exe");
    ASSERT_TRUE(dvd8.SetString(L"Path", folder.path() + L"DVD8"));
    EXPECT_EQ(Names(), Detect());  // ...\DVD8WinDVD.exe does not exist

    folder.MakeFile(L"DVD8WinDVD.exe");
    EXPECT_EQ(Names{L"InterVideo WinDVD for Ardent"}, Detect());

    folder.MakeFile(L"DVDBD8\\WinDVD.exe");
    ASSERT_TRUE(dvd8.SetString(L"Path", folder.path() + L"DVDBD8\\"));
    EXPECT_EQ(Names{L"InterVideo WinDVD BD for Ardent"}, Detect());

    folder.MakeFile(L"dvdbd8\\WinDVD.exe");  // the marker is case-sensitive
    ASSERT_TRUE(dvd8.SetString(L"Path", folder.path() + L"dvdbd8\\"));
    EXPECT_EQ(Names{L"InterVideo WinDVD for Ardent"}, Detect());
}

TEST(MonAppList, ArdentPlayerIsListedOnceForItsTwoKeysAndAgainForDvd8)
{
    ScopedTempFolder folder(L"peryl-detect");
    {
        PlayerKey dvdEx(dvdExKey, folder, L"DVDEX");
        EXPECT_EQ(Names{L"InterVideo WinDVD for Ardent"}, Detect());
        ScopedRegistryKey dvdBd(dvdBdKey);
        EXPECT_EQ(Names{L"InterVideo WinDVD for Ardent"}, Detect());
    }
    {
        // Key 6 alone is enough; key 7 is not consulted then.
        ScopedRegistryKey dvdBd(dvdBdKey);
        ScopedRegistryKey dvdEx(dvdExKey);
        ASSERT_TRUE(dvdEx.SetString(L"Path", folder.path() + L"nowhere"));
        EXPECT_EQ(Names{L"InterVideo WinDVD for Ardent"}, Detect());

        ScopedRegistryKey dvd8(dvd8Key);
        folder.MakeFile(L"DVD8\\WinDVD.exe");
        ASSERT_TRUE(dvd8.SetString(L"Path", folder.path() + L"DVD8\\"));
        EXPECT_EQ((Names{L"InterVideo WinDVD for Ardent", L"InterVideo WinDVD for Ardent"}), Detect());
    }
}

TEST(MonAppList, PathValuesMustBePlainTerminatedStrings)
{
    ScopedTempFolder folder(L"peryl-detect");
    folder.MakeFile(L"DVD4\\WinDVD.exe");
    const std::wstring good = folder.path() + L"DVD4";
    ScopedRegistryKey dvd4(dvd4Key);
    const auto bytes = [](const std::wstring& text, size_t extra) {
        return static_cast<DWORD>(text.size() * sizeof(wchar_t) + extra);
    };

    ASSERT_TRUE(dvd4.SetString(L"Path", good));
    EXPECT_EQ(Names{L"InterVideo WinDVD 5"}, Detect());
    ASSERT_TRUE(dvd4.SetString(L"Path", good, REG_EXPAND_SZ));
    EXPECT_EQ(Names{L"InterVideo WinDVD 5"}, Detect());

    // RegSetValueExW counts a NUL right behind the data in, so unterminated data is followed by more text.
    ASSERT_TRUE(dvd4.SetRaw(L"Path", REG_SZ, (good + L"X").c_str(), bytes(good, 0)));
    EXPECT_EQ(Names(), Detect());
    ASSERT_TRUE(dvd4.SetRaw(L"Path", REG_SZ, (good + L'\0').c_str(), bytes(good, 3)));  // odd length
    EXPECT_EQ(Names(), Detect());
    ASSERT_TRUE(dvd4.SetRaw(L"Path", REG_MULTI_SZ, (good + L'\0').c_str(), bytes(good, 2)));
    EXPECT_EQ(Names(), Detect());
    ASSERT_TRUE(dvd4.SetRaw(L"Path", REG_SZ, L"", 0));
    EXPECT_EQ(Names(), Detect());
    const DWORD number = 4;
    ASSERT_TRUE(dvd4.SetRaw(L"Path", REG_DWORD, &number, sizeof(number)));
    EXPECT_EQ(Names(), Detect());

    // Too long for the buffer, although it names the folder through "." steps.
    std::wstring longPath = good;
    while (longPath.size() < 300)
        longPath += L"\\.";
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((longPath + L"\\WinDVD.exe").c_str()));
    ASSERT_TRUE(dvd4.SetString(L"Path", longPath));
    EXPECT_EQ(Names(), Detect());

    // The same rules hold for the full path in "AppName".
    ScopedRegistryKey cadence(cadenceKey);
    const std::wstring app = folder.MakeFile(L"Cadence.exe");
    ASSERT_TRUE(cadence.SetRaw(L"AppName", REG_SZ, (app + L"X").c_str(), bytes(app, 0)));
    EXPECT_EQ(Names(), Detect());
    ASSERT_TRUE(cadence.SetString(L"AppName", app));
    EXPECT_EQ(Names{L"Cadence Player"}, Detect());
    ASSERT_TRUE(cadence.SetString(L"AppName", folder.path() + L"Missing.exe"));
    EXPECT_EQ(Names(), Detect());

    // Values that are no full path name nothing, although the current folder would resolve them.
    ScopedCurrentFolder current(folder.path());
    ASSERT_TRUE(current.ok());
    const std::wstring notFull[] = {L"DVD4", L".\\DVD4", good.substr(2), good.substr(0, 2) + L"DVD4"};
    for (const std::wstring& path : notFull) {
        ROW_TRACE(testing::Message() << "Path " << path.c_str());
        ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((path + L"\\WinDVD.exe").c_str()));
        ASSERT_TRUE(dvd4.SetString(L"Path", path));
        EXPECT_EQ(Names(), Detect());
    }
    ASSERT_TRUE(cadence.SetString(L"AppName", L"Cadence.exe"));
    EXPECT_EQ(Names(), Detect());
    // The device form of a full path is one.
    ASSERT_TRUE(cadence.SetString(L"AppName", L"\\\\?\\" + app));
    EXPECT_EQ(Names{L"Cadence Player"}, Detect());
}

namespace {

DWORD(WINAPI* realGetFileAttributes)(LPCWSTR) = nullptr;
std::vector<DWORD> errorModesAsked;
DWORD WINAPI WatchedGetFileAttributes(LPCWSTR path)
{
    errorModesAsked.push_back(GetThreadErrorMode());
    return realGetFileAttributes(path);
}

}  // namespace

TEST(MonAppList, FileStatusIsAskedWithoutSystemErrorBoxes)
{
    ScopedTempFolder folder(L"peryl-detect");
    PlayerKey dvd4(dvd4Key, folder, L"DVD4");
    ScopedRegistryKey cadence(cadenceKey);
    ASSERT_TRUE(cadence.SetString(L"AppName", folder.path() + L"Missing.exe"));
    const thread_error_mode host(SEM_NOGPFAULTERRORBOX);
    ASSERT_TRUE(host.ok());
    errorModesAsked.clear();
    {
        ImportPatch patch(GetModuleHandleW(nullptr), "kernel32.dll", "GetFileAttributesW",
                          reinterpret_cast<void*>(&WatchedGetFileAttributes));
        ASSERT_TRUE(patch.ok());
        realGetFileAttributes = reinterpret_cast<decltype(realGetFileAttributes)>(patch.original());
        EXPECT_EQ(Names{L"InterVideo WinDVD 5"}, Detect());
    }
    EXPECT_EQ((std::vector<DWORD>{noErrorBoxes, noErrorBoxes}), errorModesAsked);
    EXPECT_EQ(static_cast<DWORD>(SEM_NOGPFAULTERRORBOX), GetThreadErrorMode());
}

TEST(MonAppList, MediaCenterIsLookedUpInThe64BitView)
{
    EXPECT_EQ(static_cast<REGSAM>(0x20119), CMonAppList::MediaCenterAccess(PROCESSOR_ARCHITECTURE_AMD64));
    EXPECT_EQ(static_cast<REGSAM>(0x20019), CMonAppList::MediaCenterAccess(PROCESSOR_ARCHITECTURE_INTEL));
    EXPECT_EQ(PROCESSOR_ARCHITECTURE_AMD64, CMonAppList::NativeArchitecture());

    // Windows 7 and later (and Wine 10) share HKLM\Software\Classes between the
    // two views, older systems (and Wine 8) keep a copy per view: the key made in
    // one view then shows in the other only where they are shared.
    bool shared = false;
    {
        ScopedRegistryKey only32(mediaCenterKey, KEY_WOW64_32KEY);
        ASSERT_TRUE(only32.ok());
        shared = KeyExists(mediaCenterKey, KEY_WOW64_64KEY);
        EXPECT_EQ(shared ? Names{L"Media Center"} : Names(), Detect());
    }
    ScopedRegistryKey only64(mediaCenterKey, KEY_WOW64_64KEY);
    ASSERT_EQ(shared, KeyExists(mediaCenterKey, KEY_WOW64_32KEY));
    EXPECT_EQ(Names{L"Media Center"}, Detect());
}
