// The application chooser, run from the program's language resources, with
// real files and folders and the open-file dialog replaced by a recorder.
#include <gtest/gtest.h>
#include "support/RowTrace.h"
#include <shlobj.h>
#include <functional>
#include <iterator>
#include <string>
#include <vector>
#include "DialogDriving.h"
#include "ExecuteApplicationDlg.h"
#include "FileDialog.h"
#include "LanguageModule.h"
#include "support/DialogWatch.h"
#include "support/ModalDriver.h"
#include "support/TempFolder.h"
#include "tarvix/resource.h"

namespace {

bool Exists(const std::wstring& path)
{
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// What the open-file dialog was given, and what it answers.
struct OpenFileCall
{
    int calls = 0;
    HWND owner = nullptr;
    DWORD flags = 0;
    std::wstring file;
    std::wstring defaultExtension;
    std::wstring initialFolder;
    bool hasInitialFolder = false;
    std::vector<std::wstring> filter;
};

FileDialogOverride::Runner Record(OpenFileCall& call, BOOL choose, std::wstring chosen = L"")
{
    return [&call, choose, chosen](OPENFILENAMEW& ofn) {
        ++call.calls;
        call.owner = ofn.hwndOwner;
        call.flags = ofn.Flags;
        call.file = ofn.lpstrFile;
        call.defaultExtension = ofn.lpstrDefExt != nullptr ? ofn.lpstrDefExt : L"";
        call.hasInitialFolder = ofn.lpstrInitialDir != nullptr;
        call.initialFolder = call.hasInitialFolder ? ofn.lpstrInitialDir : L"";
        call.filter.clear();
        for (const wchar_t* part = ofn.lpstrFilter; part != nullptr && *part != L'\0'; part += wcslen(part) + 1)
            call.filter.emplace_back(part);
        if (choose)
            wcscpy_s(ofn.lpstrFile, ofn.nMaxFile, chosen.c_str());
        return choose;
    };
}

// The chooser run as the main dialog runs it: given the record's program,
// whose three fields take what it gives back after OK.
class ChooserOn
{
public:
    explicit ChooserOn(CSpecialButtonData& target, bool silent = false)
        : dialog({target.applicationPath, target.applicationArguments, target.applicationFolder}, silent),
          target_(target)
    {
    }
    INT_PTR Run(std::function<void(CDialog&)> drive) { return Take(RunModal(dialog, std::move(drive))); }
    INT_PTR DoModal() { return Take(dialog.DoModal()); }
    INT32 IsChanged() const { return dialog.IsChanged(); }

    CZVKExecuteApplicationDlg dialog;

private:
    INT_PTR Take(INT_PTR result)
    {
        if (result == IDOK) {
            const ApplicationLaunch program = dialog.Result();
            target_.applicationPath = program.path;
            target_.applicationArguments = program.arguments;
            target_.applicationFolder = program.folder;
        }
        return result;
    }

    CSpecialButtonData& target_;
};

class ApplicationChooser : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Exists(tool));
        ASSERT_TRUE(Exists(work));
        target.buttonId = 1;
        target.assignedFunctionId = 101;
        target.applicationFunctionId = 101;
        target.keyCombination = 0x00110141;
        target.functionName = L"Start a program";
        target.applicationPath = tool.c_str();
        target.applicationArguments = L" -x  ";
        target.applicationFolder = work.c_str();
        target.savedApplicationPath = L"C:\\saved.exe";
        target.savedApplicationArguments = L"saved";
        target.savedApplicationFolder = L"C:\\";
    }

    // Every field of the target as it was set up.
    void ExpectTargetUntouched() const
    {
        EXPECT_EQ(1, target.buttonId);
        EXPECT_EQ(101u, target.assignedFunctionId);
        EXPECT_EQ(101u, target.applicationFunctionId);
        EXPECT_EQ(0x00110141u, target.keyCombination);
        EXPECT_EQ(CString(L"Start a program"), target.functionName);
        EXPECT_EQ(CString(tool.c_str()), target.applicationPath);
        EXPECT_EQ(CString(L" -x  "), target.applicationArguments);
        EXPECT_EQ(CString(work.c_str()), target.applicationFolder);
        EXPECT_EQ(CString(L"C:\\saved.exe"), target.savedApplicationPath);
        EXPECT_EQ(CString(L"saved"), target.savedApplicationArguments);
        EXPECT_EQ(CString(L"C:\\"), target.savedApplicationFolder);
    }

    struct Fields
    {
        std::wstring path, arguments, folder;
        bool operator==(const Fields& o) const
        {
            return path == o.path && arguments == o.arguments && folder == o.folder;
        }
    };

    static Fields Read(const CDialog& d)
    {
        return {FieldText(d, IDC_APP_PATH), FieldText(d, IDC_APP_ARGUMENTS), FieldText(d, IDC_APP_FOLDER)};
    }

    static void Fill(const CDialog& d, const Fields& f)
    {
        Type(d, IDC_APP_PATH, f.path);
        Type(d, IDC_APP_ARGUMENTS, f.arguments);
        Type(d, IDC_APP_FOLDER, f.folder);
    }

    static bool StillOpen(const CDialog& d) { return d.m_hWnd != nullptr && d.GetEndResult() == -1; }

    ScopedTempFolder temp{L"chooser"};
    std::wstring tool = temp.MakeFile(L"Tool.exe");
    std::wstring work = temp.MakeFolder(L"Work");
    CSpecialButtonData target;
};

