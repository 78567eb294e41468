#pragma once
// The main window's links: the stock link and the Nikkei link with their labels (CP932), and
// the settings whose link was refused, each reported once.

#include <set>
#include <string>

namespace tickora {

struct LinkSettings {
    std::string m_strNikkeiUrl;
    std::string m_strStockLabel;
    std::string m_strNikkeiLabel;
    std::string m_strStockUrl;
    std::set<std::string> m_setRefusedLinks;  // settings whose non-web link was reported
};

}  // namespace tickora
