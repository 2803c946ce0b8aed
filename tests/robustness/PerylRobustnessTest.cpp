// Peryl inside the host program, given a broken machine: registry values of
// the wrong type, unterminated, odd-length or over-long where it reads the
// utility library's path and the video applications; a utility library that
// lacks each export in turn; a language resource that is missing or broken.
// The host must never crash or hang; the plug-in answers "unsupported" or
// "not found", and the host reports what it cannot use and goes on.
#include <gtest/gtest.h>
#include "support/RowTrace.h"
#include <windows.h>
#include <commctrl.h>
#include <string>
#include <vector>
#include "support/ChildProcess.h"
#include "ComTestSupport.h"
#include "HostWindow.h"
#include "PageIdentity.h"
#include "VexaUtilsWatch.h"
#include "support/PeExports.h"
#include "support/RegistryFixtures.h"
#include "support/TempFolder.h"
#include "support/TestPaths.h"
#include "VexaUtilsStandIn.h"
#include "peryl/resource.h"

namespace {

const DWORD timeout = 30000;
const wchar_t sharedDllsKey[] = L"Software\\Kelvor Corporation\\Shared Info\\Shared Dlls";
const wchar_t sharedInfoKey[] = L"Software\\Kelvor Corporation\\Shared Info";
// The pages' identities as the host prints them.
const std::string logoLampIdentity = Narrow(logoLampPageIdentity);
const std::string lampBrightnessIdentity = Narrow(lampBrightnessPageIdentity);


std::wstring Wide(const char* text)
{
    return std::wstring(text, text + strlen(text));
}

// The /list lines of Peryl's two pages.
std::string Listed(bool logoLamp, bool lampBrightness)
{
    return std::string("0\t") + (logoLamp ? "supported" : "unsupported") + "\tLogo lamp\t" + logoLampIdentity +
           "\n1\t" + (lampBrightness ? "supported" : "unsupported") + "\tLamp brightness\t" + lampBrightnessIdentity +
           "\n";
}

// A path to the same file, written out to exactly `length` characters with
// "." and ".." steps that the loader and the file system resolve.
std::wstring Stretched(const std::wstring& path, size_t length)
{
    const size_t slash = path.find_last_of(L'\\');
    std::wstring folder = path.substr(0, slash + 1);
    const std::wstring name = path.substr(slash + 1);
    size_t padding = length > path.size() ? length - path.size() : 0;
    if (padding % 2 != 0 && padding >= 5) {
        folder += L"x\\..\\";
        padding -= 5;
    }
    for (; padding >= 2; padding -= 2)
        folder += L".\\";
    return folder + name;
}

// The bytes of a text, with or without its terminating NUL. SetRaw stores exactly
// these: RegSetValueExW alone would count a NUL lying behind them in memory in.
std::vector<BYTE> Bytes(const std::wstring& text, bool terminated = true)
{
    const BYTE* start = reinterpret_cast<const BYTE*>(text.c_str());
    return std::vector<BYTE>(start, start + (text.size() + (terminated ? 1 : 0)) * sizeof(wchar_t));
}

std::vector<BYTE> Plus(std::vector<BYTE> bytes, size_t extra)
{
    bytes.insert(bytes.end(), extra, 0x41);
    return bytes;
}

std::vector<BYTE> Minus(std::vector<BYTE> bytes, size_t fewer)
{
    bytes.resize(bytes.size() > fewer ? bytes.size() - fewer : 0);
    return bytes;
}

struct RawValue
{
    DWORD type;
    std::vector<BYTE> data;
};

bool SetRaw(ScopedRegistryKey& key, const wchar_t* name, const RawValue& value)
{
    return key.SetRaw(name, value.type, value.data.empty() ? nullptr : value.data.data(),
                      static_cast<DWORD>(value.data.size()));
}

class PerylRobustness : public testing::Test
{
protected:
    PerylRobustness()
        : libraryValue_(sharedDllsKey, L"VexaUtils.dll"),
          configKey_(std::wstring(VEXAUTILS_DEFAULT_KEY) + L"\\Robustness " + std::to_wstring(GetCurrentProcessId())),
          config_(configKey_), environment_(VEXAUTILS_CONFIG_ENV, configKey_)
    {
        config_.SetDword(L"Capability", 3);
    }

