#pragma once

#include "core/model/XMLElement.h"
#include "core/model/XMLElementList.h"
#include "core/model/XMLFragmentEncoder.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace wend {

// Values that a GPX element holds where GPX 1.1 has no room for them, collected while the
// reader reads the element and moved to their GPX 1.1 homes at its end, so that saving loses
// nothing: a GPX 1.0 `url` and `urlname` become a `link`; a point's `speed` and `course` go
// into the Garmin track point extension (version 2), merged into one the point already has;
// elements of other namespaces found directly inside the element go into its `extensions`.
// Files that use none of these forms never fill it, and reading them costs nothing more.
class MisplacedValues {
public:
    // How new track point extensions are named: the prefix, whether they must declare it
    // themselves (the file's root binds it to something else), and the root's declarations
    // (to recognise a version 2 extension that the element already has).
    struct Naming {
        std::string trackPointPrefix;
        bool declareTrackPointPrefix = false;
        const std::vector<XMLNamespaceDecl>* rootDeclarations = nullptr;

        // The prefix the root declares for version 2, or the one the writer knows.
        static Naming forRoot(const std::vector<XMLNamespaceDecl>& rootDeclarations);
    };

    bool empty() const {
        return !m_url && !m_urlName && m_trackPointValues.empty() && m_foreign.empty();
    }
    void clear();

    void setURL(std::string_view url) { m_url = std::string(url); }
    void setURLName(std::string_view name) { m_urlName = std::string(name); }
    // "speed" or "course" with its text as written.
    void addTrackPointValue(std::string_view localName, std::string_view text);
    // Where the reader encodes the elements of other namespaces.
    XMLFragmentEncoder& foreignElements() { return m_foreign; }

    // The link made of the url and the urlname, or null without them; they are taken out.
    XMLElement takeLink();
    // The element's kept children with everything collected in its place; empties the collection.
    XMLElementList takeInto(const XMLElementList& kept, const Naming& naming);

private:
    std::optional<std::string> m_url, m_urlName;
    std::vector<std::pair<std::string, std::string>> m_trackPointValues;
    XMLFragmentEncoder m_foreign;
};

} // namespace wend
