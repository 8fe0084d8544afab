#include "core/model/XMLElement.h"

#include "core/base/ByteSink.h"
#include "core/model/XMLElementBuilder.h"
#include "core/model/XMLFragmentEncoder.h"
#include "core/model/XMLSaxParser.h"
#include "core/model/XMLStreamWriter.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace wend {
namespace {

XMLElement parse(std::string_view text) {
    return XMLElement::fromXMLString(text);
}

std::vector<XMLNode::Kind> kindsOf(const XMLElement& e) {
    std::vector<XMLNode::Kind> kinds;
    for (const auto& child : e.children())
        kinds.push_back(child.kind());
    return kinds;
}

TEST(XMLElement, ParsesNamesAttributesNamespacesAndChildren) {
    const XMLElement e =
        parse("<gpx xmlns=\"http://www.topografix.com/GPX/1/1\" "
              "xmlns:gpxtpx=\"http://www.garmin.com/xmlschemas/TrackPointExtension/v1\" "
              "version=\"1.1\" creator=\"x\">"
              "<gpxtpx:hr a=\"1\">72</gpxtpx:hr><name>N</name><gpxtpx:hr>80</gpxtpx:hr></gpx>");
    ASSERT_FALSE(e.isNull());
    ASSERT_EQ(e.namespaces().size(), 2u);
    EXPECT_EQ(e.namespaces()[0], (XMLNamespaceDecl{"", "http://www.topografix.com/GPX/1/1"}));
    EXPECT_EQ(e.attributes(), (std::vector<XMLAttribute>{{"version", "1.1"}, {"creator", "x"}}));
    EXPECT_EQ(e.attribute("missing"), std::nullopt);
    EXPECT_EQ(e.childCount(), 3u);

    XMLElement hr = e.childNamed("gpxtpx:hr");
    EXPECT_EQ(hr.localName(), "hr");
    EXPECT_EQ(hr.prefix(), "gpxtpx");
    EXPECT_EQ(hr.attribute("a"), "1");
    EXPECT_EQ(hr.stringValue(), "72");
    EXPECT_EQ(e.childrenNamed("gpxtpx:hr")[1].stringValue(), "80");
    EXPECT_TRUE(e.childNamed("hr").isNull()) << "children are looked up by qualified name";
    EXPECT_EQ(e.stringValue(), "72N80");
    EXPECT_TRUE(XMLElement().childNamed("a").isNull());
}

TEST(XMLElement, TextIsConcatenatedUntrimmedWithCDataAndComments) {
    const XMLElement e =
        parse("<desc> a <b>bold</b><!-- note --> c <![CDATA[<x> & y]]>&amp;&lt;&#233;</desc>");
    ASSERT_FALSE(e.isNull());
    EXPECT_EQ(e.stringValue(), " a bold c <x> & y&<\xC3\xA9");
    EXPECT_EQ(kindsOf(e), (std::vector<XMLNode::Kind>{XMLNode::Kind::Text, XMLNode::Kind::Element,
                                                      XMLNode::Kind::Comment, XMLNode::Kind::Text,
                                                      XMLNode::Kind::CData, XMLNode::Kind::Text}));
    auto children = e.children();
    EXPECT_EQ(children[2].text(), " note ");
    EXPECT_EQ(children[4].text(), "<x> & y");
    EXPECT_EQ(children[5].text(), "&<\xC3\xA9") << "entity and character references join the text";

    // Attribute values come back with their references resolved.
    const XMLElement link = parse("<link href=\"http://x/?a=1&amp;b=&quot;2&quot;&#38;&lt;\"/>");
    EXPECT_EQ(link.attribute("href"), "http://x/?a=1&b=\"2\"&<");
    EXPECT_EQ(parse(link.xmlString()), link);

    EXPECT_EQ(parse("<a v=\"&amp;#38;\"/>").attribute("v"), "&#38;");

    // Entities declared inside the document are expanded, in text and in attribute values.
    const XMLElement withEntity = parse(
        "<!DOCTYPE a [<!ENTITY who \"world &amp; co\">]><a v=\"[&who;]\">hello &who;, &who;</a>");
    EXPECT_EQ(withEntity.stringValue(), "hello world & co, world & co");
    EXPECT_EQ(withEntity.attribute("v"), "[world & co]");
}

TEST(XMLElement, RoundTripsThroughItsText) {
    // Attribute values with quotes, newlines and tabs survive.
    XMLElementBuilder b("a");
    b.addAttribute("v", "line1\nline2\t\"q\" 'x' <&>");
    b.appendText("  spaced\r\n text ");
    const XMLElement built = b.build();
    EXPECT_EQ(parse(built.xmlString()), built) << built.xmlString();

    // Text that does not parse gives no element.
    EXPECT_TRUE(parse("").isNull());
    EXPECT_TRUE(parse("not xml").isNull());
    EXPECT_TRUE(parse("<a><b></a>").isNull());
    EXPECT_TRUE(parse("<a></a><b/>").isNull());
}

TEST(XMLElementBuilder, ChangesDoNotAffectTheOriginal) {
    const std::string text = "<ext xmlns:g=\"urn:g\" k=\"v\"><g:a>1</g:a><g:b>2</g:b><g:a>3</g:a></ext>";
    const XMLElement original = parse(text);
    XMLElementBuilder b(original);
    EXPECT_EQ(b.build(), original) << "an unchanged builder rebuilds the same element";

    b.createChildNamed("g:a").setStringValue("changed"); // the first of two
    b.addAttribute("k", "w");
    b.addAttribute("n", "1");
    b.removeNamespace("g");
    b.addNamespace("h", "urn:h");
    XMLElementBuilder& created = b.createChildNamed("g:c");
    created.appendText("new");
    EXPECT_EQ(&b.createChildNamed("g:c"), &created) << "appends only when the name is missing";
    EXPECT_EQ(b.build().xmlString(), "<ext xmlns:h=\"urn:h\" k=\"w\" n=\"1\"><g:a>changed</g:a>"
                                     "<g:b>2</g:b><g:a>3</g:a><g:c>new</g:c></ext>");
    EXPECT_EQ(original.xmlString(), text);

    // Removing by a name viewed from the builder's own list removes that one only.
    XMLElementBuilder own("o");
    own.addAttribute("a", "1");
    own.addAttribute("b", "2");
    own.addNamespace("p", "urn:p");
    own.addNamespace("q", "urn:q");
    own.removeAttribute(own.attributes()[0].name);
    own.removeNamespace(own.namespaces()[0].prefix);
    EXPECT_EQ(own.build().xmlString(), "<o xmlns:q=\"urn:q\" b=\"2\"/>");
}

TEST(XMLStreamWriter, KeepsElementsAndReportsFailedSinks) {
    // Kept elements come back unchanged from an indented document.
    const XMLElement kept =
        parse("<extensions>\n    <g:x xmlns:g=\"urn:g\">\n <g:y>1</g:y></g:x><z/>\n</extensions>");
    XMLElementBuilder cdata("c");
    cdata.appendText("a");
    cdata.appendChild(parse("<b/>"));
    std::string saved;
    StringByteSink savedSink(saved);
    XMLStreamWriter w(savedSink, true);
    w.startDocument();
    w.startElement("root");
    w.writeElement(kept);
    w.writeElement(cdata);
    w.writeElement(XMLElementBuilder(parse("<c><![CDATA[x]]]]></c>")).build());
    w.endElement();
    ASSERT_TRUE(w.finish());
    const XMLElement root = parse(saved);
    ASSERT_FALSE(root.isNull()) << saved;
    EXPECT_EQ(root.childNamed("extensions"), kept) << saved;
    EXPECT_EQ(root.childNamed("c").stringValue(), "a");
    EXPECT_EQ(root.childrenNamed("c")[1].stringValue(), "x]]") << saved;
    // Text that would end a CDATA section early is written as plain text.
    XMLFragmentEncoder encoder;
    encoder.beginElement("c");
    encoder.appendCData("a]]>b");
    encoder.endElement();
    const XMLElement closing = encoder.takeElement();
    EXPECT_EQ(parse(closing.xmlString()).stringValue(), "a]]>b") << closing.xmlString();

    class FailingSink : public ByteSink {
    public:
        bool write(const char*, std::size_t) override { return false; }
        bool ok() const override { return false; }
    } failing;
    XMLStreamWriter broken(failing, false);
    broken.startDocument();
    broken.writeTextElement("a", std::string(100000, 'x'));
    EXPECT_FALSE(broken.finish());
}

TEST(XMLSaxParser, ReportsRepairsAndRefusesExternalEntities) {
    class Collector : public XMLSaxHandler {
    public:
        void startElement(std::string_view, std::string_view, const Namespace*, std::size_t, const Attribute*,
                          std::size_t) override {}
        void endElement() override {}
        void characters(std::string_view t) override { text += t; }
        std::string text;
    };

    Collector repaired;
    XMLSaxParser parser(repaired);
    parser.parse("<a><b>x</a>");
    EXPECT_TRUE(parser.sawElement());
    EXPECT_TRUE(parser.hadSyntaxError());
    EXPECT_EQ(parser.firstError().rfind("Line 1: ", 0), 0u) << parser.firstError();

    Collector external;
    XMLSaxParser guarded(external);
    guarded.parse("<!DOCTYPE a [<!ENTITY x SYSTEM \"file:///etc/passwd\">]><a>&x;</a>");
    EXPECT_EQ(external.text.find("root"), std::string::npos);
}

} // namespace
} // namespace wend
