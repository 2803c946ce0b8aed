#include "SettingsConnection.h"
#include <cstdlib>
#include <new>
#include "StartupPhases.h"

const wchar_t TarvixSettingsSection[] = L"800B3B63-DDA2-4ad2-B2B7-E8F77D85B357";

namespace {

SettingsConnection* connection = nullptr;
bool retry = true;
bool cleanUpRegistered = false;
DWORD serverContext = CLSCTX_LOCAL_SERVER;

// Releasing a proxy needs the apartment it lives in. At exit that apartment
// may already be gone (the program uninitialised COM first); then the
// references are left to the ending process instead of crashing in COM.
bool MayReleaseHere(const SettingsConnection& record)
{
    APTTYPE type;
    APTTYPEQUALIFIER qualifier;
    if (FAILED(CoGetApartmentType(&type, &qualifier)))
        return false;
    return record.thread == GetCurrentThreadId() || type == APTTYPE_MTA;
}

void Dispose(SettingsConnection* record)
{
    if (record == nullptr)
        return;
    if (MayReleaseHere(*record)) {
        record->companion.reset();
        record->service.reset();
    } else {
        (void)record->companion.detach();
        (void)record->service.detach();
    }
    // Only the thread that initialised may uninitialise.
    if (record->comInitialized && record->thread == GetCurrentThreadId())
        CoUninitialize();
    delete record;
}

void CleanUpAtExit()
{
    ReleaseSettingsConnection();
}

SettingsConnection* Connect()
{
    SettingsConnection* record = new (std::nothrow) SettingsConnection();
    if (record == nullptr)
        return nullptr;
    record->thread = GetCurrentThreadId();
    const HRESULT initialized = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    // A thread already in a single-threaded apartment keeps it; that is fine.
    if (FAILED(initialized) && initialized != RPC_E_CHANGED_MODE) {
        delete record;
        return nullptr;
    }
    record->comInitialized = SUCCEEDED(initialized);
    if (FAILED(CoCreateInstance(CLSID_SettingsService, nullptr, serverContext, IID_ISettingsService,
                                record->service.put_void())) ||
        FAILED(CoCreateInstance(CLSID_SettingsCompanion, nullptr, serverContext, IID_ISettingsCompanion,
                                record->companion.put_void()))) {
        Dispose(record);
        return nullptr;
    }
    MarkPhase(StartupPhase::settingsConnection);
    return record;
}

void MarkSettingsCall(const char* call, LONG index)
{
    if (!PhaseTimelineOn())
        return;
    char detail[32];
    wsprintfA(detail, "%s %ld", call, index);
    MarkPhase(StartupPhase::settingsCall, detail);
}

bool HasService(SettingsConnection* record)
{
    return record != nullptr && record->service;
}

}  // namespace

SettingsConnection* GetSettingsConnection()
{
    if (!cleanUpRegistered) {
        cleanUpRegistered = true;
        (void)std::atexit(CleanUpAtExit);
    }
    if (connection != nullptr || !retry)
        return connection;
    connection = Connect();
    if (connection != nullptr)
        retry = false;
    return connection;
}

HRESULT ReadSetting(SettingsConnection* record, const wchar_t* section, LONG index, VARIANT* value)
{
    if (!HasService(record))
        return S_FALSE;
    unique_bstr name(SysAllocString(section));
    if (!name && section != nullptr)
        return E_OUTOFMEMORY;
    const HRESULT result = record->service->GetValue(name.get(), index, value);
    MarkSettingsCall("read", index);
    return result;
}

HRESULT WriteSetting(const VARIANT& value, LONG index, const wchar_t* section, SettingsConnection* record)
{
    if (!HasService(record))
        return S_FALSE;
    unique_bstr name(SysAllocString(section));
    if (!name && section != nullptr)
        return E_OUTOFMEMORY;
    const HRESULT result = record->service->SetValue(name.get(), index, value);
    MarkSettingsCall("write", index);
    return result;
}

HRESULT ReloadSettings(SettingsConnection* record)
{
    if (!HasService(record))
        return S_FALSE;
    const HRESULT result = record->service->Reload();
    MarkPhase(StartupPhase::settingsCall, "reload");
    return result;
}

HRESULT CommitSettings(SettingsConnection* record)
{
    if (!HasService(record))
        return S_FALSE;
    const HRESULT result = record->service->Commit();
    MarkPhase(StartupPhase::settingsCall, "commit");
    return result;
}

SettingRead ReadIntSetting(SettingsConnection* record, LONG index, INT32& value)
{
    unique_variant read;
    V_VT(read.get()) = VT_INT;
    V_INT(read.get()) = value;
    const HRESULT result = ReadSetting(record, TarvixSettingsSection, index, read.get());
    if (result == HRESULT_FROM_WIN32(ERROR_NOT_FOUND))
        return SettingRead::NotStored;
    if (result != S_OK)
        return SettingRead::Failed;
    // A service may answer another type; only what is an integer counts.
    unique_variant number;
    if (FAILED(VariantChangeType(number.get(), read.get(), 0, VT_INT)))
        return SettingRead::Failed;
    value = V_INT(number.get());
    return SettingRead::Value;
}

HRESULT WriteIntSetting(SettingsConnection* record, LONG index, INT32 value)
{
    VARIANT written;
    VariantInit(&written);
    V_VT(&written) = VT_INT;
    V_INT(&written) = value;
    return WriteSetting(written, index, TarvixSettingsSection, record);
}

void ReleaseSettingsConnection()
{
    SettingsConnection* record = connection;
    connection = nullptr;
    Dispose(record);
}

void ResetSettingsConnection()
{
    ReleaseSettingsConnection();
    retry = true;
}

void SetSettingsServerContext(DWORD context)
{
    serverContext = context;
}

bool CServiceSettings::Connect()
{
    connection_ = connect_();
    return connection_ != nullptr;
}

void CServiceSettings::Reload()
{
    (void)ReloadSettings(connection_);  // the values are read all the same
}

SettingRead CServiceSettings::ReadInt(LONG index, INT32& value)
{
    return ReadIntSetting(connection_, index, value);
}

void CServiceSettings::WriteInt(LONG index, INT32 value)
{
    (void)WriteIntSetting(connection_, index, value);
}

void CServiceSettings::Commit()
{
    (void)CommitSettings(connection_);
}
