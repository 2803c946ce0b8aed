#pragma once
// Growable array with value semantics. An index outside 0..size-1 raises
// E_INVALIDARG; running out of memory raises E_OUTOFMEMORY.
#include <new>
#include <stdexcept>
#include <utility>
#include <vector>
#include "ComException.h"

template <typename T>
class CArray
{
public:
    INT_PTR GetSize() const noexcept { return static_cast<INT_PTR>(items_.size()); }
    INT_PTR GetCount() const noexcept { return GetSize(); }
    bool IsEmpty() const noexcept { return items_.empty(); }

    // Grows by one, then copies the value into the new last element.
    INT_PTR Add(const T& value)
    {
        T copy(value);  // value may live in this array and move when it grows
        try {
            items_.emplace_back();
        } catch (const std::bad_alloc&) {
            ThrowComError(E_OUTOFMEMORY);
        }
        items_.back() = std::move(copy);
        return GetSize() - 1;
    }

    void RemoveAll() noexcept { items_.clear(); }

    void SetSize(INT_PTR size)
    {
        if (size < 0)
            ThrowComError(E_INVALIDARG);
        try {
            items_.resize(static_cast<size_t>(size));
        } catch (const std::bad_alloc&) {
            ThrowComError(E_OUTOFMEMORY);
        } catch (const std::length_error&) {
            ThrowComError(E_OUTOFMEMORY);
        }
    }

    void Copy(const CArray& other)
    {
        if (this == &other)
            return;
        SetSize(other.GetSize());
        for (INT_PTR i = 0; i < other.GetSize(); ++i)
            items_[static_cast<size_t>(i)] = other.items_[static_cast<size_t>(i)];
    }

    T& ElementAt(INT_PTR index) { return items_[Checked(index)]; }
    const T& GetAt(INT_PTR index) const { return items_[Checked(index)]; }
    void SetAt(INT_PTR index, const T& value) { items_[Checked(index)] = value; }
    T& operator[](INT_PTR index) { return ElementAt(index); }
    const T& operator[](INT_PTR index) const { return GetAt(index); }

private:
    size_t Checked(INT_PTR index) const
    {
        if (index < 0 || index >= GetSize())
            ThrowComError(E_INVALIDARG);
        return static_cast<size_t>(index);
    }

    std::vector<T> items_;
};
