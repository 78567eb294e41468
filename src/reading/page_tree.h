#pragma once
// A parsed page's nodes in document order, for the code of reading/ that works on libxml2's
// tree itself. Not for use outside reading/.

#include <libxml/tree.h>

#include <string>
#include <vector>

#include "reading/page_rules.h"

namespace tickora {

// Every node under the page's root, the root first, in document order; an element's children
// only when descend(element) says so.
template <class Descend>
std::vector<const xmlNode*> DocumentOrder(const ParsedPage& page, Descend descend) {
    std::vector<const xmlNode*> order;
    const auto* doc = static_cast<const xmlDoc*>(page.Document());
    const xmlNode* root = doc ? xmlDocGetRootElement(doc) : nullptr;
    for (const xmlNode* n = root; n != nullptr;) {
        order.push_back(n);
        if (n->type == XML_ELEMENT_NODE && n->children && descend(n)) {
            n = n->children;
            continue;
        }
        while (n != root && n->next == nullptr) n = n->parent;
        n = n == root ? nullptr : n->next;
    }
    return order;
}

inline std::string TextOf(const xmlChar* text) {
    return text ? reinterpret_cast<const char*>(text) : "";
}

}  // namespace tickora
