#pragma once
// COM scaffolding for tests: the apartment of a test, class objects that hand
// out a prepared object (or fail), and their registration for the test's apartment.
#include <windows.h>
#include <objbase.h>
#include <string>
#include <vector>
#include "Guards.h"

// Initialises COM for the test's thread and undoes it at the end; the
// multithreaded apartment unless a test asks for another.
class ComApartment : public com_initialization
{
public:
    explicit ComApartment(DWORD model = COINIT_MULTITHREADED) : com_initialization(model) {}
    HRESULT Result() const { return result(); }
};

// A class object whose CreateInstance answers with `object` (QueryInterface on
// it), or with `failure` when that is set.
class FakeClassFactory final : public IClassFactory
{
public:
    explicit FakeClassFactory(IUnknown* object) : object_(object) {}
    void Fail(HRESULT failure) { failure_ = failure; }
    int Created() const { return created_; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }  // lives on the test's stack
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

private:
    IUnknown* object_;
    HRESULT failure_ = S_OK;
    int created_ = 0;
};

// CoRegisterClassObject for the lifetime of the value.
class ClassRegistration
{
public:
    ClassRegistration(REFCLSID clsid, IClassFactory* factory, DWORD context);
    ~ClassRegistration();
    ClassRegistration(const ClassRegistration&) = delete;
    ClassRegistration& operator=(const ClassRegistration&) = delete;
    HRESULT Result() const { return result_; }

private:
    DWORD cookie_ = 0;
    HRESULT result_;
};

// ASCII-only narrowing for readable call logs.
std::string Narrow(const wchar_t* text);
std::string Narrow(const std::wstring& text);

// With TARVIX_FAKE_CALL_LOG naming a folder, appends the calls a fake received
// to <folder>\<suite>.<test>.log, one "<kind> <call>" line each, so that the
// call sequences of a whole run can be compared before and after a change.
void KeepCallLog(const char* kind, const std::vector<std::string>& calls);
