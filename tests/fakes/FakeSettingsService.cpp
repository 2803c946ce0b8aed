#include "FakeSettingsService.h"
#include "ComTestSupport.h"

std::string DescribeVariant(const VARIANT& value)
{
    switch (V_VT(&value)) {
    case VT_EMPTY:
        return "VT_EMPTY";
    case VT_INT:
        return "VT_INT=" + std::to_string(V_INT(&value));
    case VT_I4:
        return "VT_I4=" + std::to_string(V_I4(&value));
    case VT_BSTR:
        return "VT_BSTR=" + Narrow(V_BSTR(&value));
    default:
        return "VT_" + std::to_string(V_VT(&value));
    }
}

FakeSettingsService::~FakeSettingsService()
{
    KeepCallLog("settings", calls);
    for (auto& entry : values_)
        (void)VariantClear(&entry.second);
}

void FakeSettingsService::Put(const std::wstring& section, LONG index, const VARIANT& value)
{
    VARIANT& slot = values_[{section, index}];
    (void)VariantClear(&slot);
    (void)VariantCopy(&slot, const_cast<VARIANT*>(&value));
}

void FakeSettingsService::PutInt(const std::wstring& section, LONG index, INT32 value)
{
    VARIANT number;
    VariantInit(&number);
    V_VT(&number) = VT_INT;
    V_INT(&number) = value;
    Put(section, index, number);
}

bool FakeSettingsService::Has(const std::wstring& section, LONG index) const
{
    return values_.count({section, index}) != 0;
}

VARIANT FakeSettingsService::Stored(const std::wstring& section, LONG index) const
{
    VARIANT copy;
    VariantInit(&copy);
    const auto found = values_.find({section, index});
    if (found != values_.end())
        (void)VariantCopy(&copy, const_cast<VARIANT*>(&found->second));
    return copy;
}

bool FakeSettingsService::Record(const std::string& call, const char* method)
{
    calls.push_back(call);
    return failing.count(method) != 0;
}

HRESULT FakeSettingsService::GetValue(BSTR section, LONG index, VARIANT* value)
{
    if (Record("GetValue(" + Narrow(section) + "," + std::to_string(index) + ")", "GetValue"))
        return E_FAIL;
    const auto found = values_.find({section != nullptr ? section : L"", index});
    if (found == values_.end())
        return HRESULT_FROM_WIN32(ERROR_NOT_FOUND);
    (void)VariantClear(value);
    return VariantCopy(value, &found->second);
}

HRESULT FakeSettingsService::SetValue(BSTR section, LONG index, VARIANT value)
{
    if (Record("SetValue(" + Narrow(section) + "," + std::to_string(index) + "," + DescribeVariant(value) + ")",
               "SetValue"))
        return E_FAIL;
    Put(section != nullptr ? section : L"", index, value);
    return S_OK;
}

HRESULT FakeSettingsService::Reload()
{
    return Record("Reload", "Reload") ? E_FAIL : S_OK;
}

HRESULT FakeSettingsService::Commit()
{
    return Record("Commit", "Commit") ? E_FAIL : S_OK;
}
