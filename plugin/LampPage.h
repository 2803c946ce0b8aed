#pragma once
// The lamp pages: a group of three radio buttons and the list of detected video
// applications. What tells one page from the other is a row of LampPageForm;
// the page classes are thin subclasses that pick their row.
#include "Plenkit.h"

struct LampPageControl
{
    UINT id, x, y, cx, cy;
};

struct LampPageForm
{
    UINT titleId, descriptionId, dialogId;
    LampPageControl layout[10];  // SetControlPos in this order; both pages use the same places
    int firstRadioId;            // then the next two ids
    int listId;
    DWORD capability;  // bit of the utility library's answer
    // The radio group's option, handed to the radio item; null for none.
    SettingOption* (*makeOption)();
};

class CLampPage : public PluginClass
{
public:
    CLampPage(const LampPageForm& form, const CString& identity);

    // Places the controls, registers the radio item and the list item, and
    // fills the list from a fresh detection. Always 0.
    LONG InitPage() override;
    // Rows of the application list never stay selected. Always 0.
    LRESULT PageProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    bool IsPageSupported() override;

private:
    const LampPageForm& form_;
};
