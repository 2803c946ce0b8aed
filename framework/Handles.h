#pragma once
// Owning wrappers for the Win32 and COM handles the code holds: each closes
// its handle exactly once, moves but never copies.
#include <windows.h>
#include <objbase.h>
#include <oleauto.h>
#include <utility>

template <typename Traits>
class unique_resource
{
public:
    using handle_type = typename Traits::type;

    unique_resource() noexcept : handle_(Traits::invalid()) {}
    explicit unique_resource(handle_type handle) noexcept : handle_(handle) {}
    unique_resource(unique_resource&& other) noexcept : handle_(other.release()) {}
    unique_resource& operator=(unique_resource&& other) noexcept
    {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    unique_resource(const unique_resource&) = delete;
    unique_resource& operator=(const unique_resource&) = delete;
    ~unique_resource() { reset(); }

    handle_type get() const noexcept { return handle_; }
    bool valid() const noexcept { return Traits::is_valid(handle_); }
    explicit operator bool() const noexcept { return valid(); }

    handle_type release() noexcept { return std::exchange(handle_, Traits::invalid()); }
    void reset(handle_type handle = Traits::invalid()) noexcept
    {
        handle_type old = std::exchange(handle_, handle);
        if (Traits::is_valid(old))
            Traits::close(old);
    }
    // For out parameters: frees what is held and hands out the slot.
    handle_type* put() noexcept
    {
        reset();
        return &handle_;
    }

private:
    handle_type handle_;
};

namespace handle_traits {

template <typename T, typename Close>
struct NullIsInvalid
{
    using type = T;
    static T invalid() noexcept { return nullptr; }
    static bool is_valid(T h) noexcept { return h != nullptr; }
    static void close(T h) noexcept { Close::close(h); }
};

struct CloseKey
{
    static void close(HKEY h) noexcept { ::RegCloseKey(h); }
};
struct CloseModule
{
    static void close(HMODULE h) noexcept { ::FreeLibrary(h); }
};
struct CloseBstr
{
    static void close(BSTR h) noexcept { ::SysFreeString(h); }
};
struct CloseIcon
{
    static void close(HICON h) noexcept { ::DestroyIcon(h); }
};
struct CloseGdiObject
{
    static void close(HGDIOBJ h) noexcept { ::DeleteObject(h); }
};
struct CloseDc
{
    static void close(HDC h) noexcept { ::DeleteDC(h); }
};
struct CloseLocal
{
    static void close(HLOCAL h) noexcept { ::LocalFree(h); }
};

// Kernel handles use null or INVALID_HANDLE_VALUE for "none" depending on the call.
struct KernelHandle
{
    using type = HANDLE;
    static HANDLE invalid() noexcept { return nullptr; }
    static bool is_valid(HANDLE h) noexcept { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void close(HANDLE h) noexcept { ::CloseHandle(h); }
};

}  // namespace handle_traits

using unique_handle = unique_resource<handle_traits::KernelHandle>;
using unique_hkey = unique_resource<handle_traits::NullIsInvalid<HKEY, handle_traits::CloseKey>>;
using unique_hmodule = unique_resource<handle_traits::NullIsInvalid<HMODULE, handle_traits::CloseModule>>;
using unique_bstr = unique_resource<handle_traits::NullIsInvalid<BSTR, handle_traits::CloseBstr>>;
using unique_hicon = unique_resource<handle_traits::NullIsInvalid<HICON, handle_traits::CloseIcon>>;
using unique_hdc = unique_resource<handle_traits::NullIsInvalid<HDC, handle_traits::CloseDc>>;
using unique_hlocal = unique_resource<handle_traits::NullIsInvalid<HLOCAL, handle_traits::CloseLocal>>;
template <typename T>
using unique_gdi = unique_resource<handle_traits::NullIsInvalid<T, handle_traits::CloseGdiObject>>;

// A VARIANT that is cleared when it goes.
class unique_variant
{
public:
    unique_variant() noexcept { ::VariantInit(&value_); }
    ~unique_variant() { (void)::VariantClear(&value_); }
    unique_variant(const unique_variant&) = delete;
    unique_variant& operator=(const unique_variant&) = delete;

    VARIANT* get() noexcept { return &value_; }
    const VARIANT* get() const noexcept { return &value_; }
    VARIANT* operator->() noexcept { return &value_; }
    const VARIANT* operator->() const noexcept { return &value_; }
    VARIANT* put() noexcept
    {
        (void)::VariantClear(&value_);
        return &value_;
    }

private:
    VARIANT value_;
};

// Owning COM interface pointer: Release on reset, AddRef on copy.
template <typename T>
class com_ptr
{
public:
    com_ptr() noexcept = default;
    com_ptr(std::nullptr_t) noexcept {}
    com_ptr(const com_ptr& other) noexcept : ptr_(other.ptr_)
    {
        if (ptr_)
            ptr_->AddRef();
    }
    com_ptr(com_ptr&& other) noexcept : ptr_(std::exchange(other.ptr_, nullptr)) {}
    com_ptr& operator=(com_ptr other) noexcept
    {
        std::swap(ptr_, other.ptr_);
        return *this;
    }
    ~com_ptr() { reset(); }

    // Takes over a reference the caller already holds.
    static com_ptr attach(T* ptr) noexcept
    {
        com_ptr result;
        result.ptr_ = ptr;
        return result;
    }

    T* get() const noexcept { return ptr_; }
    T* operator->() const noexcept { return ptr_; }
    explicit operator bool() const noexcept { return ptr_ != nullptr; }
    T* detach() noexcept { return std::exchange(ptr_, nullptr); }
    void reset() noexcept
    {
        if (T* old = std::exchange(ptr_, nullptr))
            old->Release();
    }
    T** put() noexcept
    {
        reset();
        return &ptr_;
    }
    void** put_void() noexcept { return reinterpret_cast<void**>(put()); }

private:
    T* ptr_ = nullptr;
};
