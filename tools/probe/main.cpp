// tickora-probe: shows how TICKORA reads one quote page with the patterns of a base_data.ini,
// why a pattern fails, and writes patterns for a page from the texts a user reads on it.

#include <cstring>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "common/codepage.h"
#include "common/market_table.h"
#include "common/safe_file.h"
#include "quotepage/quote_page.h"
#include "report.h"
#include "watchlist/ini_file.h"
#include "watchlist/settings_file.h"
#include "words.h"

namespace {

using namespace tickora;
using namespace tickora::probe;

constexpr const char* kHelp =
    R"(usage: tickora-probe [--ini FILE] CODE [MARKET]
       tickora-probe [--ini FILE] --page URL|FILE
  and with either:
       --suggest "NAME|TIME|PRICE|CHANGE|RATIO|VOLUME" [--also CODE "VALUES"] [--write]
       --check CODE "NAME|TIME|PRICE|CHANGE|RATIO|VOLUME"
       --find TEXT
       --save FILE

Fetches one quote page as TICKORA's refresh does and reads it as FILE (default:
base_data.ini in the current folder; built-in defaults where the file or a key is missing)
says: by the page rules of [PAGE_RULES] once the price (genzaiti) has one, else by the seven
patterns of [LINK_JOUHOU] (at most 202 pieces of the page read).

  CODE [MARKET]  the page of a stock: BASE_URL with 銘柄 = CODE and 市場 = the suffix of
                 MARKET (東証 ＪＱ ＨＣ 大証 名証 福岡 札幌, or TOSYOU ... SAPPORO; default 東証)
  --page URL     that URL; --page FILE: a page saved on disk
  --suggest ...  the six texts as you read them on the page (an empty one: a figure the page
                 does not show); prints page rules and, where they can be made, patterns that
                 read exactly them, ready for base_data.ini
  --also ...     with --suggest: learns from a second stock's page as well (BASE_URL, same
                 market): a rule must read a figure of its kind there, and exactly the texts
                 given, where they are given ("" for none); the rules it changed are named
  --write        with --suggest: also writes them into FILE
  --check ...    reads the page of another stock (BASE_URL, same market) with the rules (those
                 just suggested, or FILE's) and says whether they read the texts given
  --find TEXT    every place where TEXT stands in the page
  --save FILE    writes the page as fetched into FILE, to read the figures off that copy and
                 give it to --page: figures that move between reading and fetching never match

Lines starting with "; " report; the others are results. Exit status: 0 figures read (or
rules or patterns found and checked, or TEXT found), 1 nothing read (or no rules and no
patterns, a check that fails, TEXT not found), 2 a usage or network error.
)";

struct Options {
    std::string ini = "base_data.ini";
    std::string code, market, page, save;
    std::optional<std::string> suggest, find;
    std::optional<std::pair<std::string, std::string>> check;  // code, values
    std::optional<std::pair<std::string, std::string>> also;   // code, values or ""
    bool write = false;
};

int Usage(const std::string& problem) {
    std::cerr << "tickora-probe: " << problem << " (try --help)\n";
    return 2;
}

std::optional<int> MarketIndex(const std::string& name) {
    if (name.empty()) return 0;
    for (int i = 0; i < kMarketCount; ++i) {
        if (Markets()[i].displayName == Utf8ToCp932(name) ||
            strcasecmp(Markets()[i].settingsKey, name.c_str()) == 0)
            return i;
    }
    return std::nullopt;
}

bool IsUrl(const std::string& s) {
    return s.find("://") != std::string::npos;
}

// "A|B|C|D|E|F" as six CP932 texts.
std::optional<FigureTexts> SixTexts(const std::string& joined) {
    FigureTexts values;
    std::istringstream in(joined);
    std::string part;
    int n = 0;
    while (std::getline(in, part, '|')) {
        if (n < 6) values[n] = Utf8ToCp932(part);
        ++n;
    }
    if (!joined.empty() && joined.back() == '|') ++n;  // getline drops a last empty text
    if (n != 6) return std::nullopt;
    return values;
}

