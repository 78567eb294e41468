#include "report.h"

#include "common/codepage.h"
#include "common/sjis.h"
#include "words.h"

namespace tickora::probe {

namespace {

constexpr Offset kContextBytes = 40;

// The start of the character that holds byte at (the page walked from its start).
Offset CharacterStart(std::string_view text, Offset at) {
    Offset i = 0;
    while (i < at) {
        const Offset step = IsLeadByte(static_cast<unsigned char>(text[i])) ? 2 : 1;
        if (i + step > at) break;
        i += step;
    }
    return i;
}

// The page around [at, at + size): about 40 bytes each side, line ends shown as ⏎.
std::string Around(std::string_view text, Offset at, Offset size) {
    const auto total = static_cast<Offset>(text.size());
    const Offset from = CharacterStart(text, std::max<Offset>(0, at - kContextBytes));
    const Offset to = CharacterStart(text, std::min(total, at + size + kContextBytes + 1));
    std::string shown = Cp932ToUtf8(Cut(text, from, at - from)) + "[[" +
                        Cp932ToUtf8(Cut(text, at, size)) + "]]" +
                        Cp932ToUtf8(Cut(text, at + size, to - at - size));
    std::string out;
    for (const char c : shown) out += c == '\n' ? std::string("⏎") : std::string(1, c);
    return (from > 0 ? "…" : "") + out + (to < total ? "…" : "");
}

const char* SourceName(CharsetDeclaration::Source source) {
    switch (source) {
        case CharsetDeclaration::Source::kHeader:
            return "Content-Type header";
        case CharsetDeclaration::Source::kMeta:
            return "<meta> in the page";
        case CharsetDeclaration::Source::kByteOrderMark:
            return "byte-order mark";
        case CharsetDeclaration::Source::kUndeclared:
            break;
    }
    return "";
}

// One delimiter's search: found, or not found and perhaps standing past the read pieces.
void PrintSearch(std::ostream& out, const PageSample& page, const char* what,
                 std::string_view delimiter, Offset from, Offset found) {
    out << ";   " << what << " \"" << Cp932ToUtf8(delimiter) << "\"";
    const auto size = static_cast<Offset>(delimiter.size());
    if (found != kNone) {
        out << " at byte " << found << ": " << Around(page.text, found, size) << "\n";
        return;
    }
    out << " not found after byte " << from << "\n";
    const Offset later = Find(page.whole, delimiter, from);
    if (later != kNone && later >= static_cast<Offset>(page.text.size()))
        out << ";     it stands at byte " << later << ", past the last read piece (the read page"
            << " ends at byte " << page.text.size() << "): " << Around(page.whole, later, size)
            << "\n";
}

// The rule's text with the figure it read in [[ ]].
std::string Marked(const FigureRead& read) {
    const std::string figure = Cp932ToUtf8(read.value);
    if (!read.found || read.text.compare(read.at, figure.size(), figure) != 0) return read.text;
    return read.text.substr(0, read.at) + "[[" + figure + "]]" +
           read.text.substr(read.at + figure.size());
}

}  // namespace

void PrintPageHead(std::ostream& out, const PageSample& page) {
    const bool fromFile = page.source.find("://") == std::string::npos;
    out << "; " << (fromFile ? "file    " : "url     ") << Cp932ToUtf8(page.source) << "\n";
    if (!fromFile) out << "; status  " << page.response.status << "\n";
    out << "; charset ";
    if (page.declared.source == CharsetDeclaration::Source::kUndeclared)
        out << "none declared";
    else
        out << page.declared.name << " (" << SourceName(page.declared.source) << ")";
    out << "; read as " << CodingName(page.coding);
    if (page.coding == PageCoding::kEucJp)
        out << " (the page does not mention Shift_JIS: the name is converted from EUC-JP and"
               " a field holding '-' keeps only the number)";
    out << "\n; read    " << page.pieces << " pieces, " << page.pieceBytes << " bytes"
        << (page.BodyGoesOn() ? "; the body goes on past the last read piece (202 at most)"
                              : ": the whole body")
        << "\n";
}

void PrintSearches(std::ostream& out, const PageSample& page, const PatternTexts& texts,
                   const Trial& trial) {
    const Extraction& x = trial.patterns;
    const PatternTable table = MakePatternTable(texts);
    for (int i = 0; i < kPatternCount; ++i) {
        const PatternSearch& s = x.searches[i];
        out << "; " << PatternKey(i) << "  " << Cp932ToUtf8(texts[i]) << "\n";
        if (x.failed >= 0 && i > x.failed) {
            out << ";   not looked for\n";
            continue;
        }
        PrintSearch(out, page, "prefix", table[i].prefix, s.from, s.prefixAt);
        if (i == 0 || s.prefixAt == kNone) continue;
        const Offset suffixFrom = s.prefixAt + static_cast<Offset>(table[i].prefix.size()) + 1;
        PrintSearch(out, page, "suffix", table[i].suffix, suffixFrom, s.suffixAt);
    }
}

bool PrintResult(std::ostream& out, const std::string& result) {
    if (result.empty()) {
        out << "result=empty\n";
        return false;
    }
    const FigureTexts f = SplitQuoteResult(result);
    for (int i = 0; i < kFigureCount; ++i) out << FigureName(i) << "=" << Cp932ToUtf8(f[i]) << "\n";
    out << "mark=" << Cp932ToUtf8(RiseFallMark(f[4])) << "\n";
    return true;
}

void PrintRuleReading(std::ostream& out, const FigureTexts& texts, const Trial& trial) {
    for (const RuleError& error : trial.ruleErrors)
        out << "; error   " << DescribeRuleError(error) << "\n";
    for (int f = 0; f < kFigureCount; ++f) {
        const FigureRead& read = trial.rules[f];
        out << "; " << FigureKey(f) << "  " << Cp932ToUtf8(texts[f]) << "\n";
        if (!read.ruled) {
            out << ";   "
                << (SplitRule(texts[f]).path.empty() ? "no rule: the figure stays empty"
                                                     : "not compiled")
                << "\n";
            continue;
        }
        if (!read.element.empty()) out << ";   found " << read.element << "\n";
        if (!read.text.empty()) out << ";   text  " << Marked(read) << "\n";
        if (!read.found) out << ";   nothing read: " << MissWords(read.miss, read.detail) << "\n";
    }
}

void PrintSuggestion(std::ostream& out, const Suggestion& s, const FigureTexts& values) {
    for (int f = 0; f < kFigureCount; ++f) {
        const FigureRule& r = s.rules.figures[f];
        out << "; " << FigureKey(f) << ": ";
        if (r.rule.empty())
            out << "no rule for \"" << Cp932ToUtf8(values[f]) << "\": " << SuggestWords(r.miss);
        else
            out << "anchored on " << AnchorWords(r.anchor) << ", " << r.matches
                << (r.matches == 1 ? " element" : " elements") << " matched";
        out << (r.changedBySecond ? "; the second page ruled out a first choice" : "") << "\n";
        for (const Rejection& rejected : r.rejected)
            out << ";   not " << rejected.path << ": " << SuggestWords(rejected.why) << "\n";
    }
    if (s.rules.Complete()) {
        out << "; page rules for [" << kRuleSection
            << "] of base_data.ini (checked on this page):\n";
        for (int f = 0; f < kFigureCount; ++f)
            out << FigureKey(f) << "=" << Cp932ToUtf8(s.rules.figures[f].rule) << "\n";
    } else {
        out << "; no page rules\n";
    }
    if (s.patterns.Found()) {
        out << "; patterns for [LINK_JOUHOU] of base_data.ini (checked on this page):\n";
        for (int i = 0; i < kPatternCount; ++i)
            out << PatternKey(i) << "=" << Cp932ToUtf8(s.patterns.texts[i]) << "\n";
        return;
    }
    std::string why;
    for (const PatternProblem& p : s.patterns.problems)
        why += (why.empty() ? "" : "; ") + PatternWords(p, values);
    out << "; no patterns: " << why << "\n";
}

int PrintPlaces(std::ostream& out, const PageSample& page, std::string_view text) {
    int count = 0;
    const auto read = static_cast<Offset>(page.text.size());
    for (Offset at = Find(page.whole, text, 0); at != kNone && !text.empty();
         at = Find(page.whole, text, at + static_cast<Offset>(text.size()))) {
        ++count;
        out << "; found at byte " << at << (at >= read ? " (past the last read piece)" : "") << ": "
            << Around(page.whole, at, static_cast<Offset>(text.size())) << "\n";
    }
    if (count == 0) out << "; \"" << Cp932ToUtf8(text) << "\" is not in the page\n";
    return count;
}

}  // namespace tickora::probe
