// Times TarvixUtility's start-up against the baseline programs of this folder,
// run after run in turn, and reads each process's peak working set.
//
//   StartupBench silent warm|cold RUNS   "/miseban" to its exit, against BaselineGui
//                                        (and PlatformFloor, for reference)
//   StartupBench dialog warm|cold RUNS   start to the main dialog's first paint,
//                                        against BaselineDialog
//
// warm: the settings server already runs (this program holds one of its
// objects); cold: before each product run the server has ended, so the run
// pays its start.
#include <windows.h>
#include <tlhelp32.h>
#include <cstdio>
#include <cstdlib>
#include <string>
#include "BenchSupport.h"
#include "Handles.h"
#include "ProcessWindows.h"
#include "SettingsService.h"

namespace {

const wchar_t productProgram[] = L"TarvixUtility.exe";
const wchar_t productTitle[] = L"Tarvix Button Utility";
const wchar_t silentBaseline[] = L"BaselineGui.exe";
const wchar_t dialogBaseline[] = L"BaselineDialog.exe";
const wchar_t platformFloor[] = L"PlatformFloor.exe";
const wchar_t baselineTitle[] = L"Baseline Dialog";
const wchar_t settingsServer[] = L"SimSettingsService.exe";

constexpr DWORD startTimeoutMs = 30000;
constexpr DWORD exitTimeoutMs = 15000;

struct Measurement
{
    bool ok = false;
    double ms = 0.0;
    SIZE_T peakBytes = 0;  // 0 when it could not be read
    std::string problem;
};

// Start to exit. A process's counters cannot be read once it has ended, so
// the peak is the last one read while it ran, polled every millisecond.
Measurement RunToExit(const wchar_t* program, const wchar_t* arguments)
{
    Measurement result;
    StartedProcess target(program, arguments);
    if (!target.Started()) {
        result.problem = "could not be started (error " + std::to_string(target.StartError()) + ")";
        return result;
    }
    for (;;) {
        if (target.Ended(1)) {
            result.ms = target.ElapsedMs();
            break;
        }
        if (target.ElapsedMs() > exitTimeoutMs) {
            result.problem = "did not end";
            return result;
        }
        const SIZE_T peak = PeakWorkingSet(target.Handle());
        if (peak > result.peakBytes)
            result.peakBytes = peak;
    }
    if (target.ExitCode() != 0) {
        result.problem = "ended with " + std::to_string(target.ExitCode());
        return result;
    }
    result.ok = true;
    return result;
}

// Start to the first complete paint of the window; then the peak so far is
// read and the window is closed as a user would.
Measurement RunToFirstPaint(const wchar_t* program, const wchar_t* title)
{
    Measurement result;
    StartedProcess target(program, nullptr);
    if (!target.Started()) {
        result.problem = "could not be started (error " + std::to_string(target.StartError()) + ")";
        return result;
    }
    HWND window = nullptr;
    for (;;) {
        if (target.Ended(0)) {
            result.problem = "ended before its window was painted, with " + std::to_string(target.ExitCode());
            return result;
        }
        if (window == nullptr)
            window = FindVisibleWindow(target.Id(), title);
        if (window != nullptr && Painted(window)) {
            result.ms = target.ElapsedMs();
            break;
        }
        if (target.ElapsedMs() > startTimeoutMs) {
            result.problem = "its window was not painted in time";
            return result;
        }
        Sleep(1);
    }
    result.peakBytes = PeakWorkingSet(target.Handle());
    PostMessageW(window, WM_CLOSE, 0, 0);
    if (!target.Ended(exitTimeoutMs)) {
        result.problem = "did not close";
        return result;
    }
    result.ok = true;
    return result;
}

DWORD FindProcess(const wchar_t* exeName)
{
    unique_handle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot)
        return 0;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry))
        if (lstrcmpiW(entry.szExeFile, exeName) == 0)
            return entry.th32ProcessID;
    return 0;
}

// Waits until no settings server runs; false when one is still there after
// the timeout.
bool WaitForSettingsServerToEnd(DWORD timeoutMs)
{
    Stopwatch clock;
    while (DWORD pid = FindProcess(settingsServer)) {
        if (clock.ElapsedMs() > timeoutMs)
            return false;
        unique_handle server(OpenProcess(SYNCHRONIZE, FALSE, pid));
        if (server)
            WaitForSingleObject(server.get(), 200);
        else
            Sleep(20);
    }
    return true;
}

// Keeps the settings server running by holding its companion, as a client would.
class SettingsServerHold
{
public:
    bool Take()
    {
        return SUCCEEDED(CoCreateInstance(CLSID_SettingsCompanion, nullptr, CLSCTX_LOCAL_SERVER,
                                          IID_ISettingsCompanion, companion_.put_void()));
    }
    void Release() { companion_.reset(); }

private:
    com_ptr<ISettingsCompanion> companion_;
};

