#pragma once
// What the two lamp pages share: their layout form, their message hook and the
// filling of their application list.
#include "Plenkit.h"

class CInheritListBox;

struct LampPageControl
{
    UINT id, x, y, cx, cy;
};

// Both pages' PageProc: rows of an application list never stay selected.
LRESULT LampPageProc(UINT msg, WPARAM wParam, LPARAM lParam);

// Runs a fresh detection and hands the names to the list.
void FillApplicationList(CInheritListBox& list);
