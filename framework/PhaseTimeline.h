#pragma once
// An opt-in start-up timeline for the benchmarks: with TARVIX_PHASES naming a
// file, each phase appends one line "<ms since process creation> <phase>
// [detail]" to it. Off (the default), a mark costs the test of one flag.
#include <windows.h>

enum class Phase
{
    RuntimeStart,        // the program's entry reached
    LanguageModule,      // the language resources loaded
    Com,                 // COM initialised for the thread
    Device,              // the device object created
    Buttons,             // the buttons listed, loaded (and applied in a silent run)
    SettingsConnection,  // the settings service and its companion connected
    SettingsCall,        // one call on the settings service (detail: which)
    DialogCreated,       // the first modal dialog's window made
    FirstPaint,          // nothing left to paint in the first modal dialog
    Exit,                // the program's entry about to return
};

namespace phase_timeline {
extern bool on;
void Write(Phase phase, const char* detail) noexcept;
} // namespace phase_timeline

// Reads the environment; called once, at the program's entry.
void StartPhaseTimeline() noexcept;

inline bool PhaseTimelineOn() noexcept
{
    return phase_timeline::on;
}

inline void MarkPhase(Phase phase, const char* detail = nullptr) noexcept
{
    if (phase_timeline::on)
        phase_timeline::Write(phase, detail);
}
