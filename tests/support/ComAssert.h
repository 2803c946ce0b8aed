#pragma once
// Checks that a statement raises the framework's COM error with a given code.
#include <gtest/gtest.h>
#include "ComException.h"

#define EXPECT_COM_ERROR(statement, expected)                                                                        \
    do {                                                                                                             \
        HRESULT raised_ = S_OK;                                                                                      \
        try {                                                                                                        \
            statement;                                                                                               \
        } catch (const CComException& e) {                                                                           \
            raised_ = e.Error();                                                                                     \
        }                                                                                                            \
        EXPECT_EQ(static_cast<HRESULT>(expected), raised_) << "statement: " #statement;                              \
    } while (0)
