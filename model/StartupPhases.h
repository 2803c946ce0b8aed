#pragma once
// TarvixUtility's own start-up phases on the framework's timeline.
#include "PhaseTimeline.h"

namespace StartupPhase {
extern TimelinePhase com;                 // COM initialised for the thread
extern TimelinePhase device;              // the device object created
extern TimelinePhase buttons;             // the buttons listed, loaded (and applied in a silent run)
extern TimelinePhase settingsConnection;  // the settings service and its companion connected
extern TimelinePhase settingsCall;        // one call on the settings service (detail: which)
}  // namespace StartupPhase
