#include "core/formats/MisplacedValues.h"

#include "core/formats/XMLNamespaceManager.h"
#include "core/model/XMLElementBuilder.h"

#include <algorithm>
#include <array>

namespace wend {

namespace {

// The children of a version 2 track point extension, in the order its schema requires.
constexpr std::array<std::string_view, 9> kTrackPointOrder = {
    "atemp", "wtemp", "depth", "hr", "cad", "speed", "course", "bearing", "Extensions"};

std::size_t trackPointRank(std::string_view localName) {
    auto it = std::find(kTrackPointOrder.begin(), kTrackPointOrder.end(), localName);
    return static_cast<std::size_t>(it - kTrackPointOrder.begin());
}

std::optional<std::string> declared(const std::vector<XMLNamespaceDecl>& declarations,
                                    std::string_view prefix) {
    for (auto it = declarations.rbegin(); it != declarations.rend(); ++it)
        if (it->prefix == prefix)
            return it->uri;
    return std::nullopt;
}

// Whether a child of `extensions` is a version 2 track point extension: its prefix is bound
// by the child itself, by the extensions element (which carries what it inherited) or by the root.
bool isTrackPointExtensionV2(const XMLElement& child, const XMLElementBuilder& extensions,
                             const MisplacedValues::Naming& naming) {
    if (child.localName() != "TrackPointExtension")
        return false;
    auto uri = declared(child.namespaces(), child.prefix());
    if (!uri)
        uri = declared(extensions.namespaces(), child.prefix());
    if (!uri && naming.rootDeclarations)
        uri = declared(*naming.rootDeclarations, child.prefix());
    return uri == XMLNamespaceManager::kTrackPointExtensionV2;
}

std::string qualified(std::string_view prefix, std::string_view localName) {
    return prefix.empty() ? std::string(localName)
                          : std::string(prefix) + ":" + std::string(localName);
}

// Inserts `name` with `text` among the children of a track point extension where its schema
// wants it; false when the extension already holds a value of that name.
bool insertTrackPointValue(XMLElementBuilder& extension, std::string_view localName,
                           const std::string& text) {
    const std::size_t rank = trackPointRank(localName);
    std::size_t at = extension.childCount();
    for (std::size_t i = 0; i < extension.childCount(); ++i) {
        const auto& child = extension.children()[i];
        if (!child.isElement())
            continue;
        const std::size_t childRank = trackPointRank(localPartOfQualifiedName(child.elementName()));
        if (childRank == rank)
            return false;
        if (childRank > rank && at == extension.childCount())
            at = i;
    }
    extension.insertChild(at, XMLElementBuilder(qualified(extension.prefix(), localName), text));
    return true;
}

void addTrackPointValues(XMLElementBuilder& extensions,
                         const std::vector<std::pair<std::string, std::string>>& values,
                         const MisplacedValues::Naming& naming) {
    std::vector<const std::pair<std::string, std::string>*> left;
    std::size_t existing = extensions.childCount();
    for (std::size_t i = 0; i < extensions.childCount(); ++i) {
        const auto& child = extensions.children()[i];
        if (child.isElement() && !child.builder &&
            isTrackPointExtensionV2(child.element, extensions, naming)) {
            existing = i;
            break;
        }
    }
    if (existing < extensions.childCount()) {
        XMLElementBuilder merged(extensions.children()[existing].element);
        for (const auto& value : values)
            if (!insertTrackPointValue(merged, value.first, value.second))
                left.push_back(&value);
        extensions.removeChildAt(existing);
        extensions.insertChild(existing, std::move(merged));
    } else {
        for (const auto& value : values)
            left.push_back(&value);
    }
    if (left.empty())
        return;
    // The rest (all values, or those the point's extension already had) go into one of their own.
    auto bound = declared(extensions.namespaces(), naming.trackPointPrefix);
    const bool declare = naming.declareTrackPointPrefix ||
                         (bound && *bound != XMLNamespaceManager::kTrackPointExtensionV2);
    auto newExtension = [&] {
        XMLElementBuilder extension(qualified(naming.trackPointPrefix, "TrackPointExtension"));
        if (declare)
            extension.addNamespace(naming.trackPointPrefix,
                                   std::string(XMLNamespaceManager::kTrackPointExtensionV2));
        return extension;
    };
    XMLElementBuilder added = newExtension();
    for (const auto* value : left) {
        if (!insertTrackPointValue(added, value->first, value->second)) {
            // A value given twice: the next extension holds it.
            extensions.appendChild(std::move(added));
            added = newExtension();
            insertTrackPointValue(added, value->first, value->second);
        }
    }
    extensions.appendChild(std::move(added));
}

} // namespace

MisplacedValues::Naming MisplacedValues::Naming::forRoot(const std::vector<XMLNamespaceDecl>& rootDeclarations) {
    Naming naming;
    naming.rootDeclarations = &rootDeclarations;
    naming.trackPointPrefix = std::string(XMLNamespaceManager::kTrackPointExtensionV2Prefix);
    for (const auto& declaration : rootDeclarations) {
        if (declaration.uri == XMLNamespaceManager::kTrackPointExtensionV2 && !declaration.prefix.empty()) {
            naming.trackPointPrefix = declaration.prefix;
            return naming;
        }
    }
    for (const auto& declaration : rootDeclarations)
        naming.declareTrackPointPrefix =
            naming.declareTrackPointPrefix || declaration.prefix == naming.trackPointPrefix;
    return naming;
}

void MisplacedValues::clear() {
    m_url.reset();
    m_urlName.reset();
    m_trackPointValues.clear();
    m_foreign.clear();
}

void MisplacedValues::addTrackPointValue(std::string_view localName, std::string_view text) {
    m_trackPointValues.emplace_back(std::string(localName), std::string(text));
}

XMLElement MisplacedValues::takeLink() {
    if (!m_url && !m_urlName)
        return {};
    XMLElementBuilder link("link");
    link.addAttribute("href", m_url.value_or(std::string()));
    if (m_urlName)
        link.appendChild(XMLElementBuilder("text", *m_urlName));
    m_url.reset();
    m_urlName.reset();
    return link.build();
}

XMLElementList MisplacedValues::takeInto(const XMLElementList& kept, const Naming& naming) {
    std::vector<XMLElement> elements = kept.toVector();
    if (XMLElement link = takeLink())
        elements.push_back(link);
    XMLElementList foreign = m_foreign.takeList();
    if (!foreign.empty() || !m_trackPointValues.empty()) {
        auto found = std::find_if(elements.begin(), elements.end(),
                                  [](const XMLElement& e) { return e.name() == "extensions"; });
        XMLElementBuilder extensions =
            found == elements.end() ? XMLElementBuilder("extensions") : XMLElementBuilder(*found);
        for (auto e : foreign)
            extensions.appendChild(e);
        if (!m_trackPointValues.empty())
            addTrackPointValues(extensions, m_trackPointValues, naming);
        if (found == elements.end())
            elements.push_back(extensions.build());
        else
            *found = extensions.build();
    }
    clear();
    return XMLElementList(elements);
}

} // namespace wend
