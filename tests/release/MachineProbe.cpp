#include "MachineProbe.h"
#include <shlobj.h>
#include <shobjidl.h>
#include <vector>
#include "Handles.h"
#include "support/ChildProcess.h"

bool ReadRegString(HKEY root, const std::wstring& path, const wchar_t* name, REGSAM view, std::wstring& value)
{
    unique_hkey key;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_QUERY_VALUE | view, key.put()) != ERROR_SUCCESS)
        return false;
    DWORD type = 0, bytes = 0;
    if (RegQueryValueExW(key.get(), name, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return false;
    std::vector<wchar_t> text(bytes / sizeof(wchar_t) + 1, L'\0');
    if (RegQueryValueExW(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &bytes) !=
        ERROR_SUCCESS)
        return false;
    value.assign(text.data());
    return true;
}

std::wstring RegStringOrMissing(HKEY root, const std::wstring& path, const wchar_t* name, REGSAM view)
{
    std::wstring value;
    return ReadRegString(root, path, name, view, value) ? value : L"<missing>";
}

bool RegValueExists(HKEY root, const std::wstring& path, const wchar_t* name, REGSAM view)
{
    unique_hkey key;
    return RegOpenKeyExW(root, path.c_str(), 0, KEY_QUERY_VALUE | view, key.put()) == ERROR_SUCCESS &&
           RegQueryValueExW(key.get(), name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

std::wstring ShellFolder(int csidl)
{
    wchar_t path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path)))
        return std::wstring();
    return path;
}

std::wstring ShortcutTarget(const std::wstring& link)
{
    const HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    std::wstring target;
    {
        com_ptr<IShellLinkW> shellLink;
        com_ptr<IPersistFile> file;
        wchar_t path[MAX_PATH] = {};
        if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                       shellLink.put_void())) &&
            SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, file.put_void())) &&
            SUCCEEDED(file->Load(link.c_str(), STGM_READ)) &&
            SUCCEEDED(shellLink->GetPath(path, MAX_PATH, nullptr, SLGP_RAWPATH)))
            target = path;
    }
    if (SUCCEEDED(init))
        CoUninitialize();
    return target;
}

void StartDesktopProcess()
{
    (void)GetDesktopWindow();
}

TreeRun RunProcessTree(const std::wstring& commandLine, DWORD timeoutMs)
{
    TreeRun run;
    StartDesktopProcess();  // not inside the job, where it would never end
    unique_handle job(CreateJobObjectW(nullptr, nullptr));
    if (!job)
        return run;
    // Whatever is left when the job is closed (after a time-out) ends with it.
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    (void)SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &limits, sizeof(limits));

    ChildProcess program(commandLine, CREATE_SUSPENDED);
    if (!program.Started())
        return run;
    if (!AssignProcessToJobObject(job.get(), program.Handle()))
        return run;  // ended, still suspended, by ChildProcess
    run.started = true;
    program.Resume();

    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    run.exitCode = program.WaitForExit(timeoutMs);
    if (run.exitCode == STILL_ACTIVE)
        return run;
    for (;;) {
        JOBOBJECT_BASIC_ACCOUNTING_INFORMATION accounting = {};
        if (!QueryInformationJobObject(job.get(), JobObjectBasicAccountingInformation, &accounting,
                                       sizeof(accounting), nullptr))
            return run;
        if (accounting.ActiveProcesses == 0)
            break;
        if (GetTickCount64() >= deadline)
            return run;
        Sleep(50);
    }
    run.finished = true;
    return run;
}
