// This build's installer run silently in the release tests' own prefix, a machine
// without the product: what it installs and registers (in its architecture's
// registry view and Program Files), and that its uninstaller takes all of that
// away again and nothing else.
#include <gtest/gtest.h>
#include <shlobj.h>
#include "MachineProbe.h"
#include "PageIdentity.h"
#include "support/ChildProcess.h"
#include "support/RegistryFixtures.h"
#include "ReleaseFiles.h"
#include "support/TempFolder.h"
#include "support/TestPaths.h"

namespace {

const wchar_t hostKey[] = L"Software\\Kelvor Corporation\\Plenkit";
const wchar_t pluginsKey[] = L"Software\\Kelvor Corporation\\Plenkit\\Plug-ins";
const wchar_t uninstallKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Corvane Tarvix";

std::string Narrow(const std::wstring& text)
{
    return std::string(text.begin(), text.end());
}

std::wstring ShortcutFolder()
{
    return ShellFolder(CSIDL_COMMON_PROGRAMS) + L"\\Corvane";
}
std::wstring Shortcut()
{
    return ShortcutFolder() + L"\\Tarvix Button Utility.lnk";
}

std::set<std::wstring> ProductFiles()
{
    std::set<std::wstring> files = FilesBelow(UnpackedFolder(ProductPackage(thisRelease)));
    return files;
}

class Installer : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FileExists(InstallerFile(thisRelease))) << Narrow(InstallerFile(thisRelease));
        // Program, plug-in, their English and German language DLLs; on i686 also the plug-in's C++ runtime.
        const size_t packaged = thisRelease.machine == IMAGE_FILE_MACHINE_I386 ? 9u : 6u;
        ASSERT_EQ(packaged, ProductFiles().size()) << "the unpacked product package";
        RemoveInstallation();
        ASSERT_FALSE(KeyExists(uninstallKey, thisView)) << "cannot remove an earlier run's installation";
    }

    // After a test that stopped half-way.
    void TearDown() override { RemoveInstallation(); }

    // Uninstalls what is still installed; when its folder is already gone with the
    // test's temporary folder, forgets its registrations and shortcut instead.
    static void RemoveInstallation()
    {
        if (!KeyExists(uninstallKey, thisView))
            return;
        (void)Uninstall();
        if (!KeyExists(uninstallKey, thisView))
            return;
        (void)RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, pluginsKey, L"Peryl");
        (void)RegDeleteTreeW(HKEY_LOCAL_MACHINE, uninstallKey);
        (void)DeleteFileW(Shortcut().c_str());
        (void)RemoveDirectoryW(ShortcutFolder().c_str());
    }

    // Installs silently, into the default folder when folder is empty.
    static TreeRun Install(const std::wstring& folder)
    {
        std::wstring line = Quoted(InstallerFile(thisRelease)) + L" /S";
        if (!folder.empty())
            line += L" /D=" + folder;  // last, unquoted, as NSIS wants it
        return RunProcessTree(line);
    }

    // Uninstalls silently the way Add/Remove Programs would.
    static TreeRun Uninstall()
    {
        std::wstring quiet;
        if (!ReadRegString(HKEY_LOCAL_MACHINE, uninstallKey, L"QuietUninstallString", thisView, quiet))
            return TreeRun();
        return RunProcessTree(quiet);
    }
};

}  // namespace

