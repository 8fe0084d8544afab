#include "ui/app/PreferencesWindow.h"

#include "core/document/Preferences.h"
#include "core/document/ViewCommands.h"
#include "ui/mapview/GMapView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QWebEngineProfile>
#include <array>

namespace wend {

namespace {
QString qstring(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The deepest zoom any XYZ tile service offers.
constexpr int kMaximumTileZoom = 24;

struct TileKeys {
    const char* title;
    std::string_view url;
    std::string_view labelsURL; // empty when the type has no labels layer
    std::string_view attribution;
    std::string_view maxZoom;
};

const std::array<TileKeys, 4> kTileKeys = {{
    {"Street Map",
     Preferences::kStreetTileURLKey,
     {},
     Preferences::kStreetTileAttributionKey,
     Preferences::kStreetTileMaxZoomKey},
    {"Satellite Map",
     Preferences::kSatelliteTileURLKey,
     {},
     Preferences::kSatelliteTileAttributionKey,
     Preferences::kSatelliteTileMaxZoomKey},
    {"Hybrid Map", Preferences::kHybridTileURLKey, Preferences::kHybridLabelsTileURLKey,
     Preferences::kHybridTileAttributionKey, Preferences::kHybridTileMaxZoomKey},
    {"Terrain Map",
     Preferences::kTerrainTileURLKey,
     {},
     Preferences::kTerrainTileAttributionKey,
     Preferences::kTerrainTileMaxZoomKey},
}};
} // namespace

PreferencesWindow::PreferencesWindow(Preferences& preferences, QWidget* parent)
    : QDialog(parent), m_preferences(preferences) {
    setWindowTitle(QStringLiteral("Preferences"));
    auto* tabs = new QTabWidget(this);

    // ---- general ---------------------------------------------------------------------------
    auto* general = new QWidget(tabs);
    auto* generalForm = new QFormLayout(general);
    generalForm->addRow(QStringLiteral("Units:"),
                        addComboBox(Preferences::kMeasurementSystemKey,
                                    {QStringLiteral("Metric (metres, kilometres)"),
                                     QStringLiteral("Imperial (feet, miles)")}));
    QStringList mapTypes;
    for (const auto title : ViewCommands::mapTypeTitles())
        mapTypes << qstring(title);
    generalForm->addRow(QStringLiteral("Map type:"),
                        addComboBox(Preferences::kMapTypeKey, mapTypes));
    generalForm->addRow(QString(),
                        addCheckBox(Preferences::kIgnoreOutliersWhenCalculatingStatisticsKey,
                                    QStringLiteral("Ignore outliers when calculating statistics")));
    generalForm->addRow(QString(), addCheckBox(Preferences::kShowStatisticsViewKey,
                                               QStringLiteral("Show the statistics pane")));
    generalForm->addRow(QString(), addCheckBox(Preferences::kShowEditablePointsListKey,
                                               QStringLiteral("Show the editable points list")));
    generalForm->addRow(QString(), addCheckBox(Preferences::kShowAdditionalWaypointFieldsKey,
                                               QStringLiteral("Show additional waypoint fields")));
    generalForm->addRow(QString(),
                        addCheckBox(Preferences::kShowTooltipsKey,
                                    QStringLiteral("Show tool tips when choosing a tool")));
    generalForm->addRow(QString(), addCheckBox(Preferences::kTrackSelectionChangesAreUndoableKey,
                                               QStringLiteral("Selection changes can be undone")));
    generalForm->addRow(QString(),
                        addCheckBox(Preferences::kSaveGarminDocsKey,
                                    QStringLiteral("Save waypoints, then routes, then tracks "
                                                   "(Garmin-friendly order)")));
    tabs->addTab(general, QStringLiteral("General"));

    // ---- map tiles ---------------------------------------------------------------------------
    auto* tiles = new QWidget(tabs);
    auto* tilesLayout = new QVBoxLayout(tiles);
    auto* tilesNote =
        new QLabel(QStringLiteral("Tile addresses use {z}, {x} and {y}, optionally {s}. "
                                  "The attribution is shown on the map, as the tile "
                                  "providers' terms ask."),
                   tiles);
    tilesNote->setWordWrap(true);
    tilesLayout->addWidget(tilesNote);
    for (const auto& type : kTileKeys) {
        auto* group = new QGroupBox(QString::fromLatin1(type.title), tiles);
        auto* form = new QFormLayout(group);
        form->addRow(QStringLiteral("Tiles:"), addLineEdit(type.url));
        if (!type.labelsURL.empty())
            form->addRow(QStringLiteral("Labels:"), addLineEdit(type.labelsURL));
        form->addRow(QStringLiteral("Attribution:"), addLineEdit(type.attribution));
        form->addRow(QStringLiteral("Deepest zoom:"), addSpinBox(type.maxZoom, kMaximumTileZoom));
        tilesLayout->addWidget(group);
    }
    auto* restore = new QPushButton(QStringLiteral("Restore Default Tiles"), tiles);
    restore->setObjectName(QStringLiteral("restoreTileDefaults"));
    connect(restore, &QPushButton::clicked, this, &PreferencesWindow::restoreTileDefaults);
    tilesLayout->addWidget(restore, 0, Qt::AlignRight);

    auto* cache = new QGroupBox(QStringLiteral("Tiles on Disk"), tiles);
    auto* cacheLayout = new QHBoxLayout(cache);
    cacheLayout->addWidget(new QLabel(QStringLiteral("Keep up to:"), cache));
    QSpinBox* cacheSize =
        addSpinBox(Preferences::kMapCacheSizeKey, Preferences::kMaximumMapCacheSize);
    cacheSize->setSuffix(QStringLiteral(" MB"));
    cacheSize->setSpecialValueText(QStringLiteral("None"));
    cacheSize->setSingleStep(64);
    cacheSize->setToolTip(QStringLiteral("Map tiles seen before show without the network, and "
                                         "the tile servers are asked less."));
    cacheLayout->addWidget(cacheSize);
    cacheLayout->addStretch();
    auto* clearCache = new QPushButton(QStringLiteral("Clear Cache"), cache);
    clearCache->setObjectName(QStringLiteral("clearMapCache"));
    connect(clearCache, &QPushButton::clicked, this,
            [this] { GMapView::mapProfile(m_preferences)->clearHttpCache(); });
    cacheLayout->addWidget(clearCache);
    tilesLayout->addWidget(cache);
    tilesLayout->addStretch();
    tabs->addTab(tiles, QStringLiteral("Map Tiles"));

    // ---- messages ------------------------------------------------------------------------------
    auto* messages = new QWidget(tabs);
    auto* messagesForm = new QFormLayout(messages);
    auto* messagesNote =
        new QLabel(QStringLiteral("Messages you chose not to see again:"), messages);
    messagesForm->addRow(messagesNote);
    messagesForm->addRow(QStringLiteral("Schema locations of the file could not be kept:"),
                         addShowAgainButton(Preferences::kHideErr1Key));
    messagesForm->addRow(QStringLiteral("A namespace prefix had to be declared:"),
                         addShowAgainButton(Preferences::kHideErr2Key));
    messagesForm->addRow(QStringLiteral("A schema location pair could not be written:"),
                         addShowAgainButton(Preferences::kHideErr3Key));
    messagesForm->addRow(QStringLiteral("Invitation to try a newer version:"),
                         addShowAgainButton(Preferences::kHideBetaNotificationKey));
    tabs->addTab(messages, QStringLiteral("Messages"));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    layout->addWidget(buttons);
    reload();
}

void PreferencesWindow::showEvent(QShowEvent* event) {
    reload();
    QDialog::showEvent(event);
}

void PreferencesWindow::reload() {
    m_loading = true;
    for (const auto& binding : m_bindings)
        binding.load();
    m_loading = false;
}

QWidget* PreferencesWindow::controlForKey(std::string_view key) const {
    for (const auto& binding : m_bindings)
        if (binding.key == key)
            return binding.control;
    return nullptr;
}

void PreferencesWindow::stored(std::string_view key) {
    emit preferenceChanged(qstring(key));
}

QCheckBox* PreferencesWindow::addCheckBox(std::string_view key, const QString& title) {
    auto* box = new QCheckBox(title, this);
    const std::string name(key);
    connect(box, &QCheckBox::toggled, this, [this, name](bool checked) {
        if (m_loading)
            return;
        m_preferences.setBool(name, checked);
        stored(name);
    });
    m_bindings.push_back(
        {name, box, [this, box, name] { box->setChecked(m_preferences.boolForKey(name)); }});
    return box;
}

QComboBox* PreferencesWindow::addComboBox(std::string_view key, const QStringList& titles) {
    auto* combo = new QComboBox(this);
    combo->addItems(titles);
    const std::string name(key);
    connect(combo, &QComboBox::currentIndexChanged, this, [this, name](int index) {
        if (m_loading || index < 0)
            return;
        m_preferences.setInteger(name, index);
        stored(name);
    });
    m_bindings.push_back({name, combo, [this, combo, name] {
                              const int value = m_preferences.integerForKey(name);
                              // Any value other than 0 reads as the second choice where
                              // there are two (imperial units).
                              combo->setCurrentIndex(value >= 0 && value < combo->count() ? value
                                                     : combo->count() == 2                ? 1
                                                                                          : 0);
                          }});
    return combo;
}

QLineEdit* PreferencesWindow::addLineEdit(std::string_view key) {
    auto* edit = new QLineEdit(this);
    edit->setMinimumWidth(420);
    const std::string name(key);
    connect(edit, &QLineEdit::editingFinished, this, [this, edit, name] {
        if (m_loading)
            return;
        const std::string text = edit->text().trimmed().toStdString();
        if (text == m_preferences.stringForKey(name))
            return;
        m_preferences.setString(name, text);
        stored(name);
    });
    m_bindings.push_back({name, edit, [this, edit, name] {
                              edit->setText(
                                  QString::fromStdString(m_preferences.stringForKey(name)));
                              edit->setCursorPosition(0);
                          }});
    return edit;
}

QSpinBox* PreferencesWindow::addSpinBox(std::string_view key, int maximum) {
    auto* spin = new QSpinBox(this);
    spin->setRange(0, maximum);
    const std::string name(key);
    connect(spin, &QSpinBox::valueChanged, this, [this, name](int value) {
        if (m_loading)
            return;
        m_preferences.setInteger(name, value);
        stored(name);
    });
    m_bindings.push_back(
        {name, spin, [this, spin, name] { spin->setValue(m_preferences.integerForKey(name)); }});
    return spin;
}

QPushButton* PreferencesWindow::addShowAgainButton(std::string_view key) {
    auto* button = new QPushButton(QStringLiteral("Show Again"), this);
    const std::string name(key);
    connect(button, &QPushButton::clicked, this, [this, button, name] {
        m_preferences.removeValue(name);
        button->setEnabled(m_preferences.boolForKey(name));
        stored(name);
    });
    m_bindings.push_back({name, button, [this, button, name] {
                              button->setEnabled(m_preferences.boolForKey(name));
                          }});
    return button;
}

void PreferencesWindow::restoreTileDefaults() {
    for (const auto& type : kTileKeys) {
        for (const std::string_view key :
             {type.url, type.labelsURL, type.attribution, type.maxZoom}) {
            if (key.empty())
                continue;
            m_preferences.removeValue(key);
            stored(key);
        }
    }
    reload();
}

} // namespace wend
