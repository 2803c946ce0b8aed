#include "Plenkit.h"

ClassDesc::ClassDesc() = default;

// Pages belong to whoever took them; those never taken are left alone, since
// the descriptor is usually a static object of a DLL that is going away.
ClassDesc::~ClassDesc() = default;

INT_PTR ClassDesc::GetClassCount() const noexcept
{
    return classes_.GetSize();
}
PluginClass* ClassDesc::GetClass(INT_PTR index) const
{
    return classes_[index];
}

CArray<PluginClass*> ClassDesc::TakeClasses()
{
    CArray<PluginClass*> taken;
    taken.Copy(classes_);
    classes_.RemoveAll();
    return taken;
}

void ClassDesc::AddClass(PluginClass* page)
{
    if (page == nullptr)
        return;
    try {
        classes_.Add(page);
    } catch (...) {
        delete page;  // handed over: not leaked when the list cannot grow
        throw;
    }
}
