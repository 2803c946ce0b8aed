#include "ComTestSupport.h"
#include <gtest/gtest.h>
#include <fstream>

HRESULT FakeClassFactory::QueryInterface(REFIID iid, void** out)
{
    if (out == nullptr)
        return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
        *out = static_cast<IClassFactory*>(this);
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

HRESULT FakeClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** out)
{
    if (out == nullptr)
        return E_POINTER;
    *out = nullptr;
    if (outer != nullptr)
        return CLASS_E_NOAGGREGATION;
    if (FAILED(failure_))
        return failure_;
    ++created_;
    return object_->QueryInterface(iid, out);
}

ClassRegistration::ClassRegistration(REFCLSID clsid, IClassFactory* factory, DWORD context)
    : result_(CoRegisterClassObject(clsid, factory, context, REGCLS_MULTIPLEUSE, &cookie_))
{
}

ClassRegistration::~ClassRegistration()
{
    if (SUCCEEDED(result_))
        (void)CoRevokeClassObject(cookie_);
}

std::string Narrow(const wchar_t* text)
{
    std::string result;
    for (; text != nullptr && *text != L'\0'; ++text)
        result += *text < 0x80 ? static_cast<char>(*text) : '?';
    return result;
}

std::string Narrow(const std::wstring& text)
{
    return Narrow(text.c_str());
}

void KeepCallLog(const char* kind, const std::vector<std::string>& calls)
{
    char folder[MAX_PATH] = "";
    const DWORD length = GetEnvironmentVariableA("TARVIX_FAKE_CALL_LOG", folder, MAX_PATH);
    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    if (length == 0 || length >= MAX_PATH || test == nullptr)
        return;
    std::ofstream log(std::string(folder) + "\\" + test->test_suite_name() + "." + test->name() + ".log",
                      std::ios::app | std::ios::binary);
    for (const std::string& call : calls)
        log << kind << ' ' << call << '\n';
}
