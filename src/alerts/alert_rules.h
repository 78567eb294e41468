#pragma once
// Price alerts: the thresholds of a stock, when they fire, and what they say. No toolkit.
//
// A threshold fires when a successful read finds its figure at or beyond it, and then stays
// quiet until a read finds the figure back inside; each threshold keeps its own state. Every
// threshold starts armed, so one already crossed at the first read after start fires once.

#include <array>
#include <compare>
#include <cstddef>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "common/row_cells.h"

namespace tickora {

// A stock as the list holds it: code and market display name, CP932.
struct StockId {
    std::string code, market;
    auto operator<=>(const StockId&) const = default;
};

enum class AlertKind { Upper, Lower, Ratio };  // 上限, 下限, 変化率
inline constexpr std::size_t kAlertKinds = 3;

// The three optional thresholds: a price at or above, a price at or below, and the change
// ratio's absolute value in percent at or above.
struct AlertLimits {
    std::array<std::optional<double>, kAlertKinds> values;

    std::optional<double>& operator[](AlertKind kind) {
        return values[static_cast<std::size_t>(kind)];
    }
    const std::optional<double>& operator[](AlertKind kind) const {
        return values[static_cast<std::size_t>(kind)];
    }
    bool Any() const;
    bool operator==(const AlertLimits&) const = default;
};

using AlertTable = std::map<StockId, AlertLimits>;

// A figure as a page or a user writes it: blanks around, an optional sign, digits with
// thousands commas, an optional fraction and, when percent is allowed, a trailing '%'; the
// full-width forms of all of these too. nullopt for anything else ("---", "", "12円").
std::optional<double> ParseFigure(std::string_view cp932, bool percentAllowed);
// The shortest plain decimal that reads back as value ("1234.5"), and the same with thousands
// commas ("1,234.5") for people.
std::string PlainNumber(double value);
std::string GroupedNumber(double value);

struct AlertFiring {
    AlertKind kind;
    double threshold;
};

// Every stock's thresholds and their states, and the stocks read in the running pass.
class AlertBook {
  public:
    // Replaces every alert; all start armed.
    void Load(const AlertTable& table);
    AlertTable Table() const;
    const AlertLimits* Find(const StockId& stock) const;
    // Sets a stock's thresholds (none: the alert goes). A threshold that changed is armed
    // again; one that stayed keeps its state, so confirming the dialog does not fire again.
    void Set(const StockId& stock, const AlertLimits& limits);
    // Drops the alerts of stocks no longer in the list.
    void KeepOnly(const std::set<StockId>& listed);

    // A pass stored a quote for the stock; TakeReads hands the stocks with an alert over once.
    void NoteRead(const StockId& stock);
    std::vector<StockId> TakeReads();
    // The thresholds the stock's list texts fire now. A price that is no number is a failed
    // read: nothing fires and no state changes. A ratio that is no number leaves only the
    // ratio threshold as it was.
    std::vector<AlertFiring> Check(const StockId& stock, std::string_view priceText,
                                   std::string_view ratioText);

  private:
    struct Entry {
        AlertLimits limits;
        std::array<bool, kAlertKinds> armed{true, true, true};
    };
    std::map<StockId, Entry> entries_;
    std::set<StockId> reads_;
};

// What a fired alert tells the desktop, CP932: summary "8058 東西精機", body with the figure,
// the threshold it crossed and the quote's time.
struct AlertNotice {
    std::string summary, body;
    bool operator==(const AlertNotice&) const = default;
};
AlertNotice NoticeFor(const RowCells& row, const AlertFiring& firing);

// The list tooltip's line for a stock with an alert: "アラート: 上限 4,700 以上 ...", CP932.
std::string AlertTipLine(const AlertLimits& limits);

}  // namespace tickora
