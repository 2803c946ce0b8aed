#include <gtest/gtest.h>
#include <string>
#include "Handles.h"

namespace {

// Starts the smoke program with `arguments` and answers its exit status; a
// program that does not end within 30 s (a crash dialog, a hang) fails the test.
DWORD RunSmokeApp(const std::wstring& arguments)
{
    wchar_t path[MAX_PATH];
    const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring program(path, length);
    program = program.substr(0, program.find_last_of(L'\\') + 1) + L"framework_smoke_app.exe";
    std::wstring commandLine = L"\"" + program + L"\" " + arguments;

    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &process)) {
        ADD_FAILURE() << "cannot start " << std::string(program.begin(), program.end());
        return 0xFFFFFFFFu;
    }
    unique_handle processHandle(process.hProcess);
    unique_handle threadHandle(process.hThread);
    if (::WaitForSingleObject(processHandle.get(), 30000) != WAIT_OBJECT_0) {
        ::TerminateProcess(processHandle.get(), 0xDEAD);
        ADD_FAILURE() << "the program did not end";
        return 0xFFFFFFFFu;
    }
    DWORD status = 0;
    ::GetExitCodeProcess(processHandle.get(), &status);
    return status;
}

TEST(Application, ADialogProgramRunsItsDialogInInitInstanceAndExits)
{
    EXPECT_EQ(40u + IDRETRY, RunSmokeApp(L"dialog"));
}

TEST(Application, AMainWindowKeepsTheMessageLoopRunningUntilItIsDestroyed)
{
    EXPECT_EQ(50u, RunSmokeApp(L"loop"));
}

TEST(Application, LanguageResourcesComeFromTheLocaleFolderBesideTheProgram)
{
    EXPECT_EQ(60u, RunSmokeApp(L"language"));
}

TEST(Application, AnEscapingExceptionEndsTheProgramWithANonZeroStatus)
{
    EXPECT_EQ(7u, RunSmokeApp(L"throw 7"));
    EXPECT_EQ(1u, RunSmokeApp(L"throw 0"));      // mapped to 0: still a failure
    EXPECT_EQ(1u, RunSmokeApp(L"throw-other"));  // not the program's own type
    EXPECT_EQ(static_cast<DWORD>(E_OUTOFMEMORY), RunSmokeApp(L"throw-handler"));
}

TEST(Application, TheCommandLineStartsAfterTheProgramNameAndItsBlanks)
{
    EXPECT_EQ(10u, RunSmokeApp(L"cmdline xy"));
    EXPECT_EQ(10u, RunSmokeApp(L"   cmdline xy"));
    EXPECT_EQ(13u, RunSmokeApp(L"cmdline xy   "));
}

} // namespace
