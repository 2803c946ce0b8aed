#include "StringManager.h"
#include <climits>
#include <cstdlib>

void CStringData::AddRef() noexcept
{
    if (!IsLocked())
        InterlockedIncrement(&refs);
}

void CStringData::Release() noexcept
{
    if (!IsLocked() && InterlockedDecrement(&refs) == 0)
        manager->Free(this);
}

namespace {

class HeapStringManager final : public IStringManager
{
public:
    HeapStringManager() noexcept
    {
        nil_.data = {this, -1, 0, 0};
        nil_.terminator = L'\0';
    }

    CStringData* Allocate(int capacity) override
    {
        const size_t bytes = BlockSize(capacity);
        if (bytes == 0)
            return nullptr;
        auto* data = static_cast<CStringData*>(std::malloc(bytes));
        if (data == nullptr)
            return nullptr;
        *data = {this, 1, 0, capacity};
        data->Chars()[0] = L'\0';
        return data;
    }

    CStringData* Reallocate(CStringData* data, int capacity) override
    {
        const size_t bytes = BlockSize(capacity);
        if (bytes == 0)
            return nullptr;
        auto* grown = static_cast<CStringData*>(std::realloc(data, bytes));
        if (grown == nullptr)
            return nullptr;
        grown->capacity = capacity;
        return grown;
    }

    void Free(CStringData* data) override { std::free(data); }

    CStringData* GetNilString() override { return &nil_.data; }

private:
    // 0 when the size cannot be represented.
    static size_t BlockSize(int capacity) noexcept
    {
        if (capacity < 0 || capacity > (INT_MAX - 64) / static_cast<int>(sizeof(wchar_t)))
            return 0;
        return sizeof(CStringData) + (static_cast<size_t>(capacity) + 1) * sizeof(wchar_t);
    }

    struct
    {
        CStringData data;
        wchar_t terminator;
    } nil_;
};

HeapStringManager& Heap()
{
    static HeapStringManager manager;
    return manager;
}

IStringManager* currentManager = nullptr;

}  // namespace

IStringManager* GetDefaultStringManager()
{
    return currentManager != nullptr ? currentManager : &Heap();
}

IStringManager* SetDefaultStringManager(IStringManager* manager)
{
    IStringManager* previous = GetDefaultStringManager();
    currentManager = manager;
    return previous;
}
