// Peryl.dll's export table as the host sees it, in both builds.
#include <gtest/gtest.h>
#include "Plenkit.h"
#include "support/PeExports.h"
#include "support/TestPaths.h"

namespace {

void ExpectPerylExports(const std::wstring& path, WORD machine)
{
    const PeExportTable table = ReadPeExports(path);
    ASSERT_TRUE(table.ok) << table.error;
    EXPECT_EQ(machine, table.machine);
    ASSERT_EQ(2u, table.exports.size());
    EXPECT_EQ(1u, table.exports[0].ordinal);
    EXPECT_EQ(PLENKIT_DEL_CLASS_DESC, table.exports[0].name);  // no _name, no @N
    EXPECT_EQ(2u, table.exports[1].ordinal);
    EXPECT_EQ(PLENKIT_NEW_CLASS_DESC, table.exports[1].name);
}

}  // namespace

constexpr bool thisBuildIs64Bit = sizeof(void*) == 8;

TEST(PerylExports, ThisBuildExportsTwoUndecoratedNamesByOrdinal)
{
    ExpectPerylExports(BinFile(L"Peryl.dll"), thisBuildIs64Bit ? IMAGE_FILE_MACHINE_AMD64 : IMAGE_FILE_MACHINE_I386);

    HMODULE peryl = LoadLibraryW(BinFile(L"Peryl.dll").c_str());
    ASSERT_NE(nullptr, peryl);
    EXPECT_EQ(GetProcAddress(peryl, PLENKIT_DEL_CLASS_DESC), GetProcAddress(peryl, MAKEINTRESOURCEA(1)));
    EXPECT_EQ(GetProcAddress(peryl, PLENKIT_NEW_CLASS_DESC), GetProcAddress(peryl, MAKEINTRESOURCEA(2)));
    FreeLibrary(peryl);
}

TEST(PerylExports, OtherArchitecturesBuildExportsTheSame)
{
    const std::wstring other = thisBuildIs64Bit ? L"i686" : L"x86_64";
    const std::wstring path = BinFile(L"") + L"..\\..\\" + other + L"\\bin\\Peryl.dll";
    if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << "no " << std::string(other.begin(), other.end())
                     << " build beside this one (tools/build.sh all makes it)";
    ExpectPerylExports(path, thisBuildIs64Bit ? IMAGE_FILE_MACHINE_I386 : IMAGE_FILE_MACHINE_AMD64);
}