struct Series
{
    explicit Series(const char* seriesName) : name(seriesName) {}
    const char* name;
    Samples ms;
    Samples peakMb;
    int failures = 0;
};

void Record(Series& series, const Measurement& m, int run)
{
    if (!m.ok) {
        ++series.failures;
        std::printf("  run %d %s: %s\n", run, series.name, m.problem.c_str());
        return;
    }
    series.ms.Add(m.ms);
    if (m.peakBytes != 0)
        series.peakMb.Add(static_cast<double>(m.peakBytes) / (1024.0 * 1024.0));
    std::printf("  run %d %-9s %8.1f ms  peak %6.1f MB\n", run, series.name, m.ms,
                static_cast<double>(m.peakBytes) / (1024.0 * 1024.0));
    std::fflush(stdout);
}

void PrintSeries(const Series& s)
{
    std::printf("  %-9s median %8.1f ms (min %.1f, max %.1f)   peak working set median %.1f MB (min %.1f, max %.1f)"
                "   %zu runs%s\n",
                s.name, s.ms.Median(), s.ms.Min(), s.ms.Max(), s.peakMb.Median(), s.peakMb.Min(), s.peakMb.Max(),
                s.ms.Count(), s.failures != 0 ? ", some failed" : "");
}

int Usage()
{
    std::fprintf(stderr, "usage: StartupBench silent|dialog warm|cold RUNS\n");
    return 2;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 4)
        return Usage();
    const std::wstring kind = argv[1];
    const std::wstring mode = argv[2];
    const int runs = _wtoi(argv[3]);
    const bool silent = kind == L"silent";
    const bool cold = mode == L"cold";
    if ((!silent && kind != L"dialog") || (!cold && mode != L"warm") || runs < 1)
        return Usage();

    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
        std::fprintf(stderr, "StartupBench: COM could not be initialised\n");
        return 1;
    }
    SettingsServerHold hold;
    if (!cold && !hold.Take()) {
        std::fprintf(stderr, "StartupBench: the settings server could not be started\n");
        return 1;
    }

    const std::string caseName = Narrow(kind + L"-" + mode);
    std::printf("case %s: %s, %d runs each, product and baseline in turn\n", caseName.c_str(),
                silent ? "TarvixUtility.exe /miseban to its exit, against BaselineGui.exe"
                       : "TarvixUtility.exe to its main dialog's first paint, against BaselineDialog.exe",
                runs);
    std::fflush(stdout);

    auto runProduct = [&]() {
        return silent ? RunToExit(productProgram, L"/miseban") : RunToFirstPaint(productProgram, productTitle);
    };
    auto runBaseline = [&]() {
        return silent ? RunToExit(silentBaseline, nullptr) : RunToFirstPaint(dialogBaseline, baselineTitle);
    };
    auto prepareProduct = [&]() {
        if (cold && !WaitForSettingsServerToEnd(60000))
            std::printf("  the settings server did not end: this run is not cold\n");
    };

    // One round unmeasured, so both start from the same warmed file cache.
    prepareProduct();
    (void)runProduct();
    (void)runBaseline();

    Series product("product");
    Series baseline("baseline");
    Series floor("floor");
    for (int run = 1; run <= runs; ++run) {
        // Alternate which goes first, so neither always follows the other.
        if (run % 2 != 0) {
            prepareProduct();
            Record(product, runProduct(), run);
            Record(baseline, runBaseline(), run);
        } else {
            Record(baseline, runBaseline(), run);
            prepareProduct();
            Record(product, runProduct(), run);
        }
        if (silent)
            Record(floor, RunToExit(platformFloor, nullptr), run);
    }
    hold.Release();
    CoUninitialize();

    PrintSeries(product);
    PrintSeries(baseline);
    if (silent)
        PrintSeries(floor);
    if (product.ms.Empty() || baseline.ms.Empty()) {
        std::printf("  no ratio: a series has no successful run\n");
        return 1;
    }
    const double timeRatio = product.ms.Median() / baseline.ms.Median();
    std::printf("  time ratio %.2f (target 1.30: %s)\n", timeRatio, Verdict(timeRatio, 1.30));
    PrintResult(caseName.c_str(), "time-ratio", timeRatio, 1.30);
    if (!product.peakMb.Empty() && !baseline.peakMb.Empty()) {
        const double memoryRatio = product.peakMb.Median() / baseline.peakMb.Median();
        std::printf("  peak working set ratio %.2f (target 1.25: %s)\n", memoryRatio, Verdict(memoryRatio, 1.25));
        PrintResult(caseName.c_str(), "memory-ratio", memoryRatio, 1.25);
    }
    if (silent && !floor.ms.Empty() && !floor.peakMb.Empty())
        std::printf("  for reference, against the platform floor (PlatformFloor.exe): time %.2f, peak working set %.2f\n",
                    product.ms.Median() / floor.ms.Median(), product.peakMb.Median() / floor.peakMb.Median());
    return product.failures + baseline.failures + floor.failures == 0 ? 0 : 1;
}
