#pragma once
// A settings service for tests: keeps VARIANT values per section and index and
// records every call ("SetValue(<section>,1,VT_INT=1)", "Commit").
#include <windows.h>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>
#include "SettingsServiceBase.h"

class FakeSettingsService final : public SettingsServiceBase
{
public:
    FakeSettingsService() = default;
    ~FakeSettingsService();
    FakeSettingsService(const FakeSettingsService&) = delete;
    FakeSettingsService& operator=(const FakeSettingsService&) = delete;

    std::set<std::string> failing;  // method names that answer E_FAIL
    std::vector<std::string> calls;

    // A stored value, as the test puts it or the program wrote it.
    void Put(const std::wstring& section, LONG index, const VARIANT& value);
    void PutInt(const std::wstring& section, LONG index, INT32 value);
    bool Has(const std::wstring& section, LONG index) const;
    VARIANT Stored(const std::wstring& section, LONG index) const;  // a copy the caller clears
    LONG References() const { return references_; }

    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
    ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(InterlockedDecrement(&references_)); }

    HRESULT STDMETHODCALLTYPE GetValue(BSTR section, LONG index, VARIANT* value) override;
    HRESULT STDMETHODCALLTYPE SetValue(BSTR section, LONG index, VARIANT value) override;
    HRESULT STDMETHODCALLTYPE Reload() override;
    HRESULT STDMETHODCALLTYPE Commit() override;

private:
    bool Record(const std::string& call, const char* method);

    std::map<std::pair<std::wstring, LONG>, VARIANT> values_;
    LONG references_ = 1;  // the test's own; the fake lives on its stack
};

class FakeSettingsCompanion final : public SettingsCompanionBase
{
public:
    LONG References() const { return references_; }

    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
    ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(InterlockedDecrement(&references_)); }
    HRESULT STDMETHODCALLTYPE Reserved3() override { return S_OK; }

private:
    LONG references_ = 1;
};

// "VT_INT=1" and the like, for readable call logs.
std::string DescribeVariant(const VARIANT& value);