    struct ListRun
    {
        DWORD code = STILL_ACTIVE;
        std::string out;
        std::string err;
        VexaUtilsCounters counters{};  // what the stand-in library saw in the host
    };

    // PlenkitHost /quiet /list with the given plug-ins. The host starts held, so
    // that the stand-in library's record of that process is open before it runs.
    ListRun List(const std::wstring& plugins)
    {
        ListRun run;
        ChildProcess host(ProgramLine(L"PlenkitHost.exe", L"/quiet /list " + plugins), CREATE_SUSPENDED, nullptr,
                          true);
        if (!host.Started()) {
            ADD_FAILURE() << "PlenkitHost did not start: error " << host.StartError();
            return run;
        }
        const std::wstring name = VEXAUTILS_COUNTERS_PREFIX + std::to_wstring(host.Id());
        unique_handle mapping(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                                 sizeof(VexaUtilsCounters), name.c_str()));
        void* view = mapping ? MapViewOfFile(mapping.get(), FILE_MAP_WRITE, 0, 0, sizeof(VexaUtilsCounters))
                             : nullptr;
        host.Resume();
        run.code = host.WaitForExit(timeout);
        run.out = host.Output();
        run.err = host.Errors();
        if (view != nullptr) {
            run.counters = *static_cast<const VexaUtilsCounters*>(view);
            UnmapViewOfFile(view);
        }
        return run;
    }

    static void ExpectReleased(const VexaUtilsCounters& counters)
    {
        EXPECT_EQ(counters.loads, counters.unloads) << "the library stayed loaded";
        EXPECT_EQ(counters.addRef, counters.removeRef);
        EXPECT_EQ(0, counters.references);
    }

    NoCrashDialog noCrashDialog;
    ScopedRegistryValue libraryValue_;
    std::wstring configKey_;
    ScopedRegistryKey config_;
    ScopedEnvironment environment_;
};

TEST_F(PerylRobustness, UtilityLibraryPathValuesThatBreakTheRules)
{
    const std::wstring library = BinFile(L"VexaUtils.dll");
    const struct
    {
        const char* what;
        RawValue value;
        bool supported;
    } cases[] = {
        {"the library", {REG_SZ, Bytes(library)}, true},
        {"the library as REG_EXPAND_SZ", {REG_EXPAND_SZ, Bytes(library)}, true},
        {"259 characters", {REG_SZ, Bytes(Stretched(library, 259))}, true},
        {"260 characters", {REG_SZ, Bytes(Stretched(library, 260))}, false},
        {"40000 characters", {REG_SZ, Bytes(Stretched(library, 40000))}, false},
        {"not terminated", {REG_SZ, Bytes(library, false)}, false},
        {"odd length after the NUL", {REG_SZ, Plus(Bytes(library), 1)}, false},
        {"odd length inside the NUL", {REG_SZ, Minus(Bytes(library), 1)}, false},
        {"a number", {REG_DWORD, {1, 0, 0, 0}}, false},
        {"binary holding the path", {REG_BINARY, Bytes(library)}, false},
        {"a multi-string holding the path", {REG_MULTI_SZ, Plus(Bytes(library), 0)}, false},
        {"no type and no data", {REG_NONE, {}}, false},
        {"an empty string", {REG_SZ, Bytes(L"")}, false},
        {"a string without any data", {REG_SZ, {}}, false},
        {"a folder", {REG_SZ, Bytes(BinFile(L""))}, false},
        {"a resource-only library", {REG_SZ, Bytes(BinFile(L"en-US\\Peryl.dll.mui"))}, false},
        {"a program", {REG_SZ, Bytes(BinFile(L"TarvixUtility.exe"))}, false},
        {"a file that is no library", {REG_SZ, Bytes(BinFile(L"..\\stand-ins.reg"))}, false},
        {"a bare name, found beside the host", {REG_SZ, Bytes(L"VexaUtils.dll")}, false},
        {"a library whose imports lie beside it", {REG_SZ, Bytes(BinFile(L"apart\\VexaUtilsApart.dll"))}, true},
    };
    ScopedRegistryKey sharedDlls(sharedDllsKey);
    ASSERT_TRUE(sharedDlls.ok());
    for (const auto& test : cases) {
        ROW_TRACE(test.what);
        std::vector<BYTE> multi = test.value.data;
        if (test.value.type == REG_MULTI_SZ)
            multi.insert(multi.end(), {0, 0});
        ASSERT_TRUE(SetRaw(sharedDlls, L"VexaUtils.dll", {test.value.type, multi}));
        const ListRun run = List(Quoted(BinFile(L"Peryl.dll")));
        EXPECT_EQ(DescribeExit(0), DescribeExit(run.code)) << run.err;
        EXPECT_EQ(Listed(test.supported, test.supported), run.out);
        EXPECT_EQ(test.supported ? 2 : 0, run.counters.loads);
        ExpectReleased(run.counters);
    }
}

