#pragma once
// Integer values per section and index. Set changes memory only; Commit makes
// the values last (a file replaced in one step, so a crash mid-write leaves
// the previous file); Reload reads the file again and drops what was not committed.
#include <windows.h>
#include <map>
#include <string>
#include <utility>

namespace sim {

class SettingsStore
{
public:
    explicit SettingsStore(std::wstring file) : file_(std::move(file)) {}
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    // Section names may not hold tabs or line breaks: they would break the file.
    static bool IsValidSection(const std::wstring& section);

    bool Get(const std::wstring& section, LONG index, INT32& value) const;
    void Set(const std::wstring& section, LONG index, INT32 value);
    void Remove(const std::wstring& section, LONG index);

    HRESULT Commit();
    HRESULT Reload();

    const std::wstring& File() const { return file_; }

private:
    using Values = std::map<std::pair<std::wstring, LONG>, INT32>;

    static std::string Serialize(const Values& values);
    static Values Parse(const std::string& text);

    const std::wstring file_;
    mutable SRWLOCK lock_ = SRWLOCK_INIT;
    Values values_;
};

}  // namespace sim
