#include "alerts/alert_rules.h"

#include <gtest/gtest.h>

#include <sstream>

#include "common/codepage.h"

namespace tickora {
namespace {

AlertLimits Limits(std::optional<double> upper, std::optional<double> lower,
                   std::optional<double> ratio) {
    return AlertLimits{{upper, lower, ratio}};
}

TEST(AlertRules, FiguresReadAsTheListAndUsersWriteThem) {
    struct Case {
        const char* text;  // UTF-8
        bool percent;
        std::optional<double> value;
    } cases[] = {
        {"1,234", false, 1234},
        {" 16,500.12 ", false, 16500.12},
        {"+0.98%", true, 0.98},
        {"-1.2%", true, -1.2},
        {"１，２３４．５", false, 1234.5},
        {"－３．５％", true, -3.5},
        {".5", false, 0.5},
        {"---", false, {}},
        {"", false, {}},
        {"12円", false, {}},
        {"5%", false, {}},
        {"1,,2", false, {}},
        {",123", false, {}},
        {"1.2.3", false, {}},
        {"1.", false, {}},
        {"+", true, {}},
        {"1e5", false, {}},
        {"(+1.2%)", true, {}},
        {"1,000,000,000,000,000", false, {}},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseFigure(Sj(c.text), c.percent), c.value) << c.text;
}

TEST(AlertRules, NumbersAreWrittenShortAndReadBackExactly) {
    for (const double value : {-1234567.25, 0.1, 999999999999999.0, 5e-324, 0.0})
        for (const std::string& text : {PlainNumber(value), GroupedNumber(value)})
            EXPECT_EQ(ParseFigure(text, false), value) << text;
    EXPECT_EQ(PlainNumber(-1234567.25) + " " + GroupedNumber(-1234567.25),
              "-1234567.25 -1,234,567.25");
}

// Reads of one stock in a row, "price ratio fires" each, "_" for an empty text or no firing;
// what fires is U(pper), L(ower) and R(atio).
struct Crossing {
    const char* name;
    std::optional<double> upper, lower, ratio;
    const char* reads;
};
constexpr std::nullopt_t no = std::nullopt;
const Crossing kCrossings[] = {
    {"already beyond at the first read", 100, no, no, "120 _ U; 130 _ _; 125 _ _"},
    {"at the threshold, back inside, beyond again", 100, no, no, "100 _ U; 99.9 _ _; 101 _ U"},
    {"lower", no, 50, no, "51 _ _; 50 _ L; 49 _ _; 51 _ _; 40 _ L"},
    {"the ratio's size, either sign", no, no, 2,
     "9 +1.5% _; 9 -2.0% R; 9 +2.5% _; 9 +0.5% _; 9 +3% R"},
    {"failed reads neither re-arm nor disarm", 100, no, no,
     "120 _ U; --- _ _; _ _ _; 125 _ _; 90 _ _; abc _ _; 110 _ U"},
    {"each threshold on its own", 100, 80, 5,
     "120 +6% UR; 120 +1% _; 120 +7% R; 70 -8% L; 130 +9% U"},
    {"a ratio that is no number leaves the ratio threshold alone", 100, no, 5,
     "90 +6% R; 90 --- _; 90 +6% _; 90 +1% _; 90 --- _; 90 +6% R"},
    {"full-width figures", 1000, no, 2, "１，２００ ＋２．５％ UR"},
};

TEST(AlertRules, EachThresholdFiresOncePerCrossingAndFailedReadsChangeNothing) {
    const StockId stock{"8058", Sj("東証")};
    const auto text = [](const std::string& word) { return word == "_" ? "" : Sj(word); };
    for (const Crossing& c : kCrossings) {
        AlertBook book;
        book.Load({{stock, Limits(c.upper, c.lower, c.ratio)}});
        std::istringstream reads(c.reads);
        for (std::string read; std::getline(reads, read, ';');) {
            std::istringstream words(read);
            std::string price, ratio, fires, fired;
            words >> price >> ratio >> fires;
            for (const AlertFiring& f : book.Check(stock, text(price), text(ratio)))
                fired += "ULR"[static_cast<int>(f.kind)];
            EXPECT_EQ(fired, text(fires)) << c.name << ": " << read;
        }
    }
}

TEST(AlertRules, ANoticeNamesTheStockTheFigureTheThresholdAndTheTime) {
    RowCells row;
    row[ids::kColCode] = "7203";
    row[ids::kColPrice] = "4,500";
    row[ids::kColRatio] = "-5.12%";
    struct Case {
        const char *name, *time;
        AlertFiring firing;
        const char *summary, *body;
    } cases[] = {
        {"蒼穹海運",
         "12:28",
         {AlertKind::Lower, 4600},
         "7203 蒼穹海運",
         "現在値 4,500 が下限 4,600 以下になりました（12:28 時点）"},
        {"", "", {AlertKind::Ratio, 5}, "7203", "変化率 -5.12% の幅が 5% 以上になりました"},
    };
    for (const Case& c : cases) {
        row[ids::kColName] = Sj(c.name);
        row[ids::kColTime] = c.time;
        const AlertNotice notice = NoticeFor(row, c.firing);
        EXPECT_EQ(Cp932ToUtf8(notice.summary), c.summary);
        EXPECT_EQ(Cp932ToUtf8(notice.body), c.body);
    }
}

// The dialog's OK re-arms only what it changed; deleted stocks lose their alerts; a pass hands
// over only the stocks that have one, once.
TEST(AlertRules, TheBookFollowsTheDialogTheListAndThePass) {
    const StockId a{"8058", Sj("東証")}, b{"7203", Sj("東証")}, c{"6758", Sj("大証")};
    AlertBook book;
    book.Set(a, Limits(100, {}, {}));
    book.Set(b, Limits({}, 50, {}));
    EXPECT_EQ(book.Check(a, "120", "").size(), 1u);
    book.Set(a, Limits(100, {}, {}));
    EXPECT_EQ(book.Check(a, "120", "").size(), 0u);
    book.Set(a, Limits(110, {}, {}));
    EXPECT_EQ(book.Check(a, "120", "").size(), 1u);
    for (const StockId& s : {a, b, c, a}) book.NoteRead(s);
    EXPECT_EQ(book.TakeReads(), (std::vector<StockId>{b, a}));
    EXPECT_TRUE(book.TakeReads().empty());
    book.KeepOnly({b, c});
    EXPECT_EQ(book.Table(), (AlertTable{{b, Limits({}, 50, {})}}));
    book.Set(b, AlertLimits{});
    EXPECT_TRUE(book.Table().empty());
}

}  // namespace
}  // namespace tickora
