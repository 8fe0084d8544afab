#pragma once

#include <QDialog>
#include <QString>
#include <functional>
#include <string_view>
#include <vector>

class QAbstractButton;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace wend {

class Preferences;

// The preferences window: one control for every key, each change stored at once. The window
// announces every stored key so that open windows can take it up (the map tiles, the units,
// the statistics pane). Messages the user chose not to see again are listed with a button that
// shows them again.
class PreferencesWindow : public QDialog {
    Q_OBJECT

public:
    explicit PreferencesWindow(Preferences& preferences, QWidget* parent = nullptr);

    // Reads every control's value from the preferences again.
    void reload();

    // The control of a key, for tests: a QCheckBox, QComboBox, QLineEdit, QSpinBox or, for the
    // suppressed messages, the QPushButton that shows the message again.
    QWidget* controlForKey(std::string_view key) const;

signals:
    void preferenceChanged(const QString& key);

protected:
    void showEvent(QShowEvent* event) override;

private:
    struct Binding {
        std::string key;
        QWidget* control;
        std::function<void()> load;
    };

    QCheckBox* addCheckBox(std::string_view key, const QString& title);
    QComboBox* addComboBox(std::string_view key, const QStringList& titles);
    QLineEdit* addLineEdit(std::string_view key);
    QSpinBox* addSpinBox(std::string_view key, int maximum);
    QPushButton* addShowAgainButton(std::string_view key);
    void restoreTileDefaults();
    void stored(std::string_view key);

    Preferences& m_preferences;
    std::vector<Binding> m_bindings;
    bool m_loading = false;
};

} // namespace wend
