#include "support/ChildProcess.h"
#include <tlhelp32.h>
#include <algorithm>
#include <cstdio>
#include "support/TestPaths.h"

namespace {

const wchar_t wineDbgKey[] = L"Software\\Wine\\WineDbg";
const wchar_t crashDialogValue[] = L"ShowCrashDialog";

// A temporary file the child writes to and this process reads afterwards; it
// goes when the last handle does.
HANDLE OutputFile()
{
    wchar_t folder[MAX_PATH] = {};
    wchar_t path[MAX_PATH] = {};
    if (GetTempPathW(MAX_PATH, folder) == 0 || GetTempFileNameW(folder, L"out", 0, path) == 0)
        return nullptr;
    SECURITY_ATTRIBUTES inherit{};
    inherit.nLength = sizeof(inherit);
    inherit.bInheritHandle = TRUE;
    HANDLE file = CreateFileW(path, GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &inherit, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    return file == INVALID_HANDLE_VALUE ? nullptr : file;
}

std::string ReadAll(HANDLE file)
{
    std::string text;
    if (file == nullptr)
        return text;
    SetFilePointer(file, 0, nullptr, FILE_BEGIN);
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0)
        text.append(buffer, read);
    return text;
}

// One end of the program's standard output or error: a pipe this process reads
// with overlapped I/O, so that every wait for it has a limit. Wine hands a
// program's standard handles on to what it starts (a COM server, say), so the
// pipe may stay open after the program has ended.
class OutputPipe
{
public:
    explicit OutputPipe(std::string& text) : text_(text)
    {
        static LONG serial = 0;
        const std::wstring name = L"\\\\.\\pipe\\peryl-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                                  std::to_wstring(InterlockedIncrement(&serial));
        HANDLE read = CreateNamedPipeW(name.c_str(),
                                       PIPE_ACCESS_INBOUND | FILE_FLAG_OVERLAPPED | FILE_FLAG_FIRST_PIPE_INSTANCE,
                                       PIPE_TYPE_BYTE | PIPE_WAIT, 1, 0, 65536, 0, nullptr);
        if (read == INVALID_HANDLE_VALUE)
            return;
        read_.reset(read);
        SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
        HANDLE write = CreateFileW(name.c_str(), GENERIC_WRITE, 0, &inherit, OPEN_EXISTING, 0, nullptr);
        if (write != INVALID_HANDLE_VALUE)
            write_.reset(write);
        event_.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
        overlapped_.hEvent = event_.get();
    }
    ~OutputPipe()
    {
        if (pending_) {
            CancelIo(read_.get());
            DWORD ignored = 0;
            (void)GetOverlappedResult(read_.get(), &overlapped_, &ignored, TRUE);
        }
    }
    OutputPipe(const OutputPipe&) = delete;
    OutputPipe& operator=(const OutputPipe&) = delete;

    bool ok() const { return read_ && write_ && event_; }
    HANDLE WriteEnd() const { return write_.get(); }
    // Once the program has its copy.
    void CloseWriteEnd() { write_.reset(); }
    bool Open() const { return open_; }
    HANDLE Event() const { return event_.get(); }

    // Reads what has come; a read that has to wait stays pending on Event().
    void Read()
    {
        while (open_) {
            DWORD got = 0;
            if (pending_) {
                if (!GetOverlappedResult(read_.get(), &overlapped_, &got, FALSE)) {
                    if (GetLastError() == ERROR_IO_INCOMPLETE)
                        return;
                    open_ = false;  // the last writer has gone
                }
                pending_ = false;
            } else {
                ResetEvent(event_.get());
                if (!ReadFile(read_.get(), buffer_, sizeof(buffer_), &got, &overlapped_)) {
                    if (GetLastError() == ERROR_IO_PENDING) {
                        pending_ = true;
                        continue;
                    }
                    open_ = false;
                }
            }
            text_.append(buffer_, got);
        }
    }

private:
    std::string& text_;
    unique_handle read_;
    unique_handle write_;
    unique_handle event_;
    OVERLAPPED overlapped_ = {};
    char buffer_[4096];
    bool pending_ = false;
    bool open_ = true;
};

struct WindowSearch
{
    DWORD pid;
    const wchar_t* className;
    const std::wstring* caption;
    int withControl;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM parameter)
{
    auto* search = reinterpret_cast<WindowSearch*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->pid || !IsWindowVisible(window))
        return TRUE;
    if (search->className != nullptr) {
        wchar_t className[64] = L"";
        GetClassNameW(window, className, ARRAYSIZE(className));
        if (lstrcmpW(className, search->className) != 0)
            return TRUE;
    }
    if (!search->caption->empty() && WindowText(window) != *search->caption)
        return TRUE;
    if (search->withControl != 0 && GetDlgItem(window, search->withControl) == nullptr)
        return TRUE;
    search->found = window;
    return FALSE;
}

}  // namespace

