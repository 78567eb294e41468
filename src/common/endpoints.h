#pragma once
// Where the program goes on the network by default. Everything points at the loopback
// quote host of tools/quote-host; base_data.ini (BASE_URL, OPEN_URL, OPEN_NIKKEI_URL)
// points the program elsewhere.

namespace tickora::endpoints {

inline constexpr const char* kQuoteHost = "http://127.0.0.1:50505";
inline constexpr int kQuoteHostPort = 50505;
inline constexpr const char* kChartHost = "http://127.0.0.1:50505";
inline constexpr const char* kBoardHost = "http://127.0.0.1:50505";
inline constexpr const char* kCompanyHost = "http://127.0.0.1:50505";
inline constexpr const char* kMarketsHost = "http://127.0.0.1:50505";
inline constexpr const char* kHomePage = "http://127.0.0.1:50505/";

}  // namespace tickora::endpoints
