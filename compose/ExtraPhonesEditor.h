#pragma once

#include "platform/UserControl.h"

#include <QSet>
#include <QString>
#include <QStringList>

class PhoneField;
class QListWidget;

namespace rt {
class AxButton;
class Toolbar;
} // namespace rt

// The extra recipients of a message: mobile numbers typed in, taken from the member
// list by the host, or read from a text file, each number once, kept in the order they
// came. The list lives in the control only. Numbers are written to a file as one line
// joined by commas.
class ExtraPhonesEditor : public rt::UserControl {
    Q_OBJECT

public:
    explicit ExtraPhonesEditor(QWidget* parent = nullptr);
    ExtraPhonesEditor(const QString& name, QWidget* parent);

    // Appends a number that is not in the list yet (a known one is refused with a
    // warning; an empty one is ignored). MoveToLast makes the new entry current.
    void AddPhone(const QString& Phone, bool MoveToLast = false);
    // The numbers in list order joined by ","; "" for none.
    QString GetPhoneList() const;
    int PhoneCount() const;
    // True when an entry is exactly this text.
    bool PhoneExist(const QString& Phone) const;

    static QString fileFilter();

signals:
    // After every add, update, delete and import.
    void PhonesChanged();

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void tlbrExtraPhones_ButtonClick(const QString& key);
    void PhoneField_KeyDown(int& KeyCode, int& Shift);
    void PhoneField_Change();
    void EditSelectedPhone();
    void UpdatePhone();
    void DeletePhones();
    void ImportPhones();
    void ExportPhones();
    void setEditing(bool editing);
    void enableStoreButtons();
    void makeCurrent(int row);
    // Every change of the list goes through these, so that the set of known numbers
    // stays in step with the entries.
    void appendEntries(const QStringList& phones);
    void replaceEntry(int row, const QString& phone);
    void removeEntry(int row);
    void removeSelectedEntries();
    void selectPhoneText();
    void layoutControls();

    rt::AxButton* btnExtraPhones;
    PhoneField* phoneField;
    rt::Toolbar* tlbrExtraPhones;
    QListWidget* lstExtraPhones;
    // The list index of the entry being edited (the phone field's tag).
    int m_editedIndex = -1;
    // The texts of the entries: asking whether a number is in the list must not walk it,
    // or an import of many numbers would take the square of their count.
    QSet<QString> m_known;
};
