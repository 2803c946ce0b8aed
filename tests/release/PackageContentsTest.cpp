// The release zips and installers as built: what each package holds, which
// machine every binary is for, the version blocks and the plug-in's exports.
#include <gtest/gtest.h>
#include "support/RowTrace.h"
#include <initializer_list>
#include <vector>
#include "support/PeExports.h"
#include "ReleaseFiles.h"
#include "VersionBlock.h"

namespace {

// The runtime that the i686 plug-in, framework and host share; x86_64 links it in.
const wchar_t* const sharedRuntime[] = {L"libgcc_s_dw2-1.dll", L"libstdc++-6.dll", L"libwinpthread-1.dll"};

std::set<std::wstring> WithRuntime(const ReleaseArch& arch, std::initializer_list<const wchar_t*> files)
{
    std::set<std::wstring> all(files.begin(), files.end());
    if (arch.machine == IMAGE_FILE_MACHINE_I386)
        all.insert(std::begin(sharedRuntime), std::end(sharedRuntime));
    return all;
}

std::set<std::wstring> ProductFiles(const ReleaseArch& arch)
{
    return WithRuntime(arch, {L"TarvixUtility.exe", L"en-US/TarvixUtility.exe.mui", L"de-DE/TarvixUtility.exe.mui",
                              L"Peryl.dll", L"en-US/Peryl.dll.mui", L"de-DE/Peryl.dll.mui"});
}

std::set<std::wstring> DevKitFiles(const ReleaseArch& arch)
{
    return WithRuntime(arch, {L"SimButtonDevice.dll", L"SimSettingsService.exe", L"VexaUtils.dll",
                              L"VexaUtilsNoVideo.dll", L"PeloService.dll", L"Plenkit.dll", L"PlenkitHost.exe",
                              L"register.cmd", L"unregister.cmd", L"README.txt"});
}

// x86_64 always; i686 when it was built beside it (tools/build.sh all).
std::vector<const ReleaseArch*> BuiltArches()
{
    std::vector<const ReleaseArch*> arches = {&x64Release};
    if (ArchWasBuilt(i686Release))
        arches.push_back(&i686Release);
    return arches;
}

std::string Narrow(const std::wstring& text)
{
    return std::string(text.begin(), text.end());
}

std::string Listing(const std::set<std::wstring>& names)
{
    std::string text;
    for (const std::wstring& name : names)
        text += "  " + Narrow(name) + "\n";
    return text;
}

bool IsBinary(const std::wstring& name)
{
    const size_t dot = name.find_last_of(L'.');
    const std::wstring extension = dot == std::wstring::npos ? std::wstring() : name.substr(dot);
    return _wcsicmp(extension.c_str(), L".exe") == 0 || _wcsicmp(extension.c_str(), L".dll") == 0 ||
           _wcsicmp(extension.c_str(), L".mui") == 0;
}

std::wstring Windows(std::wstring path)
{
    for (wchar_t& c : path)
        if (c == L'/')
            c = L'\\';
    return path;
}

}  // namespace

TEST(ReleasePackages, ProductZipHoldsTheProgramAndThePlugInWithTheirLanguageDlls)
{
    for (const ReleaseArch* arch : BuiltArches()) {
        ROW_TRACE(Narrow(arch->name));
        const std::set<std::wstring> entries = ZipEntries(ProductPackage(*arch));
        EXPECT_EQ(ProductFiles(*arch), entries) << "the zip holds:\n" << Listing(entries);
    }
}

TEST(ReleasePackages, DevKitZipHoldsTheStandInsTheHostAndTheRegistrationScripts)
{
    for (const ReleaseArch* arch : BuiltArches()) {
        ROW_TRACE(Narrow(arch->name));
        const std::set<std::wstring> entries = ZipEntries(DevKitPackage(*arch));
        EXPECT_EQ(DevKitFiles(*arch), entries) << "the zip holds:\n" << Listing(entries);
    }
}

