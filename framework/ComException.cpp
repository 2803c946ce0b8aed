#include "ComException.h"

void ThrowComError(HRESULT hr)
{
    throw CComException(hr);
}
