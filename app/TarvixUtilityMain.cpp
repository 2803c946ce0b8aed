// First start-up of TarvixUtility: "/miseban" applies the default assignment
// silently and exits 0, or non-zero when the buttons cannot be set up.
// Everything else waits for the main dialog and ends at once.
#include <windows.h>
#include <cwchar>
#include <cstdlib>
#include "LanguageModule.h"
#include "SettingsConnection.h"
#include "TarvixUtilityDlg.h"

namespace {

enum ExitCode
{
    ExitDone = 0,
    ExitSetupFailed = 1,
    ExitNotSupported = 2,
};

struct CommandLine
{
    bool silent = false;
    INT32 presetNumber = 0;
};

// Only the very beginning of the text after the program name counts, case-sensitive.
CommandLine ParseCommandLine(const wchar_t* text)
{
    CommandLine line;
    if (text != nullptr && std::wcsncmp(text, L"/miseban", 8) == 0) {
        line.silent = true;
        if (std::wcslen(text) >= 10)
            line.presetNumber = static_cast<INT32>(_wtoi(text + 9));
    }
    return line;
}

int SilentRun(INT32 presetNumber)
{
    (void)CoInitialize(nullptr);  // the dialog's thread; a failure shows in the set-up
    BOOL ready = FALSE;
    {
        CTarvixUtilityDlg dialog;
        ready = dialog.InitializeButtons(presetNumber, true);
    }
    // Proxies go before their apartment does.
    ReleaseSettingsConnection();
    CoUninitialize();
    return ready ? ExitDone : ExitSetupFailed;
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int)
{
    unique_hmodule language = LoadLanguageModule(nullptr, L"TarvixUtility.exe.mui");
    SetLanguageResourceHandle(language.get());
    const CommandLine line = ParseCommandLine(commandLine);
    const int result = line.silent ? SilentRun(line.presetNumber) : ExitNotSupported;
    SetLanguageResourceHandle(nullptr);
    return result;
}
