#include "RowTrace.h"
#include <cstdio>
#include <vector>

namespace {
std::vector<std::string>& Open()
{
    static std::vector<std::string> open;
    return open;
}

class Printer : public testing::EmptyTestEventListener
{
    void OnTestPartResult(const testing::TestPartResult& result) override
    {
        if (!result.failed() || Open().empty())
            return;
        std::printf("Row trace:\n");
        for (auto it = Open().rbegin(); it != Open().rend(); ++it)
            std::printf("%s\n", it->c_str());
        std::fflush(stdout);
    }
};
}  // namespace

RowTrace::RowTrace(const char* file, int line, const testing::Message& message)
{
    Open().push_back(std::string(file) + ":" + std::to_string(line) + ": " + message.GetString());
}

RowTrace::~RowTrace()
{
    Open().pop_back();
}

testing::TestEventListener* RowTrace::NewPrinter()
{
    return new Printer;
}
