#include "core/document/MetadataEditor.h"

#include "CommandTestSupport.h"

#include <functional>
#include <gtest/gtest.h>

using namespace wend;
using namespace wend::test;

namespace {

class ScriptedMetadataEditor : public MetadataEditor {
public:
    using MetadataEditor::MetadataEditor;
    std::function<void(ScriptedMetadataEditor&)> script;

protected:
    void runModal() override {
        if (script)
            script(*this);
    }
};

XMLElement element(std::string_view xml) {
    return XMLElement::fromXMLString(xml);
}

std::vector<std::string> elementTexts(const XMLDataContainer& object) {
    std::vector<std::string> result;
    for (auto e : object.XMLElements())
        result.push_back(e.xmlString());
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

    const MetadataPropertyRow* row(const MetadataEditor& e, std::string_view name) {
        for (const auto& r : e.additionalMetadata())
            if (r.name == name)
                return &r;
        return nullptr;
    }

    // Runs the editor on the selected items and checks the step it leaves.
    void editItems(const std::function<void(ScriptedMetadataEditor&)>& script) {
        auto before = snapshot();
        auto elementsBefore = std::make_pair(elementTexts(*a), elementTexts(*b));
        editor.script = [&](ScriptedMetadataEditor& e) {
            script(e);
            e.done();
        };
        ASSERT_TRUE(editor.editSelectionMetadata());
        endEvent();
        auto elementsAfter = std::make_pair(elementTexts(*a), elementTexts(*b));
        auto after = snapshot();
        EXPECT_EQ(document.undoManager().undoActionName(), "Edit Metadata");
        ASSERT_TRUE(document.undoManager().undo());
        EXPECT_EQ(snapshot(), before);
        EXPECT_EQ(std::make_pair(elementTexts(*a), elementTexts(*b)), elementsBefore);
        EXPECT_FALSE(document.undoManager().canUndo());
        ASSERT_TRUE(document.undoManager().redo());
        EXPECT_EQ(snapshot(), after);
        EXPECT_EQ(std::make_pair(elementTexts(*a), elementTexts(*b)), elementsAfter);
    }

    GPSItemPtr a, b;
    ScriptedMetadataEditor editor;
};

} // namespace

TEST_F(MetadataEditorTest, DifferingNamesShowTheMarkerAndStayUnlessTyped) {
    editor.script = [&](ScriptedMetadataEditor& e) {
        EXPECT_TRUE(e.metaName().isMultipleValues());
        EXPECT_FALSE(e.metaDescription().isMultipleValues()); // both empty
        EXPECT_EQ(e.tracks().size(), 2u);
        EXPECT_FALSE(e.canEditAuthor());
        e.setMetaAuthor(MetadataValue("Nobody"));
        EXPECT_EQ(e.metaAuthor().text(), "");
        e.done();
    };
    auto before = snapshot();
    ASSERT_TRUE(editor.editSelectionMetadata());
    // Nothing was changed, so nothing was recorded.
    expectNothingRecorded(before);
    EXPECT_TRUE(editor.tracks().empty());

    editItems([](ScriptedMetadataEditor& e) {
        e.setMetaName(MetadataValue("C"));
        e.setMetaDescription(MetadataValue("Both"));
    });
    EXPECT_EQ(a->itemName(), "C");
    EXPECT_EQ(b->itemName(), "C");
    EXPECT_EQ(b->itemDescription(), "Both");
    EXPECT_EQ(MetadataValue::multipleValues(), MetadataValue::multipleValues());
    EXPECT_NE(MetadataValue::multipleValues(), MetadataValue(""));
}

