// The /v3 layouts: the same quotes in three more shapes that today's portals serve, each with
// the figures where a plain text search has to work for them.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <vector>

#include "pages.h"

namespace tickora::quotehost {

namespace {

constexpr const char* kSite = "TICKORA デモ相場";

const char* Trend(int sign) {
    return sign > 0 ? "up" : sign < 0 ? "down" : "flat";
}

std::string Upper(std::string s) {
    for (char& c : s) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return s;
}

// "+0.91%" -> 0.91, "18,572,000" -> 18572000: for ordering the rankings.
double Figure(const std::string& text) {
    std::string digits;
    for (const char c : text) {
        if (c != ',') digits += c;
    }
    return std::strtod(digits.c_str(), nullptr);
}

struct Other {
    std::string symbol;  // "1302.t"
    std::string code;
    Quote q;
};

// Stocks of the rankings and related lists: a fixed spread of Tokyo codes, never the page's own,
// so the page holds many other figures of the same form as the quote's.
std::vector<Other> OtherStocks(int count, std::uint64_t salt, std::string_view own,
                               const MarketClock& clock) {
    std::vector<Other> others;
    for (std::uint64_t i = 0; static_cast<int>(others.size()) < count && i < 1000; ++i) {
        const std::string code = std::to_string(1301 + Hash("others", salt * 1000 + i) % 8600);
        if (code == own) continue;
        const Listing l = *Market::Find(code + ".t");
        others.push_back({code + ".t", code, Market::QuoteOf(l, clock)});
    }
    return others;
}

template <typename Less>
std::vector<Other> Ranked(std::vector<Other> pool, std::size_t n, Less less) {
    std::stable_sort(pool.begin(), pool.end(), less);
    pool.resize(std::min(n, pool.size()));
    return pool;
}

// The figures of a symbol, or nullopt with the symbol as it may be echoed.
struct Subject {
    std::string safe;
    std::optional<Listing> listing;
    Quote q;
};

Subject SubjectOf(std::string_view symbol, const MarketClock& clock) {
    Subject s{SafeSymbol(symbol), Market::Find(symbol), {}};
    if (s.listing) s.q = Market::QuoteOf(*s.listing, clock);
    return s;
}

std::string NotFoundText(const std::string& safe) {
    return "指定されたコード「" + safe + "」の銘柄は見つかりませんでした。";
}

std::string FullWidthSigns(const std::string& text) {
    std::string out;
    for (const char c : text) {
        if (c == '+') {
            out += "＋";
        } else if (c == '-') {
            out += "－";
        } else if (c == '%') {
            out += "％";
        } else {
            out += c;
        }
    }
    return out;
}

// ---------------------------------------------------------------------------------------------
// The labelled table page: pretty-printed markup of some 100 KB, the board far down.

constexpr const char* kHeadlineSubjects[] = {
    "東証プライム", "新興市場",   "電子部品株", "海運株",   "銀行株",   "円相場",
    "長期金利",     "半導体関連", "商社株",     "医薬品株", "不動産株", "鉄鋼株",
    "小売株",       "陸運株",     "保険株",     "化学株",
};
constexpr const char* kHeadlinePredicates[] = {
    "小幅に続伸、主力株に買い", "反落、利益確定の売りが優勢", "堅調、買い戻しが続く",
    "もみ合い、手掛かり難",     "大幅高、決算を好感",         "軟調、海外勢の売り",
    "続落、需給悪化を警戒",     "上値重く、様子見ムード",
};

constexpr const char* kHeadlineLeads[] = {
    "前場は買いが先行したものの、後場に入ると戻り待ちの売りに押され、上げ幅を縮める展開となった。",
    "主要企業の決算発表を控えて様子見の姿勢が強く、売買代金は前日を下回る水準にとどまった。",
    "為替市場で円安が進んだことを受けて輸出関連の銘柄に買いが入り、指数を押し上げた。",
    "海外市場の下落を嫌気した売りが朝方から広がり、幅広い業種で値を下げる銘柄が目立った。",
    "個人投資家の資金が新興市場に向かい、時価総額の小さい銘柄の値動きが大きくなった。",
    "業績予想の上方修正を発表した銘柄に買いが集まり、年初来高値を更新する場面があった。",
};

// The icon sprite the header and menus refer to: a block of path data, as sites inline it.
std::string IconSprite() {
    static const char* const kIcons[] = {
        "search", "menu",    "close",    "home",       "chart",    "news", "star",    "bell",
        "user",   "setting", "arrow-up", "arrow-down", "external", "info", "warning", "share",
        "print",  "mail",    "calendar", "clock",      "list",     "grid", "filter",  "download",
    };
    std::string s =
        "  <svg xmlns=\"http://www.w3.org/2000/svg\" style=\"display:none\" "
        "aria-hidden=\"true\">\n";
    for (const char* icon : kIcons) {
        s += std::string("    <symbol id=\"icon-") + icon + "\" viewBox=\"0 0 24 24\"><path d=\"M";
        for (int i = 0; i < 48; ++i) {
            const std::uint64_t h = Hash(icon, static_cast<std::uint64_t>(i));
            char point[48];
            std::snprintf(point, sizeof point, "%s%d.%02d %d.%02d",
                          i == 0  ? ""
                          : i % 4 ? "L"
                                  : "C",
                          static_cast<int>(h % 24), static_cast<int>((h >> 8) % 100),
                          static_cast<int>((h >> 16) % 24), static_cast<int>((h >> 24) % 100));
            s += point;
        }
        s += "Z\"/></symbol>\n";
    }
    s += "  </svg>\n";
    return s;
}

std::string TableHead(const std::string& title, const std::string& description) {
    std::string h =
        "<!DOCTYPE html>\n<html lang=\"ja\" prefix=\"og: https://ogp.me/ns#\">\n<head>\n"
        "  <meta charset=\"utf-8\">\n"
        "  <meta http-equiv=\"X-UA-Compatible\" content=\"IE=edge\">\n"
        "  <meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n";
    h += "  <title>" + title + "</title>\n";
    h += "  <meta name=\"description\" content=\"" + description + "\">\n";
    h += "  <meta name=\"keywords\" content=\"株価,株式,チャート,ランキング,ニュース,決算\">\n";
    for (const char* p : {"og:title", "og:description", "twitter:title", "twitter:description"}) {
        const std::string key = p;
        h += std::string("  <meta ") + (key.starts_with("og:") ? "property" : "name") + "=\"" +
             key + "\" content=\"" + (key.ends_with("title") ? title : description) + "\">\n";
    }
    static const char* const kMeta[] = {
        "<meta name=\"robots\" content=\"index, follow, max-image-preview:large\">",
        "<meta name=\"format-detection\" content=\"telephone=no, email=no, address=no\">",
        "<meta name=\"theme-color\" content=\"#0b3d91\">",
        "<meta name=\"apple-mobile-web-app-title\" content=\"デモ相場\">",
        "<meta name=\"application-name\" content=\"デモ相場\">",
        "<meta name=\"referrer\" content=\"strict-origin-when-cross-origin\">",
        "<meta property=\"og:type\" content=\"article\">",
        "<meta property=\"og:site_name\" content=\"TICKORA デモ相場\">",
        "<meta property=\"og:image\" content=\"/static/v3/ogp.png\">",
        "<meta property=\"og:locale\" content=\"ja_JP\">",
        "<meta name=\"twitter:card\" content=\"summary_large_image\">",
        "<link rel=\"preconnect\" href=\"/\" crossorigin>",
        "<link rel=\"dns-prefetch\" href=\"/\">",
        "<link rel=\"preload\" href=\"/static/v3/fonts/noto-sans-jp.woff2\" as=\"font\" "
        "type=\"font/woff2\" crossorigin>",
        "<link rel=\"stylesheet\" href=\"/static/v3/common.css?20240401\">",
        "<link rel=\"stylesheet\" href=\"/static/v3/quote.css?20240401\" media=\"all\">",
        "<link rel=\"stylesheet\" href=\"/static/v3/print.css\" media=\"print\">",
        "<link rel=\"manifest\" href=\"/manifest.webmanifest\">",
        "<link rel=\"alternate\" type=\"application/rss+xml\" title=\"ニュース\" "
        "href=\"/news/rss.xml\">",
        "<link rel=\"search\" type=\"application/opensearchdescription+xml\" title=\"銘柄検索\" "
        "href=\"/opensearch.xml\">",
    };
    for (const char* m : kMeta) h += std::string("  ") + m + "\n";
    for (const int size : {16, 32, 48, 96, 120, 152, 167, 180, 192, 256, 384, 512}) {
        const std::string s = std::to_string(size);
        h += "  <link rel=\"icon\" type=\"image/png\" sizes=\"" + s + "x" + s +
             "\" href=\"/static/v3/icons/icon-" + s + ".png\">\n";
    }
    h += "  <style>\n";
    static const char* const kRules[][2] = {
        {":root", "--up:#d6001c;--down:#0b62c4;--flat:#555;--line:#e3e6ea;--bg:#f5f6f8"},
        {"*, *::before, *::after", "box-sizing:border-box"},
        {"body", "margin:0;font-family:'Noto Sans JP',sans-serif;font-size:14px;color:#222"},
        {"a", "color:#0b3d91;text-decoration:none"},
        {"a:hover", "text-decoration:underline"},
        {".l-header", "display:flex;align-items:center;height:56px;padding:0 16px;background:#fff"},
        {".l-header__logo", "font-size:20px;font-weight:700;letter-spacing:.04em"},
        {".l-header__search", "margin-left:auto;display:flex;gap:4px"},
        {".gnav", "display:flex;flex-wrap:wrap;border-top:1px solid var(--line);background:#fff"},
        {".gnav__group", "position:relative;padding:0 8px"},
        {".gnav__title", "display:block;padding:12px 8px;font-weight:700"},
        {".gnav__sub", "display:none;position:absolute;top:100%;left:0;min-width:200px"},
        {".gnav__group:hover .gnav__sub", "display:block;background:#fff;z-index:10"},
        {".market-summary", "width:100%;border-collapse:collapse;background:var(--bg)"},
        {".market-summary th, .market-summary td", "padding:6px 8px;text-align:right"},
        {".news-list", "list-style:none;margin:0;padding:0"},
        {".news-list__item", "border-bottom:1px solid var(--line);padding:8px 0"},
        {".news-list__time", "color:#777;margin-right:8px;font-size:12px"},
        {".ranking", "width:100%;border-collapse:collapse;margin-bottom:24px"},
        {".ranking th, .ranking td", "padding:6px;border-bottom:1px solid var(--line)"},
        {".ranking .num", "text-align:right;font-variant-numeric:tabular-nums"},
        {".quote-panel", "margin:24px 0;padding:16px;border:1px solid var(--line)"},
        {".quote-panel__name", "font-size:24px;margin:0 0 4px"},
        {".quote-panel__table th", "width:8em;text-align:left;color:#666;font-weight:400"},
        {".quote-panel__table .price", "font-size:32px;font-weight:700"},
        {".up", "color:var(--up)"},
        {".down", "color:var(--down)"},
        {".flat", "color:var(--flat)"},
        {".profile dt", "float:left;clear:left;width:8em;color:#666"},
        {".profile dd", "margin-left:8em;padding-bottom:6px"},
        {".l-footer", "margin-top:40px;padding:24px 16px;background:#20252b;color:#ccc"},
        {".sitemap", "display:grid;grid-template-columns:repeat(4,1fr);gap:16px"},
    };
    for (const auto& rule : kRules) {
        h += std::string("    ") + rule[0] + " {\n";
        std::string_view decls = rule[1];
        while (!decls.empty()) {
            const auto semi = std::min(decls.find(';'), decls.size());
            std::string decl(decls.substr(0, semi));
            decl.insert(decl.find(':') + 1, " ");
            h += "      " + decl + ";\n";
            decls.remove_prefix(std::min(semi + 1, decls.size()));
        }
        h += "    }\n";
    }
    // Spacing utilities, as a CSS framework ships them.
    static const char* const kSpacing[][2] = {
        {"mt", "margin-top"},   {"mb", "margin-bottom"}, {"ml", "margin-left"},
        {"mr", "margin-right"}, {"pt", "padding-top"},   {"pb", "padding-bottom"},
        {"pl", "padding-left"}, {"pr", "padding-right"},
    };
    for (const auto& s : kSpacing) {
        for (int px = 0; px <= 48; px += 4) {
            const std::string n = std::to_string(px);
            h += std::string("    .u-") + s[0] + "-" + n + " {\n      " + s[1] + ": " + n +
                 "px !important;\n    }\n";
        }
    }
    h += "  </style>\n</head>\n";
    return h;
}

std::string TableHeader() {
    std::string h = "<body class=\"p-quote\">\n" + IconSprite();
    h += "  <a class=\"skip-link\" href=\"#main\">本文へ移動</a>\n";
    h += "  <header class=\"l-header\">\n";
    h += std::string("    <a class=\"l-header__logo\" href=\"/\">") + kSite + "</a>\n";
    h += "    <form class=\"l-header__search\" action=\"/v3/table/q\" method=\"get\">\n"
         "      <input type=\"search\" name=\"s\" placeholder=\"銘柄名・コード\" "
         "autocomplete=\"off\">\n"
         "      <button type=\"submit\">検索</button>\n"
         "    </form>\n"
         "  </header>\n"
         "  <nav class=\"gnav\" aria-label=\"メインメニュー\">\n";
    static const char* const kMenus[][9] = {
        {"マーケット", "国内株式", "米国株式", "為替", "債券", "商品", "先物・オプション",
         "投資信託", "ETF・REIT"},
        {"ランキング", "値上がり率", "値下がり率", "出来高", "売買代金", "年初来高値", "年初来安値",
         "配当利回り", "PER"},
        {"ニュース", "速報", "市況", "決算", "企業", "経済指標", "海外", "コラム", "特集"},
        {"銘柄を探す", "業種別", "テーマ別", "株主優待", "IPO", "新興市場", "高配当", "低位株",
         "スクリーニング"},
        {"ポートフォリオ", "登録銘柄", "損益", "取引履歴", "アラート", "配当カレンダー", "メモ",
         "エクスポート", "設定"},
        {"コミュニティ", "掲示板", "人気の話題", "予想", "投稿ランキング", "フォロー", "お知らせ",
         "ヘルプ", "ご意見"},
    };
    for (const auto& menu : kMenus) {
        h += "    <div class=\"gnav__group\">\n";
        h += std::string("      <a class=\"gnav__title\" href=\"/\">") + menu[0] + "</a>\n";
        h += "      <ul class=\"gnav__sub\">\n";
        for (int i = 1; i < 9; ++i) {
            h += std::string("        <li><a href=\"/\">") + menu[i] + "</a></li>\n";
        }
        h += "      </ul>\n    </div>\n";
    }
    h += "  </nav>\n";
    return h;
}

std::string TableSummary(const MarketClock& clock) {
    std::string s =
        "  <section class=\"l-summary\">\n"
        "    <table class=\"market-summary\">\n"
        "      <tr><th>指数</th><th>現在値</th><th>前日比</th><th>時刻</th></tr>\n";
    for (const char* code : {"998407", "998405", "23337"}) {
        const Quote q = Market::QuoteOf(*Market::Find(code), clock);
        s += "      <tr>\n";
        s += "        <td><a href=\"/v3/table/q?s=" + std::string(code) + "\">" + q.name +
             "</a></td>\n";
        s += "        <td>" + q.price + "</td>\n";
        s += "        <td><span class=\"" + std::string(Trend(q.sign)) + "\">" + q.change +
             "</span></td>\n";
        s += "        <td>" + q.time + "</td>\n";
        s += "      </tr>\n";
    }
    s += "    </table>\n  </section>\n";
    return s;
}

std::string TableNews(int count, int offset) {
    std::string s =
        "  <section class=\"l-news\">\n"
        "    <h2>最新ニュース</h2>\n"
        "    <ul class=\"news-list\">\n";
    for (int i = offset; i < offset + count; ++i) {
        const int minute = (15 * 60 - i * 13 + 1440) % 1440;  // older items are of the day before
        char time[8];
        std::snprintf(time, sizeof time, "%02d:%02d", minute / 60, minute % 60);
        s += "      <li class=\"news-list__item\">\n";
        s += "        <a class=\"news-list__link\" href=\"/news/article/" +
             std::to_string(240000 + i * 37) + "\">\n";
        s += std::string("          <time class=\"news-list__time\">") + time + "</time>\n";
        s += std::string("          <span class=\"news-list__title\">") +
             kHeadlineSubjects[i % 16] + "、" + kHeadlinePredicates[(i * 3) % 8] + "</span>\n";
        s += "        </a>\n";
        s += std::string("        <p class=\"news-list__lead\">") + kHeadlineLeads[i % 6] +
             kHeadlineLeads[(i + 1) % 6] + "</p>\n";
        s += "      </li>\n";
    }
    s += "    </ul>\n  </section>\n";
    return s;
}

std::string TableRanking(const char* title, const std::vector<Other>& rows) {
    std::string s = std::string("    <h2>") + title + "</h2>\n";
    s += "    <table class=\"ranking\">\n";
    s += "      <tr><th>順位</th><th>銘柄</th><th>現在値</th><th>前日比</th><th>出来高</th></tr>\n";
    int rank = 0;
    for (const Other& o : rows) {
        const std::string trend = Trend(o.q.sign);
        s += "      <tr>\n";
        s += "        <td class=\"rank\">" + std::to_string(++rank) + "</td>\n";
        s += "        <td class=\"name\"><a href=\"/v3/table/q?s=" + o.symbol + "\">" + o.q.name +
             "</a> <span class=\"code\">" + o.code + "</span></td>\n";
        s += "        <td class=\"num\">" + o.q.price + "</td>\n";
        s += "        <td class=\"num\"><span class=\"" + trend + "\">" + o.q.change +
             "</span> (<span class=\"" + trend + "\">" + o.q.ratio + "</span>)</td>\n";
        s += "        <td class=\"num\">" + o.q.volume + "</td>\n";
        s += "      </tr>\n";
    }
    s += "    </table>\n";
    return s;
}

std::string TableRankings(std::string_view own, const MarketClock& clock) {
    const std::vector<Other> pool = OtherStocks(40, 1, own, clock);
    const auto byRatio = [](const Other& a, const Other& b) {
        return Figure(a.q.ratio) > Figure(b.q.ratio);
    };
    std::string s = "  <section class=\"l-ranking\">\n";
    s += TableRanking("値上がり率ランキング", Ranked(pool, 10, byRatio));
    s += TableRanking("値下がり率ランキング", Ranked(pool, 10, [&](const Other& a, const Other& b) {
                          return byRatio(b, a);
                      }));
    s += TableRanking("出来高ランキング", Ranked(pool, 10, [](const Other& a, const Other& b) {
                          return Figure(a.q.volume) > Figure(b.q.volume);
                      }));
    s += "  </section>\n";
    return s;
}

std::string TableFooter() {
    std::string s = "  <footer class=\"l-footer\">\n    <div class=\"sitemap\">\n";
    for (int group = 0; group < 4; ++group) {
        s += "      <ul>\n";
        for (int i = 0; i < 8; ++i) {
            s += std::string("        <li><a href=\"/\">") +
                 kHeadlineSubjects[(group * 8 + i) % 16] + "の情報</a></li>\n";
        }
        s += "      </ul>\n";
    }
    s += "    </div>\n"
         "    <p>このページの銘柄と相場はすべて架空のものです。</p>\n"
         "    <p><small>tickora quote host</small></p>\n"
         "  </footer>\n"
         "</body>\n</html>\n";
    return s;
}

std::string TableBoard(const Subject& s) {
    const Quote& q = s.q;
    const bool index = s.listing->index;
    const std::string trend = Trend(q.sign);
    std::string b = "  <main id=\"main\" class=\"l-main\">\n";
    b += "    <section class=\"quote-panel\" data-code=\"" + s.listing->code + "\">\n";
    b += "      <header class=\"quote-panel__head\">\n";
    b += "        <h1 class=\"quote-panel__name\">" + q.name + "</h1>\n";
    b += "        <p class=\"quote-panel__code\">" + s.listing->code + " <span class=\"market\">" +
         s.listing->marketName + "</span></p>\n";
    b += "      </header>\n";
    b += "      <table class=\"quote-panel__table\">\n        <tbody>\n";
    b += "          <tr><th scope=\"row\">現在値</th><td class=\"price\">" + q.price +
         (index ? "" : "円") + "</td></tr>\n";
    b += "          <tr><th scope=\"row\">前日比</th><td><span class=\"" + trend + "\">" +
         q.change + "</span>（<span class=\"" + trend + "\">" + q.ratio + "</span>）</td></tr>\n";
    // The figure on a line of its own, as template engines indent a value.
    b += "          <tr>\n            <th scope=\"row\">出来高</th>\n            <td "
         "class=\"volume\">\n"
         "              " +
         q.volume + "\n" + (index ? "" : "              <span class=\"unit\">株</span>\n") +
         "            </td>\n          </tr>\n";
    b += "          <tr><th scope=\"row\">更新時刻</th><td><time>" + q.time + "</time></td></tr>\n";
    b += "        </tbody>\n      </table>\n";
    b += "      <dl class=\"profile\">\n";
    b += "        <dt>市場</dt><dd>" + s.listing->marketName + "</dd>\n";
    b += std::string("        <dt>売買単位</dt><dd>") + (index ? "-" : "100株") + "</dd>\n";
    b += "        <dt>コード</dt><dd>" + Upper(s.safe) + "</dd>\n";
    b += "      </dl>\n    </section>\n  </main>\n";
    return b;
}

// ---------------------------------------------------------------------------------------------
// The CSS-module page: minified, hashed class names, the board past 300 KB of bundle.

// "Board__price" -> "Board__price__1V0k": the name with the build's hash of it.
std::string Mod(std::string_view name) {
    static constexpr char kDigits[] =
        "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
    std::uint64_t h = Hash(name, 0x3b1d);
    std::string s(name);
    s += "__";
    for (int i = 0; i < 4; ++i, h /= 62) s += kDigits[h % 62];
    return s;
}

std::string Cls(std::string_view name) {
    return "class=\"" + Mod(name) + "\"";
}

std::string ModuleCss(std::size_t bytes) {
    static const char* const kBlocks[] = {
        "Header", "Nav",   "Search", "Ticker", "Ranking", "News",  "Card",
        "Tabs",   "Chart", "Board",  "Price",  "Footer",  "Modal", "Button",
        "Badge",  "Table", "List",   "Layout", "Ad",      "Menu",
    };
    static const char* const kParts[] = {
        "root", "inner", "item", "link", "label",  "value",    "icon",  "title",
        "body", "head",  "foot", "wrap", "active", "disabled", "small", "large",
    };
    static const char* const kDecls[] = {
        "display:flex;align-items:center",
        "padding:8px 12px",
        "margin:0 auto;max-width:1200px",
        "font-size:12px;line-height:1.5",
        "color:#333;text-decoration:none",
        "border-bottom:1px solid #e5e5e5",
        "background-color:#f7f7f7",
        "font-weight:700",
        "position:relative;overflow:hidden",
        "display:grid;grid-template-columns:repeat(3,1fr);gap:8px",
        "transition:opacity .2s ease-in-out",
        "white-space:nowrap;text-overflow:ellipsis;overflow:hidden",
        "border-radius:4px;box-shadow:0 1px 3px rgba(0,0,0,.12)",
        "color:#e60012",
        "color:#0b5cd5",
        "width:100%;height:auto",
    };
    std::string css;
    for (std::uint64_t i = 0; css.size() < bytes; ++i) {
        std::string name = std::string(kBlocks[i % 20]) + "__" + kParts[(i / 20) % 16];
        if (i >= 320) name += "_" + std::to_string(i / 320);
        const std::uint64_t h = Hash(name, 5);
        const std::string rule =
            "." + Mod(name) + "{" + kDecls[h % 16] + ";" + kDecls[(h >> 8) % 16] + "}";
        css += i % 7 == 6
                   ? "@media (max-width:" + std::to_string(480 + i % 4 * 160) + "px){" + rule + "}"
                   : rule;
    }
    for (int col = 1; col <= 12; ++col) {
        css += "." + Mod("Layout_colsize_" + std::to_string(col) + "_fix") + "{flex:0 0 " +
               std::to_string(col * 100 / 12) + "%}";
    }
    return css;
}

std::string ModuleJs(std::size_t bytes) {
    std::string js = "(self.webpackChunk_quote=self.webpackChunk_quote||[]).push([[3817],{";
    for (std::uint64_t i = 0; js.size() < bytes; ++i) {
        const std::string id = std::to_string(10000 + Hash("module", i) % 90000);
        const std::string dep = std::to_string(10000 + Hash("dep", i) % 90000);
        js += id + ":function(e,t,n){\"use strict\";n.d(t,{Z:function(){return o}});var r=n(" +
              dep + ")";
        switch (i % 3) {
            case 0:
                js +=
                    ",o=function(e){var t=(0,r.useState)(null),n=t[0],a=t[1];return(0,"
                    "r.useEffect)(function(){a(e.value)},[e.value]),n}},";
                break;
            case 1:
                js +=
                    ",o=function(e,t){return void 0===t&&(t=\"ja-JP\"),new "
                    "Intl.NumberFormat(t,{maximumFractionDigits:2}).format(e)}},";
                break;
            default:
                js +=
                    ",o=function(e){return e.filter(function(e){return e.visible!==!1})."
                    "map(function(e,t){return{key:\"k\"+t,label:e.label}})}},";
                break;
        }
    }
    js += "}]);";
    return js;
}

// A price with its decimals split off by a tag; whole prices get ".0" so every page has the tag.
std::string SplitPrice(const std::string& price) {
    const auto dot = price.find('.');
    const std::string whole = price.substr(0, dot);
    const std::string fraction = dot == std::string::npos ? "0" : price.substr(dot + 1);
    return whole + ".<span " + Cls("Price__decimal") + ">" + fraction + "</span>";
}

std::string ModuleHead(const std::string& title) {
    return "<!DOCTYPE html>\n<html lang=\"ja\"><head><meta charset=\"utf-8\"><meta "
           "name=\"viewport\" content=\"width=device-width,initial-scale=1\"><title>" +
           title + "</title><link rel=\"preload\" href=\"/_next/static/chunks/main.js\" " +
           "as=\"script\"><style>" + ModuleCss(200'000) + "</style><script>" + ModuleJs(120'000) +
           "</script></head>\n<body " + Cls("Layout__body") + ">\n";
}

// Header, navigation and the rankings: other stocks' figures before the board.
std::string ModuleTop(std::string_view own, const MarketClock& clock) {
    std::string t = "<div " + Cls("Layout__page") + "><header " + Cls("Header__root") + "><a " +
                    Cls("Header__logo") + " href=\"/\">" + kSite + "</a><nav " + Cls("Nav__root") +
                    "><ul " + Cls("Nav__list") + ">";
    for (const char* item :
         {"マーケット", "ランキング", "ニュース", "銘柄を探す", "ポートフォリオ"}) {
        t += "<li " + Cls("Nav__item") + "><a " + Cls("Nav__link") + " href=\"/\">" + item +
             "</a></li>";
    }
    t += "</ul></nav></header><div " + Cls("Ticker__root") + ">";
    for (const char* code : {"998407", "998405", "23337"}) {
        const Quote q = Market::QuoteOf(*Market::Find(code), clock);
        t += "<a " + Cls("Ticker__item") + " href=\"/v3/module/q?s=" + code + "\"><span " +
             Cls("Ticker__name") + ">" + q.name + "</span><span " + Cls("Ticker__value") + ">" +
             q.price + "</span><span " + Cls(std::string("Ticker__") + Trend(q.sign)) + ">" +
             q.change + "(" + q.ratio + ")</span></a>";
    }
    t += "</div><div " + Cls("Layout_colsize_3_fix") + "><section " + Cls("Ranking__root") +
         "><h2 " + Cls("Ranking__title") + ">注目銘柄</h2><ol " + Cls("Ranking__list") + ">";
    for (const Other& o : OtherStocks(20, 2, own, clock)) {
        t += "<li " + Cls("Ranking__item") + "><a " + Cls("Ranking__link") +
             " href=\"/v3/module/q?s=" + o.symbol + "\"><span " + Cls("Ranking__name") + ">" +
             o.q.name + "</span><span " + Cls("Ranking__price") + ">" + o.q.price +
             "</span><span " + Cls(std::string("Ranking__") + Trend(o.q.sign)) + ">" + o.q.change +
             "(" + o.q.ratio + ")</span></a></li>";
    }
    t += "</ol></section></div>";
    return t;
}

std::string ModuleBoard(const Subject& s) {
    const Quote& q = s.q;
    const bool index = s.listing->index;
    std::string b = "<div " + Cls("Layout_colsize_9_fix") + "><section " + Cls("Board__root") +
                    "><div " + Cls("Board__head") + "><h1 " + Cls("Board__name") + ">" + q.name +
                    "</h1><span " + Cls("Board__code") + ">" + s.listing->code + "</span><span " +
                    Cls("Board__market") + ">" + s.listing->marketName + "</span></div>";
    b += "<div " + Cls("Board__priceRow") + "><span " + Cls("Board__price") + ">" +
         SplitPrice(q.price) + "</span>" +
         (index ? "" : "<span " + Cls("Board__unit") + ">円</span>") + "<span " +
         Cls("Board__ratioBadge") + ">" + FullWidthSigns(q.ratio) + "</span></div>";
    b += "<div class=\"" + Mod("Board__changeRow") + " " +
         Mod(std::string("Board__") + Trend(q.sign)) + "\"><span " + Cls("Board__changeLabel") +
         ">前日比</span><span " + Cls("Board__change") + ">" + q.change + "(" + q.ratio +
         ")</span></div>";
    b += "<ul " + Cls("Board__stats") + "><li " + Cls("Board__stat") + "><span " +
         Cls("Board__statLabel") + ">出来高</span><span " + Cls("Board__statValue") + ">" +
         q.volume + (index ? "" : "&nbsp;株") + "</span></li><li " + Cls("Board__stat") +
         "><span " + Cls("Board__statLabel") + ">時刻</span><span " + Cls("Board__statValue") +
         ">" + q.time + "\u00A0現在</span></li></ul></section></div>";
    return b;
}

std::string ModuleFooter() {
    return "<footer " + Cls("Footer__root") + "><p " + Cls("Footer__note") +
           ">このページの銘柄と相場はすべて架空のものです。</p></footer></div></body></html>\n";
}

// ---------------------------------------------------------------------------------------------
// The script page: placeholders in the markup, the figures in a JSON state object.

std::string JsonQuote(const std::string& symbol, const std::string& code, const Listing& l,
                      const Quote& q) {
    return "{\"symbol\":\"" + Upper(symbol) + "\",\"code\":\"" + code + "\",\"market\":\"" +
           l.marketName + "\",\"name\":\"" + q.name + "\",\"price\":\"" + q.price +
           "\",\"change\":\"" + q.change + "\",\"changePercent\":\"" + q.ratio +
           "\",\"volume\":\"" + q.volume + "\",\"time\":\"" + q.time + "\",\"direction\":\"" +
           Trend(q.sign) + "\",\"unit\":\"" + (l.index ? "" : "円") + "\"}";
}

std::string ScriptHead(const std::string& title) {
    return "<!DOCTYPE html>\n<html lang=\"ja\">\n<head>\n<meta charset=\"utf-8\">\n"
           "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>" +
           title +
           "</title>\n"
           "<link rel=\"stylesheet\" href=\"/static/v3/app.css\">\n"
           "<script defer src=\"/static/v3/runtime.js\"></script>\n"
           "</head>\n<body>\n"
           "<div id=\"app\">\n"
           "  <header class=\"app-header\"><a href=\"/\">" +
           kSite + "</a></header>\n";
}

// Fills every data-field element from the state; the trend class goes on the change row.
constexpr const char* kFillScript =
    "<script>\n"
    "(function () {\n"
    "  var state = JSON.parse(document.getElementById(\"__APP_STATE__\").textContent);\n"
    "  var quote = state.quote;\n"
    "  if (!quote) return;\n"
    "  document.querySelectorAll(\"[data-field]\").forEach(function (el) {\n"
    "    var value = quote[el.getAttribute(\"data-field\")];\n"
    "    if (value !== undefined) el.textContent = value;\n"
    "  });\n"
    "  document.querySelector(\".quote__change\").classList.add(\"is-\" + quote.direction);\n"
    "  var list = document.querySelector(\"[data-list=related]\");\n"
    "  state.related.forEach(function (r) {\n"
    "    var li = document.createElement(\"li\");\n"
    "    li.textContent = r.name + \" \" + r.price + \" \" + r.change;\n"
    "    list.appendChild(li);\n"
    "  });\n"
    "})();\n"
    "</script>\n";

}  // namespace

std::string TableQuotePage(std::string_view symbol, const MarketClock& clock) {
    const Subject s = SubjectOf(symbol, clock);
    if (!s.listing) {
        const std::string title = std::string("銘柄が見つかりません | ") + kSite;
        return TableHead(title, title) + TableHeader() +
               "  <main id=\"main\" class=\"l-main\">\n    <p class=\"not-found\">" +
               NotFoundText(s.safe) + "</p>\n  </main>\n" + TableFooter();
    }
    const Quote& q = s.q;
    std::string page =
        TableHead(q.name + "【" + s.listing->code + "】の株価・チャート | " + kSite,
                  q.name + "の株価、チャート、ニュース、ランキングをご覧いただけます。");
    page += TableHeader();
    page += TableSummary(clock);
    page += TableNews(30, 0);
    page += TableRankings(s.listing->code, clock);
    page += TableBoard(s);
    page += "  <section class=\"l-peers\">\n" +
            TableRanking("同じ業種の銘柄", OtherStocks(20, 4, s.listing->code, clock)) +
            "  </section>\n";
    page += TableNews(55, 30);
    page += TableFooter();
    return page;
}

std::string ModuleQuotePage(std::string_view symbol, const MarketClock& clock) {
    const Subject s = SubjectOf(symbol, clock);
    if (!s.listing) {
        return ModuleHead(std::string("銘柄が見つかりません | ") + kSite) + ModuleTop("", clock) +
               "<p " + Cls("Board__notFound") + ">" + NotFoundText(s.safe) + "</p>" +
               ModuleFooter();
    }
    return ModuleHead(s.q.name + "（" + s.listing->code + "）株価 | " + kSite) +
           ModuleTop(s.listing->code, clock) + ModuleBoard(s) + ModuleFooter();
}

std::string ScriptQuotePage(std::string_view symbol, const MarketClock& clock) {
    const Subject s = SubjectOf(symbol, clock);
    if (!s.listing) {
        return ScriptHead(std::string("銘柄が見つかりません | ") + kSite) +
               "  <main><p class=\"notice\">" + NotFoundText(s.safe) +
               "</p></main>\n</div>\n"
               "<script id=\"__APP_STATE__\" type=\"application/json\">"
               "{\"quote\":null,\"error\":\"NOT_FOUND\",\"related\":[]}</script>\n" +
               kFillScript + "</body>\n</html>\n";
    }
    const bool index = s.listing->index;
    std::string page = ScriptHead(s.q.name + " (" + Upper(s.safe) + ") | " + kSite);
    page += "  <main class=\"quote\" data-symbol=\"" + Upper(s.safe) +
            "\">\n"
            "    <h1 class=\"quote__name\" data-field=\"name\"></h1>\n"
            "    <div class=\"quote__price\"><span data-field=\"price\">--</span>" +
            (index ? "" : "<span class=\"quote__unit\">円</span>") +
            "</div>\n"
            "    <div class=\"quote__change\">前日比 <span data-field=\"change\">--</span> "
            "(<span data-field=\"changePercent\">--</span>)</div>\n"
            "    <dl class=\"quote__stats\">\n"
            "      <dt>出来高</dt><dd data-field=\"volume\">--</dd>\n"
            "      <dt>時刻</dt><dd data-field=\"time\">--</dd>\n"
            "    </dl>\n"
            "    <section class=\"related\"><h2>関連銘柄</h2><ul data-list=\"related\"></ul>"
            "</section>\n"
            "  </main>\n</div>\n";
    std::string related;
    for (const Other& o : OtherStocks(8, 3, s.listing->code, clock)) {
        related += (related.empty() ? "" : ",") +
                   JsonQuote(o.symbol, o.code, *Market::Find(o.symbol), o.q);
    }
    page += "<script id=\"__APP_STATE__\" type=\"application/json\">{\"quote\":" +
            JsonQuote(s.safe, s.listing->code, *s.listing, s.q) + ",\"related\":[" + related +
            "]}</script>\n";
    page += kFillScript;
    page += "</body>\n</html>\n";
    return page;
}

}  // namespace tickora::quotehost
