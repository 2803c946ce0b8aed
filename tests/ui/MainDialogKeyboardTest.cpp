// The main dialog without a mouse, in each language: Tab in the order the
// controls are seen, every mnemonic to its control, Enter and Escape; and the
// names a screen reader is given for the controls both panels repeat.
#include <gtest/gtest.h>
#include "support/RowTrace.h"
#include <set>
#include <string>
#include <vector>
#include "ComTestSupport.h"
#include "FakeAccPropServices.h"
#include "MainDialogFixture.h"
#include "support/DialogWatch.h"
#include "support/ModalDriver.h"
#include "tarvix/resource.h"

namespace {

struct Language
{
    const char* name;
    const wchar_t* file;  // in bin
    wchar_t preset, panel0, panel1, settings0, settings1, option, apply;
    const wchar_t* keysCaption;
    const wchar_t* chooserCaption;
};

const Language languages[] = {
    {"en-US", L"en-US\\TarvixUtility.exe.mui", L'u', L'l', L'r', L's', L'e', L'p', L'a', L"Key Combination",
     L"Start a Program"},
    {"de-DE", L"de-DE\\TarvixUtility.exe.mui", L'v', L'l', L'r', L'e', L'i', L'd', L'b', L"Tastenkombination",
     L"Programm starten"},
};

}  // namespace

TEST_F(MainDialogTest, KeysReachEveryControlInOrderInEachLanguage)
{
    OfferEveryFunction();
    device->assigned = {{1, 201}, {2, 102}};  // own settings; both settings buttons open a dialog

    for (const Language& language : languages) {
        ROW_TRACE(language.name);
        const unique_hmodule file = OpenLanguageFile(language.file);
        ASSERT_TRUE(file) << "cannot open the language file";
        ScopedLanguageResources resources(file.get());
        Open();
        ASSERT_FALSE(dialog->Assignments().PresetActive());
        HWND window = dialog->m_hWnd;

        struct Row
        {
            UINT key;
            Held held;
            int focus;             // the control that has the focus afterwards
            const wchar_t* opens;  // the caption of the dialog the key opens (closed with Escape)
        };
        const std::vector<Row> rows = {
            {VK_TAB, Held::nothing, IDC_BUTTON0_FUNCTIONS, nullptr},
            {VK_TAB, Held::nothing, IDC_BUTTON1_FUNCTIONS, nullptr},
            {VK_TAB, Held::nothing, IDC_BUTTON0_SETTINGS, nullptr},
            {VK_TAB, Held::nothing, IDC_BUTTON1_SETTINGS, nullptr},
            {VK_TAB, Held::nothing, IDC_OPTION_CHECK, nullptr},
            {VK_TAB, Held::nothing, IDC_OK, nullptr},
            {VK_TAB, Held::nothing, IDC_CANCEL, nullptr},
            {VK_TAB, Held::nothing, IDC_PRESET_LIST, nullptr},  // Apply is disabled: around to the top
            {VK_TAB, Held::shift, IDC_CANCEL, nullptr},
            {VK_TAB, Held::shift, IDC_OK, nullptr},
            {language.preset, Held::alt, IDC_PRESET_LIST, nullptr},
            {language.panel1, Held::alt, IDC_BUTTON1_FUNCTIONS, nullptr},  // a panel's title to its list
            {language.panel0, Held::alt, IDC_BUTTON0_FUNCTIONS, nullptr},
            {language.settings0, Held::alt, IDC_BUTTON0_SETTINGS, language.keysCaption},
            {language.settings1, Held::alt, IDC_BUTTON1_SETTINGS, language.chooserCaption},
            {language.option, Held::alt, IDC_OPTION_CHECK, nullptr},  // checks it: Apply is enabled
            {language.apply, Held::alt, IDC_OK, nullptr},             // applied: Apply hands the focus on
        };

        EXPECT_EQ(Item(IDC_PRESET_LIST), DialogFocus(window)) << "first focus";
        const BOOL optionBefore = IsDlgButtonChecked(window, IDC_OPTION_CHECK);
        for (size_t i = 0; i < rows.size(); ++i) {
            const Row& row = rows[i];
            ROW_TRACE("row " + std::to_string(i));
            std::vector<std::wstring> opened;
            {
                // A sub-dialog is ended by its own Escape key, from inside its loop.
                DialogWatch watch([](HWND box) { PressKey(box, VK_ESCAPE); });
                PressKey(window, row.key, row.held);
                for (const DialogWatch::Box& box : watch.Boxes())
                    opened.push_back(box.caption);
            }
            EXPECT_EQ(row.opens ? std::vector<std::wstring>{row.opens} : std::vector<std::wstring>{}, opened);
            EXPECT_EQ(Item(row.focus), DialogFocus(window));
            ASSERT_EQ(-1, dialog->GetEndResult()) << "the dialog ended";
        }
        EXPECT_NE(optionBefore, IsDlgButtonChecked(window, IDC_OPTION_CHECK));
        EXPECT_FALSE(Enabled(IDC_APPLY));

        // Enter presses OK wherever the focus is, here on a list.
        PressKey(window, language.preset, Held::alt);
        PressKey(window, VK_RETURN);
        EXPECT_EQ(IDOK, dialog->GetEndResult());
        dialog->DestroyWindow();

        Open();
        PressKey(dialog->m_hWnd, VK_ESCAPE);
        EXPECT_EQ(IDCANCEL, dialog->GetEndResult());
        dialog->DestroyWindow();
    }
}

TEST_F(MainDialogTest, ListsAndButtonsOfBothPanelsAreNamedForTheirButtonInEachLanguage)
{
    FakeAccPropServices names;
    FakeClassFactory namesFactory{&names};
    ClassRegistration namesRegistration{CLSID_AccPropServices, &namesFactory, CLSCTX_INPROC_SERVER};
    ASSERT_HRESULT_SUCCEEDED(namesRegistration.Result());
    OfferEveryFunction();

    for (const Language& language : languages) {
        ROW_TRACE(language.name);
        const unique_hmodule file = OpenLanguageFile(language.file);
        ASSERT_TRUE(file) << "cannot open the language file";
        ScopedLanguageResources resources(file.get());
        Open();

        const struct
        {
            int control;
            UINT name;
        } rows[] = {
            {IDC_BUTTON0_FUNCTIONS, IDS_FUNCTIONS_NAME_0},
            {IDC_BUTTON1_FUNCTIONS, IDS_FUNCTIONS_NAME_1},
            {IDC_BUTTON0_SETTINGS, IDS_SETTINGS_NAME_0},
            {IDC_BUTTON1_SETTINGS, IDS_SETTINGS_NAME_1},
        };
        std::set<std::wstring> seen;
        for (const auto& row : rows) {
            const std::wstring expected = ResourceText(row.name);
            EXPECT_FALSE(expected.empty()) << "text " << row.name;
            EXPECT_EQ(expected, names.Name(Item(row.control))) << "control " << row.control;
            EXPECT_TRUE(seen.insert(expected).second) << "two controls share the name " << Narrow(expected);
        }
        // The preset list is named by its label, which comes right before it.
        EXPECT_EQ(Item(IDC_PRESET_CAPTION), GetWindow(Item(IDC_PRESET_LIST), GW_HWNDPREV));
        EXPECT_TRUE(names.Name(Item(IDC_PRESET_LIST)).empty());

        const int clearedBefore = names.Cleared();
        dialog->DestroyWindow();
        dialog.reset();
        EXPECT_EQ(clearedBefore + 4, names.Cleared()) << "names left behind on windows that are gone";
    }
    EXPECT_EQ(0, names.Unexpected());
}