TEST_F(ApplicationChooser, OkWithoutEditsWritesTheSameValuesBackAndReportsNoChange)
{
    ChooserOn chooser(target);
    Fields shown;
    int focused = 0;
    EXPECT_EQ(IDOK, chooser.Run([&](CDialog& d) {
        shown = Read(d);
        focused = ::GetDlgCtrlID(DialogFocus(d.m_hWnd));
        Click(d, IDOK);
    }));
    EXPECT_EQ(tool, shown.path);
    EXPECT_EQ(L" -x  ", shown.arguments);
    EXPECT_EQ(work, shown.folder);
    EXPECT_EQ(IDC_APP_PATH, focused);
    EXPECT_EQ(0, chooser.IsChanged());
    ExpectTargetUntouched();
}

TEST_F(ApplicationChooser, EditsAreStoredExactlyAndALetterCaseChangeCounts)
{
    std::wstring upper = tool;
    upper.replace(upper.size() - 8, 8, L"TOOL.EXE");
    const std::wstring arguments = L"  /a  \"b c\"  ";

    ChooserOn chooser(target);
    EXPECT_EQ(IDOK, chooser.Run([&](CDialog& d) {
        Type(d, IDC_APP_PATH, upper);
        Type(d, IDC_APP_ARGUMENTS, arguments);
        Click(d, IDOK);
    }));
    EXPECT_EQ(1, chooser.IsChanged());
    EXPECT_EQ(CString(upper.c_str()), target.applicationPath);
    EXPECT_EQ(CString(arguments.c_str()), target.applicationArguments);
    EXPECT_EQ(CString(work.c_str()), target.applicationFolder);
    EXPECT_EQ(CString(L"C:\\saved.exe"), target.savedApplicationPath);  // passes through
    EXPECT_EQ(1, target.buttonId);

    // Only the case of the folder: a change too.
    std::wstring lowerFolder = work;
    lowerFolder.replace(lowerFolder.size() - 4, 4, L"work");
    ChooserOn folderCase(target);
    EXPECT_EQ(IDOK, folderCase.Run([&](CDialog& d) {
        Type(d, IDC_APP_FOLDER, lowerFolder);
        Click(d, IDOK);
    }));
    EXPECT_EQ(1, folderCase.IsChanged());
    EXPECT_EQ(CString(lowerFolder.c_str()), target.applicationFolder);

    // Empty arguments and an empty folder are accepted.
    ChooserOn emptied(target);
    EXPECT_EQ(IDOK, emptied.Run([](CDialog& d) {
        Type(d, IDC_APP_ARGUMENTS, L"");
        Type(d, IDC_APP_FOLDER, L"");
        Click(d, IDOK);
    }));
    EXPECT_EQ(1, emptied.IsChanged());
    EXPECT_TRUE(target.applicationArguments.IsEmpty());
    EXPECT_TRUE(target.applicationFolder.IsEmpty());
    EXPECT_EQ(CString(upper.c_str()), target.applicationPath);
}