TEST_F(Installer, InstallsProgramPlugInShortcutAndUninstallEntryAndTheUninstallerRemovesThem)
{
    const bool hostKeyBefore = KeyExists(hostKey, thisView);
    ScopedTempFolder temp(L"tarvix setup");
    const std::wstring folder = temp.path() + L"Corvane (test) install";

    const TreeRun install = Install(folder);
    ASSERT_TRUE(install.finished);
    ASSERT_EQ(0u, install.exitCode);

    // The product's files exactly, as packaged, and the uninstaller.
    std::set<std::wstring> expected = ProductFiles();
    expected.insert(L"Uninstall.exe");
    EXPECT_EQ(expected, FilesBelow(folder));
    for (const std::wstring& file : ProductFiles())
        EXPECT_TRUE(SameContents(UnpackedFolder(ProductPackage(thisRelease)) + file, folder + L"\\" + file))
            << Narrow(file);

    // The host's plug-in list names the installed plug-in, in its architecture's view only.
    EXPECT_EQ(folder + L"\\Peryl.dll", RegStringOrMissing(HKEY_LOCAL_MACHINE, pluginsKey, L"Peryl", thisView));
    EXPECT_FALSE(RegValueExists(HKEY_LOCAL_MACHINE, pluginsKey, L"Peryl", otherView));

    // Add/Remove Programs.
    auto entry = [](const wchar_t* name) {
        return RegStringOrMissing(HKEY_LOCAL_MACHINE, uninstallKey, name, thisView);
    };
    EXPECT_NE(std::wstring::npos, entry(L"DisplayName").find(L"Tarvix"));
    EXPECT_EQ(L"5.0.0.04240", entry(L"DisplayVersion"));
    EXPECT_EQ(L"Kelvor Corporation", entry(L"Publisher"));
    EXPECT_EQ(folder, entry(L"InstallLocation"));
    EXPECT_EQ(Quoted(folder + L"\\Uninstall.exe"), entry(L"UninstallString"));
    EXPECT_EQ(Quoted(folder + L"\\Uninstall.exe") + L" /S", entry(L"QuietUninstallString"));

    EXPECT_EQ(folder + L"\\TarvixUtility.exe", ShortcutTarget(Shortcut()));

    // The settings host finds the installed plug-in through its list, with its language DLL.
    const ProcessResult host = RunProcess(Quoted(BinFile(L"PlenkitHost.exe")) + L" /list /quiet");
    ASSERT_TRUE(host.finished);
    EXPECT_EQ(0u, host.exitCode) << host.err;
    EXPECT_NE(std::string::npos, host.out.find(Narrow(logoLampPageIdentity))) << host.out;
    EXPECT_NE(std::string::npos, host.out.find(Narrow(lampBrightnessPageIdentity))) << host.out;

    const TreeRun uninstall = Uninstall();
    ASSERT_TRUE(uninstall.finished);
    EXPECT_EQ(0u, uninstall.exitCode);

    EXPECT_FALSE(FolderExists(folder));
    EXPECT_FALSE(RegValueExists(HKEY_LOCAL_MACHINE, pluginsKey, L"Peryl", thisView));
    EXPECT_FALSE(KeyExists(uninstallKey, thisView));
    EXPECT_FALSE(FileExists(Shortcut()));
    EXPECT_FALSE(FolderExists(ShortcutFolder()));
    if (!hostKeyBefore) {
        EXPECT_FALSE(KeyExists(hostKey, thisView)) << "the empty plug-in list keys it made";
    }
}

TEST_F(Installer, UninstallerLeavesWhatItDidNotInstall)
{
    // Another plug-in in the host's list, and Peryl later pointed at another copy.
    ScopedRegistryKey plugins(pluginsKey, thisView);
    ASSERT_TRUE(plugins.SetString(L"Other", L"C:\\Other\\Other.dll"));
    ScopedRegistryValue peryl(pluginsKey, L"Peryl");
    ScopedTempFolder temp(L"tarvix setup");
    const std::wstring folder = temp.path() + L"Corvane";

    const TreeRun install = Install(folder);
    ASSERT_TRUE(install.finished);
    ASSERT_EQ(0u, install.exitCode);
    ASSERT_EQ(folder + L"\\Peryl.dll", RegStringOrMissing(HKEY_LOCAL_MACHINE, pluginsKey, L"Peryl", thisView));
    ASSERT_TRUE(peryl.SetString(L"D:\\Elsewhere\\Peryl.dll"));
    temp.MakeFile(L"Corvane\\my notes.txt");

    const TreeRun uninstall = Uninstall();
    ASSERT_TRUE(uninstall.finished);
    EXPECT_EQ(0u, uninstall.exitCode);

    EXPECT_EQ(std::set<std::wstring>{L"my notes.txt"}, FilesBelow(folder));
    EXPECT_EQ(L"C:\\Other\\Other.dll", RegStringOrMissing(HKEY_LOCAL_MACHINE, pluginsKey, L"Other", thisView));
    EXPECT_EQ(L"D:\\Elsewhere\\Peryl.dll", RegStringOrMissing(HKEY_LOCAL_MACHINE, pluginsKey, L"Peryl", thisView));
    EXPECT_FALSE(KeyExists(uninstallKey, thisView));
    EXPECT_FALSE(FileExists(Shortcut()));
}

TEST_F(Installer, DefaultFolderIsTheCompanysFolderInItsArchitecturesProgramFiles)
{
    const std::wstring company = ShellFolder(CSIDL_PROGRAM_FILES) + L"\\Kelvor Corporation";
    const std::wstring folder = company + L"\\Corvane";
    ASSERT_FALSE(FolderExists(folder)) << "left over from an earlier run: " << Narrow(folder);
    const bool companyFolderBefore = FolderExists(company);

    const TreeRun install = Install(std::wstring());
    ASSERT_TRUE(install.finished);
    ASSERT_EQ(0u, install.exitCode);
    EXPECT_TRUE(FileExists(folder + L"\\TarvixUtility.exe"));
    EXPECT_TRUE(FileExists(folder + L"\\en-US\\Peryl.dll.mui"));
    EXPECT_EQ(folder, RegStringOrMissing(HKEY_LOCAL_MACHINE, uninstallKey, L"InstallLocation", thisView));

    const TreeRun uninstall = Uninstall();
    ASSERT_TRUE(uninstall.finished);
    EXPECT_EQ(0u, uninstall.exitCode);
    EXPECT_FALSE(FolderExists(folder));
    if (!companyFolderBefore) {
        EXPECT_FALSE(FolderExists(company));
    }
}
