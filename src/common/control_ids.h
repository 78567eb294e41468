#pragma once
// Control and command ids of the main window. Widgets carry them as object names, so
// tests and readers find a control by its id.

namespace tickora::ids {

inline constexpr int kAddButton = 1003;
inline constexpr int kNikkeiLine = 1029;
inline constexpr int kNikkeiChange = 1035;
inline constexpr int kNikkeiFiller = 1032;
inline constexpr int kNikkeiChangeFiller = 1038;
inline constexpr int kTopixLine = 1030;
inline constexpr int kTopixChange = 1036;
inline constexpr int kJasdaqLine = 1031;
inline constexpr int kJasdaqChange = 1037;
inline constexpr int kCodeEdit = 1001;
inline constexpr int kNameEdit = 1008;
inline constexpr int kMarketCombo = 1020;
inline constexpr int kTimeEdit = 1016;
inline constexpr int kPriceEdit = 1002;
inline constexpr int kChangeEdit = 1017;
inline constexpr int kRatioEdit = 1018;
inline constexpr int kVolumeEdit = 1019;
inline constexpr int kMarkEdit = 1021;
inline constexpr int kWatchList = 1007;
inline constexpr int kSettingsButton = 1043;
inline constexpr int kChartButton = 1026;
inline constexpr int kIntervalEdit = 1023;
inline constexpr int kIntervalSpin = 1024;
inline constexpr int kConnectButton = 1010;
inline constexpr int kDisconnectButton = 1009;
inline constexpr int kStatus = 1011;
inline constexpr int kHomeLink = 1028;

// The statics that answer a click with their command: the home-page text and the index names.
inline constexpr int kClickableStatics[] = {kHomeLink, kNikkeiLine, kTopixLine, kJasdaqLine};
constexpr bool IsClickableStatic(int id) {
    for (const int clickable : kClickableStatics)
        if (id == clickable) return true;
    return false;
}

// Commands.
inline constexpr int kCmdOpenLink = 32782;
inline constexpr int kCmdDelete = 32774;
inline constexpr int kCmdDeleteAll = 32775;
inline constexpr int kCmdOpenMain = 32783;
inline constexpr int kCmdVersion = 32784;
inline constexpr int kCmdClickOpensLink = 32785;
inline constexpr int kCmdLinkSettings = 32787;
inline constexpr int kCmdStartInTray = 32788;
inline constexpr int kCmdQuotePageSettings = 32789;
inline constexpr int kCmdClose = 32790;
inline constexpr int kCmdAlertSettings = 32791;
inline constexpr int kCmdNikkei = 32795;
inline constexpr int kCmdTrayStockFirst = 50000;  // + row, for at most kMaxRows rows
// In no menu: Enter and a double click on the list.
inline constexpr int kCmdListMenuAtRow = 32800;
inline constexpr int kCmdRowLink = 32801;

// Rows a user may add; a hand-edited settings file may load more.
inline constexpr int kMaxRows = 15;

// Timers.
inline constexpr int kTimerRefresh = 0;
inline constexpr int kTimerTip = 1;
inline constexpr int kTipPeriodMs = 2000;

}  // namespace tickora::ids
