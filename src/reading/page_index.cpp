#include "reading/page_index.h"

#include "reading/page_tree.h"

namespace tickora {

PageIndex::PageIndex(const ParsedPage& page) : page_(page) {
    const std::vector<const xmlNode*> nodes =
        DocumentOrder(page, [](const xmlNode*) { return true; });
    // Text sizes bottom up, so that only small elements are ever read whole.
    for (auto it = nodes.rbegin(); it != nodes.rend(); ++it) {
        const xmlNode* n = *it;
        std::size_t size = bytes_[n];
        if (n->type == XML_TEXT_NODE || n->type == XML_CDATA_SECTION_NODE)
            size = static_cast<std::size_t>(xmlStrlen(n->content));
        if (n != nodes.front() && n->parent) bytes_[n->parent] += size;
        bytes_[n] = size;
    }
    for (const xmlNode* n : nodes) {
        if (n->type != XML_ELEMENT_NODE) continue;
        order_[n] = static_cast<int>(elements_.size());
        elements_.push_back(n);
    }
    // Each element's subtree ends where the next element outside it begins.
    std::vector<const xmlNode*> open;
    for (const xmlNode* e : elements_) {
        while (!open.empty() && !(e->parent && Inside(e->parent, open.back()))) {
            last_[open.back()] = order_[e] - 1;
            open.pop_back();
        }
        open.push_back(e);
    }
    for (const xmlNode* e : open) last_[e] = static_cast<int>(elements_.size()) - 1;
}

bool PageIndex::Inside(const xmlNode* e, const xmlNode* in) const {
    for (const xmlNode* n = e; n != nullptr; n = n->parent)
        if (n == in) return true;
    return false;
}

int PageIndex::Size(const xmlNode* e) const {
    return last_.at(e) - order_.at(e) + 1;
}

const std::string& PageIndex::Text(const xmlNode* e) {
    auto [it, added] = texts_.try_emplace(e);
    if (added) {
        xmlChar* content = xmlNodeGetContent(e);
        it->second = NormalizeFigure(TextOf(content));
        xmlFree(content);
    }
    return it->second;
}

int PageIndex::Depth(const xmlNode* e) {
    int depth = 0;
    for (const xmlNode* n = e; n != nullptr && n->type == XML_ELEMENT_NODE; n = n->parent) ++depth;
    return depth;
}

const xmlNode* PageIndex::CommonAncestor(const xmlNode* a, const xmlNode* b) {
    int da = Depth(a), db = Depth(b);
    for (; da > db; --da) a = a->parent;
    for (; db > da; --db) b = b->parent;
    while (a != b) {
        a = a->parent;
        b = b->parent;
    }
    return a;
}

std::string AttributeOf(const xmlNode* e, const char* name) {
    xmlChar* v = xmlGetProp(e, reinterpret_cast<const xmlChar*>(name));
    std::string s = TextOf(v);
    xmlFree(v);
    return s;
}

std::string TagOf(const xmlNode* e) {
    return TextOf(e->name);
}

std::vector<const xmlNode*> ChildElements(const xmlNode* e) {
    std::vector<const xmlNode*> children;
    for (const xmlNode* c = e->children; c != nullptr; c = c->next)
        if (c->type == XML_ELEMENT_NODE) children.push_back(c);
    return children;
}

}  // namespace tickora
