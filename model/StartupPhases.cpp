#include "StartupPhases.h"

namespace StartupPhase {
TimelinePhase com{"com", false};
TimelinePhase device{"device", false};
TimelinePhase buttons{"buttons", false};
TimelinePhase settingsConnection{"settings-connection", false};
TimelinePhase settingsCall{"settings-call", true};
}  // namespace StartupPhase
