#include "ProcessRun.h"
#include "support/ProcessWindows.h"
#include <string>
#include <vector>

namespace {

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
        read_ = CreateNamedPipeW(name.c_str(), PIPE_ACCESS_INBOUND | FILE_FLAG_OVERLAPPED | FILE_FLAG_FIRST_PIPE_INSTANCE,
                                 PIPE_TYPE_BYTE | PIPE_WAIT, 1, 0, 65536, 0, nullptr);
        if (read_ == INVALID_HANDLE_VALUE) {
            read_ = nullptr;
            return;
        }
        SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
        write_ = CreateFileW(name.c_str(), GENERIC_WRITE, 0, &inherit, OPEN_EXISTING, 0, nullptr);
        if (write_ == INVALID_HANDLE_VALUE)
            write_ = nullptr;
        overlapped_.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    }
    ~OutputPipe()
    {
        if (pending_) {
            CancelIo(read_);
            DWORD ignored = 0;
            (void)GetOverlappedResult(read_, &overlapped_, &ignored, TRUE);
        }
        CloseWriteEnd();
        if (read_ != nullptr)
            CloseHandle(read_);
        if (overlapped_.hEvent != nullptr)
            CloseHandle(overlapped_.hEvent);
    }
    OutputPipe(const OutputPipe&) = delete;
    OutputPipe& operator=(const OutputPipe&) = delete;

    bool ok() const { return read_ != nullptr && write_ != nullptr && overlapped_.hEvent != nullptr; }
    HANDLE WriteEnd() const { return write_; }
    // Once the program has its copy.
    void CloseWriteEnd()
    {
        if (write_ != nullptr)
            CloseHandle(write_);
        write_ = nullptr;
    }
    bool Open() const { return open_; }
    HANDLE Event() const { return overlapped_.hEvent; }

    // Reads what has come; a read that has to wait stays pending on Event().
    void Read()
    {
        while (open_) {
            DWORD got = 0;
            if (pending_) {
                if (!GetOverlappedResult(read_, &overlapped_, &got, FALSE)) {
                    if (GetLastError() == ERROR_IO_INCOMPLETE)
                        return;
                    open_ = false;  // the last writer has gone
                }
                pending_ = false;
            } else {
                ResetEvent(overlapped_.hEvent);
                if (!ReadFile(read_, buffer_, sizeof(buffer_), &got, &overlapped_)) {
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
    HANDLE read_ = nullptr;
    HANDLE write_ = nullptr;
    OVERLAPPED overlapped_ = {};
    char buffer_[4096];
    bool pending_ = false;
    bool open_ = true;
};

} // namespace

ProcessResult RunProcess(const std::wstring& commandLine, DWORD timeoutMs)
{
    ProcessResult result;
    OutputPipe out(result.out);
    OutputPipe err(result.err);
    if (!out.ok() || !err.ok())
        return result;

    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = out.WriteEnd();
    startup.hStdError = err.WriteEnd();
    PROCESS_INFORMATION info = {};
    std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
    line.push_back(L'\0');
    result.started = CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                    &startup, &info) != FALSE;
    out.CloseWriteEnd();
    err.CloseWriteEnd();
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
            waits[count++] = info.hProcess;
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
        if (!result.finished && WaitForSingleObject(info.hProcess, 0) == WAIT_OBJECT_0)
            result.finished = true;
        out.Read();
        err.Read();
    }
    if (!result.finished) {
        TerminateProcess(info.hProcess, 99);
        WaitForSingleObject(info.hProcess, 5000);
    } else if (out.Open() || err.Open()) {
        result.err += "\n[RunProcess: the program ended, but a process it started still held its output open "
                      "when the time ran out]\n";
    }
    GetExitCodeProcess(info.hProcess, &result.exitCode);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return result;
}

RunningProcess::RunningProcess(const std::wstring& commandLine)
{
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
    line.push_back(L'\0');
    if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
        process_ = info.hProcess;
        id_ = info.dwProcessId;
        CloseHandle(info.hThread);
    }
}

RunningProcess::~RunningProcess()
{
    if (process_ == nullptr)
        return;
    if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
        TerminateProcess(process_, 98);
        WaitForSingleObject(process_, 5000);
    }
    CloseHandle(process_);
}

HWND RunningProcess::WaitForWindow(const wchar_t* className, DWORD timeoutMs) const
{
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    do {
        if (HWND found = FindProcessWindow(id_, className))
            return found;
        if (WaitForSingleObject(process_, 50) == WAIT_OBJECT_0)
            return nullptr;
    } while (GetTickCount64() < end);
    return nullptr;
}

DWORD RunningProcess::Wait(DWORD timeoutMs)
{
    if (WaitForSingleObject(process_, timeoutMs) != WAIT_OBJECT_0)
        return STILL_ACTIVE;
    DWORD code = 0;
    GetExitCodeProcess(process_, &code);
    return code;
}
