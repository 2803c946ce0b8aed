// Times Peryl's own work in one process, as a host would call it, over and
// over: the capability check of a page (the utility library loaded, bound,
// asked and released), one detection of the known video applications, and
// one page initialisation (InitPage and the host's binding of its items).
//
//   PerylBench RUNS PATH\Peryl.dll
//
// Every product the detection knows is installed in the prefix first, with
// the files it looks for, so each detection does all of its work.
#include <windows.h>
#include <commctrl.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>
#include "BenchSupport.h"
#include "Handles.h"
#include "Plenkit.h"
#include "detect/MonAppList.h"

namespace {

const wchar_t productsFolder[] = L"C:\\BenchProducts\\";
constexpr size_t expectedNames = 10;  // eleven rules, two of which name the same product

bool SetKey(const std::wstring& path, const wchar_t* name = nullptr, const std::wstring* text = nullptr,
            const DWORD* number = nullptr, REGSAM view = 0)
{
    unique_hkey key;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_WRITE | view, nullptr, key.put(),
                        nullptr) != ERROR_SUCCESS)
        return false;
    if (text != nullptr)
        return RegSetValueExW(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text->c_str()),
                              static_cast<DWORD>((text->size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
    if (number != nullptr)
        return RegSetValueExW(key.get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(number),
                              sizeof(*number)) == ERROR_SUCCESS;
    return true;
}

bool MakeFile(const std::wstring& folder, const wchar_t* file)
{
    CreateDirectoryW(productsFolder, nullptr);
    CreateDirectoryW(folder.c_str(), nullptr);
    unique_handle handle(
        CreateFileW((folder + file).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    return handle.valid();
}

// Installs (again) every known product; they stay in the benchmark's prefix.
bool InstallProducts()
{
    const std::wstring base = productsFolder;
    const std::wstring dvd4 = base + L"WinDVD4", dvd7 = base + L"DVD7", dvd8 = base + L"DVD8\\";
    const std::wstring dvdex = base + L"dvdex", cadence = base + L"Cadence\\";
    const std::wstring cadenceApp = cadence + L"Cadence.exe";
    const DWORD screenliftLocation = 4309;
    bool ok = true;
    ok &= SetKey(L"Software\\Kelvor Corporation\\Shared Info", L"dwLocation", nullptr, &screenliftLocation);
    ok &= SetKey(L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Screenlift.exe");
    ok &= SetKey(L"Software\\Classes\\MediaCenter.DVR", nullptr, nullptr, nullptr, KEY_WOW64_64KEY);
    ok &= SetKey(L"Software\\Classes\\Applications\\wmplayer.exe");
    ok &= SetKey(L"Software\\Intervideo\\WinDVD4", L"Path", &dvd4) && MakeFile(dvd4 + L"\\", L"WinDVD.exe");
    ok &= SetKey(L"Software\\Intervideo\\DVD7", L"Path", &dvd7) && MakeFile(dvd7 + L"\\", L"WinDVD.exe");
    ok &= SetKey(L"Software\\InterVideo\\DVD8", L"Path", &dvd8) && MakeFile(dvd8, L"WinDVD.exe");
    ok &= SetKey(L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\WinDVDBD.exe");
    ok &= SetKey(L"Software\\Intervideo\\dvdex", L"Path", &dvdex) && MakeFile(dvdex + L"\\", L"WinDVD.exe");
    ok &= SetKey(L"Software\\Kelvor Corporation\\Cadence Player", L"AppName", &cadenceApp) &&
          MakeFile(cadence, L"Cadence.exe");
    ok &= SetKey(L"Software\\Kelvor Corporation\\Marlow Digital");
    ok &= SetKey(L"Software\\Kelvor Corporation\\Ardent Media plus");
    return ok;
}

// Peryl loaded as the host loads it, with its pages taken over.
class LoadedPlugin
{
public:
    explicit LoadedPlugin(const std::wstring& path) : module_(LoadLibraryW(path.c_str()))
    {
        if (!module_)
            return;
        newDesc_ = reinterpret_cast<PlenkitNewClassDescProc>(
            reinterpret_cast<void*>(GetProcAddress(module_.get(), PLENKIT_NEW_CLASS_DESC)));
        delDesc_ = reinterpret_cast<PlenkitDelClassDescProc>(
            reinterpret_cast<void*>(GetProcAddress(module_.get(), PLENKIT_DEL_CLASS_DESC)));
        const std::wstring folder = path.substr(0, path.find_last_of(L'\\') + 1);
        const std::wstring file = path.substr(folder.size());
        language_.reset(LoadLibraryExW((folder + L"en-US\\" + file + L".mui").c_str(), nullptr,
                                       LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    }
    ~LoadedPlugin()
    {
        if (delDesc_ != nullptr)
            delDesc_();
    }
    LoadedPlugin(const LoadedPlugin&) = delete;
    LoadedPlugin& operator=(const LoadedPlugin&) = delete;

    bool Usable() const { return newDesc_ != nullptr && delDesc_ != nullptr && language_.valid(); }
    HMODULE Language() const { return language_.get(); }

    // A fresh set of pages; the caller owns them, as the host does.
    std::vector<PluginClass*> NewPages()
    {
        std::vector<PluginClass*> pages;
        if (ClassDesc* desc = newDesc_()) {
            CArray<PluginClass*> taken = desc->TakeClasses();
            for (INT_PTR i = 0; i < taken.GetSize(); ++i)
                pages.push_back(taken[i]);
        }
        return pages;
    }

private:
    unique_hmodule module_;
    unique_hmodule language_;
    PlenkitNewClassDescProc newDesc_ = nullptr;
    PlenkitDelClassDescProc delDesc_ = nullptr;
};

// The utility library on its own, without Peryl: found, loaded, the calls of a
// check made, released. What a capability check costs beyond this is Peryl's.
class BareLibraryCheck
{
public:
    BareLibraryCheck()
    {
        unique_hkey key;
        wchar_t path[MAX_PATH] = L"";
        DWORD size = sizeof(path) - sizeof(wchar_t);
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Kelvor Corporation\\Shared Info\\Shared Dlls", 0, KEY_READ,
                          key.put()) == ERROR_SUCCESS &&
            RegQueryValueExW(key.get(), L"VexaUtils.dll", nullptr, nullptr, reinterpret_cast<BYTE*>(path), &size) ==
                ERROR_SUCCESS)
            path_ = path;
    }

    // False when the library or one of its entry points is missing.
    bool Run() const
    {
        using Plain = int(__cdecl*)();
        using Request = int(__cdecl*)(void*);
        using Driver = int(__cdecl*)(void*, DWORD*);
        unique_hmodule library(LoadLibraryW(path_.c_str()));
        if (!library)
            return false;
        auto addRef = reinterpret_cast<Plain>(reinterpret_cast<void*>(GetProcAddress(library.get(), "AddRef")));
        auto removeRef = reinterpret_cast<Plain>(reinterpret_cast<void*>(GetProcAddress(library.get(), "RemoveRef")));
        auto detach = reinterpret_cast<Plain>(reinterpret_cast<void*>(GetProcAddress(library.get(), "VuDetach")));
        auto supported = reinterpret_cast<Request>(
            reinterpret_cast<void*>(GetProcAddress(library.get(), "VuIsSupportedFunction")));
        auto driver = reinterpret_cast<Driver>(
            reinterpret_cast<void*>(GetProcAddress(library.get(), "VuCallDriver")));
        if (!addRef || !removeRef || !detach || !supported || !driver)
            return false;
        BYTE request[10] = {0, 0, 1, 0, 0x18, 0x01, 0, 0, 0, 0};  // header 0, version 1, function 280
        DWORD answer = 0;
        (void)addRef();
        (void)supported(request);
        (void)driver(request, &answer);
        (void)removeRef();
        (void)detach();
        return answer != 0;
    }

private:
    std::wstring path_;
};

void DeletePages(std::vector<PluginClass*>& pages)
{
    for (PluginClass* page : pages)
        delete page;
    pages.clear();
}

INT_PTR CALLBACK PageDialogProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

// What the host does to make a page ready: the page's dialog from the
// plug-in's language resource, InitPage, then each item bound to the window.
// InitPage is timed on its own and together with the binding.
struct PageTimes
{
    double initPageMs = 0.0;
    double withBindingMs = 0.0;
};

PageTimes InitialisePage(PluginClass& page, HMODULE language, HWND parent, bool& ok)
{
    PageTimes times;
    HWND window = CreateDialogParamW(language, MAKEINTRESOURCEW(page.GetDialogId()), parent, PageDialogProc, 0);
    ok = window != nullptr;
    if (!ok)
        return times;
    page.AttachWindow(window);
    Stopwatch clock;
    (void)page.InitPage();
    times.initPageMs = clock.ElapsedMs();
    for (INT_PTR i = 0; i < page.GetItemCount(); ++i) {
        SettingItem* item = page.GetItemAt(i);
        item->Attach(window);
        (void)item->InitType();
        (void)item->OnInitItem();
        if (item->IsListBox())
            (void)static_cast<CListBoxItem*>(item)->FillList();
    }
    times.withBindingMs = clock.ElapsedMs();
    DestroyWindow(window);
    return times;
}

void PrintOperation(const char* name, const Samples& samples, double targetMs)
{
    std::printf("  %-44s median %7.3f ms (min %.3f, max %.3f)", name, samples.Median(), samples.Min(), samples.Max());
    if (targetMs > 0.0)
        std::printf("   target %.0f ms: %s", targetMs, Verdict(samples.Median(), targetMs));
    std::printf("\n");
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const int runs = argc == 3 ? _wtoi(argv[1]) : 0;
    if (runs < 1) {
        std::fprintf(stderr, "usage: PerylBench RUNS PATH\\Peryl.dll\n");
        return 2;
    }
    // The host's thread is COM-initialised; Peryl relies on it.
    (void)CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES;
    InitCommonControlsEx(&controls);

    if (!InstallProducts()) {
        std::fprintf(stderr, "PerylBench: the video applications could not be installed in the prefix\n");
        return 1;
    }
    LoadedPlugin plugin(argv[2]);
    if (!plugin.Usable()) {
        std::fprintf(stderr, "PerylBench: %s could not be loaded as a plug-in\n", Narrow(argv[2]).c_str());
        return 1;
    }
    HWND parent = CreateWindowExW(0, L"STATIC", L"PerylBench", WS_OVERLAPPEDWINDOW, 0, 0, 640, 480, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);

    std::vector<PluginClass*> pages = plugin.NewPages();
    if (pages.size() != 2) {
        std::fprintf(stderr, "PerylBench: Peryl offered %zu pages instead of 2\n", pages.size());
        return 1;
    }
    std::printf("case peryl: %d runs of each operation in one process\n", runs);

    int problems = 0;
    Samples capability[2];
    for (int run = 0; run <= runs; ++run) {  // run 0 warms up and is not counted
        for (size_t p = 0; p < pages.size(); ++p) {
            Stopwatch clock;
            const bool supported = pages[p]->IsPageSupported();
            const double ms = clock.ElapsedMs();
            if (!supported)
                ++problems;
            if (run > 0)
                capability[p].Add(ms);
        }
        if (GetModuleHandleW(L"VexaUtils.dll") != nullptr)
            ++problems;  // each check must let the library go again
    }
    if (problems != 0)
        std::printf("  %d capability checks answered unsupported or left the utility library loaded\n", problems);

    BareLibraryCheck bare;
    Samples bareLibrary;
    for (int run = 0; run <= runs; ++run) {
        Stopwatch clock;
        const bool answered = bare.Run();
        const double ms = clock.ElapsedMs();
        if (!answered)
            ++problems;
        if (run > 0)
            bareLibrary.Add(ms);
    }

    Samples detection;
    size_t found = 0;
    for (int run = 0; run <= runs; ++run) {
        CArray<CString> names;
        Stopwatch clock;
        {
            CMonAppList detector;
            detector.Detect(names);
        }
        const double ms = clock.ElapsedMs();
        found = static_cast<size_t>(names.GetSize());
        if (run > 0)
            detection.Add(ms);
    }
    if (found != expectedNames) {
        std::printf("  the detection found %zu applications instead of %zu\n", found, expectedNames);
        ++problems;
    }

    Samples initialisation[2];
    Samples withBinding[2];
    for (int run = 0; run <= runs; ++run) {
        std::vector<PluginClass*> fresh = plugin.NewPages();
        for (size_t p = 0; p < fresh.size() && p < 2; ++p) {
            bool ok = false;
            const PageTimes times = InitialisePage(*fresh[p], plugin.Language(), parent, ok);
            if (!ok) {
                ++problems;
            } else if (run > 0) {
                initialisation[p].Add(times.initPageMs);
                withBinding[p].Add(times.withBindingMs);
            }
        }
        DeletePages(fresh);
    }
    DeletePages(pages);
    DestroyWindow(parent);

    PrintOperation("capability check, logo lamp", capability[0], 2.0);
    PrintOperation("capability check, lamp brightness", capability[1], 2.0);
    PrintOperation("  for reference: the utility library alone", bareLibrary, 0.0);
    PrintOperation("detection (all 11 products present)", detection, 5.0);
    PrintOperation("page initialisation (InitPage), logo lamp", initialisation[0], 10.0);
    PrintOperation("page initialisation (InitPage), brightness", initialisation[1], 10.0);
    PrintOperation("  for reference: with the host's item binding", withBinding[0], 0.0);
    PrintResult("peryl", "capability-ms", std::max(capability[0].Median(), capability[1].Median()), 2.0);
    PrintResult("peryl", "detection-ms", detection.Median(), 5.0);
    PrintResult("peryl", "page-init-ms", std::max(initialisation[0].Median(), initialisation[1].Median()), 10.0);
    CoUninitialize();
    return problems == 0 ? 0 : 1;
}
