#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "FileDialog.h"
#include "LanguageModule.h"
#include "support/ModalDriver.h"
#include "TestDialogs.h"
#include "WinApp.h"

namespace {

// The NUL-separated list of a filter, up to its double NUL.
std::vector<std::wstring> FilterParts(const wchar_t* filter)
{
    std::vector<std::wstring> parts;
    for (const wchar_t* part = filter; part != nullptr && *part != L'\0'; part += wcslen(part) + 1)
        parts.emplace_back(part);
    return parts;
}

struct Seen
{
    OPENFILENAMEW ofn{};
    std::wstring file;
    std::vector<std::wstring> filter;
    std::wstring defaultExtension;
    std::wstring initialFolder;
    int calls = 0;
};

FileDialogOverride::Runner Answer(Seen& seen, BOOL chosen, const wchar_t* path)
{
    return [&seen, chosen, path](OPENFILENAMEW& ofn) {
        ++seen.calls;
        seen.ofn = ofn;
        seen.file = ofn.lpstrFile;
        seen.filter = FilterParts(ofn.lpstrFilter);
        seen.defaultExtension = ofn.lpstrDefExt != nullptr ? ofn.lpstrDefExt : L"";
        seen.initialFolder = ofn.lpstrInitialDir != nullptr ? ofn.lpstrInitialDir : L"";
        if (chosen)
            wcscpy_s(ofn.lpstrFile, ofn.nMaxFile, path);
        return chosen;
    };
}

TEST(FileDialogs, TheSystemDialogGetsWhatTheCallerGaveAndTheAnswerComesBack)
{
    ScopedLanguageResources resources{GetCurrentModule()};
    CTestDlg owner;
    ASSERT_TRUE(owner.Create());

    Seen seen;
    FileDialogOverride chooser(Answer(seen, TRUE, L"C:\\Tools\\chosen.exe"));
    CFileDialog dialog(TRUE, L"exe", L"C:\\Old\\program.exe", OFN_HIDEREADONLY | OFN_FILEMUSTEXIST,
                       L"Programs (*.exe)|*.exe|All files (*.*)|*.*||", &owner);
    dialog.SetInitialFolder(L"C:\\Program Files");
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_EQ(CString(L"C:\\Tools\\chosen.exe"), dialog.GetPathName());

    EXPECT_EQ(1, seen.calls);
    EXPECT_EQ(sizeof(OPENFILENAMEW), seen.ofn.lStructSize);
    EXPECT_EQ(0x1004u, seen.ofn.Flags);
    EXPECT_EQ(owner.m_hWnd, seen.ofn.hwndOwner);
    EXPECT_EQ(L"exe", seen.defaultExtension);
    EXPECT_EQ(L"C:\\Old\\program.exe", seen.file);
    EXPECT_GE(seen.ofn.nMaxFile, static_cast<DWORD>(MAX_PATH));
    EXPECT_EQ((std::vector<std::wstring>{L"Programs (*.exe)", L"*.exe", L"All files (*.*)", L"*.*"}), seen.filter);
    EXPECT_EQ(L"C:\\Program Files", seen.initialFolder);
    owner.DestroyWindow();
}

TEST(FileDialogs, CancellingAnswersIdCancelAndWithoutExtrasNothingIsSet)
{
    Seen seen;
    FileDialogOverride chooser(Answer(seen, FALSE, nullptr));
    CWinApp app;
    CTestDlg mainWindow;
    {
        ScopedLanguageResources resources{GetCurrentModule()};
        ASSERT_TRUE(mainWindow.Create());
    }
    app.m_pMainWnd = &mainWindow;

    CFileDialog dialog(TRUE, nullptr, nullptr, OFN_HIDEREADONLY, nullptr);
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
    EXPECT_TRUE(dialog.GetPathName().IsEmpty());
    EXPECT_EQ(mainWindow.m_hWnd, seen.ofn.hwndOwner);  // no parent: the main window owns it
    EXPECT_EQ(nullptr, seen.ofn.lpstrFilter);
    EXPECT_EQ(nullptr, seen.ofn.lpstrDefExt);
    EXPECT_EQ(nullptr, seen.ofn.lpstrInitialDir);
    EXPECT_EQ(L"", seen.file);

    // An empty folder leaves the start to the system.
    CFileDialog withEmptyFolder(TRUE, L"exe", L"a b.exe", 0, L"Text|*.txt|");
    withEmptyFolder.SetInitialFolder(L"");
    withEmptyFolder.DoModal();
    EXPECT_EQ(nullptr, seen.ofn.lpstrInitialDir);
    EXPECT_EQ((std::vector<std::wstring>{L"Text", L"*.txt"}), seen.filter);
    EXPECT_EQ(CString(L"a b.exe"), withEmptyFolder.GetPathName());  // unchanged when cancelled
    mainWindow.DestroyWindow();
}

}  // namespace