ChildProcess::ChildProcess(const std::wstring& commandLine, DWORD flags, const wchar_t* folder, bool captureOutput)
{
    if (captureOutput) {
        outFile_.reset(OutputFile());
        errFile_.reset(OutputFile());
    }
    Start(commandLine, flags, folder, outFile_.get(), errFile_.get());
}

ChildProcess::ChildProcess(const std::wstring& commandLine, HANDLE output, HANDLE errors)
{
    Start(commandLine, 0, nullptr, output, errors);
}

void ChildProcess::Start(const std::wstring& commandLine, DWORD flags, const wchar_t* folder, HANDLE output,
                         HANDLE errors)
{
    const bool redirected = output != nullptr || errors != nullptr;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    if (redirected) {
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdOutput = output;
        startup.hStdError = errors;
    }
    PROCESS_INFORMATION info{};
    std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
    line.push_back(L'\0');
    if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, redirected ? TRUE : FALSE, flags, nullptr, folder,
                       &startup, &info)) {
        process_.reset(info.hProcess);
        thread_.reset(info.hThread);
        id_ = info.dwProcessId;
    } else {
        startError_ = GetLastError();
    }
}

ChildProcess::~ChildProcess()
{
    if (process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) {
        TerminateProcess(process_.get(), 97);
        WaitForSingleObject(process_.get(), 15000);
    }
}

void ChildProcess::Resume()
{
    if (thread_)
        ResumeThread(thread_.get());
}

DWORD ChildProcess::WaitForExit(DWORD timeoutMs) const
{
    DWORD code = STILL_ACTIVE;
    if (process_ && WaitForSingleObject(process_.get(), timeoutMs) == WAIT_OBJECT_0)
        GetExitCodeProcess(process_.get(), &code);
    return code;
}

std::string ChildProcess::Output() const
{
    return ReadAll(outFile_.get());
}

std::string ChildProcess::Errors() const
{
    return ReadAll(errFile_.get());
}

HWND ChildProcess::WaitForWindow(const wchar_t* className, const std::wstring& caption, DWORD timeoutMs,
                                 int withControl) const
{
    // Nothing announces a window to another process: it is looked for again
    // every 50 ms, each pause a wait for the program's end.
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    for (;;) {
        if (HWND found = FindProcessWindow(id_, className, caption, withControl))
            return found;
        const ULONGLONG now = GetTickCount64();
        if (!process_ || now >= end)
            return nullptr;
        if (WaitForSingleObject(process_.get(), static_cast<DWORD>(std::min<ULONGLONG>(end - now, 50))) !=
            WAIT_TIMEOUT)
            return nullptr;
    }
}

ProcessResult RunProcess(const std::wstring& commandLine, DWORD timeoutMs)
{
    ProcessResult result;
    OutputPipe out(result.out);
    OutputPipe err(result.err);
    if (!out.ok() || !err.ok())
        return result;
    ChildProcess program(commandLine, out.WriteEnd(), err.WriteEnd());
    out.CloseWriteEnd();
    err.CloseWriteEnd();
    result.started = program.Started();
    if (!result.started)
        return result;

    // Until the program has ended and both pipes are closed, or the time is up.
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    out.Read();
    err.Read();
    for (;;) {
        HANDLE waits[3];
        DWORD count = 0;
        if (!result.finished)
            waits[count++] = program.Handle();
        if (out.Open())
            waits[count++] = out.Event();
        if (err.Open())
            waits[count++] = err.Event();
        if (count == 0)
            break;
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline)
            break;
        const DWORD waited = WaitForMultipleObjects(count, waits, FALSE, static_cast<DWORD>(deadline - now));
        if (waited == WAIT_TIMEOUT || waited == WAIT_FAILED)
            break;
        if (!result.finished && program.WaitForExit(0) != STILL_ACTIVE)
            result.finished = true;
        out.Read();
        err.Read();
    }
    if (result.finished && (out.Open() || err.Open()))
        result.err += "\n[RunProcess: the program ended, but a process it started still held its output open "
                      "when the time ran out]\n";
    if (!result.finished) {
        TerminateProcess(program.Handle(), 99);
        program.WaitForExit(5000);
    }
    GetExitCodeProcess(program.Handle(), &result.exitCode);
    return result;
}

