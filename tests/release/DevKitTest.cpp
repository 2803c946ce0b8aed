// The dev kit's registration scripts, run from an unpacked copy in a folder whose
// name cmd could stumble over, in the release tests' own prefix: afterwards the
// product runs against the kit's stand-ins, and unregister.cmd takes them away.
#include <gtest/gtest.h>
#include <windows.h>
#include "Handles.h"
#include "MachineProbe.h"
#include "MouseButtonDevice.h"
#include "PeloControl.h"
#include "SettingsService.h"
#include "support/ChildProcess.h"
#include "support/RegistryFixtures.h"
#include "support/TempFolder.h"
#include "ReleaseFiles.h"

namespace {

const std::wstring deviceClass = L"CLSID\\" + RegistryGuid(CLSID_SpecialButtonDevice);
const std::wstring deviceServer = deviceClass + L"\\InprocServer32";
const std::wstring settingsClass = L"CLSID\\" + RegistryGuid(CLSID_SettingsService);
const std::wstring settingsServer = settingsClass + L"\\LocalServer32";
const std::wstring settingsTypeLibrary = L"TypeLib\\" + RegistryGuid(LIBID_SettingsServiceLib);
const std::wstring settingsTypeLib = settingsTypeLibrary + L"\\1.0\\0\\win64";
const std::wstring peloClass = L"Software\\Classes\\CLSID\\" + RegistryGuid(CLSID_PeloControl);
const std::wstring peloServer = peloClass + L"\\InprocServer32";
const wchar_t sharedDlls[] = L"Software\\Kelvor Corporation\\Shared Info\\Shared Dlls";
const wchar_t deviceStateKey[] = L"Software\\StandIns\\ReleaseDevKitTest";

ProcessResult RunScript(const std::wstring& script)
{
    StartDesktopProcess();
    // cmd /c takes the outer quotes off again.
    return RunProcess(L"cmd.exe /c \"" + Quoted(script) + L"\"");
}

size_t CountLines(const std::string& text, const std::string& part)
{
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

class DeviceState
{
public:
    DeviceState() : environment_(L"SIM_BUTTON_DEVICE_KEY", deviceStateKey) { Clear(); }
    ~DeviceState() { Clear(); }
    DeviceState(const DeviceState&) = delete;
    DeviceState& operator=(const DeviceState&) = delete;

private:
    static void Clear() { (void)RegDeleteTreeW(HKEY_CURRENT_USER, deviceStateKey); }
    ScopedEnvironment environment_;
};

}  // namespace

TEST(DevKit, RegisterScriptServesTheProductFromTheKitsFolderAndUnregisterUndoesIt)
{
    ScopedTempFolder temp(L"tarvix kit");
    const std::wstring kit = temp.path() + L"Dev kit (" + thisRelease.name + L") & more";
    const std::wstring product = temp.path() + L"Product";
    ASSERT_TRUE(CopyFolder(UnpackedFolder(DevKitPackage(thisRelease)), kit));
    ASSERT_TRUE(CopyFolder(UnpackedFolder(ProductPackage(thisRelease)), product));
    DeviceState device;

    const ProcessResult registered = RunScript(kit + L"\\register.cmd");
    ASSERT_TRUE(registered.finished);
    ASSERT_EQ(0u, registered.exitCode) << registered.out << registered.err;

    const REGSAM view = thisView;
    EXPECT_EQ(kit + L"\\SimButtonDevice.dll", RegStringOrMissing(HKEY_CLASSES_ROOT, deviceServer, L"", view));
    EXPECT_EQ(L"Both", RegStringOrMissing(HKEY_CLASSES_ROOT, deviceServer, L"ThreadingModel", view));
    EXPECT_EQ(Quoted(kit + L"\\SimSettingsService.exe"),
              RegStringOrMissing(HKEY_CLASSES_ROOT, settingsServer, L"", view));
    EXPECT_EQ(kit + L"\\SimSettingsService.exe", RegStringOrMissing(HKEY_CLASSES_ROOT, settingsTypeLib, L"", view));
    EXPECT_EQ(kit + L"\\PeloService.dll", RegStringOrMissing(HKEY_LOCAL_MACHINE, peloServer, L"", view));
    EXPECT_EQ(kit + L"\\VexaUtils.dll", RegStringOrMissing(HKEY_LOCAL_MACHINE, sharedDlls, L"VexaUtils.dll", view));

    // The program's silent run reaches the device and the settings service...
    const ProcessResult silent = RunProcess(Quoted(product + L"\\TarvixUtility.exe") + L" /miseban", 60000);
    ASSERT_TRUE(silent.finished);
    EXPECT_EQ(0u, silent.exitCode);
    EXPECT_EQ(58u, ReadDword(HKEY_CURRENT_USER, std::wstring(deviceStateKey) + L"\\Button1", L"AssignedFunction", 0))
        << "the default assignment (Copy) on the kit's device";

    // ...and the host shows both of Peryl's pages, which the utility library reports.
    const ProcessResult host = RunProcess(Quoted(kit + L"\\PlenkitHost.exe") + L" /list /quiet " +
                                          Quoted(product + L"\\Peryl.dll"));
    ASSERT_TRUE(host.finished);
    EXPECT_EQ(0u, host.exitCode) << host.err;
    EXPECT_EQ(2u, CountLines(host.out, "\tsupported\t")) << host.out;

    // The kit's settings server ends once its last client has gone (the program's
    // silent run); until then it holds its file and COM hands it out.
    EXPECT_TRUE(WaitUntilNotRunning(L"SimSettingsService.exe", 60000))
        << "the kit's settings server still runs 60 s after its last client ended";
    const ProcessResult unregistered = RunScript(kit + L"\\unregister.cmd");
    ASSERT_TRUE(unregistered.finished);
    EXPECT_EQ(0u, unregistered.exitCode) << unregistered.out << unregistered.err;
    EXPECT_FALSE(KeyExists(deviceClass, view, HKEY_CLASSES_ROOT));
    EXPECT_FALSE(KeyExists(settingsClass, view, HKEY_CLASSES_ROOT));
    EXPECT_FALSE(KeyExists(settingsTypeLibrary, view, HKEY_CLASSES_ROOT));
    EXPECT_FALSE(KeyExists(peloClass, view));
    EXPECT_FALSE(RegValueExists(HKEY_LOCAL_MACHINE, sharedDlls, L"VexaUtils.dll", view));

    const ProcessResult without = RunProcess(Quoted(product + L"\\TarvixUtility.exe") + L" /miseban", 60000);
    ASSERT_TRUE(without.finished);
    EXPECT_NE(0u, without.exitCode) << "no device once the kit is unregistered";
}

TEST(DevKit, I686ScriptsRegisterInThe32BitRegistryView)
{
    if (!ArchWasBuilt(i686Release))
        GTEST_SKIP() << "no i686 build beside this one (tools/build.sh all makes it)";
    ScopedTempFolder temp(L"tarvix kit");
    const std::wstring kit = temp.path() + L"Dev kit (x86)";
    ASSERT_TRUE(CopyFolder(UnpackedFolder(DevKitPackage(i686Release)), kit));
    const std::wstring before64 = RegStringOrMissing(HKEY_CLASSES_ROOT, deviceServer, L"", KEY_WOW64_64KEY);

    const ProcessResult registered = RunScript(kit + L"\\register.cmd");
    ASSERT_TRUE(registered.finished);
    ASSERT_EQ(0u, registered.exitCode) << registered.out << registered.err;
    const REGSAM view = KEY_WOW64_32KEY;
    EXPECT_EQ(kit + L"\\SimButtonDevice.dll", RegStringOrMissing(HKEY_CLASSES_ROOT, deviceServer, L"", view));
    EXPECT_EQ(Quoted(kit + L"\\SimSettingsService.exe"),
              RegStringOrMissing(HKEY_CLASSES_ROOT, settingsServer, L"", view));
    EXPECT_EQ(kit + L"\\PeloService.dll", RegStringOrMissing(HKEY_LOCAL_MACHINE, peloServer, L"", view));
    EXPECT_EQ(kit + L"\\VexaUtils.dll", RegStringOrMissing(HKEY_LOCAL_MACHINE, sharedDlls, L"VexaUtils.dll", view));
    EXPECT_EQ(before64, RegStringOrMissing(HKEY_CLASSES_ROOT, deviceServer, L"", KEY_WOW64_64KEY))
        << "the 64-bit view is not the 32-bit kit's";

    const ProcessResult unregistered = RunScript(kit + L"\\unregister.cmd");
    ASSERT_TRUE(unregistered.finished);
    EXPECT_EQ(0u, unregistered.exitCode) << unregistered.out << unregistered.err;
    EXPECT_FALSE(KeyExists(deviceClass, view, HKEY_CLASSES_ROOT));
    EXPECT_FALSE(RegValueExists(HKEY_LOCAL_MACHINE, sharedDlls, L"VexaUtils.dll", view));
}
