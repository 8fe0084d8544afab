#pragma once

// moc cannot parse the standard library's C++20 headers these pull in.
#ifndef Q_MOC_RUN
#include "core/document/MetadataEditor.h"
#endif

#include <QDialog>
#include <array>

class QLineEdit;
class QPushButton;
class QTableWidget;

namespace wend {

class DoneCancelButtons;

// "Edit Metadata": the document's name, description, author and link, or the common name,
// description and link of the selected items, and a table of the additional properties (the
// simple elements kept with them). Where the edited items differ, a field or cell shows the
// "Multiple Values" placeholder, and leaving it untouched leaves every item's value as it is.
// Run it with editDocumentMetadata() or editSelectionMetadata().
class EditMetadataDialog : public QDialog, public MetadataEditor {
    Q_OBJECT
public:
    enum Column : int { NameColumn = 0, ValueColumn = 1 };

    static QString multipleValuesPlaceholder();

    explicit EditMetadataDialog(WendDocument& document, QWidget* parent = nullptr);

    QLineEdit* nameEdit() const { return m_fields[0]; }
    QLineEdit* descriptionEdit() const { return m_fields[1]; }
    QLineEdit* authorEdit() const { return m_fields[2]; }
    QLineEdit* linkEdit() const { return m_fields[3]; }
    QTableWidget* propertiesTable() const { return m_propertiesTable; }
    QPushButton* addPropertyButton() const { return m_addPropertyButton; }
    QPushButton* removePropertyButton() const { return m_removePropertyButton; }
    QPushButton* doneButton() const;
    QPushButton* cancelButton() const;

public slots:
    // Takes the fields and the cell being edited, confirms and closes.
    void doneClicked();
    void reject() override;
    // Appends a row "Property Name" = "Property Value" and starts editing its name.
    void addPropertyClicked();
    void removePropertyClicked();

protected:
    void runModal() override;

private:
    void showFields();
    void showProperties();
    void commitTableEditing();
    void commitFields();
    void propertyCellChanged(int row, int column);
    void updateRemoveButton();

    std::array<QLineEdit*, 4> m_fields{};
    std::array<bool, 4> m_fieldShowsMultipleValues{};
    QTableWidget* m_propertiesTable = nullptr;
    QPushButton* m_addPropertyButton = nullptr;
    QPushButton* m_removePropertyButton = nullptr;
    DoneCancelButtons* m_buttons = nullptr;
    bool m_populating = false;
};

} // namespace wend
