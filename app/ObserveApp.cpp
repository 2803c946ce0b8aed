#include "ObserveApp.h"
#include "ShutdownMessage.h"
#include <cwchar>
#include <new>

namespace {

const wchar_t sessionShutdownFormat[] = L"%s-Shutdown-User";
const wchar_t allShutdownFormat[] = L"Global\\%s-Shutdown-All";
const wchar_t sessionMutexFormat[] = L"%s-MutexUser";
const wchar_t allMutexFormat[] = L"Global\\%s-MutexAll";

const DWORD eventOpenAccess = SYNCHRONIZE | EVENT_MODIFY_STATE;
const DWORD mutexOpenAccess = SYNCHRONIZE;
const DWORD watcherStopTimeout = 2000;

// A SID that FreeSid releases.
struct SidDeleter
{
    void operator()(void* sid) const { FreeSid(sid); }
};

// Owns the ACL that MakeEveryoneDescriptor put into a descriptor.
class EveryoneSecurity
{
public:
    EveryoneSecurity()
    {
        ZeroMemory(&descriptor_, sizeof(descriptor_));
        CObserveApp::MakeEveryoneDescriptor(&descriptor_);
        BOOL present = FALSE;
        BOOL defaulted = FALSE;
        PACL dacl = nullptr;
        if (GetSecurityDescriptorDacl(&descriptor_, &present, &dacl, &defaulted) && present && !defaulted)
            acl_.reset(dacl);
    }

    // Null when the descriptor could not be built: the object then gets default security.
    SECURITY_ATTRIBUTES* Attributes()
    {
        if (!acl_)
            return nullptr;
        attributes_.nLength = sizeof(attributes_);
        attributes_.lpSecurityDescriptor = &descriptor_;
        attributes_.bInheritHandle = FALSE;
        return &attributes_;
    }

private:
    SECURITY_DESCRIPTOR descriptor_;
    SECURITY_ATTRIBUTES attributes_{};
    unique_hlocal acl_;
};

}  // namespace

CObserveApp::CObserveApp() : CObserveApp(L"Tarvix")
{
}

CObserveApp::CObserveApp(const wchar_t* baseName)
{
    const size_t length = std::wcslen(baseName) + 1;
    baseName_.reset(new (std::nothrow) wchar_t[length]);
    if (!baseName_)
        return;
    std::wmemcpy(baseName_.get(), baseName, length);
    shutdownUserEvent_.reset(CreateNamedObject(sessionShutdownFormat, Kind::ManualEvent));
    shutdownAllEvent_.reset(CreateNamedObject(allShutdownFormat, Kind::ManualEvent));
}

CObserveApp::~CObserveApp()
{
    if (stopEvent_) {
        SetEvent(stopEvent_.get());
        Sleep(0);
        SetEvent(stopEvent_.get());
    }
    // The watcher ends before the handles it waits on are closed.
    StopWatcher();
    mutexUser_.reset();
    mutexAll_.reset();
    shutdownUserEvent_.reset();
    shutdownAllEvent_.reset();
    baseName_.reset();
}

void CObserveApp::MakeEveryoneDescriptor(SECURITY_DESCRIPTOR* descriptor)
{
    SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
    PSID rawSid = nullptr;
    if (!AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &rawSid))
        return;
    const std::unique_ptr<void, SidDeleter> everyone(rawSid);

    const DWORD aclSize = 2 * GetLengthSid(rawSid) + 32;
    unique_hlocal acl(LocalAlloc(LPTR, aclSize));
    PACL dacl = static_cast<PACL>(acl.get());
    SECURITY_DESCRIPTOR built;
    if (dacl != nullptr && InitializeAcl(dacl, aclSize, ACL_REVISION) &&
        AddAccessDeniedAce(dacl, ACL_REVISION, WRITE_DAC | WRITE_OWNER, rawSid) &&
        AddAccessAllowedAce(dacl, ACL_REVISION, GENERIC_ALL, rawSid) &&
        InitializeSecurityDescriptor(&built, SECURITY_DESCRIPTOR_REVISION) &&
        SetSecurityDescriptorDacl(&built, TRUE, dacl, FALSE)) {
        *descriptor = built;
        (void)acl.release();  // now referenced by the caller's descriptor
    }
}

HANDLE CObserveApp::CreateNamedObject(const wchar_t* format, Kind kind) const
{
    const size_t length = std::wcslen(baseName_.get()) + std::wcslen(format) + 1;
    std::unique_ptr<wchar_t[]> name(new (std::nothrow) wchar_t[length]);
    if (!name)
        return nullptr;
    // Sized for the whole name; unlike wsprintfW this never stops at 1024 characters.
    _snwprintf(name.get(), length, format, baseName_.get());
    name[length - 1] = L'\0';

    EveryoneSecurity security;
    HANDLE handle = kind == Kind::ManualEvent ? CreateEventW(security.Attributes(), TRUE, FALSE, name.get())
                                              : CreateMutexW(security.Attributes(), FALSE, name.get());
    if (handle == nullptr) {
        handle = kind == Kind::ManualEvent ? OpenEventW(eventOpenAccess, FALSE, name.get())
                                           : OpenMutexW(mutexOpenAccess, FALSE, name.get());
    }
    return handle;
}

bool CObserveApp::Start()
{
    if (!baseName_)
        return false;
    const bool result = PublishPresence();
    StopWatcher();
    stopEvent_.reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
    watcherThread_.reset(CreateThread(nullptr, 0, &CObserveApp::WatcherThread, this, 0, nullptr));
    return result;
}

bool CObserveApp::PublishPresence()
{
    if (!baseName_)
        return false;
    bool result = false;
    if (!mutexUser_)
        mutexUser_.reset(CreateNamedObject(sessionMutexFormat, Kind::Mutex));
    if (mutexUser_) {
        (void)WaitForSingleObject(mutexUser_.get(), 0);  // held until the process ends
        result = true;
    }
    if (!mutexAll_)
        mutexAll_.reset(CreateNamedObject(allMutexFormat, Kind::Mutex));
    if (mutexAll_)
        (void)WaitForSingleObject(mutexAll_.get(), 0);
    return result;
}

bool CObserveApp::StopWatcher()
{
    bool endedByItself = true;
    if (watcherThread_) {
        if (stopEvent_)
            SetEvent(stopEvent_.get());
        if (WaitForSingleObject(watcherThread_.get(), watcherStopTimeout) == WAIT_TIMEOUT) {
            TerminateThread(watcherThread_.get(), 0);
            endedByItself = false;
        }
        watcherThread_.reset();
    }
    stopEvent_.reset();
    return endedByItself;
}

DWORD WINAPI CObserveApp::WatcherThread(void* self)
{
    static_cast<CObserveApp*>(self)->Watch();
    return 0;
}

void CObserveApp::Watch()
{
    const HANDLE waitOn[] = {stopEvent_.get(), shutdownAllEvent_.get(), shutdownUserEvent_.get()};
    const DWORD fired = WaitForMultipleObjects(3, waitOn, FALSE, INFINITE);
    const HWND window = notifyWindow_;
    if (fired == WAIT_OBJECT_0 + 1) {
        if (window != nullptr && IsWindow(window))
            PostMessageW(window, shutdownNotifyMessage, 1, 0);
        if (listener_ != nullptr)
            (void)listener_->OnShutdownAll();
    } else if (fired == WAIT_OBJECT_0 + 2) {
        if (window != nullptr && IsWindow(window))
            PostMessageW(window, shutdownNotifyMessage, 2, 0);
        if (listener_ != nullptr)
            (void)listener_->OnShutdownUser();
    }
}
