#include "core/document/UndoManager.h"

#include <gtest/gtest.h>
#include <stdexcept>
#include <string>
#include <vector>

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

struct Counts {
    int recorded = 0, undone = 0, redone = 0, countChanges = 0, editedChanges = 0;
    explicit Counts(UndoManager& um) {
        um.didRecordStep().connect([this] { ++recorded; });
        um.didUndo().connect([this] { ++undone; });
        um.didRedo().connect([this] { ++redone; });
        um.changeCountDidChange().connect([this] { ++countChanges; });
        um.editedStateDidChange().connect([this] { ++editedChanges; });
    }
};

} // namespace

TEST(UndoManager, NestedGroupsFormOneStepThatRedoesByReregistration) {
    UndoManager um;
    Property p(um);
    Counts counts(um);

    um.beginUndoGrouping();
    p.setValue(1);
    um.beginUndoGrouping();
    p.setValue(2);
    um.setActionName("Inner");
    EXPECT_EQ(um.groupingLevel(), 3); // event group, outer, inner
    EXPECT_TRUE(um.endUndoGrouping());
    um.setActionName("Outer");
    EXPECT_TRUE(um.endUndoGrouping());
    EXPECT_EQ(counts.recorded, 0);
    um.closeImplicitGroup();
    EXPECT_EQ(um.groupingLevel(), 0);
    EXPECT_EQ(counts.recorded, 1);
    EXPECT_EQ(um.undoActionName(), "Outer");

    for (int round = 0; round < 3; ++round) {
        ASSERT_TRUE(um.undo());
        EXPECT_EQ(p.value(), 0);
        EXPECT_FALSE(um.canUndo());
        EXPECT_TRUE(um.canRedo());
        EXPECT_EQ(um.redoActionName(), "Outer");
        EXPECT_EQ(um.undoActionName(), "");
        ASSERT_TRUE(um.redo());
        EXPECT_EQ(p.value(), 2);
        EXPECT_TRUE(um.canUndo());
        EXPECT_FALSE(um.canRedo());
        EXPECT_EQ(um.undoActionName(), "Outer");
    }
    EXPECT_EQ(counts.undone, 3);
    EXPECT_EQ(counts.redone, 3);
    EXPECT_EQ(counts.recorded, 1);
    EXPECT_FALSE(um.redo());
}

TEST(UndoManager, OneUserEventIsOneStep) {
    UndoManager um;
    Property p(um);

    p.setValue(1);
    EXPECT_EQ(um.groupingLevel(), 1);
    EXPECT_TRUE(um.canUndo());
    EXPECT_EQ(um.changeCount(), 0);
    um.closeImplicitGroup();
    EXPECT_EQ(um.changeCount(), 1);

    // Two named commands and a rename in one event: one step under the last name.
    um.beginUndoGrouping();
    p.setValue(2);
    um.setActionName("Delete");
    um.endUndoGrouping();
    um.beginUndoGrouping();
    p.setValue(3);
    um.setActionName("Merge");
    um.endUndoGrouping();
    um.setActionName("Delete and Merge");
    EXPECT_EQ(um.undoActionName(), "Delete and Merge");
    um.closeImplicitGroup();
    EXPECT_EQ(um.changeCount(), 2);

    // A drag spanning several events: the group opened by the tool survives the event ends.
    um.beginUndoGrouping();
    p.setValue(4);
    um.closeImplicitGroup();
    p.setValue(5);
    um.closeImplicitGroup();
    EXPECT_EQ(um.groupingLevel(), 2);
    EXPECT_FALSE(um.canUndo());
    EXPECT_FALSE(um.undo());
    EXPECT_EQ(p.value(), 5);
    um.setActionName("Move Point");
    um.endUndoGrouping();
    EXPECT_TRUE(um.canUndo());

    // undo() closes the open event group itself.
    ASSERT_TRUE(um.undo());
    EXPECT_EQ(p.value(), 3);
    EXPECT_EQ(um.redoActionName(), "Move Point");
    ASSERT_TRUE(um.undo());
    EXPECT_EQ(p.value(), 1);
    EXPECT_EQ(um.redoActionName(), "Delete and Merge");
    EXPECT_EQ(um.changeCount(), 1);
}

