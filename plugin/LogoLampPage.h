#pragma once
// The logo-lamp page: three lamp modes, each sent to the video-enhancement
// service, and the list of video applications.
#include "LampPage.h"

class CLogoLampCtrlClass : public CLampPage
{
public:
    explicit CLogoLampCtrlClass(const CString& identity);
};
