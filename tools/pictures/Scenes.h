#pragma once
// The states the pictures show, opened in the real programs of this program's
// folder: TarvixUtility's main dialog in own and in preset mode, its
// key-combination dialog and application chooser, its error box, and the
// settings host on each of Peryl's pages. The picture driver photographs them;
// the fit test measures their controls. The programs show the language of the
// LANG this process runs under.
#include <windows.h>
#include <memory>
#include <string>
#include <vector>

// Scene names, in the order the pictures list them.
const std::vector<std::wstring>& SceneNames();

class Scene
{
public:
    // Opens the scene and waits until its window is painted; Window() is null
    // and Error() says why when it could not.
    explicit Scene(const std::wstring& name);
    // Closes everything as a user would, the program ended.
    ~Scene();
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;

    HWND Window() const { return shown_; }
    DWORD ProcessId() const;
    const std::string& Error() const { return error_; }

private:
    struct State;
    std::unique_ptr<State> state_;
    HWND main_ = nullptr;
    HWND shown_ = nullptr;
    std::wstring name_;
    std::string error_;
};
