#pragma once
// The chart snapshot's address, and the lock that lets one snapshot run at a time.

#include <mutex>
#include <string>

namespace tickora {

struct ChartState {
    std::string m_strChartUrl;
    std::mutex m_csChart;
};

}  // namespace tickora
