#include "core/model/XMLElementParser.h"

#include "core/model/XMLFragmentEncoder.h"
#include "core/model/XMLSaxParser.h"

#include <string>

namespace wend {

namespace {
class EncodingHandler : public XMLSaxHandler {
public:
    void startElement(std::string_view prefix, std::string_view localName, const Namespace* namespaces,
                      std::size_t namespaceCount, const Attribute* attributes,
                      std::size_t attributeCount) override {
        std::string name;
        if (!prefix.empty()) {
            name.append(prefix);
            name.push_back(':');
        }
        name.append(localName);
        encoder.beginElement(name);
        for (std::size_t i = 0; i < namespaceCount; ++i)
            encoder.addNamespace(namespaces[i].prefix, namespaces[i].uri);
        for (std::size_t i = 0; i < attributeCount; ++i) {
            const auto& a = attributes[i];
            if (a.prefix.empty()) {
                encoder.addAttribute(a.localName, a.value);
            } else {
                std::string attrName(a.prefix);
                attrName.push_back(':');
                attrName.append(a.localName);
                encoder.addAttribute(attrName, a.value);
            }
        }
    }
    void endElement() override { encoder.endElement(); }
    void characters(std::string_view text) override { encoder.appendText(text); }
    void cdata(std::string_view text) override { encoder.appendCData(text); }
    void comment(std::string_view text) override { encoder.appendComment(text); }

    XMLFragmentEncoder encoder;
};

} // namespace

XMLElement XMLElementParser::parseElement(std::string_view text) {
    EncodingHandler handler;
    XMLSaxParser parser(handler);
    parser.parse(text);
    if (!parser.sawElement())
        return {};
    // Kept elements are stored without the declarations of their ancestors, so their text may
    // use a prefix it does not declare itself; only broken XML is refused.
    if (parser.hadSyntaxError())
        return {};
    return handler.encoder.takeElement();
}

} // namespace wend
