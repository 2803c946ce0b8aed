#pragma once
// The process-wide connection to the outside settings service, and the two
// calls through which the program reads and writes its integer values.
#include <windows.h>
#include <oaidl.h>
#include <functional>
#include "Handles.h"
#include "SettingsAccess.h"
#include "SettingsService.h"

// The section under which the dialog's values live.
extern const wchar_t TarvixSettingsSection[];

struct SettingsConnection
{
    com_ptr<ISettingsService> service;
    com_ptr<ISettingsCompanion> companion;  // held for as long as the service is used
    bool comInitialized = false;            // this connection's own CoInitializeEx succeeded
    DWORD thread = 0;                       // the thread that connected
};

// The connection, made on first use; null while the service cannot be reached
// (a failed attempt is tried again on the next call). Its clean-up runs at process exit.
SettingsConnection* GetSettingsConnection();

// GetValue into `value` (the caller presets it); S_FALSE when there is no service.
HRESULT ReadSetting(SettingsConnection* record, const wchar_t* section, LONG index, VARIANT* value);
// SetValue of `value`; S_FALSE when there is no service.
HRESULT WriteSetting(const VARIANT& value, LONG index, const wchar_t* section, SettingsConnection* record);
// Reload and Commit of the service; S_FALSE when there is none.
HRESULT ReloadSettings(SettingsConnection* record);
HRESULT CommitSettings(SettingsConnection* record);

// An integer of TarvixSettingsSection, read as VT_INT. `value` changes only
// when the result is SettingRead::Value.
SettingRead ReadIntSetting(SettingsConnection* record, LONG index, INT32& value);
// Writes an integer (VT_INT) to TarvixSettingsSection; the result is the service's.
HRESULT WriteIntSetting(SettingsConnection* record, LONG index, INT32 value);

// The settings values through a connection: by default the process-wide one,
// asked for again at every Connect as GetSettingsConnection allows.
class CServiceSettings final : public ISettingsAccess
{
public:
    using Connector = std::function<SettingsConnection*()>;
    explicit CServiceSettings(Connector connect = GetSettingsConnection) : connect_(std::move(connect)) {}

    bool Connect() override;
    void Reload() override;
    SettingRead ReadInt(LONG index, INT32& value) override;
    void WriteInt(LONG index, INT32 value) override;
    void Commit() override;

private:
    Connector connect_;
    SettingsConnection* connection_ = nullptr;
};

// The exit clean-up: releases the connection; later calls return null.
// A program calls it before it uninitialises COM; it is harmless to call twice.
void ReleaseSettingsConnection();
// Releases the connection and lets the next call connect again (tests).
void ResetSettingsConnection();
// Where the connection creates the service's objects: CLSCTX_LOCAL_SERVER.
// Tests use CLSCTX_INPROC_SERVER, because Wine offers a local-server class
// registered by a test to every process of the prefix, tests running in
// parallel included; an in-process registration stays in the test.
void SetSettingsServerContext(DWORD context);
