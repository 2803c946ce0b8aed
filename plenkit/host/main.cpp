// The settings host: loads plug-ins and shows their supported pages.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>
#include "Guards.h"
#include "HostCommandLine.h"
#include "HostWindow.h"

namespace {

void ListPages(CPluginSet& plugins)
{
    for (size_t i = 0; i < plugins.GetPageCount(); ++i) {
        const HostPage& entry = plugins.GetPage(i);
        CString line;
        line.Format(L"%u\t%s\t%s\t%s\n", static_cast<unsigned>(i), entry.supported ? L"supported" : L"unsupported",
                    entry.title.GetString(), entry.page->GetIdentity().GetString());
        WriteStdText(STD_OUTPUT_HANDLE, line);
    }
}

void ShowProblems(const CConsoleReporter& reporter)
{
    const CArray<CString>& messages = reporter.Messages();
    if (messages.IsEmpty())
        return;
    CString text;
    for (INT_PTR i = 0; i < messages.GetSize(); ++i)
        text += messages[i] + L"\n\n";
    MessageBoxW(nullptr, text.Trim(), L"Corvane Settings", MB_OK | MB_ICONWARNING);
}

int RunHost(const HostCommandLine& line)
{
    CConsoleReporter reporter;
    bool allLoaded = true;
    {
        CPluginSet plugins(reporter);
        std::vector<CString> paths = line.plugins.empty() ? RegisteredPlugins() : line.plugins;
        if (paths.empty())
            reporter.Report(L"No plug-ins are named on the command line or registered for the host.");
        for (const CString& path : paths)
            allLoaded = plugins.Load(path) && allLoaded;
        plugins.CheckSupport();

        if (line.list) {
            ListPages(plugins);
            return allLoaded ? 0 : 2;
        }
        if (!line.quiet)
            ShowProblems(reporter);

        CHostWindow host(plugins, reporter);
        HWND window = host.Create(line.initialPage, true);
        if (window == nullptr) {
            reporter.Report(L"The host window could not be created.");
            return 3;
        }
        ShowWindow(window, SW_SHOWNORMAL);
        UpdateWindow(window);
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
            if (host.GetWindow() == nullptr || !IsDialogMessageW(host.GetWindow(), &msg)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
    }
    return allLoaded ? 0 : 2;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argv == nullptr)
        return 1;
    const HostCommandLine line = ParseHostCommandLine(argc, argv);
    LocalFree(argv);
    if (!line.error.IsEmpty()) {
        WriteStdText(STD_ERROR_HANDLE, L"PlenkitHost: " + line.error + L"\n");
        if (!line.quiet)
            MessageBoxW(nullptr, line.error, L"Corvane Settings", MB_OK | MB_ICONERROR);
        return 1;
    }

    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    // Plug-ins talk to COM services on this thread; without COM those calls
    // fail and the pages carry on.
    const com_initialization com(COINIT_APARTMENTTHREADED);
    try {
        return RunHost(line);
    } catch (...) {
        WriteStdText(STD_ERROR_HANDLE, L"PlenkitHost: an unexpected error ended the host.\n");
        return 4;
    }
}
