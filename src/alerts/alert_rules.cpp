#include "alerts/alert_rules.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <utility>

#include "common/codepage.h"
#include "common/sjis.h"

namespace tickora {

namespace {

// Larger figures are none: no price or ratio comes near, and below it a double keeps every
// digit a page shows, so a threshold is written and read back exactly.
constexpr double kMaxFigure = 1e15;

// The full-width signs a figure may use (CP932) and their ASCII; digits are handled apart.
constexpr std::pair<std::string_view, char> kWideSigns[] = {
    {"\x81\x43", ','}, {"\x81\x44", '.'}, {"\x81\x7B", '+'},
    {"\x81\x7C", '-'}, {"\x81\x93", '%'}, {"\x81\x40", ' '},
};

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The text in ASCII; nullopt when it holds a double-byte character a figure never has.
std::optional<std::string> Narrowed(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!IsLeadByte(static_cast<unsigned char>(text[i]))) {
            out += text[i];
            continue;
        }
        const std::string_view pair = text.substr(i++, 2);
        const auto second = static_cast<unsigned char>(pair.size() == 2 ? pair[1] : 0);
        if (pair[0] == '\x82' && second >= 0x4F && second <= 0x58) {
            out += static_cast<char>('0' + (second - 0x4F));  // ０..９
            continue;
        }
        const auto* sign = std::find_if(std::begin(kWideSigns), std::end(kWideSigns),
                                        [&](const auto& wide) { return wide.first == pair; });
        if (sign == std::end(kWideSigns)) return std::nullopt;
        out += sign->second;
    }
    return out;
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

// Digits with commas only between digits of the integer part, then at most one fraction.
std::optional<double> UnsignedDecimal(std::string_view text) {
    std::string digits;
    bool point = false;
    char previous = 0;
    for (const char c : text) {
        // A thousands separator stands only between digits of the integer part.
        const bool separator = c == ',' && !point && IsDigit(previous);
        if (c == '.' && !point)
            point = true;
        else if (!IsDigit(c) && !separator)
            return std::nullopt;
        if (!separator) digits += c;
        previous = c;
    }
    if (!IsDigit(previous)) return std::nullopt;
    double value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
    return value;
}

std::string Kind(AlertKind kind) {
    switch (kind) {
        case AlertKind::Upper:
            return Sj("上限");
        case AlertKind::Lower:
            return Sj("下限");
        case AlertKind::Ratio:
            break;
    }
    return Sj("変化率");
}

// "上限 4,700 以上", "変化率 5% 以上".
std::string Limit(AlertKind kind, double threshold) {
    return Kind(kind) + " " + GroupedNumber(threshold) + (kind == AlertKind::Ratio ? "%" : "") +
           (kind == AlertKind::Lower ? Sj(" 以下") : Sj(" 以上"));
}

}  // namespace

bool AlertLimits::Any() const {
    for (const auto& value : values)
        if (value) return true;
    return false;
}

std::optional<double> ParseFigure(std::string_view cp932, bool percentAllowed) {
    const std::optional<std::string> narrow = Narrowed(cp932);
    if (!narrow) return std::nullopt;
    std::string_view text = Trimmed(*narrow);
    if (percentAllowed && text.ends_with('%')) text = Trimmed(text.substr(0, text.size() - 1));
    const bool negative = text.starts_with('-');
    if (negative || text.starts_with('+')) text.remove_prefix(1);
    const std::optional<double> value = UnsignedDecimal(text);
    if (!value || *value >= kMaxFigure) return std::nullopt;
    return negative && *value != 0 ? -*value : *value;
}

std::string PlainNumber(double value) {
    char text[400];
    const auto [end, error] =
        std::to_chars(text, text + sizeof text, value + 0.0, std::chars_format::fixed);
    return error == std::errc() ? std::string(text, end) : std::string();
}

