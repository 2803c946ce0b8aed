#pragma once
// What the benchmark programs share: a clock, samples with their median and
// spread, and the verdict printed against a target.
#include <windows.h>
#include <string>
#include <vector>

// Milliseconds from QueryPerformanceCounter.
class Stopwatch
{
public:
    Stopwatch() { Restart(); }
    void Restart() { QueryPerformanceCounter(&start_); }
    double ElapsedMs() const;

private:
    LARGE_INTEGER start_{};
};

class Samples
{
public:
    void Add(double value) { values_.push_back(value); }
    size_t Count() const { return values_.size(); }
    bool Empty() const { return values_.empty(); }
    // Of an even count, the mean of the two middle values.
    double Median() const;
    double Min() const;
    double Max() const;

private:
    std::vector<double> values_;
};

// "met" or "MISSED", for a value that must stay at or below its target.
const char* Verdict(double value, double target);

// One line a script can pick up: RESULT <case> <measure> <value> <target> <verdict>.
void PrintResult(const char* caseName, const char* measure, double value, double target);

std::string Narrow(const std::wstring& text);
