#include <gtest/gtest.h>
#include <string>
#include "support/ChildProcess.h"

namespace {

// Starts the smoke program with `arguments` and answers its exit status; a
// program that does not end within 30 s (a crash dialog, a hang) fails the test.
DWORD RunSmokeApp(const std::wstring& arguments)
{
    const ChildProcess program(ProgramLine(L"framework_smoke_app.exe", arguments));
    if (!program.Started()) {
        ADD_FAILURE() << "cannot start framework_smoke_app.exe (error " << program.StartError() << ")";
        return 0xFFFFFFFFu;
    }
    const DWORD status = program.WaitForExit(30000);
    if (status == STILL_ACTIVE) {
        ADD_FAILURE() << "the program did not end within 30 s";
        return 0xFFFFFFFFu;
    }
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

}  // namespace
