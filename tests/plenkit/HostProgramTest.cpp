// The host program as a process.
#include <gtest/gtest.h>
#include "Handles.h"
#include "HostWindow.h"
#include "support/ChildProcess.h"
#include "support/TestPaths.h"

TEST(HostProgram, ListsPagesAndReportsWhatItCannotLoad)
{
    const ProcessResult run = RunProcess(Quoted(BinFile(L"PlenkitHost.exe")) + L" /list /quiet " +
                                         Quoted(BinFile(L"NoSuchPlugin.dll")) + L" " +
                                         Quoted(BinFile(L"FakePlugin.dll")));
    ASSERT_TRUE(run.started);
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(2u, run.exitCode);
    EXPECT_EQ("0\tsupported\tFake page A\tfake-a\n"
              "1\tunsupported\tFake page B\tfake-b\n"
              "2\tsupported\tFake page C\tfake-c\n",
              run.out);
    EXPECT_NE(std::string::npos, run.err.find("NoSuchPlugin.dll\" could not be loaded")) << run.err;
}

TEST(HostProgram, UnknownSwitchEndsWithAMessage)
{
    const ProcessResult run = RunProcess(Quoted(BinFile(L"PlenkitHost.exe")) + L" /quiet /bogus");
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(1u, run.exitCode);
    EXPECT_NE(std::string::npos, run.err.find("Unknown switch \"/bogus\"")) << run.err;
}

TEST(HostProgram, WindowShowsThePagesAndClosesCleanly)
{
    ChildProcess host(ProgramLine(L"PlenkitHost.exe", L"/quiet " + Quoted(BinFile(L"FakePlugin.dll"))));
    ASSERT_TRUE(host.Started());
    HWND window = host.WaitForWindow(CHostWindow::WindowClassName());
    ASSERT_NE(nullptr, window) << "no host window within 20 s; the host ended with " << host.WaitForExit(0);
    EXPECT_EQ(1, SendMessageW(GetDlgItem(window, IDC_HOST_PAGE_LIST), LB_GETCOUNT, 0, 0));
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, host.WaitForExit(10000));
}

TEST(HostProgram, FindsAPluginsOwnDependenciesBesideIt)
{
    // The plug-in imports a DLL that exists only in the plug-in's folder, which is
    // neither the host's folder nor the current one, so a plain load cannot find it.
    const std::wstring plugin = BinFile(L"apart\\FakePluginApart.dll");
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(BinFile(L"apart\\FakePluginHelper.dll").c_str()));
    ASSERT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(BinFile(L"FakePluginHelper.dll").c_str()));
    {
        unique_hmodule plain(LoadLibraryW(plugin.c_str()));
        const DWORD error = GetLastError();
        ASSERT_EQ(nullptr, plain.get());
        EXPECT_EQ(static_cast<DWORD>(ERROR_MOD_NOT_FOUND), error);
    }

    const ProcessResult run = RunProcess(Quoted(BinFile(L"PlenkitHost.exe")) + L" /list /quiet " + Quoted(plugin));
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(0u, run.exitCode) << run.err;
    EXPECT_EQ("0\tsupported\tFake page A\tfake-a-helped\n"
              "1\tunsupported\tFake page B\tfake-b\n"
              "2\tsupported\tFake page C\tfake-c\n",
              run.out);
}
