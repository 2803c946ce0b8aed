#include <gtest/gtest.h>
#include <algorithm>
#include <cstdint>
#include <vector>
#include "KeyNames.h"
#include "MainDialogFixture.h"
#include "support/ModalDriver.h"
#include "support/RowTrace.h"
#include "Presets.h"
#include "tarvix/resource.h"

namespace {

int Count(const std::vector<std::string>& calls, const std::string& call)
{
    return static_cast<int>(std::count(calls.begin(), calls.end(), call));
}

// A pixel of a bitmap, as 0x00RRGGBB.
uint32_t BitmapPixel(HBITMAP bitmap, int x, int y)
{
    BITMAP info{};
    GetObjectW(bitmap, sizeof(info), &info);
    const int height = std::abs(info.bmHeight);
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof(format.bmiHeader);
    format.bmiHeader.biWidth = info.bmWidth;
    format.bmiHeader.biHeight = -height;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    std::vector<uint32_t> pixels(static_cast<size_t>(info.bmWidth) * height);
    unique_hdc dc(CreateCompatibleDC(nullptr));
    if (GetDIBits(dc.get(), bitmap, 0, static_cast<UINT>(height), pixels.data(), &format, DIB_RGB_COLORS) != height)
        return 0xFFFFFFFF;
    return pixels[static_cast<size_t>(y) * info.bmWidth + x] & 0xFFFFFF;
}

}  // namespace

TEST_F(MainDialogTest, WindowTakesTheScaledDesignSizeAt120Dpi)
{
    OfferEveryFunction();
    Open(DialogScale{120, 120});
    RECT window{};
    GetWindowRect(dialog->m_hWnd, &window);
    EXPECT_EQ(0, window.left);
    EXPECT_EQ(0, window.top);
    EXPECT_EQ(724, window.right - window.left);
    EXPECT_EQ(544, window.bottom - window.top);
    const RECT ok = ControlRect(IDC_OK);
    const RECT apply = ControlRect(IDC_APPLY);
    EXPECT_EQ(MulDiv(465, 120, 96), apply.left);
    EXPECT_EQ(MulDiv(396, 120, 96), apply.bottom);
    EXPECT_EQ(MulDiv(269, 120, 96), ok.left);
}

TEST_F(MainDialogTest, MousePictureSitsBetweenThePanelsAtTheDialogsScale)
{
    OfferEveryFunction();
    // The resolutions the picture is drawn for, one it is scaled down to, one it is scaled up to.
    for (int dpi : {96, 120, 144, 168, 192, 240}) {
        ROW_TRACE(std::to_string(dpi) + " DPI");
        const DialogScale scale{dpi, dpi};
        Open(scale);
        // Centred on the window of the design size at (0, 0): at 96 DPI
        // (209, 97) to (370, 297), the gap between the panels.
        const int cx = scale.X(579) / 2, cy = scale.Y(435) / 2;
        const RECT picture = ControlRect(IDC_MOUSE_PICTURE);
        EXPECT_EQ(cx - scale.X(80), picture.left);
        EXPECT_EQ(cy - scale.Y(120), picture.top);
        EXPECT_EQ(cx + scale.X(81), picture.right);
        EXPECT_EQ(cy + scale.Y(80), picture.bottom);

        const auto bitmap = reinterpret_cast<HBITMAP>(
            SendMessageW(Item(IDC_MOUSE_PICTURE), STM_GETIMAGE, IMAGE_BITMAP, 0));
        ASSERT_NE(nullptr, bitmap);
        BITMAP info{};
        ASSERT_NE(0, GetObjectW(bitmap, sizeof(info), &info));
        EXPECT_EQ(scale.X(161), info.bmWidth);
        EXPECT_EQ(scale.Y(200), std::abs(info.bmHeight));
        // The guide lines start on row 64 scaled, at both edges, with white above and below.
        const int guide = scale.Y(64);
        for (int x : {0, static_cast<int>(info.bmWidth - 1)}) {
            const uint32_t line = BitmapPixel(bitmap, x, guide);
            EXPECT_TRUE((line & 0xFF) < 0xE8 && ((line >> 8) & 0xFF) < 0xE8 && (line >> 16) < 0xE8)
                << "column " << x << " of row " << guide << " is " << std::hex << line;
            EXPECT_EQ(0xFFFFFFu, BitmapPixel(bitmap, x, guide - scale.Y(3))) << "column " << x;
            EXPECT_EQ(0xFFFFFFu, BitmapPixel(bitmap, x, guide + scale.Y(3))) << "column " << x;
        }
    }
}

