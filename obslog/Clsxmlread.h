// TXmlRead: a small element tree from XML text that came from outside,
// read through libxml2's streaming reader with the network off, no DTD
// loaded and no entity of a DTD expanded. A document with a DOCTYPE is
// refused outright (no exchange file needs one, and an internal subset is
// where entity bombs live); so are documents past the size, depth or
// element caps. Element and attribute names are kept without their
// namespace prefix.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <utility>
#include <vector>

struct TXmlNode {
    std::string Name;
    std::vector<std::pair<std::string, std::string>> Attrs;
    std::string Text; // the element's own text, joined
    std::vector<std::unique_ptr<TXmlNode>> Children;

    const TXmlNode* Child(const std::string& name) const;
    std::vector<const TXmlNode*> All(const std::string& name) const;
    // "" when absent.
    std::string Attr(const std::string& name) const;
    std::string ChildText(const std::string& name) const;
};

class TXmlRead {
public:
    static constexpr std::size_t MaxBytes = 32u << 20;
    static constexpr int MaxDepth = 32;
    static constexpr std::size_t MaxElements = 1u << 20;

    // The root element of text, or null with the reason.
    static std::unique_ptr<TXmlNode> Parse(const std::string& text, std::string& error);
};
