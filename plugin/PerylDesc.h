#pragma once
// Peryl's class descriptor: offers the logo-lamp page, then the lamp-brightness page.
#include "Plenkit.h"

class CPerylDesc : public ClassDesc
{
public:
    void AddPluginClasses() override;
};