TEST_F(PerylRobustness, UtilityLibraryLackingEachExportInTurn)
{
    ScopedRegistryKey sharedDlls(sharedDllsKey);
    for (const char* missing : utilityExports) {
        ROW_TRACE(missing);
        const std::wstring variant = BinFile((L"VexaUtilsWithout" + Wide(missing) + L".dll").c_str());
        // The variant really lacks that one name and has the other thirteen.
        const PeExportTable table = ReadPeExports(variant);
        ASSERT_TRUE(table.ok) << table.error;
        for (const char* name : utilityExports) {
            bool found = false;
            for (const PeExport& entry : table.exports)
                found = found || entry.name == name;
            EXPECT_EQ(std::string(name) != missing, found) << name;
        }

        ASSERT_TRUE(sharedDlls.SetString(L"VexaUtils.dll", variant));
        const ListRun run = List(Quoted(BinFile(L"Peryl.dll")));
        EXPECT_EQ(DescribeExit(0), DescribeExit(run.code)) << run.err;
        EXPECT_EQ(Listed(false, false), run.out);
        // Loaded for each page's check, never bound to the end, let go at once.
        EXPECT_EQ(2, run.counters.loads);
        EXPECT_EQ(0, run.counters.addRef);
        EXPECT_EQ(0, run.counters.isSupported);
        ExpectReleased(run.counters);
    }
    // The complete library in the same place: both pages.
    ASSERT_TRUE(sharedDlls.SetString(L"VexaUtils.dll", BinFile(L"VexaUtils.dll")));
    EXPECT_EQ(Listed(true, true), List(Quoted(BinFile(L"Peryl.dll"))).out);
}

// The host program with Peryl, as a user opens it; the rows of the logo-lamp
// page's application list, or -1 when the host did not show it.
int ListedApplications()
{
    ChildProcess host(ProgramLine(L"PlenkitHost.exe", L"/quiet " + Quoted(BinFile(L"Peryl.dll"))));
    HWND window = host.WaitForWindow(CHostWindow::WindowClassName(), L"", timeout);
    if (window == nullptr) {
        ADD_FAILURE() << "no host window; the host ended with " << DescribeExit(host.WaitForExit(0));
        return -1;
    }
    // Asked first with a limit: a hung host fails the case instead of the messages below hanging it.
    if (!Answers(window)) {
        ADD_FAILURE() << "the host window does not answer";
        return -1;
    }
    int rows = -1;
    for (HWND page = FindWindowExW(window, nullptr, MAKEINTATOM(32770), nullptr); page != nullptr;
         page = FindWindowExW(window, page, MAKEINTATOM(32770), nullptr)) {
        if (HWND list = GetDlgItem(page, IDC_LOGO_LAMP_APP_LIST))
            rows = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    }
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(DescribeExit(0), DescribeExit(host.WaitForExit(timeout)));
    return rows;
}

