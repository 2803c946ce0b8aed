// TarvixUtility as a process given what nobody should give it: empty, huge
// and odd command lines, missing or broken language resources, a storm of
// shutdown requests, and two copies started at the same moment.
#include <gtest/gtest.h>
#include "support/RowTrace.h"
#include <memory>
#include <string>
#include <vector>
#include "support/ChildProcess.h"
#include "ComTestSupport.h"
#include "CString.h"
#include "support/RegistryFixtures.h"
#include "support/TempFolder.h"
#include "support/TestPaths.h"
#include "StandIns.h"
#include "StoredState.h"
#include "TarvixUtilityApp.h"
#include "tarvix/resource.h"

namespace {

const DWORD timeout = 30000;
const wchar_t program[] = L"TarvixUtility.exe";

std::wstring Loaded(UINT id)
{
    CString text;
    text.LoadString(id);
    return std::wstring(text.GetString());
}

BOOL CALLBACK FirstLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR found)
{
    *reinterpret_cast<LANGID*>(found) = language;
    return FALSE;
}

// Gives string `id` of a language resource file another text, as a
// translation would; false when the file could not be changed.
bool ReplaceString(const std::wstring& file, UINT id, const std::wstring& text)
{
    // Strings are kept in blocks of sixteen, each a length and that many characters.
    const LPCWSTR block = MAKEINTRESOURCEW(id / 16 + 1);
    LANGID language = 0;
    std::vector<WORD> strings;
    {
        unique_hmodule module(
            LoadLibraryExW(file.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
        if (!module)
            return false;
        EnumResourceLanguagesW(module.get(), RT_STRING, block, FirstLanguage, reinterpret_cast<LONG_PTR>(&language));
        HRSRC found = FindResourceExW(module.get(), RT_STRING, block, language);
        HGLOBAL loaded = found != nullptr ? LoadResource(module.get(), found) : nullptr;
        const auto* words = loaded != nullptr ? static_cast<const WORD*>(LockResource(loaded)) : nullptr;
        if (words == nullptr)
            return false;
        const WORD* const end = words + SizeofResource(module.get(), found) / sizeof(WORD);
        for (UINT i = 0; i < 16; ++i) {
            if (words >= end || words + 1 + *words > end)
                return false;
            const WORD length = *words++;
            if (i == id % 16) {
                strings.push_back(static_cast<WORD>(text.size()));
                strings.insert(strings.end(), text.begin(), text.end());
            } else {
                strings.push_back(length);
                strings.insert(strings.end(), words, words + length);
            }
            words += length;
        }
    }
    HANDLE update = BeginUpdateResourceW(file.c_str(), FALSE);
    if (update == nullptr)
        return false;
    const bool replaced = UpdateResourceW(update, RT_STRING, block, language, strings.data(),
                                          static_cast<DWORD>(strings.size() * sizeof(WORD))) != FALSE;
    return EndUpdateResourceW(update, !replaced) != FALSE && replaced;
}

class TarvixInput : public testing::Test
{
protected:
    HWND WaitForMainDialog(ChildProcess& process, DWORD timeoutMs = timeout)
    {
        return WaitForMainDialogCaptioned(process, title, timeoutMs);
    }
    HWND WaitForMainDialogCaptioned(ChildProcess& process, const std::wstring& caption, DWORD timeoutMs = timeout)
    {
        const ULONGLONG end = GetTickCount64() + timeoutMs;
        for (;;) {
            HWND window = FindProcessWindow(process.Id(), dialogClass, caption);
            if (window != nullptr && GetDlgItem(window, IDC_PRESET_LIST) != nullptr)
                return window;
            if (process.WaitForExit(0) != STILL_ACTIVE || GetTickCount64() >= end)
                return nullptr;
            Sleep(50);
        }
    }

    // A shutdown request as a logoff tool sends it.
    static void Halt()
    {
        ChildProcess halt(ProgramLine(program, L"/Halt"));
        ASSERT_TRUE(halt.Started());
        EXPECT_EQ(DescribeExit(0), DescribeExit(halt.WaitForExit(timeout)));
    }

    NoCrashDialog noCrashDialog;
    OwnDeviceState device;
    StoredSettings settings;  // normal runs write the dialog's values; they are put back
    const std::wstring title = Loaded(IDS_APP_TITLE);
};

enum class Outcome
{
    Dialog,          // a normal run: the main dialog
    Silent,          // defaults applied, no window, status 0
    SilentOrDialog,  // a number the runtime reads as it likes; either is sound
    Halt,            // a shutdown request: no window, status 0
};

struct CommandLineCase
{
    const char* what;
    std::wstring arguments;
    Outcome outcome;
};

// Arguments that make the whole command line exactly `length` characters long.
std::wstring Filled(const std::wstring& start, wchar_t fill, size_t length)
{
    const size_t used = ProgramLine(program).size() + 1 + start.size();
    return start + std::wstring(length > used ? length - used : 0, fill);
}

TEST_F(TarvixInput, EmptyHugeAndOddCommandLinesEndProperly)
{
    const size_t huge = 32000;
    const CommandLineCase cases[] = {
        {"empty", L"", Outcome::Dialog},
        {"32000 letters", Filled(L"", L'x', huge), Outcome::Dialog},
        {"32000 blanks and a switch at the end", Filled(L"x", L' ', huge - 8) + L"/miseban", Outcome::Dialog},
        {"silent with 32000 characters of junk", Filled(L"/miseban", L'\x2603', huge), Outcome::Silent},
        {"silent with a number and 32000 characters", Filled(L"/miseban 3", L'z', huge), Outcome::Dialog},
        {"silent with a 32000-digit number", Filled(L"/miseban ", L'9', huge), Outcome::SilentOrDialog},
        {"halt with 32000 characters", Filled(L"/Halt", L'H', huge), Outcome::Halt},
        {"unpaired surrogates, marks and controls",
         L"\xD800\xDC00\xDFFF\xD800 \x202E\x200F\x200E\xFEFF\x0301\x0007\x001B\x007F\x0085\x2028\xFFFF\xFFFE",
         Outcome::Dialog},
        {"a right-to-left override before the switch", L"\x202E/miseban", Outcome::Dialog},
        {"a lone surrogate as the skipped character",
         L"/miseban\xDBFF"
         L"2",
         Outcome::Dialog},
        {"a control character as the skipped character", L"/miseban\x0001", Outcome::Silent},
        {"switch followed by a lone surrogate", L"/miseban\xDC00\xD800\xDC00", Outcome::Silent},
        {"halt followed by controls and surrogates", L"/Halt\x0007\xD800\x202E", Outcome::Halt},
        {"quotes that never close", L"\"\"\"/miseban \"", Outcome::Dialog},
        {"percent signs and format codes", L"%s%s%s%n%n%x %1!s! {0}", Outcome::Dialog},
    };
    for (const CommandLineCase& test : cases) {
        ROW_TRACE(test.what);
        const std::wstring line = ProgramLine(program, test.arguments);
        ASSERT_LT(line.size(), 32767u);
        ChildProcess run(line);
        ASSERT_TRUE(run.Started()) << GetLastError();

        HWND dialog = nullptr;
        if (test.outcome != Outcome::Silent && test.outcome != Outcome::Halt)
            dialog = WaitForMainDialog(run);
        if (test.outcome == Outcome::Dialog) {
            EXPECT_NE(nullptr, dialog) << "no dialog; the program ended with " << DescribeExit(run.WaitForExit(0));
        }
        if (dialog != nullptr) {
            EXPECT_TRUE(Answers(dialog));
            PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_CANCEL, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_CANCEL)));
        }
        EXPECT_EQ(DescribeExit(0), DescribeExit(run.WaitForExit(timeout)));
        if (test.outcome == Outcome::Silent) {
            EXPECT_EQ(58u, device.Number(1, L"AssignedFunction", 0));
            EXPECT_EQ(59u, device.Number(2, L"AssignedFunction", 0));
        }
    }
}

