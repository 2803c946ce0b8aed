#include "PhaseTimeline.h"
#include <cstdio>
#include <cstdlib>
#include "Handles.h"

namespace {

unique_handle file;
LARGE_INTEGER startCount{};
LARGE_INTEGER frequency{};
double startMs = 0.0;  // process creation to StartPhaseTimeline

double FileTimeMs(const FILETIME& time)
{
    ULARGE_INTEGER value;
    value.LowPart = time.dwLowDateTime;
    value.HighPart = time.dwHighDateTime;
    return static_cast<double>(value.QuadPart) / 10000.0;
}

}  // namespace

namespace FrameworkPhase {
TimelinePhase runtimeStart{"runtime-start", false};
TimelinePhase languageModule{"language-module", false};
TimelinePhase dialogCreated{"dialog-created", false};
TimelinePhase firstPaint{"first-paint", false};
TimelinePhase exit{"exit", false};
}  // namespace FrameworkPhase

namespace phase_timeline {

bool on = false;

void Write(TimelinePhase& phase, const char* detail) noexcept
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    if (!phase.repeats && phase.marked)
        return;
    phase.marked = true;
    const double ms = startMs + static_cast<double>(now.QuadPart - startCount.QuadPart) * 1000.0 /
                                    static_cast<double>(frequency.QuadPart);
    char line[160];
    const int length = std::snprintf(line, sizeof(line), "%.3f %s%s%s\r\n", ms, phase.name,
                                     detail != nullptr ? " " : "", detail != nullptr ? detail : "");
    DWORD written = 0;
    if (length > 0)
        (void)WriteFile(file.get(), line,
                        static_cast<DWORD>(length < static_cast<int>(sizeof(line)) ? length : sizeof(line) - 1),
                        &written, nullptr);
}

}  // namespace phase_timeline

void StartPhaseTimeline() noexcept
{
    const wchar_t* path = _wgetenv(L"TARVIX_PHASES");
    if (path == nullptr || *path == L'\0' || phase_timeline::on)
        return;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&startCount);
    FILETIME creation, exit, kernel, user, now;
    GetSystemTimeAsFileTime(&now);
    if (GetProcessTimes(GetCurrentProcess(), &creation, &exit, &kernel, &user))
        startMs = FileTimeMs(now) - FileTimeMs(creation);
    // Appending, so that several runs can share one file.
    file.reset(CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr));
    phase_timeline::on = file.valid();
}