HWND FindProcessWindow(DWORD pid, const wchar_t* className, const std::wstring& caption, int withControl)
{
    WindowSearch search{pid, className, &caption, withControl, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring WindowText(HWND window)
{
    wchar_t text[1024] = L"";
    GetWindowTextW(window, text, ARRAYSIZE(text));
    return text;
}

bool Answers(HWND window, DWORD timeoutMs)
{
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &result) != 0;
}

std::wstring Quoted(const std::wstring& path)
{
    return L"\"" + path + L"\"";
}

std::wstring ProgramLine(const wchar_t* program, const std::wstring& arguments)
{
    std::wstring line = Quoted(BinFile(program));
    if (!arguments.empty())
        line += L" " + arguments;
    return line;
}

bool IsCrashCode(DWORD code)
{
    // Error and warning statuses of an exception (access violation, stack
    // overflow, breakpoint, C++ exceptions that nobody caught).
    return code != STILL_ACTIVE && (code & 0xC0000000u) != 0;
}

std::string DescribeExit(DWORD code)
{
    if (code == STILL_ACTIVE)
        return "still running (a hang)";
    char text[48];
    std::snprintf(text, sizeof(text), "0x%08lX%s", static_cast<unsigned long>(code),
                  IsCrashCode(code) ? " (a crash)" : "");
    return text;
}

std::vector<unique_handle> OpenProcesses(const wchar_t* exeName)
{
    std::vector<unique_handle> processes;
    unique_handle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot || snapshot.get() == INVALID_HANDLE_VALUE)
        return processes;
    PROCESSENTRY32W entry;
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry)) {
        if (_wcsicmp(entry.szExeFile, exeName) != 0)
            continue;
        unique_handle process(OpenProcess(SYNCHRONIZE, FALSE, entry.th32ProcessID));
        if (process && WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT)
            processes.push_back(std::move(process));
    }
    return processes;
}

bool IsProcessRunning(const wchar_t* exeName)
{
    return !OpenProcesses(exeName).empty();
}

bool WaitUntilNotRunning(const wchar_t* exeName, DWORD timeoutMs)
{
    // Waits on the processes themselves; one started meanwhile is waited for too.
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    for (;;) {
        std::vector<unique_handle> running = OpenProcesses(exeName);
        if (running.empty())
            return true;
        const ULONGLONG now = GetTickCount64();
        if (now >= end)
            return false;
        for (const unique_handle& process : running)
            if (WaitForSingleObject(process.get(), static_cast<DWORD>(end - std::min(end, GetTickCount64()))) !=
                WAIT_OBJECT_0)
                return false;
    }
}

NoCrashDialog::NoCrashDialog()
{
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, wineDbgKey, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return;
    DWORD type = 0;
    DWORD size = sizeof(oldValue_);
    hadValue_ = RegQueryValueExW(key, crashDialogValue, nullptr, &type, reinterpret_cast<BYTE*>(&oldValue_), &size) ==
                    ERROR_SUCCESS &&
                type == REG_DWORD;
    const DWORD off = 0;
    RegSetValueExW(key, crashDialogValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&off), sizeof(off));
    RegCloseKey(key);
}

NoCrashDialog::~NoCrashDialog()
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, wineDbgKey, 0, KEY_WRITE, &key) != ERROR_SUCCESS)
        return;
    if (hadValue_)
        RegSetValueExW(key, crashDialogValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&oldValue_),
                       sizeof(oldValue_));
    else
        RegDeleteValueW(key, crashDialogValue);
    RegCloseKey(key);
}
