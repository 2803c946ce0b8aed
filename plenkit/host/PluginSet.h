#pragma once
// The plug-ins the host loaded and the pages they handed over. The set owns
// the pages (and through them their items and options) and deletes them
// before it lets the plug-in go.
#include <memory>
#include <vector>
#include "Handles.h"
#include "HostReporter.h"
#include "Plenkit.h"

struct HostPage
{
    PluginClass* page = nullptr;  // owned by the set
    HMODULE language = nullptr;   // the plug-in's language resource
    CString title;
    CString description;
    CString pluginPath;
    bool supported = false;
};

class CPluginSet
{
public:
    explicit CPluginSet(IHostReporter& reporter) : reporter_(reporter) {}
    ~CPluginSet();
    CPluginSet(const CPluginSet&) = delete;
    CPluginSet& operator=(const CPluginSet&) = delete;

    // Loads one plug-in and takes its pages. Reports why and answers false when
    // the plug-in cannot be used; pages of other plug-ins are not affected.
    bool Load(const CString& path);
    // Asks every page whether it is supported (a page that throws is not).
    void CheckSupport();

    size_t GetPageCount() const noexcept { return pages_.size(); }
    HostPage& GetPage(size_t index) { return pages_.at(index); }

private:
    struct Plugin
    {
        CString path;
        unique_hmodule module;
        unique_hmodule language;
        PlenkitDelClassDescProc deleteDescriptor = nullptr;
    };

    void TakePages(ClassDesc& descriptor, Plugin& plugin);

    IHostReporter& reporter_;
    std::vector<std::unique_ptr<Plugin>> plugins_;
    std::vector<HostPage> pages_;
};

// The plug-ins listed for the host: string values of
// HKLM\Software\Kelvor Corporation\Plenkit\Plug-ins, in value-name order; a
// relative path is taken from the host program's folder.
std::vector<CString> RegisteredPlugins();