TEST_F(MainDialogTest, StoredPresetWithMatchingFunctionsStartsInPresetMode)
{
    OfferEveryFunction();
    OfferSettings();
    StoreSetting(1, 1);
    Open();
    EXPECT_EQ(std::wstring(LoadText(IDS_PRESET_1)), ItemText(IDC_PRESET_LIST, Selection(IDC_PRESET_LIST)));
    EXPECT_FALSE(Enabled(IDC_BUTTON0_FUNCTIONS));
    EXPECT_FALSE(Enabled(IDC_BUTTON1_FUNCTIONS));
    EXPECT_TRUE(dialog->Assignments().PresetActive());
    EXPECT_EQ(1, StoredSetting(1));
}

TEST_F(MainDialogTest, StoredOwnModeStartsInOwnModeEvenWhenTheFunctionsMatchAPreset)
{
    OfferEveryFunction();
    OfferSettings();
    StoreSetting(1, 0);
    Open();
    EXPECT_EQ(ItemCount(IDC_PRESET_LIST) - 1, Selection(IDC_PRESET_LIST));
    EXPECT_EQ(std::wstring(LoadText(IDS_PRESET_OWN)), ItemText(IDC_PRESET_LIST, Selection(IDC_PRESET_LIST)));
    EXPECT_TRUE(Enabled(IDC_BUTTON0_FUNCTIONS));
    EXPECT_TRUE(Enabled(IDC_BUTTON1_FUNCTIONS));
    EXPECT_EQ(0, StoredSetting(1));
}

TEST_F(MainDialogTest, StoredPresetWithoutAMatchingPairStartsInOwnModeAndWritesZero)
{
    OfferEveryFunction();
    OfferSettings();
    device->assigned = {{1, 61}, {2, 50}};
    StoreSetting(1, 1);
    StoreSetting(2, 61);
    StoreSetting(3, 50);
    Open();
    EXPECT_FALSE(dialog->Assignments().PresetActive());
    EXPECT_EQ(ItemCount(IDC_PRESET_LIST) - 1, Selection(IDC_PRESET_LIST));
    EXPECT_EQ(0, StoredSetting(1));
    EXPECT_EQ(61, StoredSetting(2));
    EXPECT_EQ(50, StoredSetting(3));
}

TEST_F(MainDialogTest, ButtonsBothOnFunctionZeroStayInOwnMode)
{
    device->Add(0, L"Nothing");
    device->Add(58, L"Copy");
    device->Add(59, L"Paste");
    device->assigned = {{1, 0}, {2, 0}};
    OfferSettings();
    StoreSetting(1, 1);
    Open();
    EXPECT_FALSE(dialog->Assignments().PresetActive());
    EXPECT_TRUE(Enabled(IDC_BUTTON0_FUNCTIONS));
    EXPECT_EQ(0, StoredSetting(1));
}

TEST_F(MainDialogTest, PresetIsListedOnlyWhenEachButtonOffersItsOwnFunction)
{
    device->Add(58, L"Copy");
    device->Add(59, L"Paste");
    device->Add(60, L"Previous");
    device->Add(60, L"Previous again");
    // 62 is offered to nobody: 60 listed twice on the left does not make (60, 62) a
    // preset, which would send the right button a function it does not have.
    Open();
    std::vector<std::wstring> listed;
    for (int i = 0; i < ItemCount(IDC_PRESET_LIST); ++i)
        listed.push_back(ItemText(IDC_PRESET_LIST, i));
    const std::vector<std::wstring> expected = {std::wstring(LoadText(IDS_PRESET_1)),
                                                std::wstring(LoadText(IDS_PRESET_OWN))};
    EXPECT_EQ(expected, listed);
}

