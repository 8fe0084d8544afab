#include "ui/profile/ProfilePane.h"

#include "core/document/WendDocument.h"
#include "ui/app/StatisticsPane.h"
#include "ui/profile/ProfileChartView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QSettings>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace wend {

namespace {
const QString kAxisKey = QStringLiteral("Profile/axis");
const QString kSecondSeriesKey = QStringLiteral("Profile/secondSeries");
const QString kSelectedItemsOnlyKey = QStringLiteral("Profile/selectedItemsOnly");

// Entry i of the second-series pop-up stands for kProfileQuantities[i]; entry 0 for none.
std::optional<ProfileQuantity> quantityOfSeriesEntry(int index) {
    if (index <= 0 || index >= static_cast<int>(kProfileQuantityCount))
        return std::nullopt;
    return kProfileQuantities[static_cast<std::size_t>(index)];
}
} // namespace

ProfilePane::ProfilePane(QWidget* parent) : QWidget(parent) {
    QPalette colours = palette();
    colours.setColor(QPalette::Window, StatisticsPane::backgroundColor());
    colours.setColor(QPalette::WindowText, Qt::black);
    colours.setColor(QPalette::ButtonText, Qt::black);
    setPalette(colours);
    setAutoFillBackground(true);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* header = new QWidget(this);
    header->setFixedHeight(kHeaderHeight);
    buildHeader(header);
    layout->addWidget(header);

    m_chartView = new ProfileChartView(m_model, this);
    m_chartView->setObjectName(QStringLiteral("profileChart"));
    layout->addWidget(m_chartView, 1);
    m_selectionThrottle = new PaneRefreshThrottle([this] { refreshSelection(); }, this);
    connect(m_chartView, &ProfileChartView::pointHovered, this, &ProfilePane::pointHovered);
    connect(m_chartView, &ProfileChartView::hoverEnded, this, &ProfilePane::hoverEnded);
    connect(m_chartView, &ProfileChartView::dragEnded, this, [this] {
        if (m_itemsStale)
            reloadItems();
        else if (m_selectionStale)
            refreshSelection();
    });

    restoreSwitches();
    m_expanded = true; // so that the call below lays the pane out collapsed
    setExpanded(false);
}

ProfilePane::~ProfilePane() = default;

QSize ProfilePane::sizeHint() const {
    return QSize(QWidget::sizeHint().width(), m_expanded ? m_preferredHeight : kHeaderHeight);
}

void ProfilePane::buildHeader(QWidget* header) {
    auto* row = new QHBoxLayout(header);
    row->setContentsMargins(6, 0, 10, 0);
    row->setSpacing(10);
    m_indicatorButton = new QToolButton(header);
    m_indicatorButton->setAutoRaise(true);
    m_indicatorButton->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_indicatorButton->setText(tr("Profile"));
    m_indicatorButton->setToolTip(tr("Show or hide the elevation profile"));
    m_indicatorButton->setFocusPolicy(Qt::NoFocus);
    connect(m_indicatorButton, &QToolButton::clicked, this, &ProfilePane::toggleExpanded);
    row->addWidget(m_indicatorButton);

    m_switches = new QWidget(header);
    auto* switches = new QHBoxLayout(m_switches);
    switches->setContentsMargins(0, 0, 0, 0);
    switches->setSpacing(10);
    m_axisPopUp = new QComboBox(m_switches);
    m_axisPopUp->setObjectName(QStringLiteral("profileAxis"));
    m_axisPopUp->addItems({tr("Distance"), tr("Time")});
    m_axisPopUp->setToolTip(tr("What the horizontal axis measures"));
    m_axisPopUp->setFocusPolicy(Qt::NoFocus);
    switches->addWidget(m_axisPopUp);
    m_secondSeriesPopUp = new QComboBox(m_switches);
    m_secondSeriesPopUp->setObjectName(QStringLiteral("profileSecondSeries"));
    m_secondSeriesPopUp->addItem(tr("No Second Series"));
    for (std::size_t i = 1; i < kProfileQuantityCount; ++i) {
        const auto title = titleOfProfileQuantity(kProfileQuantities[i]);
        m_secondSeriesPopUp->addItem(
            QString::fromUtf8(title.data(), static_cast<qsizetype>(title.size())));
    }
    m_secondSeriesPopUp->setToolTip(tr("What is drawn beside the elevation, on its own scale"));
    m_secondSeriesPopUp->setFocusPolicy(Qt::NoFocus);
    switches->addWidget(m_secondSeriesPopUp);
    m_selectedItemsOnlyBox = new QCheckBox(tr("Selected Items Only"), m_switches);
    m_selectedItemsOnlyBox->setObjectName(QStringLiteral("profileSelectedItemsOnly"));
    m_selectedItemsOnlyBox->setToolTip(tr("Show only the tracks and routes that hold a selection"));
    m_selectedItemsOnlyBox->setFocusPolicy(Qt::NoFocus);
    switches->addWidget(m_selectedItemsOnlyBox);
    row->addWidget(m_switches);
    row->addStretch(1);

    connect(m_axisPopUp, &QComboBox::currentIndexChanged, this, [this](int index) {
        m_chartView->chart().setAxis(index == 1 ? ProfileAxis::Time : ProfileAxis::Distance);
        m_chartView->modelDidChange();
        saveSwitches();
    });
    connect(m_secondSeriesPopUp, &QComboBox::currentIndexChanged, this, [this](int index) {
        m_chartView->chart().setSecondQuantity(quantityOfSeriesEntry(index));
        m_chartView->modelDidChange();
        saveSwitches();
    });
    connect(m_selectedItemsOnlyBox, &QCheckBox::toggled, this, [this](bool on) {
        m_chartView->cancelDrag();
        m_model.setSelectedItemsOnly(on);
        m_chartView->modelDidChange();
        saveSwitches();
    });
}

