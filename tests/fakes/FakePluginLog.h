#pragma once
// What the fake plug-in saw; the test reads it through the export fake_GetLog.
#include <windows.h>

struct FakePluginLog
{
    LONG pagesDeleted;
    LONG itemsDeleted;
    LONG optionsDeleted;
    LONG initPageCalls;
    LONG supportQuestions;
    LONG pageProcCalls;
    LONG commandMessages;  // WM_COMMAND seen by PageProc
    LONG fillListCalls;
    LONG setStartCalls;
    LONG settingChanges;
    LONG applyCalls;
    LONG lastAppliedType;  // VARTYPE
    LONG lastAppliedValue;
    LONG hookAShown;
    LONG hookAHidden;
    LONG hookBCalls;
};

typedef FakePluginLog*(__cdecl* FakeGetLogProc)();

// Resource ids of the fake plug-in's language resource.
#define IDS_FAKE_A_TITLE 201
#define IDS_FAKE_A_DESCRIPTION 202
#define IDS_FAKE_B_TITLE 203
#define IDS_FAKE_B_DESCRIPTION 204
#define IDS_FAKE_C_TITLE 205
#define IDD_FAKE_A 210
#define IDD_FAKE_B 220
#define IDD_FAKE_MISSING 299
#define IDC_FAKE_LABEL 2001
#define IDC_FAKE_RADIO_1 2010
#define IDC_FAKE_RADIO_2 2011
#define IDC_FAKE_RADIO_3 2012
#define IDC_FAKE_LIST 2020
