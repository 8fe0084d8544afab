#pragma once

#include <string>
#include <vector>

namespace wend {

// What the document needs from its window: answers from the user and a few view chores.
// Every operation has an empty default, so a document without a window (tests, the CLI)
// works the same.
class WendDocumentDelegate {
public:
    virtual ~WendDocumentDelegate() = default;

    // A modal alert. Returns the index of the chosen button (0 is the first, the default).
    virtual int runAlert(const std::string& title, const std::string& text, const std::vector<std::string>& buttons) {
        (void)title;
        (void)text;
        (void)buttons;
        return 0;
    }
    // Shows every item and fits them into the map.
    virtual void fitTracksToView() {}
    // Keeps the tracks list where it is across a rebuild of the item list.
    virtual void rememberTracksListScrollPosition() {}
    virtual void restoreTracksListScrollPosition() {}
    // Scrolls the tracks list so that a selected row is visible, when none is.
    virtual void scrollSelectedRowIntoView() {}
};

} // namespace wend
