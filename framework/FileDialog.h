#pragma once
// The open-file dialog. The filter is given in the bar-separated form
// "description|pattern|...|" and handed to the system NUL-separated.
//
// Tests replace the system dialog with FileDialogOverride: the runner sees the
// OPENFILENAMEW the dialog would get, may write the chosen path into lpstrFile,
// and answers as GetOpenFileNameW would.
#include <windows.h>
#include <commdlg.h>
#include <functional>
#include <vector>
#include "CString.h"

class CWnd;

class CFileDialog
{
public:
    // Only the open mode exists; `openFileDialog` is kept for the familiar call shape.
    CFileDialog(BOOL openFileDialog, const wchar_t* defaultExtension = nullptr, const wchar_t* fileName = nullptr,
                DWORD flags = OFN_HIDEREADONLY, const wchar_t* filter = nullptr, CWnd* parent = nullptr);
    CFileDialog(const CFileDialog&) = delete;
    CFileDialog& operator=(const CFileDialog&) = delete;

    // The folder the dialog starts in; empty leaves the choice to the system.
    void SetInitialFolder(const wchar_t* folder);

    // IDOK when the user chose a file, IDCANCEL otherwise.
    INT_PTR DoModal();
    // The full path of the chosen file.
    CString GetPathName() const;

    const OPENFILENAMEW& GetOFN() const noexcept { return ofn_; }

private:
    OPENFILENAMEW ofn_;
    CWnd* parent_;
    std::vector<wchar_t> file_;
    std::vector<wchar_t> filter_;
    CString defaultExtension_;
    CString initialFolder_;
};

// While it lives, CFileDialog::DoModal calls `runner` instead of GetOpenFileNameW.
class FileDialogOverride
{
public:
    using Runner = std::function<BOOL(OPENFILENAMEW&)>;
    explicit FileDialogOverride(Runner runner);
    ~FileDialogOverride();
    FileDialogOverride(const FileDialogOverride&) = delete;
    FileDialogOverride& operator=(const FileDialogOverride&) = delete;

private:
    Runner previous_;
};