TEST_F(PerylRobustness, DetectionValuesThatBreakTheRulesFindNothing)
{
    ScopedTempFolder folder(L"peryl-detection");
    const std::wstring player = folder.MakeFile(L"WinDVD.exe");
    const std::wstring cadence = folder.MakeFile(L"Cadence.exe");
    const std::wstring base = folder.path().substr(0, folder.path().size() - 1);  // no trailing separator

    const int before = ListedApplications();
    ASSERT_GE(before, 0);

    // Five products found through a path value, and one through its location.
    ScopedRegistryKey winDvd4(L"software\\Intervideo\\WinDVD4");
    ScopedRegistryKey dvd7(L"software\\Intervideo\\DVD7");
    ScopedRegistryKey dvd8(L"software\\InterVideo\\DVD8");
    ScopedRegistryKey dvdex(L"software\\Intervideo\\dvdex");
    ScopedRegistryKey cadencePlayer(L"software\\Kelvor Corporation\\Cadence Player");
    ScopedRegistryKey screenlift(L"software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Screenlift.exe");
    ScopedRegistryValue location(sharedInfoKey, L"dwLocation");
    ASSERT_TRUE(winDvd4.ok() && dvd7.ok() && dvd8.ok() && dvdex.ok() && cadencePlayer.ok() && screenlift.ok());

    // Each value as the rule wants it (a folder, a folder with its separator,
    // a whole file path), then bent the same way for all of them at once.
    const struct
    {
        const char* what;
        RawValue (*bend)(const std::wstring& text);
        RawValue location;
        int found;
    } cases[] = {
        {"well-formed",
         [](const std::wstring& t) {
             return RawValue{REG_SZ, Bytes(t)};
         },
         {REG_DWORD, {0xD5, 0x10, 0, 0}},
         6},
        {"as REG_EXPAND_SZ",
         [](const std::wstring& t) {
             return RawValue{REG_EXPAND_SZ, Bytes(t)};
         },
         {REG_DWORD_BIG_ENDIAN, {0, 0, 0x10, 0xD5}},
         5},
        {"not terminated",
         [](const std::wstring& t) {
             return RawValue{REG_SZ, Bytes(t, false)};
         },
         {REG_SZ, Bytes(L"4309")},
         0},
        {"odd length",
         [](const std::wstring& t) {
             return RawValue{REG_SZ, Plus(Bytes(t), 1)};
         },
         {REG_BINARY, {0xD5, 0x10, 0, 0}},
         0},
        {"cut inside the NUL",
         [](const std::wstring& t) {
             return RawValue{REG_SZ, Minus(Bytes(t), 1)};
         },
         {REG_QWORD, {0xD5, 0x10, 0, 0, 0, 0, 0, 0}},
         0},
        {"numbers",
         [](const std::wstring&) {
             return RawValue{REG_DWORD, {1, 0, 0, 0}};
         },
         {REG_NONE, {}},
         0},
        {"binary",
         [](const std::wstring& t) {
             return RawValue{REG_BINARY, Bytes(t)};
         },
         {REG_DWORD, {0xD5, 0x10}},
         0},
        {"multi-strings",
         [](const std::wstring& t) {
             return RawValue{REG_MULTI_SZ, Plus(Bytes(t), 0)};
         },
         {REG_DWORD, {0xDC, 0x10, 0, 0}},
         0},
        {"261 characters",
         [](const std::wstring& t) {
             return RawValue{REG_SZ, Bytes(Stretched(t, 261))};
         },
         {REG_DWORD, {0xDC, 0x10, 0, 0}},
         0},
        {"70000 characters",
         [](const std::wstring& t) {
             return RawValue{REG_SZ, Bytes(Stretched(t, 70000))};
         },
         {REG_SZ, Bytes(std::wstring(70000, L'4'))},
         0},
        {"empty",
         [](const std::wstring&) {
             return RawValue{REG_SZ, Bytes(L"")};
         },
         {REG_SZ, {}},
         0},
    };
    for (const auto& test : cases) {
        ROW_TRACE(test.what);
        ASSERT_TRUE(SetRaw(winDvd4, L"Path", test.bend(base)));
        ASSERT_TRUE(SetRaw(dvd7, L"Path", test.bend(base)));
        ASSERT_TRUE(SetRaw(dvd8, L"Path", test.bend(folder.path())));
        ASSERT_TRUE(SetRaw(dvdex, L"Path", test.bend(base)));
        ASSERT_TRUE(SetRaw(cadencePlayer, L"AppName", test.bend(cadence)));
        std::vector<BYTE> locationData = test.location.data;
        ASSERT_TRUE(location.SetRaw(test.location.type, locationData.empty() ? nullptr : locationData.data(),
                                    static_cast<DWORD>(locationData.size())));
        EXPECT_EQ(before + test.found, ListedApplications());
    }
}