TEST(UndoManager, WithoutEventGroupingEachLooseRegistrationIsAStep) {
    UndoManager um;
    um.setGroupsByEvent(false);
    Property p(um);
    p.setValue(1);
    EXPECT_EQ(um.groupingLevel(), 0);
    um.setActionName("Ignored");
    p.setValue(2);
    EXPECT_EQ(um.changeCount(), 2);
    EXPECT_EQ(um.undoActionName(), "");

    um.beginUndoGrouping();
    EXPECT_EQ(um.groupingLevel(), 1);
    p.setValue(3);
    um.setActionName("Third");
    um.endUndoGrouping();
    EXPECT_EQ(um.undoActionName(), "Third");
    EXPECT_TRUE(um.undo());
    EXPECT_TRUE(um.undo());
    EXPECT_EQ(p.value(), 1);
}

TEST(UndoManager, EmptyGroupsRecordNothingAndKeepThePreviousName) {
    UndoManager um;
    Property p(um);
    Counts counts(um);
    p.setValue(1);
    um.setActionName("Set");
    um.closeImplicitGroup();

    um.beginUndoGrouping();
    um.beginUndoGrouping();
    um.setActionName("Nothing");
    um.endUndoGrouping();
    um.endUndoGrouping();
    um.closeImplicitGroup();
    um.closeImplicitGroup();
    EXPECT_EQ(um.groupingLevel(), 0);
    EXPECT_EQ(counts.recorded, 1);
    EXPECT_EQ(um.changeCount(), 1);
    EXPECT_EQ(um.undoActionName(), "Set");

    // An action whose undo registers nothing leaves no redo step, but still counts.
    um.registerUndo([] {});
    um.setActionName("One Way");
    um.closeImplicitGroup();
    EXPECT_TRUE(um.undo());
    EXPECT_FALSE(um.canRedo());
    EXPECT_EQ(um.changeCount(), 1);
    EXPECT_EQ(um.undoActionName(), "Set");
}

TEST(UndoManager, ANewActionClearsTheRedoStackButReplaysDoNot) {
    UndoManager um;
    Property a(um), b(um);
    a.setValue(1);
    um.closeImplicitGroup();
    a.setValue(2);
    um.closeImplicitGroup();
    um.undo();
    um.undo();
    EXPECT_EQ(a.value(), 0);
    um.redo();
    EXPECT_TRUE(um.canRedo()); // registrations made while redoing keep the rest of the redo stack
    EXPECT_EQ(a.value(), 1);

    b.setValue(5);
    EXPECT_FALSE(um.canRedo());
    um.closeImplicitGroup();
    um.undo();
    EXPECT_EQ(b.value(), 0);
    um.undo();
    EXPECT_EQ(a.value(), 0);
    EXPECT_FALSE(um.canUndo());

    // Registrations dropped while disabled leave the redo stack alone.
    um.disableUndoRegistration();
    um.disableUndoRegistration();
    um.enableUndoRegistration();
    b.setValue(9);
    EXPECT_TRUE(um.canRedo());
    um.enableUndoRegistration();
    um.enableUndoRegistration(); // unbalanced: ignored
    EXPECT_TRUE(um.isUndoRegistrationEnabled());
    um.disableUndoRegistration();
    EXPECT_FALSE(um.isUndoRegistrationEnabled());
}

