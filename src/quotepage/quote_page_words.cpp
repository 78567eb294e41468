#include "quotepage/quote_page_words.h"

#include "common/codepage.h"
#include "common/row_cells.h"

namespace tickora::words {

namespace {

std::string Detail(const std::string& detail) {
    return detail.empty() ? "" : "（詳細: " + detail + "）";
}

// What libcurl's code means to a user.
const char* TransportWords(int code) {
    switch (code) {
        case 3:
            return "アドレスの形が正しくありません";
        case 6:
            return "ホスト名が見つかりません";
        case 7:
            return "接続できません";
        case 28:
            return "時間内に応答がありません";
        case 35:
        case 60:
            return "安全な接続（TLS）を確立できません";
        case 42:
            return "中止しました";
        case 47:
            return "転送先が多すぎます";
        case 52:
        case 56:
            return "受信中に接続が切れました";
    }
    return "通信に失敗しました";
}

}  // namespace

std::string FigureTitle(int figure) {
    static constexpr int kColumns[kFigureCount] = {ids::kColName,  ids::kColTime,
                                                   ids::kColPrice, ids::kColChange,
                                                   ids::kColRatio, ids::kColVolume};
    return figure >= 0 && figure < kFigureCount
               ? ids::kColumnTitles[static_cast<std::size_t>(kColumns[figure])]
               : "";
}

std::string FetchFailed(const FetchFailure& failure) {
    return std::string("ページを取得できませんでした（") + TransportWords(failure.code) +
           "）。詳細: curl " + std::to_string(failure.code) + ": " + failure.message;
}

std::string MissSentence(Miss miss, const std::string& detail) {
    switch (miss) {
        case Miss::kRead:
            return "読めました";
        case Miss::kNoRule:
            return "ルールがありません（空欄になります）";
        case Miss::kBrokenRule:
            return "ルールに誤りがあるため、どの値も読めません";
        case Miss::kNoHtml:
            return "ページに HTML がありません";
        case Miss::kPathFailed:
            return "パスがこのページで失敗しました" + Detail(detail);
        case Miss::kNothingFound:
            return "パスに当たる要素がありません";
        case Miss::kNoMatch:
            return "正規表現が要素の文字に一致しません";
        case Miss::kGaveUp:
            return "正規表現の照合を打ち切りました" + Detail(detail);
        case Miss::kEmpty:
            return "見つかった文字が空です";
        case Miss::kNotANumber:
            return "見つかった文字に数字がありません（違う値を出すより空欄にします）";
        case Miss::kAnchorMissing:
            return "アンカー（key）の文字列が読む範囲（202 行）にありません";
        case Miss::kPrefixMissing:
            return "前の値の後に、この値の前の文字列が見つかりません";
        case Miss::kSuffixMissing:
            return "前の文字列の後に、この値の後ろの文字列が見つかりません";
        case Miss::kNotLookedFor:
            return "前のパターンが見つからないため、探していません";
        case Miss::kFetchFailed:
            return "ページを取得できませんでした";
    }
    return {};
}

std::string RuleErrorSentence(const RuleError& e) {
    const std::string head = FigureTitle(e.figure) + "のルールに誤りがあります: ";
    if (!e.inExpression)
        return head + "パス「" + e.part + "」は XPath 1.0 の式ではありません" + Detail(e.message);
    return head + "正規表現「" + e.part + "」を解釈できません" +
           Detail(e.message + "、位置 " + std::to_string(e.offset));
}

std::string HowRead(const Trial& t, int f, const PatternTexts& patterns) {
    if (t.byRules && t.misses[f] != Miss::kFetchFailed) {
        const FigureRead& read = t.rules[f];
        if (read.found) return read.element + " " + read.text;
        return MissSentence(t.misses[f], read.detail);
    }
    if (t.misses[f] != Miss::kRead) return MissSentence(t.misses[f]);
    const PatternSearch& s = t.patterns.searches[f + 1];
    return "「" + Cp932ToUtf8(patterns[f + 1]) + "」: 前の文字列 " + std::to_string(s.prefixAt) +
           " バイト目、後ろの文字列 " + std::to_string(s.suffixAt) + " バイト目";
}

}  // namespace tickora::words