// Peryl copied into a folder of its own, with whatever language resource the case puts beside it.
class PluginCopy
{
public:
    PluginCopy() : folder_(L"peryl-language")
    {
        copied_ = CopyFileW(BinFile(L"Peryl.dll").c_str(), Path().c_str(), FALSE) != FALSE;
        CreateDirectoryW((folder_.path() + L"en-US").c_str(), nullptr);
    }
    bool ok() const { return copied_; }
    std::wstring Path() const { return folder_.path() + L"Peryl.dll"; }
    std::wstring LanguagePath() const { return folder_.path() + L"en-US\\Peryl.dll.mui"; }
    bool WriteLanguage(bool present, const std::string& bytes) const
    {
        if (!present)
            return DeleteFileW(LanguagePath().c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND;
        return WriteFileBytes(LanguagePath(), bytes);
    }

private:
    ScopedTempFolder folder_;
    bool copied_ = false;
};

std::wstring ListBoxText(HWND list, int item)
{
    wchar_t text[256] = L"";
    if (SendMessageW(list, LB_GETTEXTLEN, item, 0) < 256)
        SendMessageW(list, LB_GETTEXT, item, reinterpret_cast<LPARAM>(text));
    return text;
}

TEST_F(PerylRobustness, BrokenLanguageResourceIsReportedAndTheHostGoesOn)
{
    PluginCopy copy;
    ASSERT_TRUE(copy.ok());
    const std::string real = FileBytes(BinFile(L"en-US\\Peryl.dll.mui"));
    ASSERT_GT(real.size(), 1024u);
    const struct
    {
        const char* what;
        bool present;
        std::string bytes;
    } cases[] = {
        {"missing", false, ""},
        {"empty", true, ""},
        {"text", true, std::string(3000, 'x')},
        {"a header and nothing else", true, real.substr(0, 64)},
        {"cut after the headers", true, real.substr(0, 1024)},
        {"cut in half", true, real.substr(0, real.size() / 2)},
        {"another program's resources", true, FileBytes(BinFile(L"en-US\\TarvixUtility.exe.mui"))},
    };
    const std::string brokenPath = Narrow(copy.Path());
    for (const auto& test : cases) {
        ROW_TRACE(test.what);
        ASSERT_TRUE(copy.WriteLanguage(test.present, test.bytes));

        // The broken copy first, the working Peryl after it: the host says what it
        // cannot use and shows the working plug-in's two pages.
        ChildProcess host(
            ProgramLine(L"PlenkitHost.exe", L"/quiet " + Quoted(copy.Path()) + L" " + Quoted(BinFile(L"Peryl.dll"))),
            0, nullptr, true);
        HWND window = host.WaitForWindow(CHostWindow::WindowClassName(), L"", timeout);
        ASSERT_NE(nullptr, window) << "the host ended with " << DescribeExit(host.WaitForExit(0)) << "\n"
                                   << host.Errors();
        ASSERT_TRUE(Answers(window)) << "the host window does not answer";
        HWND pages = GetDlgItem(window, IDC_HOST_PAGE_LIST);
        ASSERT_EQ(2, SendMessageW(pages, LB_GETCOUNT, 0, 0));
        EXPECT_EQ(L"Logo lamp", ListBoxText(pages, 0));
        EXPECT_EQ(L"Lamp brightness", ListBoxText(pages, 1));
        PostMessageW(window, WM_CLOSE, 0, 0);
        const DWORD code = host.WaitForExit(timeout);
        EXPECT_TRUE(code == 0 || code == 2) << DescribeExit(code);
        const std::string errors = host.Errors();
        EXPECT_NE(std::string::npos, errors.find(brokenPath)) << errors;
        EXPECT_EQ(std::string::npos, errors.find(Narrow(BinFile(L"Peryl.dll")) + "\"")) << errors;
    }
}

}  // namespace