TEST(ReleasePackages, EveryPackagedBinaryAndTheInstallerIsBuiltForItsArchitecture)
{
    for (const ReleaseArch* arch : BuiltArches()) {
        ROW_TRACE(Narrow(arch->name));
        size_t binaries = 0, checked = 0;
        for (const std::set<std::wstring>& files : {ProductFiles(*arch), DevKitFiles(*arch)})
            for (const std::wstring& file : files)
                binaries += IsBinary(file) ? 1 : 0;
        for (const std::wstring& package : {ProductPackage(*arch), DevKitPackage(*arch)}) {
            for (const std::wstring& entry : ZipEntries(package)) {
                if (!IsBinary(entry))
                    continue;
                const PeExportTable pe = ReadPeExports(UnpackedFolder(package) + Windows(entry));
                EXPECT_EQ(arch->machine, pe.machine) << Narrow(package) << ": " << Narrow(entry);
                ++checked;
            }
        }
        EXPECT_EQ(binaries, checked);
        EXPECT_EQ(arch->machine, ReadPeExports(InstallerFile(*arch)).machine) << "the installer";
    }
}

TEST(ReleasePackages, ProgramAndPlugInCarryTheProductsVersionBlock)
{
    DWORD versionMs = 0, versionLs = 0;
    ASSERT_TRUE(ParseVersion(ReleaseVersion(), versionMs, versionLs)) << Narrow(ReleaseVersion());
    for (const ReleaseArch* arch : BuiltArches()) {
        for (const wchar_t* file : {L"TarvixUtility.exe", L"Peryl.dll"}) {
            ROW_TRACE(Narrow(arch->name) + " " + Narrow(file));
            const VersionBlock version(UnpackedFolder(ProductPackage(*arch)) + file);
            ASSERT_TRUE(version.ok());
            // Language-neutral block, Unicode.
            const wchar_t block[] = L"000004b0";
            EXPECT_EQ(L"Kelvor Corporation", version.String(block, L"CompanyName"));
            EXPECT_EQ(L"Corvane", version.String(block, L"ProductName"));
            EXPECT_EQ(L"5.0.0.04240", version.String(block, L"FileVersion"));
            EXPECT_EQ(L"5.0.0.04240", version.String(block, L"ProductVersion"));
            EXPECT_EQ(file, version.String(block, L"InternalName"));
            EXPECT_EQ(file, version.String(block, L"OriginalFilename"));
            EXPECT_FALSE(version.String(block, L"FileDescription").empty());
            // The packages are named after the version the binaries carry.
            const VS_FIXEDFILEINFO* fixed = version.Fixed();
            ASSERT_NE(nullptr, fixed);
            EXPECT_EQ(versionMs, fixed->dwFileVersionMS);
            EXPECT_EQ(versionLs, fixed->dwFileVersionLS);
            EXPECT_EQ(versionMs, fixed->dwProductVersionMS);
            EXPECT_EQ(versionLs, fixed->dwProductVersionLS);
        }
        const VersionBlock peryl(UnpackedFolder(ProductPackage(*arch)) + L"Peryl.dll");
        EXPECT_EQ(L"Corvane", peryl.String(L"000004b0", L"FileDescription"));

        ROW_TRACE(Narrow(arch->name) + " installer");
        const VersionBlock setup(InstallerFile(*arch));
        ASSERT_TRUE(setup.ok());
        EXPECT_EQ(L"Kelvor Corporation", setup.String(L"040904b0", L"CompanyName"));
        EXPECT_EQ(L"5.0.0.04240", setup.String(L"040904b0", L"ProductVersion"));
        ASSERT_NE(nullptr, setup.Fixed());
        EXPECT_EQ(versionMs, setup.Fixed()->dwProductVersionMS);
        EXPECT_EQ(versionLs, setup.Fixed()->dwProductVersionLS);
    }
}

TEST(ReleasePackages, PackagedPlugInExportsItsTwoUndecoratedEntriesByOrdinal)
{
    for (const ReleaseArch* arch : BuiltArches()) {
        ROW_TRACE(Narrow(arch->name));
        const PeExportTable table = ReadPeExports(UnpackedFolder(ProductPackage(*arch)) + L"Peryl.dll");
        ASSERT_TRUE(table.ok) << table.error;
        ASSERT_EQ(2u, table.exports.size());
        EXPECT_EQ(1u, table.exports[0].ordinal);
        EXPECT_EQ("global_delClassDesc", table.exports[0].name);
        EXPECT_EQ(2u, table.exports[1].ordinal);
        EXPECT_EQ("global_newClassDesc", table.exports[1].name);
    }
}
