#include "core/document/MetadataEditor.h"

#include "CommandTestSupport.h"

#include <functional>
#include <gtest/gtest.h>

using namespace wend;
using namespace wend::test;

namespace {

using ScriptedMetadataEditor = ScriptedDialog<MetadataEditor>;

XMLElement element(std::string_view xml) {
    return XMLElement::fromXMLString(xml);
}

// The elements one after another, an extensions element as "<extensions/>".
std::string elementTexts(const XMLDataContainer& object) {
    std::string result;
    for (auto e : object.XMLElements())
        result += e.name() == "extensions" ? "<extensions/>" : e.xmlString();
    return result;
}

class MetadataEditorTest : public CommandTest {
protected:
    MetadataEditorTest() : editor(document) {
        a = makeTrack("A", 3);
        b = makeTrack("B", 3, 9.0);
        a->setXMLElements(
            XMLElementList{element("<cmt>first</cmt>"), element("<src>GPS</src>"),
                           element("<extensions><gpxx:TrackExtension xmlns:gpxx=\"urn:x\">"
                                   "<gpxx:DisplayColor>Red</gpxx:DisplayColor>"
                                   "</gpxx:TrackExtension></extensions>")});
        b->setXMLElements(
            XMLElementList{element("<src>Phone</src>"), element("<number>7</number>")});
        load({a, b});
        selectWhole(a);
        selectWhole(b);
        startFresh();
    }

    static const MetadataPropertyRow* row(const MetadataEditor& e, std::string_view name) {
        for (const auto& r : e.additionalMetadata())
            if (r.name == name)
                return &r;
        return nullptr;
    }
    static std::size_t rowIndex(const MetadataEditor& e, std::string_view name) {
        return static_cast<std::size_t>(row(e, name) - e.additionalMetadata().data());
    }

    // Runs the editor on the selected items; the edit is one undoable step.
    void editItems(const std::function<void(MetadataEditor&)>& script) {
        auto before = snapshot();
        editor.script = [&](MetadataEditor& e) {
            script(e);
            e.done();
        };
        ASSERT_TRUE(editor.editSelectionMetadata());
        expectOneUndoableStep("Edit Metadata", before);
    }

    GPSItemPtr a, b;
    ScriptedMetadataEditor editor;
};

} // namespace

TEST_F(MetadataEditorTest, DifferingNamesShowTheMarkerAndStayUnlessTyped) {
    editor.script = [&](MetadataEditor& e) {
        EXPECT_TRUE(e.metaName().isMultipleValues());
        EXPECT_FALSE(e.metaDescription().isMultipleValues()); // both empty
        EXPECT_FALSE(e.canEditAuthor());
        e.setMetaAuthor(MetadataValue("Nobody"));
        EXPECT_EQ(e.metaAuthor().text(), "");
        e.done();
    };
    auto before = snapshot();
    ASSERT_TRUE(editor.editSelectionMetadata());
    // Nothing was changed, so nothing was recorded; a cancelled change leaves everything too.
    expectNothingRecorded(before);
    EXPECT_TRUE(editor.tracks().empty());
    editor.script = [&](MetadataEditor& e) {
        e.setMetaName(MetadataValue("Gone"));
        e.removeProperties({0});
        e.cancel();
    };
    EXPECT_FALSE(editor.editSelectionMetadata());
    expectNothingRecorded(before);
    EXPECT_FALSE(editor.editItemMetadata({})); // without items there is nothing to edit

    editItems([](MetadataEditor& e) {
        e.setMetaName(MetadataValue("C"));
        e.setMetaDescription(MetadataValue("Both"));
    });
    EXPECT_EQ(a->itemName() + b->itemName() + b->itemDescription(), "CCBoth");
}

TEST_F(MetadataEditorTest, PropertyRowsStandForSimpleElementsOnly) {
    editor.script = [&](MetadataEditor& e) {
        ASSERT_EQ(e.additionalMetadata().size(), 3u); // cmt, src, number; never extensions
        EXPECT_EQ(row(e, "cmt")->value.text(), "first");
        EXPECT_TRUE(row(e, "src")->value.isMultipleValues());
        EXPECT_EQ(row(e, "src")->originalElements.size(), 2u);
        EXPECT_EQ(row(e, "number")->value.text(), "7");
        EXPECT_FALSE(row(e, "extensions"));
    };
    EXPECT_FALSE(editor.editSelectionMetadata());
    // An element whose single child is an element is no row either: editing its text would
    // flatten it.
    a->setXMLElements(XMLElementList{element("<extensions><x>1</x></extensions>")});
    editor.script = [&](MetadataEditor& e) { EXPECT_FALSE(row(e, "extensions")); };
    editor.editSelectionMetadata();
}

