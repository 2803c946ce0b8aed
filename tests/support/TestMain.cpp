// Test entry: loads the program's language module the way the program does,
// so tests read the real texts.
#include <gtest/gtest.h>
#include <string>
#include "Handles.h"
#include "LanguageModule.h"
#include "support/ModalDriver.h"
#include "support/RowTrace.h"

namespace {
// Wine's server kills a process whose Unix side is still ending a moment after
// its last thread ended; on a starved machine that hid a finished run's result.
// The launcher (tools/wine-run.sh) names a file for it. Only this program writes
// it: the variable is gone before a test starts a child.
const wchar_t exitFileVariable[] = L"WINE_RUN_EXIT_FILE";

std::wstring TakeExitFile()
{
    wchar_t path[MAX_PATH];
    const DWORD length = GetEnvironmentVariableW(exitFileVariable, path, MAX_PATH);
    (void)SetEnvironmentVariableW(exitFileVariable, nullptr);
    return length > 0 && length < MAX_PATH ? std::wstring(path, length) : std::wstring();
}

void ReportExitCode(const std::wstring& path, int code)
{
    if (path.empty())
        return;
    unique_handle file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    const std::string text = std::to_string(code) + "\n";
    DWORD written = 0;
    // Without the file the launcher keeps the exit status it saw.
    if (file)
        (void)WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}
}  // namespace

int main(int argc, char** argv)
{
    const std::wstring exitFile = TakeExitFile();
    testing::InitGoogleTest(&argc, argv);
    testing::UnitTest::GetInstance()->listeners().Append(RowTrace::NewPrinter());
    TrackDialogFocus();
    unique_hmodule language = LoadLanguageModule(nullptr, L"TarvixUtility.exe.mui");
    SetLanguageResourceHandle(language.get());
    const int result = RUN_ALL_TESTS();
    SetLanguageResourceHandle(nullptr);
    ReportExitCode(exitFile, result);
    return result;
}
