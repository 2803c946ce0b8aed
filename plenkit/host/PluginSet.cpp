#include "PluginSet.h"
#include <algorithm>
#include <new>
#include "LanguageModule.h"

namespace {

const wchar_t pluginListKey[] = L"Software\\Kelvor Corporation\\Plenkit\\Plug-ins";

CString FullPath(const CString& path)
{
    wchar_t buffer[MAX_PATH * 4];
    const DWORD length = GetFullPathNameW(path, static_cast<DWORD>(sizeof(buffer) / sizeof(buffer[0])), buffer,
                                          nullptr);
    if (length == 0 || length >= sizeof(buffer) / sizeof(buffer[0]))
        return path;
    return CString(buffer);
}

CString FileName(const CString& path)
{
    const int slash = std::max(path.ReverseFind(L'\\'), path.ReverseFind(L'/'));
    return path.Mid(slash + 1);
}

CString SystemMessage(DWORD error)
{
    CString text;
    text.Format(L"error %lu", error);
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                            FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    unique_hlocal owned(buffer);
    if (length > 0) {
        CString detail(buffer, static_cast<int>(length));
        text += L": " + detail.Trim();
    }
    return text;
}

CString HostFolder()
{
    wchar_t path[MAX_PATH * 4];
    const DWORD length = GetModuleFileNameW(nullptr, path, static_cast<DWORD>(sizeof(path) / sizeof(path[0])));
    if (length == 0 || length >= sizeof(path) / sizeof(path[0]))
        return CString();
    CString folder(path);
    return folder.Left(folder.ReverseFind(L'\\') + 1);
}

// Neither a drive path nor a UNC or rooted path.
bool IsRelativePath(const CString& path)
{
    if (path.GetLength() >= 2 && path[1] == L':')
        return false;
    return path.IsEmpty() || (path[0] != L'\\' && path[0] != L'/');
}

}  // namespace

CPluginSet::~CPluginSet()
{
    // Pages first: they may hold strings and code of their plug-in.
    for (HostPage& entry : pages_) {
        for (INT_PTR i = 0; i < entry.page->GetItemCount(); ++i) {
            if (SettingOption* option = entry.page->GetItemAt(i)->GetOption())
                (void)option->OptionHookB(0);
        }
        delete entry.page;
    }
    pages_.clear();
    for (auto& plugin : plugins_) {
        if (plugin->deleteDescriptor != nullptr)
            plugin->deleteDescriptor();
    }
    plugins_.clear();  // language modules and the libraries themselves go now
}

bool CPluginSet::Load(const CString& path)
{
    auto plugin = std::make_unique<Plugin>();
    plugin->path = FullPath(path);

    // A plug-in's own DLLs (on i686 the C++ runtime) lie beside it, not beside the host.
    plugin->module.reset(LoadLibraryExW(plugin->path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
    if (!plugin->module) {
        reporter_.Report(L"The plug-in \"" + plugin->path + L"\" could not be loaded (" +
                         SystemMessage(GetLastError()) + L"); it is skipped.");
        return false;
    }

    auto newDescriptor = reinterpret_cast<PlenkitNewClassDescProc>(
        reinterpret_cast<void*>(GetProcAddress(plugin->module.get(), PLENKIT_NEW_CLASS_DESC)));
    plugin->deleteDescriptor = reinterpret_cast<PlenkitDelClassDescProc>(
        reinterpret_cast<void*>(GetProcAddress(plugin->module.get(), PLENKIT_DEL_CLASS_DESC)));
    if (newDescriptor == nullptr || plugin->deleteDescriptor == nullptr) {
        reporter_.Report(L"The plug-in \"" + plugin->path + L"\" does not export " +
                         (newDescriptor == nullptr ? L"global_newClassDesc" : L"global_delClassDesc") +
                         L"; it is skipped.");
        return false;
    }

    const CString muiName = FileName(plugin->path) + L".mui";
    plugin->language = LoadLanguageModule(plugin->module.get(), muiName);
    if (!plugin->language) {
        reporter_.Report(L"The plug-in \"" + plugin->path + L"\" has no language resource (" + muiName +
                         L" in a language folder beside it); it is skipped.");
        return false;
    }

    ClassDesc* descriptor = nullptr;
    try {
        descriptor = newDescriptor();
    } catch (const std::bad_alloc&) {
        reporter_.Report(L"The plug-in \"" + plugin->path +
                         L"\" ran out of memory while it set up its pages; it is skipped.");
        return false;
    } catch (const CComException& e) {
        CString text;
        text.Format(L"The plug-in \"%s\" failed while it set up its pages (0x%08lX); it is skipped.",
                    plugin->path.GetString(), static_cast<unsigned long>(e.Error()));
        reporter_.Report(text);
        return false;
    } catch (...) {
        reporter_.Report(L"The plug-in \"" + plugin->path + L"\" failed while it set up its pages; it is skipped.");
        return false;
    }
    if (descriptor == nullptr) {
        reporter_.Report(L"The plug-in \"" + plugin->path + L"\" offers no pages; it is skipped.");
        return false;
    }

    Plugin& kept = *plugin;
    plugins_.push_back(std::move(plugin));
    TakePages(*descriptor, kept);
    return true;
}

void CPluginSet::TakePages(ClassDesc& descriptor, Plugin& plugin)
{
    CArray<PluginClass*> taken = descriptor.TakeClasses();
    for (INT_PTR i = 0; i < taken.GetSize(); ++i) {
        HostPage entry;
        entry.page = taken[i];
        entry.language = plugin.language.get();
        entry.pluginPath = plugin.path;
        if (!entry.title.LoadString(entry.language, entry.page->GetTitleId()))
            entry.title = entry.page->GetIdentity();
        (void)entry.description.LoadString(entry.language, entry.page->GetDescriptionId());
        try {
            pages_.push_back(entry);
        } catch (...) {
            for (INT_PTR j = i; j < taken.GetSize(); ++j)
                delete taken[j];
            throw;
        }
    }
}

void CPluginSet::CheckSupport()
{
    for (HostPage& entry : pages_) {
        try {
            entry.supported = entry.page->IsPageSupported();
        } catch (...) {
            entry.supported = false;
            reporter_.Report(L"The page \"" + entry.title + L"\" of \"" + entry.pluginPath +
                             L"\" failed to say whether it is supported; it is not shown.");
        }
    }
}

std::vector<CString> RegisteredPlugins()
{
    std::vector<std::pair<CString, CString>> named;
    unique_hkey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, pluginListKey, 0, KEY_READ, key.put()) != ERROR_SUCCESS)
        return {};
    for (DWORD index = 0;; ++index) {
        wchar_t name[256];
        DWORD nameLength = sizeof(name) / sizeof(name[0]);
        wchar_t data[MAX_PATH * 2];
        DWORD dataSize = sizeof(data) - sizeof(wchar_t);
        DWORD type = 0;
        const LONG result = RegEnumValueW(key.get(), index, name, &nameLength, nullptr, &type,
                                          reinterpret_cast<BYTE*>(data), &dataSize);
        if (result == ERROR_NO_MORE_ITEMS)
            break;
        if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
            continue;
        data[dataSize / sizeof(wchar_t)] = L'\0';
        CString path(data);
        if (path.IsEmpty())
            continue;
        const bool relative = IsRelativePath(path);
        named.emplace_back(CString(name), relative ? HostFolder() + path : path);
    }
    std::sort(named.begin(), named.end(),
              [](const auto& a, const auto& b) { return a.first.CompareNoCase(b.first) < 0; });
    std::vector<CString> paths;
    for (auto& entry : named)
        paths.push_back(entry.second);
    return paths;
}
