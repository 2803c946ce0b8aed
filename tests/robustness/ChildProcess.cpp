#include "ChildProcess.h"
#include <tlhelp32.h>
#include <cstdio>
#include <vector>

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
    HANDLE file = CreateFileW(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
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

} // namespace

ChildProcess::ChildProcess(const std::wstring& commandLine, DWORD flags, const wchar_t* folder, bool captureOutput)
{
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    if (captureOutput) {
        outFile_.reset(OutputFile());
        errFile_.reset(OutputFile());
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdOutput = outFile_.get();
        startup.hStdError = errFile_.get();
    }
    PROCESS_INFORMATION info{};
    std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
    line.push_back(L'\0');
    if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, captureOutput ? TRUE : FALSE, flags, nullptr, folder,
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
        WaitForSingleObject(process_.get(), 5000);
    }
}

void ChildProcess::Resume()
{
    if (thread_)
        ResumeThread(thread_.get());
}

DWORD ChildProcess::WaitForExit(DWORD timeoutMs)
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

std::wstring BinPath(const wchar_t* file)
{
    wchar_t path[MAX_PATH * 2] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, ARRAYSIZE(path));
    std::wstring folder(path, length);
    return folder.substr(0, folder.find_last_of(L"\\/") + 1) + file;
}

std::wstring ProgramLine(const wchar_t* program, const std::wstring& arguments)
{
    std::wstring line = L"\"" + BinPath(program) + L"\"";
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

HWND WaitForProcessWindow(ChildProcess& process, const wchar_t* className, const std::wstring& caption,
                          DWORD timeoutMs)
{
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    for (;;) {
        if (HWND found = FindProcessWindow(process.Id(), className, caption))
            return found;
        if (process.WaitForExit(0) != STILL_ACTIVE || GetTickCount64() >= end)
            return nullptr;
        Sleep(50);
    }
}

bool Answers(HWND window, DWORD timeoutMs)
{
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &result) != 0;
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
        if (HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, entry.th32ProcessID))
            processes.emplace_back(process);
    }
    return processes;
}

std::string FileBytes(const std::wstring& path)
{
    unique_handle file(
        CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    std::string bytes;
    if (!file)
        return bytes;
    bytes.resize(GetFileSize(file.get(), nullptr));
    DWORD read = 0;
    if (!ReadFile(file.get(), &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr))
        read = 0;
    bytes.resize(read);
    return bytes;
}

bool WriteFileBytes(const std::wstring& path, const std::string& bytes)
{
    unique_handle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file && WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}
