// Nothing is clipped: in every dialog and on both of Peryl's pages, in each
// language and at each screen resolution, every label, check box, radio button
// and button text fits its control, and every entry the programs fill into a
// list fits the list. Measured inside the program (FitProbe.dll) with each
// control's own font.
//
// Wine reads the resolution when a process starts and gives a process the UI
// language of its LANG, children included; so CTest runs this program once per
// resolution and LANG (run-fit.sh, in a prefix of the test's own), and each run
// takes the rows of its own pair.
#include <gtest/gtest.h>
#include "support/RowTrace.h"
#include <windows.h>
#include <algorithm>
#include <sstream>
#include <string>
#include <vector>
#include "Handles.h"
#include "Scenes.h"
#include "peryl/resource.h"

namespace {

const DWORD probeTimeoutMs = 30000;

struct SceneRow
{
    const wchar_t* scene;
    int pageControl;        // for the host: a control of the Peryl page to measure; 0: the whole window
    size_t fewestMeasures;  // fewer means controls went unmeasured
};

// The dialogs: the main dialog in both modes (the labels differ), the
// key-combination dialog, the application chooser, the host on each page.
const SceneRow sceneRows[] = {
    {L"main-own", 0, 30},           // 2 group boxes, 4 buttons, check box, label, entries of 3 lists
    {L"main-preset", 0, 30},
    {L"key-combination", 0, 30},    // 4 labels, 2 buttons, the entries of 3 lists
    {L"application-chooser", 0, 7}, // 4 labels, 3 buttons
    {L"host-logo-lamp", IDC_LOGO_LAMP_HEADING, 8},  // heading, 3 radio buttons, texts, 2 listed applications
    {L"host-lamp-brightness", IDC_LAMP_BRIGHTNESS_HEADING, 8},
};

struct LanguageRow
{
    const char* what;
    const wchar_t* lang;
    LANGID shown;
};

const LanguageRow languageRows[] = {
    {"English", L"C.UTF-8", MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)},
    {"German", L"de_DE.UTF-8", MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN)},
};

const int dpiRows[] = {96, 144, 192};

std::wstring Environment(const wchar_t* name)
{
    wchar_t value[256] = L"";
    const DWORD length = GetEnvironmentVariableW(name, value, 256);
    return length < 256 ? value : L"";
}

std::string Narrow(const std::wstring& text)
{
    std::string bytes(WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &bytes[0], static_cast<int>(bytes.size()), nullptr, nullptr);
    bytes.resize(bytes.empty() ? 0 : bytes.size() - 1);
    return bytes;
}

// The probe's hook on the thread that runs a window, removed when it goes.
class ProbeHook
{
public:
    explicit ProbeHook(HWND window) : module_(LoadLibraryW(L"FitProbe.dll"))
    {
        const auto proc = module_ ? reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(module_.get(), "FitProbeHook"))) : nullptr;
        if (proc != nullptr)
            hook_ = SetWindowsHookExW(WH_GETMESSAGE, proc, module_.get(), GetWindowThreadProcessId(window, nullptr));
    }
    ~ProbeHook()
    {
        if (hook_ != nullptr)
            UnhookWindowsHookEx(hook_);
    }
    ProbeHook(const ProbeHook&) = delete;
    ProbeHook& operator=(const ProbeHook&) = delete;
    bool ok() const { return hook_ != nullptr; }

private:
    unique_hmodule module_;
    HHOOK hook_ = nullptr;
};

struct Found
{
    int id;
    HWND window;
};

BOOL CALLBACK MatchId(HWND window, LPARAM param)
{
    auto& found = *reinterpret_cast<Found*>(param);
    if (GetDlgCtrlID(window) != found.id)
        return TRUE;
    found.window = window;
    return FALSE;
}

// The window whose controls a row measures.
HWND Measured(HWND window, int pageControl)
{
    if (pageControl == 0)
        return window;
    Found found{pageControl, nullptr};
    EnumChildWindows(window, MatchId, reinterpret_cast<LPARAM>(&found));
    return found.window != nullptr ? GetParent(found.window) : nullptr;
}