void ProfilePane::restoreSwitches() {
    // Read before any is set: setting one stores them all.
    QSettings settings;
    const int axis = std::clamp(settings.value(kAxisKey, 0).toInt(), 0, 1);
    const int secondSeries = std::clamp(settings.value(kSecondSeriesKey, 1).toInt(), 0,
                                        static_cast<int>(kProfileQuantityCount) - 1);
    const bool selectedItemsOnly = settings.value(kSelectedItemsOnlyKey, false).toBool();
    m_axisPopUp->setCurrentIndex(axis);
    m_secondSeriesPopUp->setCurrentIndex(secondSeries);
    m_selectedItemsOnlyBox->setChecked(selectedItemsOnly);
    ProfileChart& chart = m_chartView->chart();
    chart.setAxis(m_axisPopUp->currentIndex() == 1 ? ProfileAxis::Time : ProfileAxis::Distance);
    chart.setSecondQuantity(quantityOfSeriesEntry(m_secondSeriesPopUp->currentIndex()));
    m_model.setSelectedItemsOnly(m_selectedItemsOnlyBox->isChecked());
}

void ProfilePane::saveSwitches() const {
    QSettings settings;
    settings.setValue(kAxisKey, m_axisPopUp->currentIndex());
    settings.setValue(kSecondSeriesKey, m_secondSeriesPopUp->currentIndex());
    settings.setValue(kSelectedItemsOnlyKey, m_selectedItemsOnlyBox->isChecked());
}

// ---- document ------------------------------------------------------------------------------------

void ProfilePane::setDocument(WendDocument* document) {
    m_chartView->setDocument(document);
    m_document = document;
    if (document) {
        std::weak_ptr<char> alive = m_alive;
        document->trackDataDidChange().connect([this, alive, document] {
            if (!alive.expired() && m_document == document)
                trackDataDidChange();
        });
        document->selectionDidChange().connect([this, alive, document] {
            if (!alive.expired() && m_document == document)
                selectionDidChange();
        });
        document->itemsNeedRedisplay().connect([this, alive, document] {
            if (!alive.expired() && m_document == document)
                m_chartView->update();
        });
    }
    m_itemsStale = true;
    reloadItems();
}

void ProfilePane::trackDataDidChange() {
    m_itemsStale = true;
    reloadItems();
}

void ProfilePane::setRefreshThrottled(bool throttled) {
    m_selectionThrottle->setThrottled(throttled);
}

void ProfilePane::selectionDidChange() {
    m_selectionThrottle->request();
}

void ProfilePane::refreshSelection() {
    // The shading reads the items' selections as they are; only the choice of items waits.
    m_chartView->update();
    if (!m_expanded || m_itemsStale)
        return;
    if (m_chartView->isDragging()) {
        m_selectionStale = true;
        return;
    }
    m_selectionStale = false;
    if (m_model.selectedItemsOnly()) {
        m_model.selectionDidChange();
        m_chartView->modelDidChange();
    }
}

void ProfilePane::reloadItems() {
    if (!m_expanded || m_chartView->isDragging())
        return;
    m_itemsStale = false;
    m_selectionStale = false;
    if (m_document)
        m_model.setItems(m_document->items(), m_document->GPSDoc()->XMLNamespaces());
    else
        m_model.setItems({}, {});
    m_chartView->modelDidChange();
}

// ---- collapsing ----------------------------------------------------------------------------------

void ProfilePane::setExpanded(bool expanded) {
    if (expanded == m_expanded)
        return;
    m_expanded = expanded;
    m_indicatorButton->setArrowType(expanded ? Qt::DownArrow : Qt::RightArrow);
    m_switches->setVisible(expanded);
    m_chartView->setVisible(expanded);
    if (expanded) {
        setMinimumHeight(kMinimumExpandedHeight);
        setMaximumHeight(QWIDGETSIZE_MAX);
        setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
        reloadItems();
    } else {
        setFixedHeight(kHeaderHeight);
        setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
        // A closed pane holds on to no items or points.
        m_model.setItems({}, {});
        m_itemsStale = true;
    }
    emit expandedChanged(expanded);
}

} // namespace wend
