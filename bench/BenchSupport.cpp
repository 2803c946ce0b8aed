#include "BenchSupport.h"
#include <algorithm>
#include <cstdio>

double Stopwatch::ElapsedMs() const
{
    LARGE_INTEGER now{};
    LARGE_INTEGER frequency{};
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart - start_.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

double Samples::Median() const
{
    if (values_.empty())
        return 0.0;
    std::vector<double> sorted(values_);
    std::sort(sorted.begin(), sorted.end());
    const size_t middle = sorted.size() / 2;
    return sorted.size() % 2 != 0 ? sorted[middle] : (sorted[middle - 1] + sorted[middle]) / 2.0;
}

double Samples::Min() const
{
    return values_.empty() ? 0.0 : *std::min_element(values_.begin(), values_.end());
}

double Samples::Max() const
{
    return values_.empty() ? 0.0 : *std::max_element(values_.begin(), values_.end());
}

const char* Verdict(double value, double target)
{
    return value <= target ? "met" : "MISSED";
}

void PrintResult(const char* caseName, const char* measure, double value, double target)
{
    std::printf("RESULT %s %s %.3f %.3f %s\n", caseName, measure, value, target, Verdict(value, target));
    std::fflush(stdout);
}

std::string Narrow(const std::wstring& text)
{
    if (text.empty())
        return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                         nullptr);
    std::string narrow(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &narrow[0], size, nullptr, nullptr);
    return narrow;
}
