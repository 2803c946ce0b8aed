#pragma once
// The lamp-brightness page: three levels and the list of video applications.
#include "Plenkit.h"

class CLampBrightnessCtrlClass : public PluginClass
{
public:
    explicit CLampBrightnessCtrlClass(const CString& identity);

    LONG InitPage() override;
    LRESULT PageProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    bool IsPageSupported() override;
};
