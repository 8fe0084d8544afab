#pragma once

#include "core/base/Signal.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace wend {

// Records inverse actions in named steps and replays them.
//
// Steps. Registrations are collected in groups; groups nest, and everything recorded while the
// outermost group is open becomes one step, named by the last action name set meanwhile.
// A group that recorded nothing leaves no step. While groupsByEvent is on (the default), a
// registration, beginUndoGrouping or setActionName outside any group first opens an implicit
// event group, which stays open until closeImplicitGroup (the application calls it at the end of
// every user event), so one user action is one step even when it runs several grouped commands.
// With groupsByEvent off, a registration outside any group is a step of its own.
//
// Undo and redo. undo() closes an open event group first, then runs the newest step's
// actions, newest first. Whatever they register forms the redo step, under the undone step's
// name; redo() runs it and its registrations form the undo step again. A registration outside
// undo and redo empties the redo stack. undo() and redo() refuse (return false, change nothing)
// while an explicitly begun group is open, since running history in the middle of a command
// would tear the command apart; they also refuse while an undo or redo is running.
//
// Edited state. The change count goes up for every recorded step and every redo, and down for
// every undo. markSaved() remembers the count; the document is unchanged while the count is
// back at that mark. Once the saved state has fallen out of the history (its redo steps were
// discarded by a new action, or all actions were removed while edited) no count reaches it.
//
// An action that throws leaves its step out of both stacks and the manager ungrouped.
class UndoManager {
public:
    using Action = std::function<void()>;

    UndoManager() = default;
    UndoManager(const UndoManager&) = delete;
    UndoManager& operator=(const UndoManager&) = delete;

    void beginUndoGrouping();
    // False, and nothing changes, without a matching beginUndoGrouping (the implicit event group
    // is closed only by closeImplicitGroup).
    bool endUndoGrouping();
    // Ends the innermost explicitly begun group like endUndoGrouping, but first runs what was
    // recorded since its beginUndoGrouping backwards (newest first, registering nothing) and
    // forgets it: the model is back where it was when the group began and the group leaves no
    // step. An interrupted mouse drag ends this way. False without an open explicit group.
    bool cancelUndoGrouping();
    // Every open group, including the implicit event group and the group that collects the
    // registrations of a running undo or redo.
    int groupingLevel() const { return m_groupingLevel; }
    bool groupsByEvent() const { return m_groupsByEvent; }
    void setGroupsByEvent(bool groupsByEvent);
    // Ends the current user event: closes the implicit group when no other group is open in it.
    void closeImplicitGroup();

    void registerUndo(Action action);
    // Names the open step. Ignored while undoing or redoing (the replayed step keeps its name)
    // and, with groupsByEvent off, outside any group.
    void setActionName(std::string_view actionName);
    // The name of the step undo() or redo() would run; empty when there is none.
    std::string undoActionName() const;
    std::string redoActionName() const;

    bool canUndo() const;
    bool canRedo() const;
    bool undo();
    bool redo();
    bool isUndoing() const { return m_isUndoing; }
    bool isRedoing() const { return m_isRedoing; }

    // Drops both stacks and whatever the open groups recorded; open groups stay open, so the
    // caller's endUndoGrouping still balances.
    void removeAllActions();

    // Counted: registration resumes after as many enables as there were disables.
    void disableUndoRegistration();
    void enableUndoRegistration();
    bool isUndoRegistrationEnabled() const { return m_disableCount == 0; }

    int changeCount() const { return m_changeCount; }
    // Closes the implicit event group first: its changes are part of what was saved.
    void markSaved();
    bool hasUnsavedChanges() const;

    // A new step was recorded (the outermost group of a user action closed with something in it).
    Signal<>& didRecordStep() { return m_didRecordStep; }
    Signal<>& didUndo() { return m_didUndo; }
    Signal<>& didRedo() { return m_didRedo; }
    Signal<>& changeCountDidChange() { return m_changeCountDidChange; }
    // hasUnsavedChanges() flipped.
    Signal<>& editedStateDidChange() { return m_editedStateDidChange; }

private:
    struct Step {
        std::string actionName;
        std::vector<Action> actions;
    };
    // The outermost open group when the manager opened it itself.
    enum class BaseGroup { None, Implicit, Collecting };

    int explicitGroupingLevel() const;
    void openImplicitGroupIfNeeded();
    void closeOutermostGroup();
    const Step* nextUndoStep() const;
    bool replay(std::vector<Step>& from, std::vector<Step>& to, bool undoing);
    void discardRedoStack();
    // Moves the change count, then notifies it, a flip of the edited state, and the event.
    void changeCountBy(int delta, Signal<>& event);

    // Where each explicitly begun group started in the open step, innermost last.
    struct GroupMark {
        std::size_t actionCount = 0;
        std::string actionName;
    };
    std::vector<GroupMark> m_groupMarks;
    std::vector<Step> m_undoStack;
    std::vector<Step> m_redoStack;
    Step m_openStep;
    int m_groupingLevel = 0;
    BaseGroup m_baseGroup = BaseGroup::None;
    bool m_groupsByEvent = true;
    bool m_isUndoing = false;
    bool m_isRedoing = false;
    int m_disableCount = 0;

    int m_changeCount = 0;
    // Empty once the saved state can no longer be reached through undo and redo.
    std::optional<int> m_savedChangeCount = 0;

    Signal<> m_didRecordStep;
    Signal<> m_didUndo;
    Signal<> m_didRedo;
    Signal<> m_changeCountDidChange;
    Signal<> m_editedStateDidChange;
};

} // namespace wend