TEST_F(MainDialogTest, OpeningAppliesOnceAndLeavesApplyDisabled)
{
    OfferEveryFunction();
    OfferSettings();
    StoreSetting(4, 7);
    Open();
    EXPECT_FALSE(Enabled(IDC_APPLY));
    EXPECT_FALSE(dialog->IsModified());
    EXPECT_EQ(1, Count(device->calls, "SetAssignedFunction(1,58)"));
    EXPECT_EQ(1, Count(device->calls, "SetAssignedFunction(2,59)"));
    EXPECT_EQ(1, Count(settings.calls, "Commit"));
    // Any non-zero value checks the box; writing back stores 1.
    EXPECT_EQ(BST_CHECKED, SendMessageW(Item(IDC_OPTION_CHECK), BM_GETCHECK, 0, 0));
    EXPECT_EQ(1, StoredSetting(4));
    // Reload comes before the reads of 1 to 3, and 4 is read after them.
    const auto& calls = settings.calls;
    const auto reload = std::find(calls.begin(), calls.end(), "Reload");
    ASSERT_NE(calls.end(), reload);
    EXPECT_LT(reload - calls.begin(), std::find_if(calls.begin(), calls.end(), [](const std::string& call) {
                                          return call.rfind("GetValue(", 0) == 0;
                                      }) - calls.begin());
}

TEST_F(MainDialogTest, WithoutTheSettingsServiceTheDialogStillAppliesTheButtons)
{
    OfferEveryFunction();
    Open();
    EXPECT_FALSE(dialog->Assignments().PresetActive());
    EXPECT_EQ(0u, dialog->Assignments().CustomFunctionId(0));
    EXPECT_EQ(1, Count(device->calls, "SetAssignedFunction(1,58)"));
    EXPECT_TRUE(settings.calls.empty());
}

TEST_F(MainDialogTest, ApplyWritesTheChangeAndCancelAfterwardsKeepsIt)
{
    OfferEveryFunction();
    OfferSettings();
    Open();
    device->calls.clear();
    const int zoomIn = static_cast<int>(
        SendMessageW(Item(IDC_BUTTON0_FUNCTIONS), CB_FINDSTRINGEXACT, -1, reinterpret_cast<LPARAM>(L"Zoom in")));
    ASSERT_GE(zoomIn, 0);
    Choose(IDC_BUTTON0_FUNCTIONS, zoomIn);
    EXPECT_TRUE(Enabled(IDC_APPLY));
    EXPECT_TRUE(device->calls.empty()) << "nothing reaches the device before Apply";

    SetFocus(Item(IDC_APPLY));
    Click(IDC_APPLY);
    EXPECT_FALSE(Enabled(IDC_APPLY));
    EXPECT_EQ(Item(IDC_OK), DialogFocus(dialog->m_hWnd));
    EXPECT_EQ(1, Count(device->calls, "SetAssignedFunction(1,57)"));
    EXPECT_EQ(57, StoredSetting(2));

    device->calls.clear();
    Click(IDC_CANCEL);
    EXPECT_EQ(IDCANCEL, dialog->GetEndResult());
    EXPECT_TRUE(device->calls.empty());
    EXPECT_EQ(57u, device->assigned[1]);
}

TEST_F(MainDialogTest, ARefusedAssignmentStaysPendingAndTakesNothingMoreWithIt)
{
    OfferEveryFunction();
    device->functions[14].keyCombination = KeyCombination::Pack(0, VK_CONTROL, KeyLetter, 'C');  // 201
    Open();
    const int keys = static_cast<int>(
        SendMessageW(Item(IDC_BUTTON0_FUNCTIONS), CB_FINDSTRINGEXACT, -1,
                     reinterpret_cast<LPARAM>(LoadText(IDS_KEY_ENTRY_NAME).GetString())));
    ASSERT_GE(keys, 0);
    Choose(IDC_BUTTON0_FUNCTIONS, keys);

    device->failing.insert("SetAssignedFunction");
    device->calls.clear();
    Click(IDC_APPLY);
    // The keys describe the function just assigned: after a refusal they would
    // land on the one the device still holds.
    EXPECT_EQ((std::vector<std::string>{"SetAssignedFunction(1,201)", "SetAssignedFunction(2,59)"}),
              device->CallsStartingWith("Set"));
    EXPECT_TRUE(Enabled(IDC_APPLY)) << "the change is still to be applied";
    EXPECT_TRUE(dialog->IsModified());
    EXPECT_EQ(keys, Selection(IDC_BUTTON0_FUNCTIONS));

    device->failing.clear();
    device->calls.clear();
    Click(IDC_APPLY);
    EXPECT_EQ((std::vector<std::string>{"SetAssignedFunction(1,201)", "SetKeyCombination(0x00110143)",
                                        "SetAssignedFunction(2,59)"}),
              device->CallsStartingWith("Set"));
    EXPECT_FALSE(Enabled(IDC_APPLY));
}

