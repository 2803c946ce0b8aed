#include "ExecuteApplicationDlg.h"
#include <shlobj.h>
#include "DataExchange.h"
#include "FileDialog.h"
#include "MessageBoxes.h"
#include "MessageMap.h"
#include "tarvix/resource.h"

namespace {

constexpr DWORD browseFlags = OFN_HIDEREADONLY | OFN_FILEMUSTEXIST;

bool IsProgramFile(const CString& path)
{
    DWORD attributes = 0;
    return !path.IsEmpty() && QueryFileAttributes(path, attributes) && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// An empty folder means "no working folder" and is fine.
bool IsWorkingFolder(const CString& folder)
{
    DWORD attributes = 0;
    return folder.IsEmpty() || (QueryFileAttributes(folder, attributes) && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
}

// Exact, case-sensitive: a change of letter case is a change.
bool SameApplication(const CSpecialButtonData& a, const CSpecialButtonData& b)
{
    return a.applicationPath == b.applicationPath && a.applicationArguments == b.applicationArguments &&
           a.applicationFolder == b.applicationFolder;
}

} // namespace

bool QueryFileAttributes(const CString& path, DWORD& attributes)
{
    if (path.GetLength() >= MAX_PATH || path.Find(L'*') >= 0 || path.Find(L'?') >= 0)
        return false;
    wchar_t fullPath[MAX_PATH];
    const DWORD length = ::GetFullPathNameW(path, MAX_PATH, fullPath, nullptr);
    if (length == 0 || length >= MAX_PATH)
        return false;
    const DWORD found = ::GetFileAttributesW(fullPath);
    if (found == INVALID_FILE_ATTRIBUTES)
        return false;
    attributes = found;
    return true;
}

const MessageMapEntry CZVKExecuteApplicationDlg::messageEntries[] = {
    MapCommand<&CZVKExecuteApplicationDlg::OnBrowse>(BN_CLICKED, IDC_APP_BROWSE),
};
const MessageMap CZVKExecuteApplicationDlg::messageMap =
    MakeMessageMap(&CDialog::messageMap, CZVKExecuteApplicationDlg::messageEntries);

CZVKExecuteApplicationDlg::CZVKExecuteApplicationDlg(CSpecialButtonData& target, bool silent)
    : CDialog(IDD_APPLICATION_CHOOSER), workingData(target), targetData(&target), silent_(silent)
{
}

CZVKExecuteApplicationDlg::~CZVKExecuteApplicationDlg() = default;

void CZVKExecuteApplicationDlg::DoDataExchange(CDataExchange* dx)
{
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_APP_FOLDER, folderEdit);
    DDX_Control(dx, IDC_APP_PATH, pathEdit);
    DDX_Control(dx, IDC_APP_ARGUMENTS, argumentsEdit);
    DDX_Control(dx, IDOK, okButton);
    DDX_Control(dx, IDCANCEL, cancelButton);
    DDX_Control(dx, IDC_APP_BROWSE, browseButton);
    DDX_Text(dx, IDC_APP_PATH, pathText);
    DDX_Text(dx, IDC_APP_FOLDER, folderText);
    DDX_Text(dx, IDC_APP_ARGUMENTS, argumentsText);
}

BOOL CZVKExecuteApplicationDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    pathText = workingData.applicationPath;
    argumentsText = workingData.applicationArguments;
    folderText = workingData.applicationFolder;
    UpdateData(FALSE);
    return TRUE;
}

void CZVKExecuteApplicationDlg::OnBrowse()
{
    // Keep what the user typed in the other fields.
    UpdateData(TRUE);

    CString filter;
    (void)filter.LoadString(IDS_PROGRAM_FILTER);  // missing: the dialog runs without a filter
    CFileDialog chooser(TRUE, L"exe", pathText, browseFlags, filter, this);
    if (pathText.IsEmpty()) {
        wchar_t programFiles[MAX_PATH] = L"";
        if (SUCCEEDED(::SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILES, nullptr, SHGFP_TYPE_CURRENT, programFiles)))
            chooser.SetInitialFolder(programFiles);
    }
    if (chooser.DoModal() != IDOK)
        return;
    pathText = chooser.GetPathName();
    UpdateData(FALSE);
}

void CZVKExecuteApplicationDlg::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    if (!IsProgramFile(pathText) || !IsWorkingFolder(folderText)) {
        // The dialog stays open with the fields as the user left them.
        ShowInvalidApplicationBox(silent_);
        return;
    }

    if (pathText != workingData.applicationPath)
        workingData.applicationPath = pathText;
    if (argumentsText != workingData.applicationArguments)
        workingData.applicationArguments = argumentsText;
    if (folderText != workingData.applicationFolder)
        workingData.applicationFolder = folderText;

    changed = SameApplication(workingData, *targetData) ? 0 : 1;
    *targetData = workingData;
    CDialog::OnOK();
}

INT32 CZVKExecuteApplicationDlg::IsChanged() const
{
    return changed;
}
