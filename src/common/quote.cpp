#include "common/quote.h"

#include "common/codepage.h"
#include "common/leading_int.h"
#include "common/sjis.h"

namespace tickora {

namespace {
Quote QuoteOfFields(FigureTexts f) {
    std::string mark = RiseFallMark(f[kRatioFigure]);
    return {std::move(f[0]), std::move(f[1]), std::move(f[2]), std::move(f[3]),
            std::move(f[4]), std::move(f[5]), std::move(mark)};
}
}  // namespace

const std::string& FetchErrorHead() {
    static const std::string head = Sj("例外が発生しました。\r\nエラー: ");
    return head;
}

FigureTexts SplitQuoteResult(std::string_view r) {
    FigureTexts fields;
    // Pages never carry a CR, so no field of a page's result can begin like this.
    if (r.starts_with(FetchErrorHead())) return fields;
    const auto size = static_cast<Offset>(r.size());
    Offset start = 0;
    for (auto& field : fields) {
        const Offset e = start >= size ? kNone : Find(r, "_", start);
        if (e == kNone) break;  // this field and all after it stay empty
        field = Cut(r, start, e - start);
        start = e + 1;
    }
    return fields;
}

const std::string& RiseMark() {
    static const std::string mark = Sj("△ ");
    return mark;
}
const std::string& FallMark() {
    static const std::string mark = Sj("▼ ");
    return mark;
}
const std::string& FlatMark() {
    static const std::string mark = Sj("－ ");
    return mark;
}

const std::string& RiseFallMark(std::string_view ratio) {
    if (Contains(ratio, "+")) return RiseMark();
    if (Contains(ratio, "-")) return FallMark();
    return FlatMark();
}

bool ReadWell(std::string_view result) {
    return !result.empty() && !result.starts_with(FetchErrorHead());
}

std::optional<Quote> RowQuote(std::string_view result) {
    if (result.empty()) return std::nullopt;
    return QuoteOfFields(SplitQuoteResult(result));
}

Quote EntryQuote(std::string_view result) {
    FigureTexts f = SplitQuoteResult(result);
    if (LeadingInt(f[kPriceFigure]) > 0) return QuoteOfFields(std::move(f));
    const std::string none = "no data";
    return {none, none, none, none, none, none, none};
}

}  // namespace tickora
