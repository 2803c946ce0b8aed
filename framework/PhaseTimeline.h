#pragma once
// An opt-in start-up timeline for the benchmarks: with TARVIX_PHASES naming a
// file, each phase appends one line "<ms since process creation> <phase>
// [detail]" to it. Off (the default), a mark costs the test of one flag.
// The framework names its own phases; a program defines its phases where they
// happen, as TimelinePhase objects of its own.
#include <windows.h>

struct TimelinePhase
{
    const char* name;
    bool repeats;         // every mark is written, not only the first (later ones are not the start-up's)
    bool marked = false;  // for a phase that does not repeat: written once already
};

namespace FrameworkPhase {
extern TimelinePhase runtimeStart;    // the program's entry reached
extern TimelinePhase languageModule;  // the language resources loaded
extern TimelinePhase dialogCreated;   // the first modal dialog's window made
extern TimelinePhase firstPaint;      // nothing left to paint in the first modal dialog
extern TimelinePhase exit;            // the program's entry about to return
}  // namespace FrameworkPhase

namespace phase_timeline {
extern bool on;
void Write(TimelinePhase& phase, const char* detail) noexcept;
}  // namespace phase_timeline

// Reads the environment; called once, at the program's entry.
void StartPhaseTimeline() noexcept;

inline bool PhaseTimelineOn() noexcept
{
    return phase_timeline::on;
}

inline void MarkPhase(TimelinePhase& phase, const char* detail = nullptr) noexcept
{
    if (phase_timeline::on)
        phase_timeline::Write(phase, detail);
}