TEST_F(ApplicationChooser, RefusedConfirmationsKeepTheDialogOpenUntilTheUserCorrectsThem)
{
    const std::wstring missing = temp.path() + L"Missing.exe";
    const std::wstring notes = temp.MakeFile(L"notes.txt");
    const std::vector<Fields> refused{
        {L"", L"", L""},                          // no program
        {missing, L"", L""},                      // nothing of that name
        {work, L"", L""},                         // a folder as program
        {L"\"" + tool + L"\" /s", L"", L""},      // program and switch in one field
        {L"\"" + tool + L"\"", L"", L""},         // quotes are not part of a name
        {temp.path() + L"T*.exe", L"", L""},      // a pattern names no one file
        {tool, L"-a", notes},                     // a file as working folder
        {tool, L"-a", temp.path() + L"Nowhere"},  // a folder that does not exist
    };
    std::vector<Fields> afterRefusal;
    std::vector<bool> open;
    const Fields corrected{tool, L"-final", temp.folder()};
    ChooserOn chooser(target, true);  // silent: refusals show no warning
    EXPECT_EQ(IDOK, chooser.Run([&](CDialog& d) {
        for (const Fields& f : refused) {
            Fill(d, f);
            Click(d, IDOK);
            open.push_back(StillOpen(d));
            afterRefusal.push_back(Read(d));
        }
        Fill(d, corrected);
        Click(d, IDOK);
    }));
    ASSERT_EQ(refused.size(), open.size());
    for (size_t i = 0; i < refused.size(); ++i) {
        ROW_TRACE(i);
        EXPECT_TRUE(open[i]);
        EXPECT_TRUE(afterRefusal[i] == refused[i]);  // left as the user typed them
    }
    // Only the last, accepted confirmation wrote the target.
    EXPECT_EQ(1, chooser.IsChanged());
    EXPECT_EQ(CString(tool.c_str()), target.applicationPath);
    EXPECT_EQ(CString(L"-final"), target.applicationArguments);
    EXPECT_EQ(CString(temp.folder().c_str()), target.applicationFolder);
}

