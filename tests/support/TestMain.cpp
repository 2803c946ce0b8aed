// Test entry: loads the program's language module the way the program does,
// so tests read the real texts.
#include <gtest/gtest.h>
#include "LanguageModule.h"
#include "support/ModalDriver.h"
#include "support/RowTrace.h"

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    testing::UnitTest::GetInstance()->listeners().Append(RowTrace::NewPrinter());
    TrackDialogFocus();
    unique_hmodule language = LoadLanguageModule(nullptr, L"TarvixUtility.exe.mui");
    SetLanguageResourceHandle(language.get());
    const int result = RUN_ALL_TESTS();
    SetLanguageResourceHandle(nullptr);
    return result;
}
