#include "ui/dialogs/EditMetadataDialog.h"

#include "ui/dialogs/DoneCancelButtons.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace wend {

namespace {

// Marks a cell whose value differs between the edited items.
constexpr int kMultipleValuesRole = Qt::UserRole + 1;

QString qText(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string utf8(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    return {bytes.constData(), static_cast<std::size_t>(bytes.size())};
}

// Shows the multiple-values placeholder in marked cells, also in their editor, and keeps the
// mark when the editor is left without typing.
class PlaceholderDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyledItemDelegate::paint(painter, option, index);
        if (!index.data(kMultipleValuesRole).toBool())
            return;
        painter->save();
        QFont font = option.font;
        font.setItalic(true);
        painter->setFont(font);
        painter->setPen(option.palette.color(QPalette::PlaceholderText));
        painter->drawText(option.rect.adjusted(4, 0, -4, 0), Qt::AlignLeft | Qt::AlignVCenter,
                          EditMetadataDialog::multipleValuesPlaceholder());
        painter->restore();
    }

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto* line = qobject_cast<QLineEdit*>(editor);
            line && index.data(kMultipleValuesRole).toBool())
            line->setPlaceholderText(EditMetadataDialog::multipleValuesPlaceholder());
        return editor;
    }

    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override {
        auto* line = qobject_cast<QLineEdit*>(editor);
        if (line && index.data(kMultipleValuesRole).toBool() && !line->isModified())
            return;
        QStyledItemDelegate::setModelData(editor, model, index);
    }
};

} // namespace

QString EditMetadataDialog::multipleValuesPlaceholder() {
    return tr("Multiple Values");
}

EditMetadataDialog::EditMetadataDialog(WendDocument& document, QWidget* parent)
    : QDialog(parent), MetadataEditor(document) {
    setWindowTitle(tr("Edit Metadata"));

    auto* form = new QFormLayout;
    const std::array<QString, 4> labels{tr("Name:"), tr("Description:"), tr("Author:"),
                                        tr("Link:")};
    for (std::size_t i = 0; i < m_fields.size(); ++i) {
        m_fields[i] = new QLineEdit(this);
        form->addRow(labels[i], m_fields[i]);
    }
    m_fields[0]->setMinimumWidth(360);

    m_propertiesTable = new QTableWidget(0, 2, this);
    m_propertiesTable->setHorizontalHeaderLabels({tr("Property"), tr("Value")});
    m_propertiesTable->verticalHeader()->hide();
    m_propertiesTable->horizontalHeader()->setStretchLastSection(true);
    m_propertiesTable->horizontalHeader()->resizeSection(NameColumn, 150);
    m_propertiesTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_propertiesTable->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_propertiesTable->setEditTriggers(QAbstractItemView::DoubleClicked |
                                       QAbstractItemView::EditKeyPressed |
                                       QAbstractItemView::SelectedClicked);
    m_propertiesTable->setItemDelegate(new PlaceholderDelegate(m_propertiesTable));
    m_propertiesTable->setMinimumHeight(150);
    m_propertiesTable->setWordWrap(false);

    m_addPropertyButton = new QPushButton(QStringLiteral("+"), this);
    m_addPropertyButton->setToolTip(tr("Add Property"));
    m_removePropertyButton = new QPushButton(QStringLiteral("\u2212"), this);
    m_removePropertyButton->setToolTip(tr("Remove Property"));
    for (QPushButton* button : {m_addPropertyButton, m_removePropertyButton}) {
        button->setAutoDefault(false);
        button->setFixedWidth(button->sizeHint().height() + 6);
    }
    auto* propertyButtons = new QHBoxLayout;
    propertyButtons->setSpacing(2);
    propertyButtons->addWidget(m_addPropertyButton);
    propertyButtons->addWidget(m_removePropertyButton);
    propertyButtons->addStretch(1);

    m_buttons = new DoneCancelButtons(this);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addSpacing(6);
    layout->addWidget(new QLabel(tr("Additional properties:"), this));
    layout->addWidget(m_propertiesTable, 1);
    layout->addLayout(propertyButtons);
    layout->addSpacing(6);
    layout->addWidget(m_buttons);

    connect(m_propertiesTable, &QTableWidget::cellChanged, this,
            &EditMetadataDialog::propertyCellChanged);
    connect(m_propertiesTable->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &EditMetadataDialog::updateRemoveButton);
    connect(m_addPropertyButton, &QPushButton::clicked, this,
            &EditMetadataDialog::addPropertyClicked);
    connect(m_removePropertyButton, &QPushButton::clicked, this,
            &EditMetadataDialog::removePropertyClicked);
    connect(m_buttons, &DoneCancelButtons::doneClicked, this, &EditMetadataDialog::doneClicked);
    updateRemoveButton();
}

QPushButton* EditMetadataDialog::doneButton() const {
    return m_buttons->doneButton();
}