TEST_F(ApplicationChooser, APathOf260CharactersOrMoreIsRefusedEvenWhenTheFileExists)
{
    const std::wstring deep = temp.MakeFolder(std::wstring(60, L'd')) + L"\\" + std::wstring(60, L'e');
    ::CreateDirectoryW(deep.c_str(), nullptr);
    const size_t folderLength = deep.size() + 1;
    ASSERT_LT(folderLength + 4, 259u);
    auto fileOfLength = [&](size_t length) {
        const std::wstring path = deep + L"\\" + std::wstring(length - folderLength - 4, L'p') + L".exe";
        HANDLE h = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (h != INVALID_HANDLE_VALUE)
            ::CloseHandle(h);
        return path;
    };
    const std::wstring longest = fileOfLength(MAX_PATH - 1);
    const std::wstring tooLong = fileOfLength(MAX_PATH);
    const std::wstring farTooLong = temp.MakeFolder(std::wstring(200, L'f')) + L"\\" + std::wstring(100, L'g') +
                                    L".exe";
    {
        HANDLE h = ::CreateFileW(farTooLong.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (h != INVALID_HANDLE_VALUE)
            ::CloseHandle(h);
    }
    ASSERT_EQ(259u, longest.size());
    ASSERT_EQ(260u, tooLong.size());
    ASSERT_GT(farTooLong.size(), 300u);
    // The files are there: the system finds them by these names.
    ASSERT_TRUE(Exists(longest));
    ASSERT_TRUE(Exists(tooLong));
    ASSERT_TRUE(Exists(farTooLong));

    std::vector<bool> open;
    ChooserOn chooser(target, true);  // silent: refusals show no warning
    EXPECT_EQ(IDOK, chooser.Run([&](CDialog& d) {
        for (const std::wstring& path : {tooLong, farTooLong}) {
            Type(d, IDC_APP_PATH, path);
            Click(d, IDOK);
            open.push_back(StillOpen(d));
        }
        Type(d, IDC_APP_PATH, longest);
        Click(d, IDOK);
    }));
    EXPECT_EQ((std::vector<bool>{true, true}), open);
    EXPECT_EQ(CString(longest.c_str()), target.applicationPath);

    DWORD attributes = 0;
    EXPECT_FALSE(QueryFileAttributes(CString(tooLong.c_str()), attributes));
    EXPECT_TRUE(QueryFileAttributes(CString(longest.c_str()), attributes));
}

TEST_F(ApplicationChooser, CancelAndCloseLeaveTheTargetUntouched)
{
    const Fields edited{temp.MakeFile(L"Other.exe"), L"--other", temp.folder()};
    ChooserOn cancelled(target);
    EXPECT_EQ(IDCANCEL, cancelled.Run([&](CDialog& d) {
        Fill(d, edited);
        Click(d, IDCANCEL);
    }));
    EXPECT_EQ(0, cancelled.IsChanged());
    ExpectTargetUntouched();

    ChooserOn closed(target);
    EXPECT_EQ(IDCANCEL, closed.Run([&](CDialog& d) {
        Fill(d, edited);
        d.PostMessage(WM_CLOSE);
    }));
    EXPECT_EQ(0, closed.IsChanged());
    ExpectTargetUntouched();

    // Without its template the chooser cannot run, and the caller sees no IDOK.
    ScopedLanguageResources noTemplates{GetCurrentModule()};
    ChooserOn missing(target);
    EXPECT_NE(IDOK, missing.DoModal());
    EXPECT_EQ(0, missing.IsChanged());
    ExpectTargetUntouched();
}

TEST_F(ApplicationChooser, BrowseStartsInProgramFilesWithAnEmptyPathAndFromTheFileOtherwise)
{
    wchar_t programFiles[MAX_PATH] = L"";
    ASSERT_EQ(S_OK, ::SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILES, nullptr, 0, programFiles));
    const std::wstring chosen = temp.MakeFile(L"Chosen.exe");

    OpenFileCall first;
    OpenFileCall second;
    HWND chooserWindow = nullptr;
    Fields afterFirst;
    Fields afterSecond;
    target.applicationPath.Empty();
    ChooserOn chooser(target);
    EXPECT_EQ(IDOK, chooser.Run([&](CDialog& d) {
        chooserWindow = d.m_hWnd;
        Type(d, IDC_APP_ARGUMENTS, L"typed before");
        {
            FileDialogOverride recorder(Record(first, TRUE, chosen));
            Click(d, IDC_APP_BROWSE);
        }
        afterFirst = Read(d);
        {
            FileDialogOverride recorder(Record(second, FALSE));
            Click(d, IDC_APP_BROWSE);
        }
        afterSecond = Read(d);
        Click(d, IDOK);
    }));

    ASSERT_EQ(1, first.calls);
    EXPECT_EQ(L"", first.file);
    EXPECT_TRUE(first.hasInitialFolder);
    EXPECT_EQ(programFiles, first.initialFolder);
    EXPECT_TRUE(Exists(first.initialFolder));
    EXPECT_EQ(0x1004u | OFN_NOCHANGEDIR, first.flags);  // the current folder stays where it is
    EXPECT_EQ(L"exe", first.defaultExtension);
    EXPECT_EQ((std::vector<std::wstring>{L"Programs (*.exe)", L"*.exe", L"All files (*.*)", L"*.*"}), first.filter);
    EXPECT_EQ(chooserWindow, first.owner);
    // The chosen file fills the path; the other fields keep what was typed.
    EXPECT_TRUE(afterFirst == (Fields{chosen, L"typed before", work}));

    ASSERT_EQ(1, second.calls);
    EXPECT_EQ(chosen, second.file);  // starts from the file
    EXPECT_FALSE(second.hasInitialFolder);
    EXPECT_EQ(0x1004u | OFN_NOCHANGEDIR, second.flags);
    EXPECT_TRUE(afterSecond == afterFirst);

    EXPECT_EQ(1, chooser.IsChanged());
    EXPECT_EQ(CString(chosen.c_str()), target.applicationPath);
    EXPECT_EQ(CString(L"typed before"), target.applicationArguments);
}

TEST_F(ApplicationChooser, BrowseNeverHandsTheOpenFileDialogANameItRefuses)
{
    wchar_t programFiles[MAX_PATH] = L"";
    ASSERT_EQ(S_OK, ::SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILES, nullptr, 0, programFiles));
    const std::wstring folder = temp.path();
    const struct
    {
        const char* what;
        std::wstring typed;
        std::wstring file;   // the name the dialog starts from
        std::wstring start;  // its initial folder; empty: none given
    } rows[] = {
        {"a quoted program with a switch", L"\"" + tool + L"\" -x", L"", folder},
        {"a switch after an unquoted program", tool + L" -x", tool + L" -x", L""},
        {"a quoted program in a missing folder", L"\"" + temp.path() + L"Gone\\x.exe\" -x", L"", programFiles},
        {"a bar in the name", L"a|b.exe", L"", programFiles},
        {"a folder with its separator", folder, L"", folder},
        {"a relative folder", L"\"Work\\x.exe\" -y", L"", programFiles},
    };
    for (const auto& row : rows) {
        ROW_TRACE(row.what);
        OpenFileCall call;
        FileDialogOverride recorder(Record(call, FALSE));
        ChooserOn chooser(target);
        EXPECT_EQ(IDCANCEL, chooser.Run([&](CDialog& d) {
            Type(d, IDC_APP_PATH, row.typed);
            Click(d, IDC_APP_BROWSE);
            EXPECT_EQ(row.typed, FieldText(d, IDC_APP_PATH));
            Click(d, IDCANCEL);
        }));
        ASSERT_EQ(1, call.calls) << "the open-file dialog did not open";
        EXPECT_EQ(row.file, call.file);
        EXPECT_EQ(!row.start.empty(), call.hasInitialFolder);
        EXPECT_EQ(row.start, call.initialFolder);
    }
    ExpectTargetUntouched();
}

