// The floor for the main dialog: a modal dialog of the same size and frame
// with nothing in it. Like the product it stays until it is closed.
#include <windows.h>
#include "BaselineDialog.h"

namespace {

INT_PTR CALLBACK EmptyDialogProc(HWND window, UINT msg, WPARAM wParam, LPARAM)
{
    if (msg == WM_INITDIALOG)
        return TRUE;
    if (msg == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
        EndDialog(window, IDCANCEL);
        return TRUE;
    }
    return FALSE;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int)
{
    return static_cast<int>(
        DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_BASELINE_DIALOG), nullptr, EmptyDialogProc, 0));
}
