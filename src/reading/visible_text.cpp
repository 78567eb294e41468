#include <libxml/tree.h>

#include "reading/page_tree.h"

namespace tickora {

namespace {

constexpr std::size_t kMaxVisibleBytes = 2u << 20;

bool Named(const xmlNode* n, const char* name) {
    return xmlStrcasecmp(n->name, reinterpret_cast<const xmlChar*>(name)) == 0;
}

// Whether the text of this element is shown: not style or code, but JSON a script keeps.
bool Shows(const xmlNode* n) {
    if (Named(n, "style") || Named(n, "noscript") || Named(n, "template")) return false;
    if (!Named(n, "script")) return true;
    xmlChar* type = xmlGetProp(n, reinterpret_cast<const xmlChar*>("type"));
    const bool json = type && xmlStrstr(type, reinterpret_cast<const xmlChar*>("json"));
    xmlFree(type);
    return json;
}

}  // namespace

std::string VisibleText(const ParsedPage& page) {
    std::string text;
    for (const xmlNode* n : DocumentOrder(page, Shows)) {
        if (n->type != XML_TEXT_NODE && n->type != XML_CDATA_SECTION_NODE) continue;
        const std::string line = FoldBlanks(TextOf(n->content));
        if (!line.empty()) text += line + "\n";
        if (text.size() >= kMaxVisibleBytes) break;
    }
    return text;
}

}  // namespace tickora
