#include "obslog/Clsxmlread.h"

#include <libxml/xmlreader.h>

const TXmlNode* TXmlNode::Child(const std::string& name) const {
    for (const auto& c : Children)
        if (c->Name == name) return c.get();
    return nullptr;
}

std::vector<const TXmlNode*> TXmlNode::All(const std::string& name) const {
    std::vector<const TXmlNode*> out;
    for (const auto& c : Children)
        if (c->Name == name) out.push_back(c.get());
    return out;
}

std::string TXmlNode::Attr(const std::string& name) const {
    for (const auto& [k, v] : Attrs)
        if (k == name) return v;
    return "";
}

std::string TXmlNode::ChildText(const std::string& name) const {
    const TXmlNode* c = Child(name);
    return c ? c->Text : "";
}

namespace {

struct TReaderFree {
    void operator()(xmlTextReaderPtr r) const { xmlFreeTextReader(r); }
};

std::string Str(const xmlChar* s) {
    return s ? reinterpret_cast<const char*>(s) : "";
}

// libxml2 reports through a callback; keep the first message for the user.
void KeepError(void* arg, const char* msg, xmlParserSeverities severity,
               xmlTextReaderLocatorPtr loc) {
    auto* out = static_cast<std::string*>(arg);
    if (severity != XML_PARSER_SEVERITY_ERROR && severity != XML_PARSER_SEVERITY_VALIDITY_ERROR)
        return;
    if (!out->empty()) return;
    std::string m = msg ? msg : "malformed";
    while (!m.empty() && (m.back() == '\n' || m.back() == ' '))
        m.pop_back();
    *out = "line " + std::to_string(xmlTextReaderLocatorLineNumber(loc)) + ": " + m;
}

} // namespace

std::unique_ptr<TXmlNode> TXmlRead::Parse(const std::string& text, std::string& error) {
    if (text.size() > MaxBytes) {
        error = "the file is larger than " + std::to_string(MaxBytes >> 20) + " MB";
        return nullptr;
    }
    // The prolog is looked at first: libxml2 reads ahead, and its own loop
    // detection would otherwise answer before the DOCTYPE reaches us.
    for (std::size_t at = 0; at < text.size();) {
        if (text.compare(at, 4, "<!--") == 0) {
            const std::size_t end = text.find("-->", at + 4);
            at = end == std::string::npos ? text.size() : end + 3;
        } else if (text.compare(at, 2, "<?") == 0) {
            const std::size_t end = text.find("?>", at + 2);
            at = end == std::string::npos ? text.size() : end + 2;
        } else if (text.compare(at, 9, "<!DOCTYPE") == 0) {
            error = "the file declares a DTD (DOCTYPE); exchange files need none and it is refused";
            return nullptr;
        } else if (text[at] == '<') {
            break;
        } else {
            ++at;
        }
    }
    std::unique_ptr<xmlTextReader, TReaderFree> r(xmlReaderForMemory(
        text.data(), static_cast<int>(text.size()), nullptr, nullptr,
        XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_NOCDATA));
    if (!r) {
        error = "the XML reader could not start";
        return nullptr;
    }
    std::string parseError;
    xmlTextReaderSetErrorHandler(r.get(), KeepError, &parseError);

    std::unique_ptr<TXmlNode> root;
    std::vector<TXmlNode*> open; // the elements not yet closed, innermost last
    std::size_t elements = 0;
    int rc;
    while ((rc = xmlTextReaderRead(r.get())) == 1) {
        const int type = xmlTextReaderNodeType(r.get());
        if (type == XML_READER_TYPE_DOCUMENT_TYPE) {
            error = "the file declares a DTD (DOCTYPE); exchange files need none and it is refused";
            return nullptr;
        }
        if (type == XML_READER_TYPE_ENTITY_REFERENCE) {
            error = "the file refers to an entity";
            return nullptr;
        }
        if (type == XML_READER_TYPE_ELEMENT) {
            if (static_cast<int>(open.size()) >= MaxDepth) {
                error = "elements are nested deeper than " + std::to_string(MaxDepth);
                return nullptr;
            }
            if (++elements > MaxElements) {
                error = "the file has more than " + std::to_string(MaxElements) + " elements";
                return nullptr;
            }
            auto node = std::make_unique<TXmlNode>();
            node->Name = Str(xmlTextReaderConstLocalName(r.get()));
            const bool empty = xmlTextReaderIsEmptyElement(r.get()) == 1;
            while (xmlTextReaderMoveToNextAttribute(r.get()) == 1) {
                if (xmlTextReaderIsNamespaceDecl(r.get()) == 1) continue;
                node->Attrs.emplace_back(Str(xmlTextReaderConstLocalName(r.get())),
                                         Str(xmlTextReaderConstValue(r.get())));
            }
            TXmlNode* raw = node.get();
            if (open.empty()) {
                if (root) {
                    error = "more than one root element";
                    return nullptr;
                }
                root = std::move(node);
            } else {
                open.back()->Children.push_back(std::move(node));
            }
            if (!empty) open.push_back(raw);
        } else if (type == XML_READER_TYPE_END_ELEMENT) {
            if (!open.empty()) open.pop_back();
        } else if (type == XML_READER_TYPE_TEXT || type == XML_READER_TYPE_CDATA ||
                   type == XML_READER_TYPE_SIGNIFICANT_WHITESPACE) {
            if (!open.empty()) open.back()->Text += Str(xmlTextReaderConstValue(r.get()));
        }
    }
    if (rc != 0 || !parseError.empty()) {
        error = parseError.empty() ? "the file is not well-formed XML" : parseError;
        return nullptr;
    }
    if (!root) {
        error = "the file holds no XML element";
        return nullptr;
    }
    return root;
}
