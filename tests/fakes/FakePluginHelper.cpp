// A DLL that FakePluginApart imports and that lies only beside it, so the
// plug-in loads only when its own folder is searched for its imports.
#include <windows.h>

extern "C" __declspec(dllexport) const wchar_t* __cdecl fake_HelperIdentity()
{
    return L"fake-a-helped";
}