// The page of a URL or a file; nullopt when it could not be had, with the exit status in status.
std::optional<PageSample> Get(const std::string& url, const std::string& file, int& status) {
    if (!file.empty()) {
        FileRead read = ReadWholeFile(file);
        if (read.status == ReadStatus::Ok) return SampleOf(file, std::move(read.bytes));
        std::cerr << "tickora-probe: " << file << ": "
                  << (read.status == ReadStatus::Missing ? "no such file" : read.why) << "\n";
        status = 2;
        return std::nullopt;
    }
    PageSample page = FetchSample(url, FetchOptions{});
    if (!page.failure) return page;
    std::cout << "; url     " << Cp932ToUtf8(url) << "\n";
    std::cerr << "tickora-probe: "
              << Cp932ToUtf8(FormatFetchError(page.failure->code, page.failure->message)) << "\n";
    status = 2;
    return std::nullopt;
}

int Suggest(const Options& o, const SettingsData& settings, const PageSample& page,
            const FigureTexts& values, FigureTexts& rules) {
    std::optional<PageSample> second;
    FigureTexts secondValues;
    if (o.also) {
        const std::optional<int> market = MarketIndex(o.market);
        const std::optional<FigureTexts> typed =
            o.also->second.empty() ? FigureTexts{} : SixTexts(o.also->second);
        if (!market || !typed) return Usage("--also takes CODE and six texts separated by '|'");
        secondValues = *typed;
        int status = 0;
        second = Get(settings.page.UrlOf(Utf8ToCp932(o.also->first), *market), "", status);
        if (!second) return status;
        std::cout << "; also    " << Cp932ToUtf8(second->source) << "\n";
    }
    const Suggestion s = tickora::Suggest(page, values, second ? &*second : nullptr, secondValues);
    PrintSuggestion(std::cout, s, values);
    if (!s.rules.Complete() && !s.patterns.Found()) return 1;
    if (s.rules.Complete()) rules = s.rules.Rules();
    if (o.write) {
        std::string why;
        const PatternTexts& patterns =
            s.patterns.Found() ? s.patterns.texts : settings.page.m_arrPatternTexts;
        if (!SavePageReading(o.ini, patterns, s.rules.Complete() ? &rules : nullptr, &why)) {
            std::cerr << "tickora-probe: " << o.ini << " was left as it was: " << why << "\n";
            return 2;
        }
        std::cout << "; written into " << o.ini << "\n";
    }
    return 0;
}

// Reads another stock's page with the rules and says whether they read values from it.
int Check(const Options& o, const SettingsData& settings, const FigureTexts& rules) {
    const std::optional<FigureTexts> values = SixTexts(o.check->second);
    const std::optional<int> market = MarketIndex(o.market);
    if (!values || !market) return Usage("--check takes CODE and six texts separated by '|'");
    int status = 0;
    const std::string url = settings.page.UrlOf(Utf8ToCp932(o.check->first), *market);
    const std::optional<PageSample> got = Get(url, "", status);
    if (!got) return status;
    std::cout << "; check   " << Cp932ToUtf8(got->source) << "\n";
    PageSettings page = settings.page;
    page.m_arrRules = rules;
    PrintRuleReading(std::cout, rules, TryPage(*got, page));
    const std::vector<Mismatch> problems = CheckRules(PageRules(rules), *got->parsed, *values);
    if (!problems.empty()) {
        std::cout << "; the rules do not hold for " << o.check->first << ":\n";
        for (const Mismatch& m : problems)
            std::cout << ";   " << FigureName(m.figure) << ": " << MismatchWords(m) << "\n";
        return 1;
    }
    std::cout << "; the rules hold for " << o.check->first << "\n";
    return 0;
}

