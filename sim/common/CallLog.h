#pragma once
// With SIM_CALL_LOG naming a file, each call a stand-in answers appends one
// line "<process id> <what> <detail>" to it, so that the calls of two programs
// can be compared. Unset, a call costs the test of one flag.
namespace sim {

void LogCall(const wchar_t* what, const wchar_t* detail);

}  // namespace sim