std::string GroupedNumber(double value) {
    const std::string plain = PlainNumber(value);
    const std::size_t first = plain.starts_with('-') ? 1 : 0;
    const std::size_t end = std::min(plain.find('.'), plain.size());
    std::string grouped = plain.substr(0, first);
    for (std::size_t i = first; i < end; ++i) {
        if (i > first && (end - i) % 3 == 0) grouped += ',';
        grouped += plain[i];
    }
    return grouped + plain.substr(end);
}

void AlertBook::Load(const AlertTable& table) {
    entries_.clear();
    for (const auto& [stock, limits] : table) Set(stock, limits);
}

AlertTable AlertBook::Table() const {
    AlertTable table;
    for (const auto& [stock, entry] : entries_) table[stock] = entry.limits;
    return table;
}

const AlertLimits* AlertBook::Find(const StockId& stock) const {
    const auto it = entries_.find(stock);
    return it == entries_.end() ? nullptr : &it->second.limits;
}

void AlertBook::Set(const StockId& stock, const AlertLimits& limits) {
    if (!limits.Any()) {
        entries_.erase(stock);
        return;
    }
    Entry& entry = entries_[stock];
    for (std::size_t k = 0; k < kAlertKinds; ++k)
        if (entry.limits.values[k] != limits.values[k]) entry.armed[k] = true;
    entry.limits = limits;
}

void AlertBook::KeepOnly(const std::set<StockId>& listed) {
    std::erase_if(entries_, [&](const auto& entry) { return !listed.contains(entry.first); });
}

void AlertBook::NoteRead(const StockId& stock) {
    if (entries_.contains(stock)) reads_.insert(stock);
}

std::vector<StockId> AlertBook::TakeReads() {
    std::vector<StockId> reads(reads_.begin(), reads_.end());
    reads_.clear();
    return reads;
}

std::vector<AlertFiring> AlertBook::Check(const StockId& stock, std::string_view priceText,
                                          std::string_view ratioText) {
    const auto it = entries_.find(stock);
    const std::optional<double> price = ParseFigure(priceText, false);
    if (it == entries_.end() || !price) return {};
    const std::optional<double> ratio = ParseFigure(ratioText, true);
    Entry& entry = it->second;
    std::vector<AlertFiring> fired;
    for (std::size_t k = 0; k < kAlertKinds; ++k) {
        const auto kind = static_cast<AlertKind>(k);
        const std::optional<double>& threshold = entry.limits.values[k];
        if (!threshold || (kind == AlertKind::Ratio && !ratio)) continue;
        const bool beyond = kind == AlertKind::Upper   ? *price >= *threshold
                            : kind == AlertKind::Lower ? *price <= *threshold
                                                       : std::fabs(*ratio) >= *threshold;
        if (beyond && entry.armed[k]) fired.push_back({kind, *threshold});
        entry.armed[k] = !beyond;
    }
    return fired;
}

AlertNotice NoticeFor(const RowCells& row, const AlertFiring& firing) {
    const std::string& name = row[ids::kColName];
    AlertNotice notice;
    notice.summary = row[ids::kColCode] + (name.empty() ? "" : " " + name);
    // The ratio's threshold holds either way, so the body speaks of the ratio's size.
    if (firing.kind == AlertKind::Ratio)
        notice.body = Sj("変化率 ") + row[ids::kColRatio] + Sj(" の幅が ") +
                      GroupedNumber(firing.threshold) + Sj("% 以上になりました");
    else
        notice.body = Sj("現在値 ") + row[ids::kColPrice] + Sj(" が") +
                      Limit(firing.kind, firing.threshold) + Sj("になりました");
    if (!row[ids::kColTime].empty()) notice.body += Sj("（") + row[ids::kColTime] + Sj(" 時点）");
    return notice;
}

std::string AlertTipLine(const AlertLimits& limits) {
    std::string line = Sj("アラート:");
    const char* separator = " ";
    for (std::size_t k = 0; k < kAlertKinds; ++k) {
        if (!limits.values[k]) continue;
        line += separator + Limit(static_cast<AlertKind>(k), *limits.values[k]);
        separator = "\x81\x41";  // 、
    }
    return line;
}

}  // namespace tickora
