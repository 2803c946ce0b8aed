#pragma once
#define IDD_BASELINE_DIALOG 100
