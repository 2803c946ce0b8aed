// Times TarvixUtility's start-up against the baseline programs of this folder,
// run after run in turn, and reads each process's peak working set.
//
//   StartupBench silent warm|cold RUNS   "/miseban" to its exit, against the job's
//                                        floor JobFloorSilent and BaselineGui (and
//                                        PlatformFloor, for reference)
//   StartupBench dialog warm|cold RUNS   start to the main dialog's first paint,
//                                        against JobFloorDialog and BaselineDialog
//
// warm: the settings server already runs (this program holds one of its
// objects); cold: before each run of the product and of the job's floor the
// server has ended, so the run pays its start. Warm cases then run the product
// RUNS times more with its phase timeline on (TARVIX_PHASES), apart from the
// timed runs, and print each phase's median.
#include <windows.h>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>
#include "BenchSupport.h"
#include "Handles.h"
#include "ProcessReadings.h"
#include "SettingsService.h"
#include "support/ChildProcess.h"

namespace {

const wchar_t productProgram[] = L"TarvixUtility.exe";
const wchar_t productTitle[] = L"Tarvix Button Utility";
const wchar_t silentBaseline[] = L"BaselineGui.exe";
const wchar_t dialogBaseline[] = L"BaselineDialog.exe";
const wchar_t platformFloor[] = L"PlatformFloor.exe";
const wchar_t silentJobFloor[] = L"JobFloorSilent.exe";
const wchar_t dialogJobFloor[] = L"JobFloorDialog.exe";
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
    const std::wstring line = ProgramLine(program, arguments != nullptr ? arguments : L"");
    const Stopwatch clock;  // from just before the process is created
    const ChildProcess target(line);
    if (!target.Started()) {
        result.problem = "could not be started (error " + std::to_string(target.StartError()) + ")";
        return result;
    }
    for (;;) {
        if (target.WaitForExit(1) != STILL_ACTIVE) {
            result.ms = clock.ElapsedMs();
            break;
        }
        if (clock.ElapsedMs() > exitTimeoutMs) {
            result.problem = "did not end";
            return result;
        }
        const SIZE_T peak = PeakWorkingSet(target.Handle());
        if (peak > result.peakBytes)
            result.peakBytes = peak;
    }
    if (target.WaitForExit(0) != 0) {
        result.problem = "ended with " + std::to_string(target.WaitForExit(0));
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
    const std::wstring line = ProgramLine(program);
    const Stopwatch clock;  // from just before the process is created
    const ChildProcess target(line);
    if (!target.Started()) {
        result.problem = "could not be started (error " + std::to_string(target.StartError()) + ")";
        return result;
    }
    HWND window = nullptr;
    for (;;) {
        if (target.WaitForExit(0) != STILL_ACTIVE) {
            result.problem = "ended before its window was painted, with " + std::to_string(target.WaitForExit(0));
            return result;
        }
        if (window == nullptr)
            window = FindProcessWindow(target.Id(), nullptr, title);
        if (window != nullptr && Painted(window)) {
            result.ms = clock.ElapsedMs();
            break;
        }
        if (clock.ElapsedMs() > startTimeoutMs) {
            result.problem = "its window was not painted in time";
            return result;
        }
        Sleep(1);
    }
    result.peakBytes = PeakWorkingSet(target.Handle());
    PostMessageW(window, WM_CLOSE, 0, 0);
    if (target.WaitForExit(exitTimeoutMs) == STILL_ACTIVE) {
        result.problem = "did not close";
        return result;
    }
    result.ok = true;
    return result;
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
    std::printf("  run %d %-10s %8.1f ms  peak %6.1f MB\n", run, series.name, m.ms,
                static_cast<double>(m.peakBytes) / (1024.0 * 1024.0));
    std::fflush(stdout);
}

void PrintSeries(const Series& s)
{
    std::printf("  %-10s median %8.1f ms (min %.1f, max %.1f)   peak working set median %.1f MB (min %.1f, max %.1f)"
                "   %zu runs%s\n",
                s.name, s.ms.Median(), s.ms.Min(), s.ms.Max(), s.peakMb.Median(), s.peakMb.Min(), s.peakMb.Max(),
                s.ms.Count(), s.failures != 0 ? ", some failed" : "");
}


// One phase's times over the runs, kept in the order first seen.
struct PhaseSeries
{
    std::string name;
    Samples ms;
};

// Adds the lines of one run's timeline ("<ms> <phase> [detail]").
bool ReadPhases(const std::wstring& path, std::vector<PhaseSeries>& phases)
{
    FILE* file = _wfopen(path.c_str(), L"rb");
    if (file == nullptr)
        return false;
    char line[200];
    bool any = false;
    while (std::fgets(line, sizeof(line), file) != nullptr) {
        char* rest = nullptr;
        const double ms = std::strtod(line, &rest);
        if (rest == line)
            continue;
        std::string name(rest);
        while (!name.empty() && (name.back() == '\n' || name.back() == '\r'))
            name.pop_back();
        if (!name.empty() && name.front() == ' ')
            name.erase(0, 1);
        PhaseSeries* series = nullptr;
        for (PhaseSeries& known : phases)
            if (known.name == name)
                series = &known;
        if (series == nullptr) {
            phases.push_back({name, {}});
            series = &phases.back();
        }
        series->ms.Add(ms);
        any = true;
    }
    std::fclose(file);
    return any;
}

// The product's timeline over `runs` runs of its own, after the timed ones.
template <typename Run>
void PrintPhases(const std::string& caseName, int runs, Run runProduct)
{
    wchar_t folder[MAX_PATH] = L"";
    GetTempPathW(MAX_PATH, folder);
    const std::wstring path = std::wstring(folder) + L"tarvix-bench-phases.txt";
    SetEnvironmentVariableW(L"TARVIX_PHASES", path.c_str());
    std::vector<PhaseSeries> phases;
    int read = 0;
    for (int run = 1; run <= runs; ++run) {
        DeleteFileW(path.c_str());
        const Measurement m = runProduct();
        if (m.ok && ReadPhases(path, phases))
            ++read;
        else
            std::printf("  phase run %d: %s\n", run, m.ok ? "no timeline written" : m.problem.c_str());
    }
    DeleteFileW(path.c_str());
    SetEnvironmentVariableW(L"TARVIX_PHASES", nullptr);
    std::printf("  phases of the product (ms since process creation; %d runs with the timeline on, apart from "
                "the timed runs):\n",
                read);
    for (const PhaseSeries& phase : phases) {
        std::printf("  PHASE %s %-28s median %8.1f ms (min %.1f, max %.1f)\n", caseName.c_str(), phase.name.c_str(),
                    phase.ms.Median(), phase.ms.Min(), phase.ms.Max());
    }
    std::fflush(stdout);
}

int Usage()
{
    std::fprintf(stderr, "usage: StartupBench silent|dialog warm|cold RUNS\n");
    return 2;
}

// A ratio of two series' medians with its target, as a line and a RESULT.
void PrintRatio(const std::string& caseName, const char* measure, const char* what, const Samples& product,
                const Samples& against, double target)
{
    if (product.Empty() || against.Empty())
        return;
    const double ratio = product.Median() / against.Median();
    std::printf("  %s %.2f (target %.2f: %s)\n", what, ratio, target, Verdict(ratio, target));
    PrintResult(caseName.c_str(), measure, ratio, target);
}

}  // namespace

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
    std::printf("case %s: %s, %d runs each, in turn\n", caseName.c_str(),
                silent ? "TarvixUtility.exe /miseban to its exit, against JobFloorSilent.exe and BaselineGui.exe"
                       : "TarvixUtility.exe to its main dialog's first paint, against JobFloorDialog.exe and "
                         "BaselineDialog.exe",
                runs);
    std::fflush(stdout);

    auto prepare = [&]() {
        if (cold && !WaitUntilNotRunning(settingsServer, 60000))
            std::printf("  the settings server did not end: this run is not cold\n");
    };
    auto runProduct = [&]() {
        return silent ? RunToExit(productProgram, L"/miseban") : RunToFirstPaint(productProgram, productTitle);
    };
    // The programs of the case, each run in turn: the product, the job's floor
    // (which pays the settings server's start like the product in the cold
    // case), the empty program, and for the silent run the platform floor.
    struct Program
    {
        Series series;
        std::function<Measurement()> run;
        bool usesSettingsServer;
    };
    std::vector<Program> programs;
    programs.push_back({Series("product"), runProduct, true});
    programs.push_back({Series("job floor"),
                        [&]() {
                            return silent ? RunToExit(silentJobFloor, nullptr)
                                          : RunToFirstPaint(dialogJobFloor, productTitle);
                        },
                        true});
    programs.push_back({Series("baseline"),
                        [&]() {
                            return silent ? RunToExit(silentBaseline, nullptr)
                                          : RunToFirstPaint(dialogBaseline, baselineTitle);
                        },
                        false});
    if (silent)
        programs.push_back({Series("platform"), []() { return RunToExit(platformFloor, nullptr); }, false});

    // One round unmeasured, so all start from the same warmed file cache.
    for (Program& program : programs) {
        if (program.usesSettingsServer)
            prepare();
        (void)program.run();
    }
    for (int run = 1; run <= runs; ++run) {
        // Rotate which goes first, so none always follows the same one.
        for (size_t k = 0; k < programs.size(); ++k) {
            Program& program = programs[(k + static_cast<size_t>(run)) % programs.size()];
            if (program.usesSettingsServer)
                prepare();
            Record(program.series, program.run(), run);
        }
    }

    int failures = 0;
    for (const Program& program : programs) {
        PrintSeries(program.series);
        failures += program.series.failures;
    }
    const Series& product = programs[0].series;
    const Series& jobFloor = programs[1].series;
    const Series& baseline = programs[2].series;
    if (product.ms.Empty() || baseline.ms.Empty() || jobFloor.ms.Empty()) {
        std::printf("  no ratio: a series has no successful run\n");
        return 1;
    }
    // Against the job's floor: the targets of the warm cases. The cold case
    // is the COM runtime's wait for the server it started, shown, not judged.
    const double floorTimeTarget = silent ? 1.10 : 1.15;
    if (!cold) {
        PrintRatio(caseName, "floor-time-ratio", "time ratio to the job's floor", product.ms, jobFloor.ms,
                   floorTimeTarget);
        PrintRatio(caseName, "floor-memory-ratio", "peak working set ratio to the job's floor", product.peakMb,
                   jobFloor.peakMb, 1.10);
    } else {
        std::printf("  for reference, against the job's floor, also cold: time %.2f, peak working set %.2f\n",
                    product.ms.Median() / jobFloor.ms.Median(),
                    jobFloor.peakMb.Empty() ? 0.0 : product.peakMb.Median() / jobFloor.peakMb.Median());
    }
    PrintRatio(caseName, "time-ratio", "time ratio to the empty program", product.ms, baseline.ms, 1.30);
    PrintRatio(caseName, "memory-ratio", "peak working set ratio to the empty program", product.peakMb,
               baseline.peakMb, 1.25);
    if (silent) {
        const Series& platform = programs[3].series;
        if (!platform.ms.Empty() && !platform.peakMb.Empty())
            std::printf(
                "  for reference, against the platform floor (PlatformFloor.exe): time %.2f, peak working set "
                "%.2f\n",
                product.ms.Median() / platform.ms.Median(), product.peakMb.Median() / platform.peakMb.Median());
    }

    if (!cold)
        PrintPhases(caseName, runs, runProduct);
    hold.Release();
    CoUninitialize();
    return failures == 0 ? 0 : 1;
}