// The page as the program reads it: by rules, or by patterns.
int Report(const SettingsData& settings, const PageSample& page) {
    const Trial trial = TryPage(page, settings.page);
    if (trial.byRules) {
        std::cout << "; read by the page rules of [" << kRuleSection << "], " << page.bytes.size()
                  << " bytes of the body\n";
        PrintRuleReading(std::cout, settings.page.m_arrRules, trial);
    } else {
        PrintSearches(std::cout, page, settings.page.m_arrPatternTexts, trial);
    }
    return PrintResult(std::cout, trial.result) ? 0 : 1;
}

int Run(const Options& o) {
    std::string refusal;
    const SettingsData settings = LoadSettingsData(o.ini, &refusal);
    if (o.check && !o.suggest && o.page.empty() && o.code.empty())
        return Check(o, settings, settings.page.m_arrRules);
    // The URL as the program holds it: code page 932.
    std::string url;
    if (o.page.empty()) {
        const std::optional<int> market = MarketIndex(o.market);
        if (!market) return Usage("unknown market " + o.market);
        url = settings.page.UrlOf(Utf8ToCp932(o.code), *market);
    } else {
        url = Utf8ToCp932(o.page);
    }
    std::optional<FigureTexts> values;
    if (o.suggest && !(values = SixTexts(*o.suggest)))
        return Usage("--suggest takes six texts separated by '|'");

    int status = 0;
    const bool fromFile = !o.page.empty() && !IsUrl(o.page);
    const std::optional<PageSample> got = Get(url, fromFile ? o.page : "", status);
    if (!got) return status;
    const PageSample& page = *got;

    std::cout << "; settings " << o.ini
              << (refusal.empty() ? "" : " (cannot be read: " + refusal + "; built-in defaults)")
              << "\n";
    PrintPageHead(std::cout, page);
    if (!o.save.empty()) {
        std::string why;
        if (!ReplaceWholeFile(o.save, page.bytes, &why)) {
            std::cerr << "tickora-probe: " << o.save << " was not written: " << why << "\n";
            return 2;
        }
        std::cout << "; saved   " << page.bytes.size() << " bytes into " << o.save << "\n";
    }

    if (o.find) return PrintPlaces(std::cout, page, Utf8ToCp932(*o.find)) > 0 ? 0 : 1;
    FigureTexts rules = settings.page.m_arrRules;
    if (values) {
        status = Suggest(o, settings, page, *values, rules);
        if (status != 0 || !o.check) return status;
    }
    if (o.check) return Check(o, settings, rules);
    return Report(settings, page);
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    std::vector<std::string> positional;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--help" || arg == "-h") {
            std::cout << kHelp;
            return 0;
        } else if (arg == "--ini" && hasValue) {
            o.ini = argv[++i];
        } else if (arg == "--page" && hasValue) {
            o.page = argv[++i];
        } else if (arg == "--suggest" && hasValue) {
            o.suggest = argv[++i];
        } else if ((arg == "--check" || arg == "--also") && i + 2 < argc) {
            (arg == "--check" ? o.check : o.also) = std::pair(argv[i + 1], argv[i + 2]);
            i += 2;
        } else if (arg == "--save" && hasValue) {
            o.save = argv[++i];
        } else if (arg == "--find" && hasValue) {
            o.find = argv[++i];
        } else if (arg == "--write") {
            o.write = true;
        } else if (arg.starts_with("-") && arg.size() > 1) {
            return Usage("unknown or incomplete option " + arg);
        } else {
            positional.push_back(arg);
        }
    }
    if (o.find && (o.suggest || o.check)) return Usage("--find goes alone");
    if (o.write && !o.suggest) return Usage("--write goes with --suggest");
    if (o.also && !o.suggest) return Usage("--also goes with --suggest");
    const bool checkAlone = o.check && !o.suggest && o.page.empty() && positional.empty();
    if (!checkAlone && (o.page.empty() == positional.empty() || positional.size() > 2))
        return Usage("give CODE [MARKET] or --page URL|FILE");
    if (!positional.empty()) {
        o.code = positional[0];
        if (positional.size() == 2) o.market = positional[1];
    }
    return Run(o);
}
