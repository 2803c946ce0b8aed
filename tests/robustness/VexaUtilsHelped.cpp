// Makes the stand-in utility library import FakePluginHelper.dll, which lies
// only in the folder of this build of it.
#include <windows.h>

extern "C" __declspec(dllimport) const wchar_t* __cdecl fake_HelperIdentity();

namespace {

[[maybe_unused]] const wchar_t* const helperIdentity = fake_HelperIdentity();

}  // namespace