QPushButton* EditMetadataDialog::cancelButton() const {
    return m_buttons->cancelButton();
}

void EditMetadataDialog::showFields() {
    const std::array<const MetadataValue*, 4> values{&metaName(), &metaDescription(), &metaAuthor(),
                                                     &metaLink()};
    for (std::size_t i = 0; i < m_fields.size(); ++i) {
        QLineEdit* field = m_fields[i];
        const bool multiple = values[i]->isMultipleValues();
        m_fieldShowsMultipleValues[i] = multiple;
        field->setText(multiple ? QString() : qText(values[i]->text()));
        field->setPlaceholderText(multiple ? multipleValuesPlaceholder() : QString());
        field->setModified(false);
    }
    // Items have no author.
    authorEdit()->setReadOnly(!canEditAuthor());
    authorEdit()->setEnabled(canEditAuthor());
    setWindowTitle(tracks().empty() ? tr("Edit Document Metadata") : tr("Edit Metadata"));
}

void EditMetadataDialog::showProperties() {
    m_populating = true;
    const auto& rows = additionalMetadata();
    m_propertiesTable->clearContents();
    m_propertiesTable->setRowCount(static_cast<int>(rows.size()));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const int row = static_cast<int>(i);
        m_propertiesTable->setItem(row, NameColumn, new QTableWidgetItem(qText(rows[i].name)));
        auto* value = new QTableWidgetItem(
            rows[i].value.isMultipleValues() ? QString() : qText(rows[i].value.text()));
        value->setData(kMultipleValuesRole, rows[i].value.isMultipleValues());
        m_propertiesTable->setItem(row, ValueColumn, value);
    }
    m_populating = false;
    updateRemoveButton();
}

void EditMetadataDialog::propertyCellChanged(int row, int column) {
    if (m_populating || row < 0)
        return;
    QTableWidgetItem* item = m_propertiesTable->item(row, column);
    if (!item)
        return;
    const std::size_t index = static_cast<std::size_t>(row);
    if (column == NameColumn) {
        setPropertyName(index, utf8(item->text()));
        return;
    }
    setPropertyValue(index, MetadataValue(utf8(item->text())));
    m_populating = true;
    item->setData(kMultipleValuesRole, false);
    m_populating = false;
}

void EditMetadataDialog::updateRemoveButton() {
    std::vector<std::size_t> rows;
    for (const QModelIndex& index : m_propertiesTable->selectionModel()->selectedRows())
        rows.push_back(static_cast<std::size_t>(index.row()));
    m_removePropertyButton->setEnabled(canRemoveProperty(rows));
}

void EditMetadataDialog::addPropertyClicked() {
    commitTableEditing();
    const int row = static_cast<int>(addProperty());
    showProperties();
    m_propertiesTable->selectRow(row);
    QTableWidgetItem* name = m_propertiesTable->item(row, NameColumn);
    m_propertiesTable->setCurrentItem(name);
    m_propertiesTable->editItem(name);
    if (auto* editor = qobject_cast<QLineEdit*>(
            m_propertiesTable->indexWidget(m_propertiesTable->currentIndex())))
        editor->selectAll();
}

void EditMetadataDialog::removePropertyClicked() {
    commitTableEditing();
    IndexList rows;
    for (const QModelIndex& index : m_propertiesTable->selectionModel()->selectedRows())
        rows.push_back(static_cast<std::size_t>(index.row()));
    if (rows.empty())
        return;
    removeProperties(rows);
    showProperties();
}

void EditMetadataDialog::commitTableEditing() {
    const QModelIndex current = m_propertiesTable->currentIndex();
    QWidget* editor = current.isValid() ? m_propertiesTable->indexWidget(current) : nullptr;
    if (!editor)
        return;
    QAbstractItemDelegate* delegate = m_propertiesTable->itemDelegateForIndex(current);
    emit delegate->commitData(editor);
    emit delegate->closeEditor(editor, QAbstractItemDelegate::NoHint);
}

void EditMetadataDialog::commitFields() {
    auto valueOf = [this](std::size_t i) {
        QLineEdit* field = m_fields[i];
        if (m_fieldShowsMultipleValues[i] && !field->isModified())
            return MetadataValue::multipleValues();
        return MetadataValue(utf8(field->text()));
    };
    setMetaName(valueOf(0));
    setMetaDescription(valueOf(1));
    setMetaAuthor(valueOf(2));
    setMetaLink(valueOf(3));
}

void EditMetadataDialog::runModal() {
    showFields();
    showProperties();
    m_propertiesTable->clearSelection();
    nameEdit()->setFocus(Qt::OtherFocusReason);
    exec();
}

void EditMetadataDialog::doneClicked() {
    commitTableEditing();
    commitFields();
    MetadataEditor::done();
    accept();
}

void EditMetadataDialog::reject() {
    MetadataEditor::cancel();
    QDialog::reject();
}

} // namespace wend
