#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

// Console output plus the real times of every run, so main() can print how ours compares
// with the command-line tool measured in the same run. With --benchmark_repetitions the
// median of the repetitions is compared, which a busy machine disturbs least.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration)
                times_[run.run_name.function_name].push_back(run.GetAdjustedRealTime());
        ConsoleReporter::ReportRuns(runs);
    }

    void printRatio(const std::string& ours, const std::string& tool, double budget) const
    {
        const double a = median(ours), b = median(tool);
        if (a <= 0 || b <= 0)
            return;
        std::printf("%s %.2f ms / %s %.2f ms = %.2f (budget %.1f): %s\n", ours.c_str(), a, tool.c_str(), b, a / b,
                    budget, a / b <= budget ? "within" : "OVER");
    }

    // A ratio that has no budget of its own: what a part of the work costs.
    void printRatio(const std::string& ours, const std::string& tool) const
    {
        const double a = median(ours), b = median(tool);
        if (a > 0 && b > 0)
            std::printf("%s %.2f ms / %s %.2f ms = %.2f\n", ours.c_str(), a, tool.c_str(), b, a / b);
    }

private:
    double median(const std::string& name) const
    {
        const auto it = times_.find(name);
        if (it == times_.end())
            return 0;
        std::vector<double> t = it->second;
        std::sort(t.begin(), t.end());
        return t[t.size() / 2];
    }

    std::map<std::string, std::vector<double>> times_;
};
