#pragma once
// The controller of one special button: reads the functions the device offers
// and the assignment in force into the records (Load), and writes an edited
// assignment back (Apply).
#include <windows.h>
#include "MouseButtonDevice.h"
#include "ButtonRecords.h"

// Owned by the main dialog and deleted through its own type only, hence final
// with a plain destructor. The virtual operations keep their slot order.
class CSpecialButton final
{
public:
    // `device` is borrowed from the dialog and never released here.
    CSpecialButton(ISpecialButtonDevice* device, INT32 buttonId);
    ~CSpecialButton() = default;
    CSpecialButton(const CSpecialButton&) = delete;
    CSpecialButton& operator=(const CSpecialButton&) = delete;

    // The slots keep their order; the program calls Load, Apply and SetDefault.
    // The other operations no caller needs (the assignments own the records)
    // stay as the controller's fixed interface.
    // Rebuilds `functions` and `data` from the device; 1 on success, 0 on failure.
    virtual BOOL Load(INT32 unused);
    virtual UINT32 GetAssignedFunctionId();
    // Writes the assignment, and the launch data or key combination it needs.
    // FALSE, with nothing more sent, when the device refuses the assignment.
    virtual BOOL Apply();
    // Button 1 and 2 take the default preset's pair; others keep theirs.
    virtual BOOL SetDefault();
    virtual INT_PTR GetFunctionCount();
    virtual CSpecialButtonData* GetData();
    // Two operations the program never uses: they take their arguments
    // (releasing the strings) and answer 1.
    virtual BOOL TakeStrings(BSTR first, BSTR second, BSTR third);
    virtual BOOL TakeValues(INT32 first, INT32 second, INT32 third);

    SpecialButtonFunctions functions;
    CSpecialButtonData data;
    ISpecialButtonDevice* device;

private:
    // One function of the device as an entry; false when it is left out.
    bool ReadEntry(UINT32 functionId, _SPECIAL_BUTTON_INFO& entry);

    // The device could not report the button's own key combination, so the
    // list shows it as none; Apply then leaves the stored one alone unless
    // the user composed another.
    bool keyCombinationUnread_ = false;
};

// Text 1232 with the name in place of its %s; the text is a translator's, so
// it is never handed to a printf-style formatter.
CString FunctionTextFromName(const CString& name);