TEST_F(MainDialogTest, ApplyWritesTheCheckBoxAsShownAlsoWhenSetWithoutAClick)
{
    OfferEveryFunction();
    OfferSettings();
    StoreSetting(4, 0);
    Open();
    ASSERT_EQ(0, StoredSetting(4));
    // An assistive tool checks the box without the click notification.
    SendMessageW(Item(IDC_OPTION_CHECK), BM_SETCHECK, BST_CHECKED, 0);
    const int zoomIn = static_cast<int>(
        SendMessageW(Item(IDC_BUTTON0_FUNCTIONS), CB_FINDSTRINGEXACT, -1, reinterpret_cast<LPARAM>(L"Zoom in")));
    ASSERT_GE(zoomIn, 0);
    Choose(IDC_BUTTON0_FUNCTIONS, zoomIn);
    Click(IDC_APPLY);
    EXPECT_EQ(1, StoredSetting(4));
}

TEST_F(MainDialogTest, ValuesThatCannotBeReadAreNotOverwrittenWithDefaults)
{
    OfferEveryFunction();
    OfferSettings();
    StoreSetting(1, 1);
    StoreSetting(2, 61);
    StoreSetting(3, 62);
    StoreSetting(4, 7);
    settings.failing.insert("GetValue");
    Open();
    EXPECT_EQ(1, Count(settings.calls, "Commit"));
    EXPECT_EQ(1, StoredSetting(1));
    EXPECT_EQ(61, StoredSetting(2));
    EXPECT_EQ(62, StoredSetting(3));
    EXPECT_EQ(7, StoredSetting(4));

    // What the user changes is written; the rest stays as it was.
    const int zoomIn = static_cast<int>(
        SendMessageW(Item(IDC_BUTTON0_FUNCTIONS), CB_FINDSTRINGEXACT, -1, reinterpret_cast<LPARAM>(L"Zoom in")));
    ASSERT_GE(zoomIn, 0);
    Choose(IDC_BUTTON0_FUNCTIONS, zoomIn);
    Click(IDC_APPLY);
    EXPECT_EQ(1, StoredSetting(1));
    EXPECT_EQ(57, StoredSetting(2));
    EXPECT_EQ(62, StoredSetting(3));
    EXPECT_EQ(7, StoredSetting(4));
    Click(IDC_OPTION_CHECK);
    Click(IDC_APPLY);
    EXPECT_EQ(SendMessageW(Item(IDC_OPTION_CHECK), BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0, StoredSetting(4));
    EXPECT_EQ(62, StoredSetting(3));
}

TEST_F(MainDialogTest, AnAssignmentTheListLacksKeepsItsKeysWhenApplied)
{
    device->Add(58, L"Copy");
    device->Add(59, L"Paste");
    // The device reports button 1's key combination, but the entry is left out
    // of the list (its program is gone): the list can only show its first item.
    FakeFunction& keys = device->Add(201, L"", 0);
    keys.keyCombination = KeyCombination::Pack(0, VK_CONTROL, KeyLetter, 'C');
    keys.path = L"C:\\no such folder\\gone.exe";
    device->assigned = {{1, 201}, {2, 59}};
    Open();
    EXPECT_EQ(0, Selection(IDC_BUTTON0_FUNCTIONS));
    EXPECT_EQ(1, Count(device->calls, "SetAssignedFunction(1,201)"));
    EXPECT_EQ(1, Count(device->calls, "SetKeyCombination(0x00110143)"));
    EXPECT_EQ(0, Count(device->calls, "SetKeyCombination(0x00000000)"));
}

TEST_F(MainDialogTest, ChoosingTheSelectedItemAgainChangesNothing)
{
    OfferEveryFunction();
    Open();
    Choose(IDC_BUTTON0_FUNCTIONS, Selection(IDC_BUTTON0_FUNCTIONS));
    Choose(IDC_PRESET_LIST, Selection(IDC_PRESET_LIST));
    EXPECT_FALSE(Enabled(IDC_APPLY));
}

TEST_F(MainDialogTest, ActionTargetEnablesTheSettingsButtonOfAPlainEntry)
{
    OfferEveryFunction();
    device->Add(70, L"Notepad").actionTarget = L"C:\\windows\\notepad.exe";
    device->assigned = {{1, 70}, {2, 59}};
    Open();
    EXPECT_TRUE(Enabled(IDC_BUTTON0_SETTINGS));
    EXPECT_FALSE(Enabled(IDC_BUTTON1_SETTINGS));  // Paste: plain, no target
}

TEST_F(MainDialogTest, ProgramEntriesShowTheFileNameAndAnIconOthersNeither)
{
    OfferEveryFunction();
    device->functions[12].path = L"C:\\windows\\notepad.exe";  // 101, button 1's own launch entry
    device->assigned = {{1, 101}, {2, 59}};
    Open();
    EXPECT_EQ(L"notepad", Text(IDC_BUTTON0_LABEL));
    EXPECT_NE(nullptr, dialog->ButtonIcon(0));
    EXPECT_EQ(nullptr, dialog->ButtonIcon(1));
    EXPECT_EQ(L"Paste", Text(IDC_BUTTON1_LABEL));
    const RECT withIcon = ControlRect(IDC_BUTTON0_LABEL);
    EXPECT_EQ(32, withIcon.left);
    EXPECT_EQ(157, withIcon.right);
    const RECT withoutIcon = ControlRect(IDC_BUTTON1_LABEL);
    EXPECT_EQ(384, withoutIcon.left);
    EXPECT_EQ(547, withoutIcon.right);
}

TEST_F(MainDialogTest, PanelsAndLabelsAreBlackOnWhiteWhateverTheDcHeld)
{
    OfferEveryFunction();
    Open();
    unique_hdc dc(CreateCompatibleDC(nullptr));
    for (int id : {IDC_BUTTON0_PANEL, IDC_BUTTON1_PANEL, IDC_BUTTON0_LABEL, IDC_BUTTON1_LABEL}) {
        SetTextColor(dc.get(), RGB(255, 0, 0));
        SetBkColor(dc.get(), RGB(0, 0, 255));
        const auto brush = reinterpret_cast<HBRUSH>(dialog->SendMessage(
            WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.get()), reinterpret_cast<LPARAM>(Item(id))));
        LOGBRUSH colour{};
        ASSERT_NE(0, GetObjectW(brush, sizeof(colour), &colour)) << id;
        EXPECT_EQ(RGB(255, 255, 255), colour.lbColor) << id;
        EXPECT_EQ(RGB(0, 0, 0), GetTextColor(dc.get())) << id;
        EXPECT_EQ(RGB(255, 255, 255), GetBkColor(dc.get())) << id;
    }
    // The mouse picture sits on white whatever the resolution.
    const auto pictureBrush = reinterpret_cast<HBRUSH>(dialog->SendMessage(
        WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.get()), reinterpret_cast<LPARAM>(Item(IDC_MOUSE_PICTURE))));
    LOGBRUSH pictureColour{};
    ASSERT_NE(0, GetObjectW(pictureBrush, sizeof(pictureColour), &pictureColour));
    EXPECT_EQ(RGB(255, 255, 255), pictureColour.lbColor);
    // The check box gets the white brush; other controls the default one.
    const auto checkBrush = reinterpret_cast<HBRUSH>(dialog->SendMessage(
        WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(dc.get()), reinterpret_cast<LPARAM>(Item(IDC_OPTION_CHECK))));
    LOGBRUSH colour{};
    GetObjectW(checkBrush, sizeof(colour), &colour);
    EXPECT_EQ(RGB(255, 255, 255), colour.lbColor);
    const auto otherBrush = reinterpret_cast<HBRUSH>(dialog->SendMessage(
        WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(dc.get()), reinterpret_cast<LPARAM>(Item(IDC_OK))));
    EXPECT_NE(checkBrush, otherBrush);
}
