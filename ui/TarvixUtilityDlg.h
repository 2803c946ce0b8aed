#pragma once
// The program's main dialog. For now it holds what the button set-up needs:
// the device, the controllers of the two buttons and the number of buttons.
#include <windows.h>
#include <memory>
#include "Handles.h"
#include "SpecialButton.h"
#include "SpecialButtonDevice.h"

class CTarvixUtilityDlg
{
public:
    CTarvixUtilityDlg() = default;
    virtual ~CTarvixUtilityDlg();
    CTarvixUtilityDlg(const CTarvixUtilityDlg&) = delete;
    CTarvixUtilityDlg& operator=(const CTarvixUtilityDlg&) = delete;

    // Connects to the device and creates and loads one controller per button
    // (the first two); in a silent run applies each button's default and
    // records in the settings that a preset is in use. False when the device
    // is missing, reports no buttons, or a controller fails to load.
    virtual BOOL InitializeButtons(INT32 presetNumber, bool silent);

    static constexpr int MaxButtons = 2;

    INT32 buttonCount = 0;
    std::unique_ptr<CSpecialButton> buttons[MaxButtons];
    // Shared by the controllers, which only borrow it; released after them.
    com_ptr<ISpecialButtonDevice> device;
};