TEST_F(ApplicationChooser, ABareOrRelativeProgramIsStoredAsTheFileItNamedFromAnyFolder)
{
    // The folder the process runs in goes back, however the test ends, before
    // the temporary folder is removed.
    struct CurrentFolder
    {
        wchar_t path[MAX_PATH] = L"";
        CurrentFolder() { ::GetCurrentDirectoryW(MAX_PATH, path); }
        ~CurrentFolder() { ::SetCurrentDirectoryW(path); }
    } const before;
    ASSERT_NE(L'\0', before.path[0]);
    const std::wstring tempName = temp.folder().substr(temp.folder().rfind(L'\\') + 1);
    const struct
    {
        const char* what;
        std::wstring current;  // the process's folder while the user confirms
        std::wstring typed;
        std::wstring stored;
    } rows[] = {
        {"a bare name", temp.folder(), L"Tool.exe", tool},
        {"a relative name", work, L"..\\Tool.exe", tool},
        {"a relative name through the parent", work, L"..\\..\\" + tempName + L"\\Tool.exe", tool},
        {"a full path is kept as typed", work, temp.path() + L"Work\\..\\Tool.exe",
         temp.path() + L"Work\\..\\Tool.exe"},
    };
    for (const auto& row : rows) {
        ROW_TRACE(row.what);
        ASSERT_TRUE(::SetCurrentDirectoryW(row.current.c_str()));
        ChooserOn chooser(target, true);
        EXPECT_EQ(IDOK, chooser.Run([&](CDialog& d) {
            Type(d, IDC_APP_PATH, row.typed);
            Type(d, IDC_APP_ARGUMENTS, L" as typed ");
            Type(d, IDC_APP_FOLDER, L".");
            Click(d, IDOK);
        }));
        EXPECT_EQ(CString(row.stored.c_str()), target.applicationPath);
        EXPECT_EQ(CString(L" as typed "), target.applicationArguments);
        EXPECT_EQ(CString(L"."), target.applicationFolder);
    }
}

TEST_F(ApplicationChooser, CancellingTheOpenFileDialogKeepsAllThreeFields)
{
    OpenFileCall call;
    FileDialogOverride recorder(Record(call, FALSE));
    const Fields typed{temp.path() + L"half typed", L"  keep me ", L"C:\\somewhere"};
    Fields after;
    ChooserOn chooser(target);
    EXPECT_EQ(IDCANCEL, chooser.Run([&](CDialog& d) {
        Fill(d, typed);
        Click(d, IDC_APP_BROWSE);
        after = Read(d);
        Click(d, IDCANCEL);
    }));
    EXPECT_EQ(1, call.calls);
    EXPECT_EQ(typed.path, call.file);  // what was typed, not the stored path
    EXPECT_TRUE(after == typed);
    ExpectTargetUntouched();
}

