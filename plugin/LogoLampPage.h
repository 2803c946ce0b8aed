#pragma once
// The logo-lamp page: three lamp modes and the list of video applications.
#include "Plenkit.h"

class CLogoLampCtrlClass : public PluginClass
{
public:
    explicit CLogoLampCtrlClass(const CString& identity);

    LONG InitPage() override;
    LRESULT PageProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    bool IsPageSupported() override;
};