TEST_F(MetadataEditorTest, ChangingARowTouchesOnlyTheItemsThatHaveIt) {
    editItems([&](MetadataEditor& e) {
        e.setPropertyValue(rowIndex(e, "cmt"), MetadataValue("changed"));
        // A row still holding the marker keeps every item's text but takes a new name.
        e.setPropertyName(rowIndex(e, "src"), "desc-source");
    });
    EXPECT_EQ(elementTexts(*a), "<cmt>changed</cmt><desc-source>GPS</desc-source><extensions/>");
    EXPECT_NE(a->XMLElements()[2].xmlString().find("DisplayColor"), std::string::npos); // whole
    EXPECT_EQ(elementTexts(*b), "<desc-source>Phone</desc-source><number>7</number>");
}

TEST_F(MetadataEditorTest, AddedAndRemovedPropertiesReachEveryItem) {
    editItems([&](MetadataEditor& e) {
        e.addProperty();
        e.removeProperties({rowIndex(e, "src")});
        EXPECT_FALSE(row(e, "src"));
    });
    // New elements follow the existing ones; the default name is made a valid element name.
    EXPECT_EQ(elementTexts(*a),
              "<cmt>first</cmt><extensions/><Property_Name>Property Value</Property_Name>");
    EXPECT_EQ(elementTexts(*b), "<number>7</number><Property_Name>Property Value</Property_Name>");
}

TEST_F(MetadataEditorTest, ElementNamesAreMadeValid) {
    const std::pair<const char*, const char*> names[] = {
        {"note", "note"},           {"my note", "my_note"}, {"1st", "_1st"},
        {"gpxx:Note", "gpxx:Note"}, {"a:b:c", "a_b_c"},     {"xmlns", "_xmlns"},
        {"xmlns:x", "xmlns_x"},     {"<cmt>", "_cmt_"},     {"", ""}};
    for (const auto& [typed, valid] : names)
        EXPECT_EQ(MetadataEditor::elementName(typed), valid) << typed;
    // An emptied name keeps the element's name; an emptied new row adds nothing.
    editItems([&](MetadataEditor& e) {
        const auto cmt = rowIndex(e, "cmt");
        e.setPropertyName(cmt, "");
        e.setPropertyValue(cmt, MetadataValue("second"));
        e.setPropertyName(e.addProperty(), "");
    });
    EXPECT_EQ(elementTexts(*a), "<cmt>second</cmt><src>GPS</src><extensions/>");
}

TEST_F(MetadataEditorTest, DocumentMetadataIncludesTheAuthor) {
    auto model = GPSDocument::documentWithItems({makeTrack("A", 2)}, "Trip");
    model->setDocumentAuthor("Ann");
    model->setXMLElements(XMLElementList{element("<note>one</note>"), element("<note>two</note>"),
                                         element("<extensions><x>1</x><y/></extensions>")});
    document.setGPSDoc(model);
    startFresh();
    auto before = snapshot();

    editor.script = [&](MetadataEditor& e) {
        EXPECT_TRUE(e.canEditAuthor());
        EXPECT_EQ(e.metaName().text(), "Trip");
        EXPECT_EQ(e.metaAuthor().text(), "Ann");
        // One row per simple element, even when two share a name.
        ASSERT_EQ(e.additionalMetadata().size(), 2u);
        e.setMetaAuthor(MetadataValue("Bob"));
        e.setMetaLink(MetadataValue("https://example.org"));
        e.setPropertyValue(1, MetadataValue("zwei"));
        e.done();
    };
    ASSERT_TRUE(editor.editDocumentMetadata());
    EXPECT_EQ(model->documentAuthor() + " " + model->documentLink(), "Bob https://example.org");
    // The second row changed the second element, not the first of its name.
    EXPECT_EQ(elementTexts(*model), "<note>one</note><note>zwei</note><extensions/>");
    expectOneUndoableStep("Edit Metadata", before);
}
