#include "core/document/UndoManager.h"

#include <gtest/gtest.h>
#include <stdexcept>
#include <string>
#include <utility>

using namespace wend;

namespace {

// A property whose setter registers the assignment of its old value, the way the document
// records every model change: undoing it registers the redo through the same setter.
class Property {
public:
    explicit Property(UndoManager& undoManager) : m_undoManager(undoManager) {}
    int value() const { return m_value; }
    void setValue(int value) {
        const int old = m_value;
        m_value = value;
        m_undoManager.registerUndo([this, old] { setValue(old); });
    }

private:
    UndoManager& m_undoManager;
    int m_value = 0;
};

// Sets the value as one user event, optionally named.
void step(UndoManager& um, Property& p, int value, const char* name = nullptr) {
    p.setValue(value);
    if (name)
        um.setActionName(name);
    um.closeImplicitGroup();
}

} // namespace

TEST(UndoManager, NestedGroupsFormOneStepThatRedoesByReregistration) {
    UndoManager um;
    Property p(um);
    std::string signals; // r(ecorded), u(ndone), d (redone)
    um.didRecordStep().connect([&] { signals += 'r'; });
    um.didUndo().connect([&] { signals += 'u'; });
    um.didRedo().connect([&] { signals += 'd'; });

    um.beginUndoGrouping();
    p.setValue(1);
    um.beginUndoGrouping();
    p.setValue(2);
    um.setActionName("Inner");
    EXPECT_EQ(um.groupingLevel(), 3); // event group, outer, inner
    EXPECT_TRUE(um.endUndoGrouping());
    um.setActionName("Outer");
    EXPECT_TRUE(um.endUndoGrouping());
    EXPECT_EQ(signals, "");
    um.closeImplicitGroup();
    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(um.undo());
        EXPECT_EQ(p.value(), 0);
        EXPECT_FALSE(um.canUndo());
        EXPECT_EQ(um.redoActionName(), "Outer");
        ASSERT_TRUE(um.redo());
        EXPECT_EQ(p.value(), 2);
        EXPECT_FALSE(um.canRedo());
        EXPECT_EQ(um.undoActionName(), "Outer");
    }
    EXPECT_EQ(signals, "rudud");
}

TEST(UndoManager, OneUserEventIsOneStepUnderTheLastName) {
    UndoManager um;
    Property p(um);
    step(um, p, 1);
    // Two named commands and a rename in one event.
    for (const auto& [value, name] : {std::pair{2, "Delete"}, std::pair{3, "Merge"}}) {
        um.beginUndoGrouping();
        p.setValue(value);
        um.setActionName(name);
        um.endUndoGrouping();
    }
    um.setActionName("Delete and Merge");
    um.closeImplicitGroup();
    EXPECT_EQ(um.changeCount(), 2);
    // A drag spanning several events: the group opened by the tool survives the event ends.
    um.beginUndoGrouping();
    step(um, p, 4);
    step(um, p, 5);
    EXPECT_EQ(um.groupingLevel(), 2);
    EXPECT_FALSE(um.undo());
    um.setActionName("Move Point");
    um.endUndoGrouping();
    ASSERT_TRUE(um.undo()); // closes the open event group itself
    EXPECT_EQ(p.value(), 3);
    ASSERT_TRUE(um.undo());
    EXPECT_EQ(p.value(), 1);
    EXPECT_EQ(um.redoActionName(), "Delete and Merge");
}

TEST(UndoManager, EmptyGroupsRecordNothingAndKeepThePreviousName) {
    UndoManager um;
    Property p(um);
    step(um, p, 1, "Set");
    um.beginUndoGrouping();
    um.setActionName("Nothing");
    um.endUndoGrouping();
    um.closeImplicitGroup();
    EXPECT_EQ(um.undoActionName(), "Set");
    // An action whose undo registers nothing leaves no redo step, but still counts.
    um.registerUndo([] {});
    um.closeImplicitGroup();
    EXPECT_TRUE(um.undo());
    EXPECT_FALSE(um.canRedo());
    EXPECT_EQ(um.changeCount(), 1);
}