TEST_F(MetadataEditorTest, PropertyRowsStandForSimpleElementsOnly) {
    editor.script = [&](ScriptedMetadataEditor& e) {
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
    editor.script = [&](ScriptedMetadataEditor& e) { EXPECT_FALSE(row(e, "extensions")); };
    editor.editSelectionMetadata();
}

TEST_F(MetadataEditorTest, ChangingARowTouchesOnlyTheItemsThatHaveIt) {
    editItems([&](ScriptedMetadataEditor& e) {
        auto index = static_cast<std::size_t>(row(e, "cmt") - e.additionalMetadata().data());
        e.setPropertyValue(index, MetadataValue("changed"));
        // A row still holding the marker keeps every item's text but takes a new name.
        auto src = static_cast<std::size_t>(row(e, "src") - e.additionalMetadata().data());
        e.setPropertyName(src, "desc-source");
    });
    EXPECT_EQ(elementTexts(*a)[0], "<cmt>changed</cmt>");
    EXPECT_EQ(elementTexts(*a)[1], "<desc-source>GPS</desc-source>");
    EXPECT_EQ(elementTexts(*b),
              (std::vector<std::string>{"<desc-source>Phone</desc-source>", "<number>7</number>"}));
    // The display colour's extensions element survives the edit.
    EXPECT_NE(elementTexts(*a)[2].find("DisplayColor"), std::string::npos);
}

TEST_F(MetadataEditorTest, AddedAndRemovedPropertiesReachEveryItem) {
    editItems([&](ScriptedMetadataEditor& e) {
        auto added = e.addProperty();
        EXPECT_EQ(e.additionalMetadata()[added].name, "Property Name");
        EXPECT_EQ(e.additionalMetadata()[added].value.text(), "Property Value");
        EXPECT_TRUE(e.additionalMetadata()[added].newProperty);
        auto src = static_cast<std::size_t>(row(e, "src") - e.additionalMetadata().data());
        EXPECT_TRUE(MetadataEditor::canRemoveProperty({src}));
        e.removeProperties({src});
        EXPECT_EQ(e.deletedMetadata().size(), 1u);
        EXPECT_FALSE(row(e, "src"));
    });
    // New elements follow the existing ones; the default name is made a valid element name.
    EXPECT_EQ(elementTexts(*a).size(), 3u);
    EXPECT_EQ(elementTexts(*a)[0], "<cmt>first</cmt>");
    EXPECT_EQ(elementTexts(*a)[2], "<Property_Name>Property Value</Property_Name>");
    EXPECT_EQ(elementTexts(*b),
              (std::vector<std::string>{"<number>7</number>",
                                        "<Property_Name>Property Value</Property_Name>"}));
}

TEST_F(MetadataEditorTest, ElementNamesAreMadeValid) {
    EXPECT_EQ(MetadataEditor::elementName("note"), "note");
    EXPECT_EQ(MetadataEditor::elementName("my note"), "my_note");
    EXPECT_EQ(MetadataEditor::elementName("1st"), "_1st");
    EXPECT_EQ(MetadataEditor::elementName("gpxx:Note"), "gpxx:Note");
    EXPECT_EQ(MetadataEditor::elementName("a:b:c"), "a_b_c");
    EXPECT_EQ(MetadataEditor::elementName("xmlns"), "_xmlns");
    EXPECT_EQ(MetadataEditor::elementName("xmlns:x"), "xmlns_x");
    EXPECT_EQ(MetadataEditor::elementName("<cmt>"), "_cmt_");
    EXPECT_EQ(MetadataEditor::elementName(""), "");

    // An emptied name keeps the element's name; an emptied new row adds nothing.
    editItems([&](ScriptedMetadataEditor& e) {
        auto cmt = static_cast<std::size_t>(row(e, "cmt") - e.additionalMetadata().data());
        e.setPropertyName(cmt, "");
        e.setPropertyValue(cmt, MetadataValue("second"));
        e.setPropertyName(e.addProperty(), "");
    });
    EXPECT_EQ(elementTexts(*a)[0], "<cmt>second</cmt>");
    EXPECT_EQ(elementTexts(*a).size(), 3u);
}

TEST_F(MetadataEditorTest, DocumentMetadataIncludesTheAuthor) {
    auto model = GPSDocument::documentWithItems({makeTrack("A", 2)}, "Trip");
    model->setDocumentAuthor("Ann");
    model->setXMLElements(XMLElementList{element("<note>one</note>"), element("<note>two</note>"),
                                         element("<extensions><x>1</x><y/></extensions>")});
    document.setGPSDoc(model);
    startFresh();

    editor.script = [&](ScriptedMetadataEditor& e) {
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
    endEvent();
    EXPECT_EQ(model->documentAuthor(), "Bob");
    EXPECT_EQ(model->documentLink(), "https://example.org");
    EXPECT_EQ(model->documentName(), "Trip");
    // The second row changed the second element, not the first of its name.
    EXPECT_EQ(elementTexts(*model)[0], "<note>one</note>");
    EXPECT_EQ(elementTexts(*model)[1], "<note>zwei</note>");
    EXPECT_EQ(elementTexts(*model).size(), 3u);
    EXPECT_EQ(document.undoManager().undoActionName(), "Edit Metadata");
    ASSERT_TRUE(document.undoManager().undo());
    EXPECT_EQ(model->documentAuthor(), "Ann");
    EXPECT_EQ(model->documentLink(), "");
    EXPECT_EQ(elementTexts(*model)[1], "<note>two</note>");
    ASSERT_TRUE(document.undoManager().redo());
    EXPECT_EQ(model->documentAuthor(), "Bob");
    EXPECT_EQ(elementTexts(*model)[1], "<note>zwei</note>");
}

TEST_F(MetadataEditorTest, CancelLeavesEverything) {
    auto before = snapshot();
    auto elementsBefore = elementTexts(*a);
    editor.script = [&](ScriptedMetadataEditor& e) {
        e.setMetaName(MetadataValue("Gone"));
        e.removeProperties({0});
        e.cancel();
    };
    EXPECT_FALSE(editor.editSelectionMetadata());
    expectNothingRecorded(before);
    EXPECT_EQ(elementTexts(*a), elementsBefore);
    // Without items there is nothing to edit.
    EXPECT_FALSE(editor.editItemMetadata({}));
}