TEST_F(TarvixInput, TenHaltsInARowWithAndWithoutARunningCopy)
{
    // None running: every request ends at once.
    {
        std::vector<std::unique_ptr<ChildProcess>> halts;
        for (int i = 0; i < 10; ++i)
            halts.push_back(std::make_unique<ChildProcess>(ProgramLine(program, L"/Halt")));
        for (auto& halt : halts)
            EXPECT_EQ(DescribeExit(0), DescribeExit(halt->WaitForExit(timeout)));
    }

    // A copy with a change not applied yet: it applies once and closes; the requests end.
    ChildProcess first(ProgramLine(program));
    HWND dialog = WaitForMainDialog(first);
    ASSERT_NE(nullptr, dialog) << DescribeExit(first.WaitForExit(0));
    HWND list = GetDlgItem(dialog, IDC_BUTTON0_FUNCTIONS);
    const LRESULT zoomIn = SendMessageW(list, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                        reinterpret_cast<LPARAM>(L"Zoom in"));
    ASSERT_GE(zoomIn, 0);
    SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(zoomIn), 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_BUTTON0_FUNCTIONS, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
    {
        std::vector<std::unique_ptr<ChildProcess>> halts;
        for (int i = 0; i < 10; ++i)
            halts.push_back(std::make_unique<ChildProcess>(ProgramLine(program, L"/Halt")));
        for (auto& halt : halts)
            EXPECT_EQ(DescribeExit(0), DescribeExit(halt->WaitForExit(timeout)));
    }
    EXPECT_EQ(DescribeExit(0), DescribeExit(first.WaitForExit(timeout)));
    EXPECT_EQ(57u, device.Number(1, L"AssignedFunction", 0));

    // Once every request has ended, a new copy runs: nothing of the storm is left over.
    ChildProcess next(ProgramLine(program));
    HWND again = WaitForMainDialog(next);
    ASSERT_NE(nullptr, again) << DescribeExit(next.WaitForExit(0));
    EXPECT_EQ(DescribeExit(STILL_ACTIVE), DescribeExit(next.WaitForExit(1000)));
    EXPECT_EQ(57u, device.Number(1, L"AssignedFunction", 0));
    Halt();
    EXPECT_EQ(DescribeExit(0), DescribeExit(next.WaitForExit(timeout)));
}

