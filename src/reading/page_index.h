#pragma once
// A parsed page as the rule suggester walks it: its elements in document order, where each
// one's subtree ends, how much text it holds, and the text of the small ones as a figure is
// made. Not for use outside reading/.

#include <libxml/tree.h>

#include <string>
#include <unordered_map>
#include <vector>

#include "reading/page_rules.h"

namespace tickora {

class PageIndex {
  public:
    explicit PageIndex(const ParsedPage& page);

    const ParsedPage& Page() const { return page_; }
    bool Empty() const { return elements_.empty(); }
    // Every element in document order.
    const std::vector<const xmlNode*>& Elements() const { return elements_; }
    int Order(const xmlNode* e) const { return order_.at(e); }
    // Whether e stands inside in (in itself included).
    bool Inside(const xmlNode* e, const xmlNode* in) const;
    // Elements in the subtree of e, e included.
    int Size(const xmlNode* e) const;
    // Bytes of text under e.
    std::size_t TextBytes(const xmlNode* e) const { return bytes_.at(e); }
    // The text of e made as a figure is; cached.
    const std::string& Text(const xmlNode* e);
    static int Depth(const xmlNode* e);
    // The deepest element that holds both.
    static const xmlNode* CommonAncestor(const xmlNode* a, const xmlNode* b);

  private:
    const ParsedPage& page_;
    std::vector<const xmlNode*> elements_;
    std::unordered_map<const xmlNode*, int> order_;
    std::unordered_map<const xmlNode*, int> last_;  // order of the last element under it
    std::unordered_map<const xmlNode*, std::size_t> bytes_;
    std::unordered_map<const xmlNode*, std::string> texts_;
};

// An element's attribute, "" when it has none.
std::string AttributeOf(const xmlNode* e, const char* name);
// The element's name, lower case as the parser gives it.
std::string TagOf(const xmlNode* e);
// The element children of e, in order.
std::vector<const xmlNode*> ChildElements(const xmlNode* e);

}  // namespace tickora