TEST(UndoManager, ChangeCountFollowsUndoRedoAndSave) {
    UndoManager um;
    Property p(um);
    Counts counts(um);
    EXPECT_FALSE(um.hasUnsavedChanges());

    p.setValue(1);
    um.closeImplicitGroup();
    p.setValue(2);
    um.closeImplicitGroup();
    EXPECT_EQ(um.changeCount(), 2);
    EXPECT_TRUE(um.hasUnsavedChanges());
    EXPECT_EQ(counts.editedChanges, 1);

    um.markSaved();
    EXPECT_FALSE(um.hasUnsavedChanges());
    um.undo();
    EXPECT_EQ(um.changeCount(), 1);
    EXPECT_TRUE(um.hasUnsavedChanges());
    um.redo();
    EXPECT_EQ(um.changeCount(), 2);
    EXPECT_FALSE(um.hasUnsavedChanges());
    EXPECT_EQ(counts.countChanges, 4);
    EXPECT_EQ(counts.editedChanges, 4);

    // Saved at 2, back to 1, then a different change: count 2 again, but not the saved state.
    um.undo();
    p.setValue(7);
    um.closeImplicitGroup();
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
    p.setValue(9);
    um.closeImplicitGroup();
    um.removeAllActions();
    EXPECT_FALSE(um.canUndo());
    EXPECT_TRUE(um.hasUnsavedChanges());
}

TEST(UndoManager, MisuseIsRefusedWithoutHarm) {
    UndoManager um;
    Property p(um);
    EXPECT_FALSE(um.endUndoGrouping());
    EXPECT_FALSE(um.undo());
    EXPECT_FALSE(um.redo());

    // endUndoGrouping cannot close the event group.
    p.setValue(1);
    EXPECT_FALSE(um.endUndoGrouping());
    EXPECT_EQ(um.groupingLevel(), 1);

    // Removing all actions inside a group keeps the group balanced and records nothing.
    um.beginUndoGrouping();
    p.setValue(2);
    um.removeAllActions();
    EXPECT_TRUE(um.endUndoGrouping());
    um.closeImplicitGroup();
    EXPECT_FALSE(um.canUndo());
    EXPECT_EQ(um.changeCount(), 0);

    // An action that undoes, ends groups or names while undoing changes nothing of that.
    bool innerUndo = true, innerEnd = true;
    p.setValue(3);
    um.setActionName("Three");
    um.closeImplicitGroup();
    um.registerUndo([&] {
        innerUndo = um.undo();
        innerEnd = um.endUndoGrouping();
        um.setActionName("Renamed");
        EXPECT_TRUE(um.isUndoing());
        EXPECT_FALSE(um.canUndo());
        p.setValue(4);
    });
    um.setActionName("Four");
    um.closeImplicitGroup();
    ASSERT_TRUE(um.undo());
    EXPECT_FALSE(innerUndo);
    EXPECT_FALSE(innerEnd);
    EXPECT_FALSE(um.isUndoing());
    EXPECT_EQ(p.value(), 4);
    EXPECT_EQ(um.redoActionName(), "Four");
    EXPECT_EQ(um.undoActionName(), "Three");

    // A throwing action drops its step and leaves the manager usable.
    um.registerUndo([] { throw std::runtime_error("broken"); });
    um.closeImplicitGroup();
    EXPECT_THROW(um.undo(), std::runtime_error);
    EXPECT_EQ(um.groupingLevel(), 0);
    EXPECT_FALSE(um.isUndoing());
    EXPECT_EQ(um.undoActionName(), "Three");
    ASSERT_TRUE(um.undo());
    EXPECT_EQ(p.value(), 2); // the earlier steps went with removeAllActions
    EXPECT_FALSE(um.canUndo());
}

TEST(UndoManager, SlotsMayUndoAgainAndActionsRunNewestFirst) {
    UndoManager um;
    std::string order;
    um.registerUndo([&] { order += "a"; });
    um.registerUndo([&] { order += "b"; });
    um.closeImplicitGroup();
    um.registerUndo([&] { order += "c"; });
    um.closeImplicitGroup();

    // A slot that undoes once more while being told of an undo.
    bool again = true;
    const auto id = um.didUndo().connect([&] {
        if (again) {
            again = false;
            EXPECT_TRUE(um.undo());
        }
    });
    ASSERT_TRUE(um.undo());
    EXPECT_EQ(order, "cba");
    EXPECT_EQ(um.changeCount(), 0);
    EXPECT_FALSE(um.canUndo());
    EXPECT_TRUE(um.didUndo().disconnect(id));
}