TEST_F(TarvixInput, TwoCopiesStartedAtTheSameMomentShowOneDialog)
{
    for (int round = 0; round < 3; ++round) {
        ROW_TRACE("round " + std::to_string(round));
        ChildProcess a(ProgramLine(program), CREATE_SUSPENDED);
        ChildProcess b(ProgramLine(program), CREATE_SUSPENDED);
        ASSERT_TRUE(a.Started());
        ASSERT_TRUE(b.Started());
        a.Resume();
        b.Resume();

        // One of them ends by itself, the other shows the dialog.
        DWORD codeA = STILL_ACTIVE;
        DWORD codeB = STILL_ACTIVE;
        const ULONGLONG end = GetTickCount64() + timeout;
        while (codeA == STILL_ACTIVE && codeB == STILL_ACTIVE && GetTickCount64() < end) {
            codeA = a.WaitForExit(0);
            codeB = b.WaitForExit(0);
            Sleep(20);
        }
        ASSERT_TRUE(codeA == STILL_ACTIVE || codeB == STILL_ACTIVE) << "both ended";
        ASSERT_FALSE(codeA == STILL_ACTIVE && codeB == STILL_ACTIVE) << "neither ended";
        ChildProcess& running = codeA == STILL_ACTIVE ? a : b;
        EXPECT_EQ(DescribeExit(0), DescribeExit(codeA == STILL_ACTIVE ? codeB : codeA));
        HWND dialog = WaitForMainDialog(running);
        ASSERT_NE(nullptr, dialog) << DescribeExit(running.WaitForExit(0));
        EXPECT_EQ(nullptr, FindProcessWindow(codeA == STILL_ACTIVE ? b.Id() : a.Id(), dialogClass, title));
        Halt();
        EXPECT_EQ(DescribeExit(0), DescribeExit(running.WaitForExit(timeout)));
    }
}

// TarvixUtility copied into a folder of its own, with whatever language
// resource the case puts beside it.
class ProgramCopy
{
public:
    ProgramCopy() : folder_(L"tarvix-language")
    {
        copied_ = CopyFileW(BinFile(program).c_str(), (folder_.path() + program).c_str(), FALSE) != FALSE;
        CreateDirectoryW((folder_.path() + L"en-US").c_str(), nullptr);
    }
    bool ok() const { return copied_; }
    std::wstring Line(const std::wstring& arguments) const
    {
        std::wstring line = L"\"" + folder_.path() + program + L"\"";
        return arguments.empty() ? line : line + L" " + arguments;
    }
    std::wstring LanguagePath() const { return folder_.path() + L"en-US\\TarvixUtility.exe.mui"; }
    void RemoveLanguage() const { DeleteFileW(LanguagePath().c_str()); }
    bool WriteLanguage(const std::string& bytes) const { return WriteFileBytes(LanguagePath(), bytes); }

private:
    ScopedTempFolder folder_;
    bool copied_ = false;
};

