#pragma once
// A screen reader names a control by the label in front of it in the tab
// order; a control that no such label can name (two panels share one layout)
// gets its name as an annotation of its window instead, through oleacc.
#include <windows.h>

class accessible_name
{
public:
    accessible_name() noexcept = default;
    ~accessible_name() { clear(); }
    accessible_name(const accessible_name&) = delete;
    accessible_name& operator=(const accessible_name&) = delete;

    // Names `control` `text` until clear() or the end of this value. False when
    // oleacc would not take it; the control then keeps the name it had.
    bool set(HWND control, const wchar_t* text) noexcept;
    void clear() noexcept;

private:
    HWND control_ = nullptr;
};
