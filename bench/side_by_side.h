#pragma once
// A figure beside the limit measured in the same run, printed as one line after the table:
//   fetch 152 us | raw socket GET 120 us | ratio 1.27 (goal 1.2)

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace tickora::bench {

inline double Median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2), v.end());
    return v[v.size() / 2];
}

// The medians of a figure and of its limit, in microseconds.
struct SideBySide {
    double figure = 0, limit = 0;
};

// Times figure() and then limit() in every iteration of a benchmark's state, so that both
// meet the machine as it is at that moment.
template <class State, class Figure, class Limit>
SideBySide TimeSideBySide(State& state, Figure&& figure, Limit&& limit) {
    using Clock = std::chrono::steady_clock;
    const auto micros = [](Clock::duration d) {
        return std::chrono::duration<double, std::micro>(d).count();
    };
    std::vector<double> figures, limits;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        figure();
        const auto t1 = Clock::now();
        limit();
        limits.push_back(micros(Clock::now() - t1));
        figures.push_back(micros(t1 - t0));
    }
    return {Median(figures), Median(limits)};
}

inline std::string RatioLine(const std::string& figure, double value, const std::string& limit,
                             double limitValue, const char* unit, double goal) {
    char line[256];
    std::snprintf(line, sizeof line, "%s %.3g %s | %s %.3g %s | ratio %.2f (goal %.3g)",
                  figure.c_str(), value, unit, limit.c_str(), limitValue, unit,
                  limitValue > 0 ? value / limitValue : 0.0, goal);
    return line;
}

// Google Benchmark runs a benchmark several times while it settles the iteration count;
// the last run of each key is the one kept.
inline std::map<std::string, std::string>& RatioLines() {
    static std::map<std::string, std::string> lines;
    return lines;
}

inline void KeepRatioLine(const std::string& key, std::string line) {
    RatioLines()[key] = std::move(line);
}

}  // namespace tickora::bench
