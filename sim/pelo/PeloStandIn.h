#pragma once
// What the video-enhancement stand-in shares with whoever watches it.
//
// Configuration and record: under HKEY_CURRENT_USER, the key named by the
// environment variable PELO_STANDIN_KEY, else "Software\Kelvor Corporation\Pelo Stand-in".
//   "Absent"  REG_DWORD  1: creation fails as if the service were not registered
//   "Probe"   REG_DWORD  answer to the probe: PELO_PROBE_OK (default), _FAILS or _HOLDS_BACK
// Written by the service, in the same key:
//   "LastMode" REG_DWORD, "LastCaller" REG_SZ          the last mode received and from whom
//   "LastInOut", "LastParam1", "LastParam2", "LastFlags", "LastValueType" REG_DWORD,
//   "LastName" REG_SZ                                   the rest of that call's arguments
//   "ExecuteCalls", "ProbeCalls" REG_DWORD              calls so far
//   "LastProbeName" REG_SZ, "LastProbeFlags", "LastProbeValueType", "LastProbeReserved" REG_DWORD
//   "LiveObjects" REG_DWORD                             service objects not yet released
// Log: %LOCALAPPDATA%\Kelvor Corporation\Pelo Stand-in\modes.log, one line per mode received:
//   <local time> process <pid> mode <mode> caller <id> in-out <n> name <name> flags 0x<flags> value-type <vt>
#define PELO_PROBE_OK 0          // S_OK
#define PELO_PROBE_FAILS 1       // E_FAIL
#define PELO_PROBE_HOLDS_BACK 2  // S_FALSE
#define PELO_STANDIN_ENV L"PELO_STANDIN_KEY"
#define PELO_STANDIN_DEFAULT_KEY L"Software\\Kelvor Corporation\\Pelo Stand-in"
#define PELO_STANDIN_LOG_FOLDER L"Kelvor Corporation\\Pelo Stand-in"
#define PELO_STANDIN_LOG_FILE L"modes.log"
