#pragma once
// The lamp-brightness page: three levels and the list of video applications.
#include "LampPage.h"

class CLampBrightnessCtrlClass : public CLampPage
{
public:
    explicit CLampBrightnessCtrlClass(const CString& identity);
};