TEST(UndoManager, ANewActionClearsTheRedoStackButReplaysDoNot) {
    UndoManager um;
    Property a(um), b(um);
    step(um, a, 1);
    step(um, a, 2);
    um.undo();
    um.undo();
    um.redo();
    EXPECT_TRUE(um.canRedo()); // registrations made while redoing keep the rest
    EXPECT_EQ(a.value(), 1);
    b.setValue(5);
    EXPECT_FALSE(um.canRedo());
    um.undo();
    um.undo();
    EXPECT_EQ(a.value() + b.value(), 0);
    // Registrations dropped while disabled (nested) leave the redo stack alone.
    um.disableUndoRegistration();
    um.disableUndoRegistration();
    um.enableUndoRegistration();
    b.setValue(9);
    EXPECT_TRUE(um.canRedo());
}

TEST(UndoManager, ChangeCountFollowsUndoRedoAndSave) {
    UndoManager um;
    Property p(um);
    int countChanges = 0, editedChanges = 0;
    um.changeCountDidChange().connect([&] { ++countChanges; });
    um.editedStateDidChange().connect([&] { ++editedChanges; });
    step(um, p, 1);
    step(um, p, 2);
    EXPECT_EQ(um.changeCount(), 2);
    EXPECT_TRUE(um.hasUnsavedChanges());
    um.markSaved();
    um.undo();
    EXPECT_TRUE(um.hasUnsavedChanges());
    um.redo();
    EXPECT_FALSE(um.hasUnsavedChanges());
    EXPECT_EQ(countChanges, 4);
    EXPECT_EQ(editedChanges, 4);
    // Saved at 2, back to 1, then a different change: count 2 again, but not the saved state.
    um.undo();
    step(um, p, 7);
    EXPECT_EQ(um.changeCount(), 2);
    EXPECT_TRUE(um.hasUnsavedChanges());
    um.undo();
    um.undo();
    EXPECT_TRUE(um.hasUnsavedChanges());
    // Saving inside an event includes the event's changes.
    p.setValue(8);
    um.markSaved();
    EXPECT_EQ(um.groupingLevel(), 0);
    EXPECT_FALSE(um.hasUnsavedChanges());
    // Clearing the history keeps a clean document clean and an edited one edited.
    um.removeAllActions();
    EXPECT_FALSE(um.hasUnsavedChanges());
    step(um, p, 9);
    um.removeAllActions();
    EXPECT_FALSE(um.canUndo());
    EXPECT_TRUE(um.hasUnsavedChanges());
}

TEST(UndoManager, MisuseIsRefusedWithoutHarm) {
    UndoManager um;
    Property p(um);
    EXPECT_FALSE(um.endUndoGrouping());
    p.setValue(1);
    EXPECT_FALSE(um.endUndoGrouping()); // cannot close the event group
    EXPECT_EQ(um.groupingLevel(), 1);
    // Removing all actions inside a group keeps the group balanced and records nothing.
    um.beginUndoGrouping();
    p.setValue(2);
    um.removeAllActions();
    EXPECT_TRUE(um.endUndoGrouping());
    um.closeImplicitGroup();
    EXPECT_FALSE(um.canUndo());
    // A throwing action drops its step and leaves the manager usable.
    um.registerUndo([] { throw std::runtime_error("broken"); });
    um.closeImplicitGroup();
    EXPECT_THROW(um.undo(), std::runtime_error);
    EXPECT_EQ(um.groupingLevel(), 0);
    EXPECT_FALSE(um.isUndoing());
    step(um, p, 5);
    ASSERT_TRUE(um.undo());
    EXPECT_EQ(p.value(), 2);
    EXPECT_FALSE(um.canUndo()); // the earlier steps went with removeAllActions
}

TEST(UndoManager, ActionsRunNewestFirstAndSlotsMayUndoAgain) {
    UndoManager um;
    std::string order;
    um.registerUndo([&] { order += "a"; });
    um.registerUndo([&] { order += "b"; });
    um.closeImplicitGroup();
    um.registerUndo([&] { order += "c"; });
    um.closeImplicitGroup();
    bool again = true;
    const auto id = um.didUndo().connect([&] {
        if (std::exchange(again, false)) {
            EXPECT_TRUE(um.undo());
        }
    });
    ASSERT_TRUE(um.undo());
    EXPECT_EQ(order, "cba");
    EXPECT_EQ(um.changeCount(), 0);
    EXPECT_TRUE(um.didUndo().disconnect(id));
}