TEST_F(TarvixInput, MissingOrBrokenLanguageResourcesGiveAClearMessageAndAFailureStatus)
{
    ProgramCopy copy;
    ASSERT_TRUE(copy.ok());
    const std::string real = FileBytes(BinFile(L"en-US\\TarvixUtility.exe.mui"));
    ASSERT_GT(real.size(), 4096u);
    const struct
    {
        const char* what;
        bool present;
        std::string bytes;
    } cases[] = {
        {"missing", false, ""},
        {"empty", true, ""},
        {"text", true, std::string(5000, 'x')},
        {"a header and nothing else", true, real.substr(0, 64)},
        {"cut after the headers", true, real.substr(0, 1024)},
        {"cut in half", true, real.substr(0, real.size() / 2)},
        {"another program's resources", true, FileBytes(BinFile(L"en-US\\Peryl.dll.mui"))},
    };
    for (const auto& test : cases) {
        ROW_TRACE(test.what);
        if (test.present)
            ASSERT_TRUE(copy.WriteLanguage(test.bytes));
        else
            copy.RemoveLanguage();

        // Normal start: one message in English, then the end with a failure status.
        ChildProcess run(copy.Line(L""));
        HWND box = run.WaitForWindow(dialogClass, L"TarvixUtility", timeout);
        ASSERT_NE(nullptr, box) << "no message; the program ended with " << DescribeExit(run.WaitForExit(0));
        EXPECT_NE(std::wstring::npos, WindowText(GetDlgItem(box, 0xFFFF)).find(L"language resources"))
            << Narrow(WindowText(GetDlgItem(box, 0xFFFF)));
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        EXPECT_EQ(DescribeExit(CTarvixUtilityApp::ExitNoLanguage), DescribeExit(run.WaitForExit(timeout)));

        // Silent run: no message stands in the way, and nothing reaches the device.
        ChildProcess silent(copy.Line(L"/miseban"));
        EXPECT_EQ(DescribeExit(CTarvixUtilityApp::ExitNoLanguage), DescribeExit(silent.WaitForExit(timeout)));
        EXPECT_EQ(0xFFFFu, device.Number(1, L"AssignedFunction", 0xFFFF));

        // A shutdown request needs no texts: it still reaches the running copy.
        ChildProcess running(ProgramLine(program));
        ASSERT_NE(nullptr, WaitForMainDialog(running)) << DescribeExit(running.WaitForExit(0));
        ChildProcess halt(copy.Line(L"/Halt"));
        EXPECT_EQ(DescribeExit(0), DescribeExit(halt.WaitForExit(timeout)));
        EXPECT_EQ(DescribeExit(0), DescribeExit(running.WaitForExit(timeout)));
        // What the running copy applied is not the next case's silent run's doing.
        RegDeleteTreeW(HKEY_CURRENT_USER, (device.Key() + L"\\Button1").c_str());
    }
    // The real resource in the same place: the copy works.
    ASSERT_TRUE(copy.WriteLanguage(real));
    ChildProcess run(copy.Line(L""));
    HWND dialog = WaitForMainDialog(run);
    ASSERT_NE(nullptr, dialog) << DescribeExit(run.WaitForExit(0));
    Halt();
    EXPECT_EQ(DescribeExit(0), DescribeExit(run.WaitForExit(timeout)));
}

TEST_F(TarvixInput, ATranslatedTitleCaptionsTheMainDialog)
{
    // A translation may word the title (text 6067) unlike the template's caption.
    // A second copy looks for the running one's dialog by the title.
    ProgramCopy copy;
    ASSERT_TRUE(copy.ok());
    const std::wstring retitled = L"Tarvix Button Utility, translated by a test";
    ASSERT_TRUE(copy.WriteLanguage(FileBytes(BinFile(L"en-US\\TarvixUtility.exe.mui"))));
    ASSERT_TRUE(ReplaceString(copy.LanguagePath(), IDS_APP_TITLE, retitled));

    ChildProcess run(copy.Line(L""));
    HWND dialog = WaitForMainDialogCaptioned(run, retitled);
    EXPECT_NE(nullptr, dialog) << "no dialog captioned with the translated title within " << timeout / 1000
                               << " s; the program's state: " << DescribeExit(run.WaitForExit(0));
    Halt();
    EXPECT_EQ(DescribeExit(0), DescribeExit(run.WaitForExit(timeout)));
}

}  // namespace