TEST_F(ApplicationChooser, ARefusedConfirmationWarnsUnlessTheProgramRunsSilently)
{
    // The warning is a message box on the test's own thread, shown and ended
    // within the confirmation's call: the watch sees it, with its texts, before
    // Click returns, and sees every box the chooser shows while it runs.
    std::vector<bool> open;
    {
        ChooserOn chooser(target);
        DialogWatch boxes([&chooser](HWND box) {
            if (box != chooser.dialog.m_hWnd)
                ::PostMessageW(box, WM_COMMAND, IDOK, 0);  // the user reads the warning and closes it
        });
        HWND chooserWindow = nullptr;
        std::vector<DialogWatch::Box> warnings;
        EXPECT_EQ(IDCANCEL, chooser.Run([&](CDialog& d) {
            chooserWindow = d.m_hWnd;
            Type(d, IDC_APP_PATH, temp.path() + L"Missing.exe");
            Click(d, IDOK);  // returns once the warning was closed
            warnings = boxes.BoxesExcept(chooserWindow);
            open.push_back(StillOpen(d));
            Click(d, IDCANCEL);
        }));
        ASSERT_EQ(1u, warnings.size());
        EXPECT_TRUE(warnings[0].shown);
        EXPECT_EQ(ResourceText(IDS_APP_TITLE), warnings[0].caption);
        EXPECT_EQ(ResourceText(IDS_INVALID_APPLICATION), warnings[0].text);
        EXPECT_FALSE(::IsWindow(warnings[0].window));
        EXPECT_EQ(1u, boxes.BoxesExcept(chooserWindow).size()) << "a box after the warning";
    }
    {
        ChooserOn chooser(target, true);  // a silent run
        DialogWatch boxes([&chooser](HWND box) {
            if (box != chooser.dialog.m_hWnd)
                ::PostMessageW(box, WM_COMMAND, IDOK, 0);
        });
        HWND chooserWindow = nullptr;
        size_t boxesAfterRefusal = 0;
        EXPECT_EQ(IDCANCEL, chooser.Run([&](CDialog& d) {
            chooserWindow = d.m_hWnd;
            Type(d, IDC_APP_FOLDER, tool);
            Click(d, IDOK);
            boxesAfterRefusal = boxes.BoxesExcept(chooserWindow).size();
            open.push_back(StillOpen(d));
            Click(d, IDCANCEL);
        }));
        // Not one box was made on this thread, during the refusal or after it.
        EXPECT_EQ(0u, boxesAfterRefusal);
        EXPECT_EQ(0u, boxes.BoxesExcept(chooserWindow).size());
        ASSERT_EQ(1u, boxes.Boxes().size());
        EXPECT_EQ(chooserWindow, boxes.Boxes()[0].window);  // the watch did see the chooser
    }
    EXPECT_EQ((std::vector<bool>{true, true}), open);
    ExpectTargetUntouched();
}

}  // namespace

TEST_F(ApplicationChooser, KeysReachEveryControlInOrderInEachLanguage)
{
    const struct
    {
        const char* name;
        const wchar_t* file;
        wchar_t program, browse, arguments, folder;
    } languages[] = {
        {"en-US", L"en-US\\TarvixUtility.exe.mui", L'p', L'b', L'a', L'w'},
        {"de-DE", L"de-DE\\TarvixUtility.exe.mui", L'p', L'w', L'a', L'o'},
    };
    for (const auto& language : languages) {
        ROW_TRACE(language.name);
        const unique_hmodule file = OpenLanguageFile(language.file);
        ASSERT_TRUE(file) << "cannot open the language file";
        ScopedLanguageResources resources(file.get());

        struct Row
        {
            UINT key;
            Held held;
            int focus;
        };
        const Row rows[] = {
            {VK_TAB, Held::nothing, IDC_APP_BROWSE},
            {VK_TAB, Held::nothing, IDC_APP_ARGUMENTS},
            {VK_TAB, Held::nothing, IDC_APP_FOLDER},
            {VK_TAB, Held::nothing, IDOK},
            {VK_TAB, Held::nothing, IDCANCEL},
            {VK_TAB, Held::nothing, IDC_APP_PATH},
            {VK_TAB, Held::shift, IDCANCEL},
            {language.arguments, Held::alt, IDC_APP_ARGUMENTS},
            {language.folder, Held::alt, IDC_APP_FOLDER},
            {language.program, Held::alt, IDC_APP_PATH},
            {language.browse, Held::alt, IDC_APP_BROWSE},
        };
        for (UINT end : {VK_RETURN, VK_ESCAPE}) {
            OpenFileCall browsed;
            ChooserOn chooser(target);
            EXPECT_EQ(end == VK_RETURN ? IDOK : IDCANCEL, chooser.Run([&](CDialog& d) {
                EXPECT_EQ(Item(d, IDC_APP_PATH), DialogFocus(d.m_hWnd)) << "first focus";
                FileDialogOverride recorder(Record(browsed, FALSE));
                for (size_t i = 0; i < std::size(rows); ++i) {
                    PressKey(d.m_hWnd, rows[i].key, rows[i].held);
                    EXPECT_EQ(Item(d, rows[i].focus), DialogFocus(d.m_hWnd)) << "row " << i;
                }
                // Enter presses OK and Escape cancels, from a field.
                PressKey(d.m_hWnd, language.folder, Held::alt);
                PressKey(d.m_hWnd, end);
            }));
            EXPECT_EQ(1, browsed.calls) << "the Browse mnemonic opens the open-file dialog once";
            EXPECT_EQ(0, chooser.IsChanged());
        }
    }
    ExpectTargetUntouched();
}
