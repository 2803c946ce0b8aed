#include "FileDialog.h"
#include <algorithm>
#include <utility>
#include "WinApp.h"
#include "Wnd.h"

namespace {

// Room for the longest path the system knows, so that a chosen file always fits.
constexpr size_t fileBufferLength = 32768;

FileDialogOverride::Runner& CurrentOverride()
{
    static FileDialogOverride::Runner runner;
    return runner;
}

}  // namespace

CFileDialog::CFileDialog(BOOL, const wchar_t* defaultExtension, const wchar_t* fileName, DWORD flags,
                         const wchar_t* filter, CWnd* parent)
    : ofn_{}, parent_(parent), file_(fileBufferLength, L'\0'), defaultExtension_(defaultExtension)
{
    ofn_.lStructSize = sizeof(ofn_);
    ofn_.Flags = flags;
    ofn_.lpstrFile = file_.data();
    ofn_.nMaxFile = static_cast<DWORD>(file_.size());
    if (fileName != nullptr) {
        const size_t length = std::min(wcslen(fileName), file_.size() - 1);
        std::copy(fileName, fileName + length, file_.begin());
    }
    if (defaultExtension != nullptr)
        ofn_.lpstrDefExt = defaultExtension_.GetString();
    if (filter != nullptr && *filter != L'\0') {
        filter_.assign(filter, filter + wcslen(filter));
        std::replace(filter_.begin(), filter_.end(), L'|', L'\0');
        // The list ends with two NULs whether or not the text ended with bars.
        filter_.push_back(L'\0');
        filter_.push_back(L'\0');
        ofn_.lpstrFilter = filter_.data();
    }
}

void CFileDialog::SetInitialFolder(const wchar_t* folder)
{
    initialFolder_ = folder;
    ofn_.lpstrInitialDir = initialFolder_.IsEmpty() ? nullptr : initialFolder_.GetString();
}

INT_PTR CFileDialog::DoModal()
{
    CWnd* owner = parent_ != nullptr ? parent_ : AfxGetMainWnd();
    ofn_.hwndOwner = owner != nullptr ? owner->m_hWnd : nullptr;
    ofn_.hInstance = nullptr;
    const FileDialogOverride::Runner& runner = CurrentOverride();
    const BOOL chosen = runner ? runner(ofn_) : ::GetOpenFileNameW(&ofn_);
    return chosen ? IDOK : IDCANCEL;
}

CString CFileDialog::GetPathName() const
{
    return CString(file_.data());
}

FileDialogOverride::FileDialogOverride(Runner runner) : previous_(std::move(CurrentOverride()))
{
    CurrentOverride() = std::move(runner);
}

FileDialogOverride::~FileDialogOverride()
{
    CurrentOverride() = std::move(previous_);
}
