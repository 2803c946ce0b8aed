#pragma once
// The COM error that string and array operations raise when they cannot do their work.
#include <windows.h>

class CComException
{
public:
    explicit CComException(HRESULT hr) noexcept : hr_(hr) {}
    HRESULT Error() const noexcept { return hr_; }

private:
    HRESULT hr_;
};

[[noreturn]] void ThrowComError(HRESULT hr);
