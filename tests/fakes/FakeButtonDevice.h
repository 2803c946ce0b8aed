#pragma once
// A special-button device for tests: offers what a test prepares and records
// every call in order ("GetFunctionName(58)", "SetApplication(C:\x,null,null)").
#include <windows.h>
#include <map>
#include <set>
#include <string>
#include <vector>
#include "ButtonDeviceBase.h"

struct FakeFunction
{
    ULONG id = 0;
    LONG type = 2;
    std::wstring name;  // empty: answered as a null name
    std::wstring path;
    std::wstring arguments;
    std::wstring folder;
    std::wstring actionTarget;
    ULONG keyCombination = 0;
};

class FakeButtonDevice final : public ButtonDeviceBase
{
public:
    FakeButtonDevice() = default;
    FakeButtonDevice(const FakeButtonDevice&) = delete;
    FakeButtonDevice& operator=(const FakeButtonDevice&) = delete;

    // --- what the device offers ---------------------------------------------
    std::vector<LONG> buttons{1, 2};
    std::vector<FakeFunction> functions;
    ULONG endId = 0;                 // delivered with the result that ends the list
    std::map<LONG, ULONG> assigned;  // per button; unknown buttons fail
    std::set<std::string> failing;   // method names that answer E_FAIL

    FakeFunction& Add(ULONG id, const wchar_t* name, LONG type = 2);

    // --- what happened ---------------------------------------------------------
    std::vector<std::string> calls;
    // The recorded calls whose text starts with `prefix`.
    std::vector<std::string> CallsStartingWith(const std::string& prefix) const;
    LONG References() const { return references_; }

    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE BeginRead() override;
    HRESULT STDMETHODCALLTYPE NextFunction(ULONG* functionId) override;
    HRESULT STDMETHODCALLTYPE GetApplicationFunction(LONG buttonId, ULONG* functionId) override;
    HRESULT STDMETHODCALLTYPE GetAssignedFunction(LONG buttonId, ULONG* functionId) override;
    HRESULT STDMETHODCALLTYPE SetAssignedFunction(LONG buttonId, ULONG functionId) override;
    HRESULT STDMETHODCALLTYPE GetButtonInfo(LONG buttonId, ULONG* info) override;
    HRESULT STDMETHODCALLTYPE NextButton(LONG* buttonId) override;
    HRESULT STDMETHODCALLTYPE GetFunctionName(ULONG functionId, BSTR* name) override;
    HRESULT STDMETHODCALLTYPE GetFunctionType(ULONG functionId, LONG* functionType) override;
    HRESULT STDMETHODCALLTYPE SetApplication(BSTR path, BSTR arguments, BSTR folder) override;
    HRESULT STDMETHODCALLTYPE GetActionTarget(ULONG functionId, BSTR* target) override;
    HRESULT STDMETHODCALLTYPE GetApplication(ULONG functionId, BSTR* path, BSTR* arguments, BSTR* folder) override;
    HRESULT STDMETHODCALLTYPE GetKeyCombination(ULONG functionId, ULONG* keyCombination) override;
    HRESULT STDMETHODCALLTYPE SetKeyCombination(ULONG keyCombination) override;
    HRESULT STDMETHODCALLTYPE Prepare(LONG mode) override;

private:
    bool Record(const std::string& call, const char* method);
    const FakeFunction* Find(ULONG id) const;

    LONG references_ = 1;
    size_t nextButton_ = 0;
    size_t nextFunction_ = 0;
};
