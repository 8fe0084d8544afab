#include "core/document/UndoManager.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace wend {

void UndoManager::beginUndoGrouping() {
    openImplicitGroupIfNeeded();
    ++m_groupingLevel;
    m_groupMarks.push_back({m_openStep.actions.size(), m_openStep.actionName});
}

bool UndoManager::endUndoGrouping() {
    if (explicitGroupingLevel() == 0)
        return false;
    if (!m_groupMarks.empty())
        m_groupMarks.pop_back();
    if (--m_groupingLevel == 0)
        closeOutermostGroup();
    return true;
}

bool UndoManager::cancelUndoGrouping() {
    if (explicitGroupingLevel() == 0)
        return false;
    GroupMark mark = m_groupMarks.empty() ? GroupMark{} : m_groupMarks.back();
    auto& actions = m_openStep.actions;
    mark.actionCount = std::min(mark.actionCount, actions.size());
    std::vector<Action> recorded(std::make_move_iterator(actions.begin() + static_cast<std::ptrdiff_t>(mark.actionCount)),
                                 std::make_move_iterator(actions.end()));
    actions.resize(mark.actionCount);
    m_openStep.actionName = std::move(mark.actionName);
    disableUndoRegistration();
    for (auto it = recorded.rbegin(); it != recorded.rend(); ++it)
        (*it)();
    enableUndoRegistration();
    return endUndoGrouping();
}

void UndoManager::setGroupsByEvent(bool groupsByEvent) {
    m_groupsByEvent = groupsByEvent;
}

void UndoManager::closeImplicitGroup() {
    if (m_baseGroup != BaseGroup::Implicit || m_groupingLevel != 1)
        return;
    m_groupingLevel = 0;
    closeOutermostGroup();
}

void UndoManager::registerUndo(Action action) {
    if (!action || !isUndoRegistrationEnabled())
        return;
    if (!m_isUndoing && !m_isRedoing)
        discardRedoStack();
    openImplicitGroupIfNeeded();
    m_openStep.actions.push_back(std::move(action));
    if (m_groupingLevel == 0)
        closeOutermostGroup();
}

void UndoManager::setActionName(std::string_view actionName) {
    if (m_isUndoing || m_isRedoing)
        return;
    // With event grouping, a name set before the first change of an event still names its step.
    openImplicitGroupIfNeeded();
    if (m_groupingLevel > 0)
        m_openStep.actionName = actionName;
}

std::string UndoManager::undoActionName() const {
    const Step* step = nextUndoStep();
    return step ? step->actionName : std::string();
}

std::string UndoManager::redoActionName() const {
    return m_redoStack.empty() ? std::string() : m_redoStack.back().actionName;
}

bool UndoManager::canUndo() const {
    if (m_isUndoing || m_isRedoing || explicitGroupingLevel() > 0)
        return false;
    return nextUndoStep() != nullptr;
}

bool UndoManager::canRedo() const {
    if (m_isUndoing || m_isRedoing || explicitGroupingLevel() > 0)
        return false;
    return !m_redoStack.empty();
}

bool UndoManager::undo() {
    return replay(m_undoStack, m_redoStack, true);
}

bool UndoManager::redo() {
    return replay(m_redoStack, m_undoStack, false);
}

void UndoManager::removeAllActions() {
    m_undoStack.clear();
    m_redoStack.clear();
    m_openStep = Step{};
    // Without history, a document that differs from its file can never return to it.
    if (m_savedChangeCount != m_changeCount)
        m_savedChangeCount.reset();
}

void UndoManager::disableUndoRegistration() {
    ++m_disableCount;
}

void UndoManager::enableUndoRegistration() {
    if (m_disableCount > 0)
        --m_disableCount;
}

void UndoManager::markSaved() {
    // The changes of the current event are in the saved file too.
    closeImplicitGroup();
    const bool wasEdited = hasUnsavedChanges();
    m_savedChangeCount = m_changeCount;
    if (wasEdited)
        m_editedStateDidChange.notify();
}

bool UndoManager::hasUnsavedChanges() const {
    return m_savedChangeCount != m_changeCount;
}

int UndoManager::explicitGroupingLevel() const {
    return m_groupingLevel - (m_baseGroup == BaseGroup::None ? 0 : 1);
}

void UndoManager::openImplicitGroupIfNeeded() {
    if (m_groupingLevel != 0 || !m_groupsByEvent)
        return;
    m_groupingLevel = 1;
    m_baseGroup = BaseGroup::Implicit;
}

// Called once the grouping level has dropped to zero outside undo and redo.
void UndoManager::closeOutermostGroup() {
    m_baseGroup = BaseGroup::None;
    Step step = std::exchange(m_openStep, Step{});
    if (step.actions.empty())
        return;
    m_undoStack.push_back(std::move(step));
    changeCountBy(1, m_didRecordStep);
}

const UndoManager::Step* UndoManager::nextUndoStep() const {
    if (m_baseGroup == BaseGroup::Implicit && !m_openStep.actions.empty())
        return &m_openStep;
    return m_undoStack.empty() ? nullptr : &m_undoStack.back();
}

bool UndoManager::replay(std::vector<Step>& from, std::vector<Step>& to, bool undoing) {
    if (m_isUndoing || m_isRedoing || explicitGroupingLevel() > 0)
        return false;
    closeImplicitGroup();
    // A slot notified of the step just recorded may have opened a group or started a replay.
    if (m_isUndoing || m_isRedoing || m_groupingLevel != 0 || from.empty())
        return false;

    Step step = std::move(from.back());
    from.pop_back();

    // Restores an ungrouped manager even when an action throws; the partial step is dropped.
    struct ReplayScope {
        UndoManager& manager;
        bool& flag;
        ~ReplayScope() {
            flag = false;
            manager.m_groupingLevel = 0;
            manager.m_baseGroup = BaseGroup::None;
            manager.m_openStep = Step{};
            manager.m_groupMarks.clear();
        }
    };
    Step inverse;
    {
        bool& flag = undoing ? m_isUndoing : m_isRedoing;
        ReplayScope scope{*this, flag};
        flag = true;
        m_groupingLevel = 1;
        m_baseGroup = BaseGroup::Collecting;
        m_openStep = Step{};
        for (auto it = step.actions.rbegin(); it != step.actions.rend(); ++it)
            (*it)();
        inverse = std::exchange(m_openStep, Step{});
    }

    if (!inverse.actions.empty()) {
        inverse.actionName = std::move(step.actionName);
        to.push_back(std::move(inverse));
    }
    changeCountBy(undoing ? -1 : 1, undoing ? m_didUndo : m_didRedo);
    return true;
}

void UndoManager::discardRedoStack() {
    // The saved state lies in the redo history when undo went below it; a new action branches
    // away from it for good.
    if (m_savedChangeCount && *m_savedChangeCount > m_changeCount)
        m_savedChangeCount.reset();
    m_redoStack.clear();
}

void UndoManager::changeCountBy(int delta, Signal<>& event) {
    const bool wasEdited = hasUnsavedChanges();
    m_changeCount += delta;
    const bool editedChanged = wasEdited != hasUnsavedChanges();
    m_changeCountDidChange.notify();
    if (editedChanged)
        m_editedStateDidChange.notify();
    event.notify();
}

} // namespace wend