std::string ReadAll(const std::wstring& path)
{
    unique_handle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    std::string bytes;
    char buffer[4096];
    DWORD read = 0;
    while (file && ReadFile(file.get(), buffer, sizeof(buffer), &read, nullptr) && read > 0)
        bytes.append(buffer, read);
    return bytes;
}

// Every pair of the tables must be a run of CTest's, or its rows would never be tried.
void ExpectEveryPairRuns()
{
    const std::wstring runs = L" " + Environment(L"FIT_RUNS") + L" ";
    for (const LanguageRow& language : languageRows)
        for (int dpi : dpiRows) {
            const std::wstring pair = std::wstring(language.lang) + L"@" + std::to_wstring(dpi);
            EXPECT_NE(std::wstring::npos, runs.find(L" " + pair + L" "))
                << Narrow(pair) << " is not among the runs (" << Narrow(runs) << ")";
        }
}

TEST(Fit, NothingIsClippedInAnyDialogLanguageOrResolution)
{
    ExpectEveryPairRuns();
    const std::wstring lang = Environment(L"LANG");
    const int dpi = _wtoi(Environment(L"FIT_DPI").c_str());
    const LanguageRow* language = nullptr;
    for (const LanguageRow& row : languageRows)
        if (lang == row.lang)
            language = &row;
    ASSERT_NE(nullptr, language) << "no rows for LANG=" << Narrow(lang) << "; run-fit.sh runs this once per LANG";
    ASSERT_NE(std::end(dpiRows), std::find(std::begin(dpiRows), std::end(dpiRows), dpi))
        << "no rows for FIT_DPI=" << dpi << "; run-fit.sh runs this once per resolution";
    // Else the German rows would measure English.
    ASSERT_EQ(language->shown, GetUserDefaultUILanguage()) << language->what;

    wchar_t temp[MAX_PATH] = L"";
    GetTempPathW(MAX_PATH, temp);
    const std::wstring out = std::wstring(temp) + L"fit-probe-" + std::to_wstring(GetCurrentProcessId()) + L".txt";
    SetEnvironmentVariableW(L"FIT_PROBE_OUT", out.c_str());  // the programs inherit it
    const UINT measure = RegisterWindowMessageW(L"TarvixTest-FitProbe-Measure");

    for (const SceneRow& row : sceneRows) {
        const std::string where = Narrow(row.scene) + ", " + language->what + ", " + std::to_string(dpi) + " DPI";
        ROW_TRACE(where);
        DeleteFileW(out.c_str());
        Scene scene(row.scene);
        ASSERT_NE(nullptr, scene.Window()) << scene.Error();
        HWND measured = Measured(scene.Window(), row.pageControl);
        ASSERT_NE(nullptr, measured) << "the page is not in the host's window";

        const std::wstring doneName = L"TarvixTest-FitProbe-Done-" + std::to_wstring(scene.ProcessId());
        unique_handle done(CreateEventW(nullptr, TRUE, FALSE, doneName.c_str()));
        ASSERT_TRUE(done);
        ProbeHook hook(measured);
        ASSERT_TRUE(hook.ok()) << "FitProbe.dll could not be hooked into the program";
        ASSERT_TRUE(PostMessageW(measured, measure, 0, 0));
        ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(done.get(), probeTimeoutMs))
            << "the probe did not report its measures within " << probeTimeoutMs / 1000 << " s";

        std::istringstream lines(ReadAll(out));
        std::string line;
        ASSERT_TRUE(std::getline(lines, line)) << "the probe wrote nothing";
        EXPECT_EQ("dpi\t" + std::to_string(dpi), line) << "the program does not run at the resolution of its row";
        size_t measures = 0;
        while (std::getline(lines, line)) {
            std::istringstream fields(line);
            std::string kind, id, needed, available, text;
            std::getline(fields, kind, '\t');
            std::getline(fields, id, '\t');
            std::getline(fields, needed, '\t');
            std::getline(fields, available, '\t');
            std::getline(fields, text);
            ++measures;
            EXPECT_LE(std::stoi(needed), std::stoi(available))
                << kind << " " << id << " \"" << text << "\" needs " << needed << " px, has " << available;
        }
        EXPECT_GE(measures, row.fewestMeasures) << "fewer texts measured than the dialog has";
    }
    DeleteFileW(out.c_str());
}

} // namespace
