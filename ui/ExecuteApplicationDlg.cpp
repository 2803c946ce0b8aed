#include "ExecuteApplicationDlg.h"
#include <shlobj.h>
#include "DataExchange.h"
#include "FileDialog.h"
#include "MessageBoxes.h"
#include "MessageMap.h"
#include "PathText.h"
#include "ProgramIcon.h"
#include "tarvix/resource.h"

namespace {

// The open-file dialog must not move the process's current folder.
constexpr DWORD browseFlags = OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_NOCHANGEDIR;

// `fullPath` gets the file the check found.
bool IsProgramFile(const CString& path, CString& fullPath)
{
    DWORD attributes = 0;
    return !path.IsEmpty() && QueryFileAttributes(path, attributes, &fullPath) &&
           (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// The folder of the program a text names (C:\Tools\ for "C:\Tools\run.exe" -x),
// when it is given in full and exists; empty otherwise.
CString ExistingFolderOf(const CString& text)
{
    CString program, arguments;
    SplitCommandText(text, program, arguments);
    program.Trim();
    int end = program.GetLength();
    while (end > 0 && program[end - 1] != L'\\' && program[end - 1] != L'/')
        --end;
    CString folder = program.Left(end);
    DWORD attributes = 0;
    if (!IsFullPath(folder) || !QueryFileAttributes(folder, attributes) ||
        (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
        return CString();
    return folder;
}

CString ProgramFilesFolder()
{
    wchar_t programFiles[MAX_PATH] = L"";
    if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILES, nullptr, SHGFP_TYPE_CURRENT, programFiles)))
        return CString();
    return CString(programFiles);
}

// An empty folder means "no working folder" and is fine.
bool IsWorkingFolder(const CString& folder)
{
    DWORD attributes = 0;
    return folder.IsEmpty() ||
           (QueryFileAttributes(folder, attributes) && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
}

// Exact, case-sensitive: a change of letter case is a change.
bool SameApplication(const CSpecialButtonData& a, const ApplicationLaunch& b)
{
    return a.applicationPath == b.path && a.applicationArguments == b.arguments && a.applicationFolder == b.folder;
}

}  // namespace

bool QueryFileAttributes(const CString& path, DWORD& attributes, CString* fullPathOut)
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
    if (fullPathOut != nullptr)
        *fullPathOut = CString(fullPath, static_cast<int>(length));
    return true;
}

const MessageMapEntry CZVKExecuteApplicationDlg::messageEntries[] = {
    MapCommand<&CZVKExecuteApplicationDlg::OnBrowse>(BN_CLICKED, IDC_APP_BROWSE),
};
const MessageMap CZVKExecuteApplicationDlg::messageMap = MakeMessageMap(&CDialog::messageMap,
                                                                        CZVKExecuteApplicationDlg::messageEntries);

CZVKExecuteApplicationDlg::CZVKExecuteApplicationDlg(const ApplicationLaunch& program, bool silent)
    : CDialog(IDD_APPLICATION_CHOOSER), given_(program), silent_(silent)
{
    workingData.applicationPath = program.path;
    workingData.applicationArguments = program.arguments;
    workingData.applicationFolder = program.folder;
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
    // The system does not open on a name it cannot take (a command with its
    // quotes, say): that text's folder stands in for it, or Program Files.
    const bool startsFromFile = IsUsableFileName(pathText);
    CFileDialog chooser(TRUE, L"exe", startsFromFile ? pathText.GetString() : L"", browseFlags, filter, this);
    if (!startsFromFile) {
        CString folder = ExistingFolderOf(pathText);
        if (folder.IsEmpty())
            folder = ProgramFilesFolder();
        chooser.SetInitialFolder(folder);  // empty: the system's own choice
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
    CString program;
    if (!IsProgramFile(pathText, program) || !IsWorkingFolder(folderText)) {
        // The dialog stays open with the fields as the user left them.
        ShowInvalidApplicationBox(silent_);
        return;
    }
    // A bare or relative name was found in the current folder, which the next
    // start need not share: keep the file that was checked.
    if (!IsFullPath(pathText))
        pathText = program;

    if (pathText != workingData.applicationPath)
        workingData.applicationPath = pathText;
    if (argumentsText != workingData.applicationArguments)
        workingData.applicationArguments = argumentsText;
    if (folderText != workingData.applicationFolder)
        workingData.applicationFolder = folderText;

    changed = SameApplication(workingData, given_) ? 0 : 1;
    CDialog::OnOK();
}

INT32 CZVKExecuteApplicationDlg::IsChanged() const
{
    return changed;
}

ApplicationLaunch CZVKExecuteApplicationDlg::Result() const
{
    return {workingData.applicationPath, workingData.applicationArguments, workingData.applicationFolder};
}
