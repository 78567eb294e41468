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
#include "probe_page.h"
#include "quotes/quote_url.h"
#include "report.h"
#include "suggest.h"
#include "watchlist/ini_file.h"
#include "watchlist/settings_file.h"

namespace {

using namespace tickora;

constexpr const char* kHelp =
    R"(usage: tickora-probe [--ini FILE] CODE [MARKET]
       tickora-probe [--ini FILE] --page URL|FILE
  and with either:
       --suggest "NAME|TIME|PRICE|CHANGE|RATIO|VOLUME" [--write]
       --find TEXT

Fetches one quote page as TICKORA's refresh does (same request, same limits, at most 202
pieces read) and cuts it with the patterns of FILE (default: base_data.ini in the current
folder; built-in defaults where the file or a key is missing).

  CODE [MARKET]  the page of a stock: BASE_URL with 銘柄 = CODE and 市場 = the suffix of
                 MARKET (東証 ＪＱ ＨＣ 大証 名証 福岡 札幌, or TOSYOU ... SAPPORO; default 東証)
  --page URL     that URL; --page FILE: a page saved on disk
  --suggest ...  the six texts as you read them on the page; prints patterns that cut exactly
                 them, ready for [LINK_JOUHOU] of base_data.ini
  --write        with --suggest: also writes them into FILE
  --find TEXT    every place where TEXT stands in the page

Lines starting with "; " report; the others are results. Exit status: 0 six fields cut (or
patterns found, or TEXT found), 1 extraction failed (or no patterns, or TEXT not found),
2 a usage or network error.
)";

struct Options {
    std::string ini = "base_data.ini";
    std::string code, market, page;
    std::optional<std::string> suggest, find;
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

// Writes the seven patterns into [LINK_JOUHOU] of the settings file, leaving all else as it is.
bool WritePatterns(const std::string& path, const std::array<std::string, kPatternCount>& texts,
                   std::string& why) {
    FileRead read;
    IniFile ini = IniFile::Load(path, &read);
    if (read.status != ReadStatus::Ok && read.status != ReadStatus::Missing) {
        why = read.why;
        return false;
    }
    for (int i = 0; i < kPatternCount; ++i)
        ini.WriteString("LINK_JOUHOU", DefaultPatternTexts()[i].key, texts[i]);
    return ini.Save(path, &why);
}

int Run(const Options& o) {
    std::string refusal;
    const SettingsData settings = LoadSettingsData(o.ini, &refusal);
    // The URL as the program holds it: code page 932.
    std::string url;
    if (o.page.empty()) {
        const std::optional<int> market = MarketIndex(o.market);
        if (!market) return Usage("unknown market " + o.market);
        url = ExpandQuoteUrl(settings.baseUrl, settings.suffixes, Utf8ToCp932(o.code), *market);
    } else {
        url = Utf8ToCp932(o.page);
    }

    probe::ProbePage page;
    try {
        page = !o.page.empty() && !IsUrl(o.page) ? probe::ReadProbePage(o.page)
                                                 : probe::FetchProbePage(url);
    } catch (const HttpError& e) {
        std::cout << "; url     " << Cp932ToUtf8(url) << "\n";
        std::cerr << "tickora-probe: " << Cp932ToUtf8(FormatFetchError(e.code(), e.what())) << "\n";
        return 2;
    } catch (const std::exception& e) {
        return Usage(o.page + ": " + e.what());
    }

    std::cout << "; settings " << o.ini
              << (refusal.empty() ? "" : " (cannot be read: " + refusal + "; built-in defaults)")
              << "\n";
    probe::PrintPageHead(std::cout, page);
    const bool shiftJis = page.coding != PageCoding::kEucJp;

    if (o.find) return probe::PrintPlaces(std::cout, page, Utf8ToCp932(*o.find)) > 0 ? 0 : 1;

    if (o.suggest) {
        probe::FieldTexts values;
        std::istringstream in(*o.suggest);
        std::string part;
        int n = 0;
        while (std::getline(in, part, '|')) {
            if (n < 6) values[n] = Utf8ToCp932(part);
            ++n;
        }
        if (n != 6) return Usage("--suggest takes six texts separated by '|'");
        const probe::Suggestion s = probe::SuggestPatterns(page.text, page.whole, values, shiftJis);
        if (!s.Found()) {
            std::cout << "; no patterns: " << s.why << "\n";
            return 1;
        }
        std::cout << "; patterns for [LINK_JOUHOU] of base_data.ini (checked on this page):\n";
        for (int i = 0; i < kPatternCount; ++i)
            std::cout << DefaultPatternTexts()[i].key << "=" << Cp932ToUtf8(s.texts[i]) << "\n";
        if (o.write) {
            std::string why;
            if (!WritePatterns(o.ini, s.texts, why)) {
                std::cerr << "tickora-probe: " << o.ini << " was left as it was: " << why << "\n";
                return 2;
            }
            std::cout << "; written into " << o.ini << "\n";
        }
        return 0;
    }

    const Extraction x =
        TraceExtraction(page.text, MakePatternTable(settings.patternTexts), shiftJis);
    probe::PrintSearches(std::cout, page, settings.patternTexts, x);
    return probe::PrintResult(std::cout, x) ? 0 : 1;
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
    if (o.suggest && o.find) return Usage("--suggest and --find go alone");
    if (o.write && !o.suggest) return Usage("--write goes with --suggest");
    if (o.page.empty() == positional.empty() || positional.size() > 2)
        return Usage("give CODE [MARKET] or --page URL|FILE");
    if (!positional.empty()) {
        o.code = positional[0];
        if (positional.size() == 2) o.market = positional[1];
    }
    return Run(o);
}
