#pragma once
// Publishes that the program runs (two named presence mutexes) and listens for
// requests to close it (two named shutdown events, one per session and one for
// all sessions). A watcher thread waits for either event and calls the listener.
#include <windows.h>
#include <memory>
#include "Handles.h"

class CObserveApp
{
public:
    // Callback target of the watcher thread; both answers are ignored.
    class IObserveEvent
    {
    public:
        virtual int OnShutdownAll() = 0;   // an all-sessions request arrived
        virtual int OnShutdownUser() = 0;  // a request for this session arrived
    protected:
        ~IObserveEvent() = default;
    };

    // Uses the base name "Tarvix"; creates or opens both shutdown events.
    CObserveApp();
    // Another base name, so tests do not disturb a running program.
    explicit CObserveApp(const wchar_t* baseName);
    virtual ~CObserveApp();
    CObserveApp(const CObserveApp&) = delete;
    CObserveApp& operator=(const CObserveApp&) = delete;

    // Takes the presence mutexes and starts the watcher. True when a handle of
    // the session presence mutex exists, whether or not it could be taken.
    bool Start();
    // Start without the watcher, for a run that has no window a request could
    // close: its thread would only cost the run time and memory.
    bool PublishPresence();
    // Ends the watcher (bounded wait); true when it ended by itself.
    bool StopWatcher();

    void SetListener(IObserveEvent* listener) { listener_ = listener; }

    // Fills `descriptor` with a DACL that lets everyone use an object but nobody
    // change its security. The ACL is allocated with LocalAlloc and belongs to
    // the caller; on failure the descriptor is left untouched.
    static void MakeEveryoneDescriptor(SECURITY_DESCRIPTOR* descriptor);

    HANDLE SessionShutdownEvent() const { return shutdownUserEvent_.get(); }
    HANDLE AllShutdownEvent() const { return shutdownAllEvent_.get(); }
    HANDLE SessionPresenceMutex() const { return mutexUser_.get(); }
    HANDLE AllPresenceMutex() const { return mutexAll_.get(); }
    const wchar_t* BaseName() const { return baseName_.get(); }

private:
    enum class Kind
    {
        ManualEvent,
        Mutex
    };
    HANDLE CreateNamedObject(const wchar_t* format, Kind kind) const;
    static DWORD WINAPI WatcherThread(void* self);
    void Watch();

    unique_handle mutexUser_;
    unique_handle mutexAll_;
    unique_handle shutdownUserEvent_;
    unique_handle shutdownAllEvent_;
    unique_handle stopEvent_;
    unique_handle watcherThread_;
    std::unique_ptr<wchar_t[]> baseName_;
    HWND notifyWindow_ = nullptr;  // kept as the observer's contract has it; this program never sets one
    IObserveEvent* listener_ = nullptr;
};
