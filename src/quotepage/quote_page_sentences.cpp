// The dialog's sentences on suggestions and checks.

#include "common/codepage.h"
#include "quotepage/quote_page_words.h"

namespace tickora::words {

namespace {

std::string Value(int f, const FigureTexts& values) {
    return FigureTitle(f) + "「" + Cp932ToUtf8(values[f]) + "」";
}

std::string FigureList(const std::vector<int>& figures) {
    std::string out;
    for (const int f : figures) out += (out.empty() ? "" : "、") + FigureTitle(f);
    return out;
}

// Why no page rules: the first figure typed that got none.
std::string NoRules(const RuleSuggestion& rules, const FigureTexts& values) {
    for (int f = 0; f < kFigureCount; ++f) {
        const FigureRule& r = rules.figures[f];
        if (r.rule.empty() && r.miss != SuggestMiss::kNoValue)
            return Value(f, values) + ": " + SuggestMissSentence(r.miss);
    }
    return "現在値を入力してください";
}

}  // namespace

std::string PatternSentence(const PatternProblem& p, const FigureTexts& values) {
    const int f = p.figure;
    switch (p.miss) {
        case PatternMiss::kEmptyValue:
            return FigureTitle(f) + "が空です（パターンはどの値も 1 バイト以上切り出します）";
        case PatternMiss::kNotInPage:
            return Value(f, values) + "がページにありません";
        case PatternMiss::kPastReadPieces:
            return Value(f, values) + "は読む範囲（202 行）の後にだけあります（" +
                   std::to_string(p.at) + " バイト目）";
        case PatternMiss::kTooNearStart:
            return "銘柄名がページの先頭に近すぎます";
        case PatternMiss::kOutOfOrder:
            return Value(f, values) + "が" + Value(f - 1, values) +
                   "の後にありません（パターンは銘柄名から出来高まで順に切り出します）";
        case PatternMiss::kLineEndFollows:
            return Value(f, values) + "の直後で行が変わります（パターンは改行を含められません）";
        case PatternMiss::kNoSuffix:
            return Value(f, values) + "の後ろに、値の中に現れない区切りがありません";
        case PatternMiss::kFollowsUnderscore:
            return Value(f, values) + "の直前が「_」です（前の文字列に「_」は使えません）";
        case PatternMiss::kNoDelimiter:
            return Value(f, values) + "の前に同じ行の区切りがありません";
        case PatternMiss::kNotFirst:
            return Value(f, values) + "の前の区切りが、その場所より先に見つかってしまいます";
        case PatternMiss::kNotExact:
        case PatternMiss::kNotExactEucJp:
            return "見つけたパターンでは入力した値どおりに切り出せません";
        case PatternMiss::kFound:
            break;
    }
    return {};
}

std::string SuggestMissSentence(SuggestMiss miss) {
    switch (miss) {
        case SuggestMiss::kRuled:
            return "ルールを作りました";
        case SuggestMiss::kNoValue:
            return "値が入力されていないので、ルールを作りません";
        case SuggestMiss::kNoHtml:
            return "ページに HTML がありません";
        case SuggestMiss::kNotInPage:
            return "この値はページの文字の中にありません";
        case SuggestMiss::kNoStableAnchor:
            return "id、変わらないクラス名、見出し語のどれからもたどれない場所にしかありません";
        case SuggestMiss::kNotFirst:
            return "パスが先に別の要素を指します";
        case SuggestMiss::kReadsOther:
            return "パスが別の文字を読みます";
        case SuggestMiss::kWrongOnSecond:
            return "確認銘柄のページでは、この種類の値を読めません";
        case SuggestMiss::kDiffersOnSecond:
            return "確認銘柄のページで、入力した値と違う値を読みます";
        case SuggestMiss::kNamesDirection:
            return "上げ下げを表す名前で、日によって変わります";
        case SuggestMiss::kBuildHash:
            return "作成のたびに変わる名前です";
        case SuggestMiss::kHoldsFigures:
            return "銘柄コード、日付や数字を含み、銘柄や日によって変わります";
    }
    return {};
}

std::string SuggestionSentence(const Suggestion& s, const Adoption& a, const FigureTexts& values) {
    std::vector<int> changed;
    for (int f = 0; f < kFigureCount; ++f)
        if (s.rules.figures[f].changedBySecond && !s.rules.figures[f].rule.empty())
            changed.push_back(f);
    std::string out = a.rules ? "ページルールを提案しました（このページで確かめ済み）"
                              : "ページルールは作れません: " + NoRules(s.rules, values);
    if (a.rules && !changed.empty())
        out += "。確認銘柄のページで選び直したもの: " + FigureList(changed);
    if (a.patterns) out += "。テキストパターンを提案しました";
    if (a.rulesCleared) out += "。パターンで読むよう、ページルールを消しました";
    if (!a.rules && !a.patterns && !s.patterns.problems.empty())
        out += "。パターンも作れません: " + PatternSentence(s.patterns.problems.front(), values);
    return out;
}

std::string CheckSentence(const Check& c) {
    std::string read;
    if (c.trial.quote)
        for (const std::string* v :
             {&c.trial.quote->name, &c.trial.quote->time, &c.trial.quote->price,
              &c.trial.quote->change, &c.trial.quote->ratio, &c.trial.quote->volume})
            read += " " + Cp932ToUtf8(*v);
    switch (c.verdict) {
        case Verdict::kHolds:
            return "成り立ちます:" + read;
        case Verdict::kPartly:
            return "一部が読めません（" + FigureList(c.unread) + "）:" + read;
        case Verdict::kDiffers: {
            const Mismatch& m = c.mismatches.front();
            return "入力した値と違います: " + FigureTitle(m.figure) + "は「" +
                   Cp932ToUtf8(m.read.value) + "」（入力「" + m.expected + "」）:" + read;
        }
        case Verdict::kNoPrice:
            return "成り立ちません: 現在値が数字として読めません（" +
                   MissSentence(c.trial.misses[kPriceFigure]) + "）";
        case Verdict::kSamePage:
            return "成り立ちません: テスト銘柄と同じページです。BASE_URL に「銘柄」がないと、"
                   "どの銘柄も同じページを読みます";
        case Verdict::kFetchFailed:
            return "確認銘柄のページを取得できませんでした";
    }
    return {};
}

}  // namespace tickora::words
