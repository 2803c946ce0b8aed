// Names the case a table-driven test is in when one of its checks fails, as
// SCOPED_TRACE does. SCOPED_TRACE keeps its stack per thread, and on Windows
// GoogleTest starts a thread for every thread that uses one, to wait for its end;
// the 32-bit-capable Wine now and then crashed ending a test program that still
// had that thread. This stack is the test thread's alone and starts no thread.
#pragma once
#include <gtest/gtest.h>
#include <string>

class RowTrace
{
public:
    RowTrace(const char* file, int line, const testing::Message& message);
    ~RowTrace();
    RowTrace(const RowTrace&) = delete;
    RowTrace& operator=(const RowTrace&) = delete;

    // Prints the open traces after every failure; the test entry installs it.
    static testing::TestEventListener* NewPrinter();
};

#define ROW_TRACE_NAME2(line) rowTrace##line
#define ROW_TRACE_NAME(line) ROW_TRACE_NAME2(line)
#define ROW_TRACE(message)                                                                                           \
    const RowTrace ROW_TRACE_NAME(__LINE__)(__FILE__, __LINE__, testing::Message() << (message))
