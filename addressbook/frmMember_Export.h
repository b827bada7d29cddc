#pragma once

#include "platform/Form.h"

#include <QList>
#include <QString>
#include <QStringList>

class QCheckBox;
class QGroupBox;
class QPushButton;
class QRadioButton;

namespace rt {
class ListView;
class MultiLineTextBox;
class TextBox;
} // namespace rt

// One member as it is exported.
struct MemberExportRecord {
    QString lastName;
    QString firstName;
    QString occupation;
    QString mobile;
};

// Writes members to a delimited 8-bit text file (Windows-1253, one line per member
// ended by CR LF, no header, no quoting): the chosen fields in the fixed order surname,
// first name, occupation, mobile, joined by a comma, a tab or the user's own separator,
// the first three optionally filled with blanks to their column's longest value. The
// preview shows exactly the text that is written. Modal; it stays open after an export.
class frmMember_Export : public rt::Form {
    Q_OBJECT

public:
    frmMember_Export();

    // Takes every item of a member list (text surname, sub-items 1 to 3 first name,
    // occupation and mobile), in list order, selected or not.
    void ExportMembers(rt::ListView* MemList);
    // Takes every member of the address book, by surname and first name. A database
    // failure is raised, with the dialog unloaded.
    void ExportAllMembers();
    // Both leave the dialog loaded and filled when there is something to export; with
    // nothing they warn and unload it, and the caller does not show it.

    int RecordCount() const { return int(m_records.size()); }
    // The text the file would get: every record's line followed by CR LF.
    QString ExportText() const;

    QCheckBox* chkField(int index) const { return m_chkField[index]; }
    QRadioButton* optSeperator(int index) const { return m_optSeperator[index]; }
    rt::TextBox* txtSeperator() const { return m_txtSeperator; }
    QCheckBox* chkSpaces() const { return m_chkSpaces; }
    rt::MultiLineTextBox* txtPreview() const { return m_txtPreview; }
    QPushButton* cmdExport() const { return m_cmdExport; }
    QPushButton* cmdCancel() const { return m_cmdCancel; }

    void cmdExport_Click();
    void cmdCancel_Click();

protected:
    void Form_KeyDown(int& KeyCode, int Shift) override;
    void Form_KeyPress(int& KeyAscii) override;

private:
    void Prepared();
    void ComputeColumnWidths();
    static QString PadRight(const QString& text, int width);
    QString RecordLine(const MemberExportRecord& record) const;
    void RefreshPreview();
    bool WriteExportFile(const QString& path) const;

    QList<MemberExportRecord> m_records;
    int m_widths[3] = {0, 0, 0};

    QGroupBox* m_fraFields;
    QGroupBox* m_fraSeperator;
    QGroupBox* m_fraPreview;
    QCheckBox* m_chkField[4];
    QRadioButton* m_optSeperator[3];
    rt::TextBox* m_txtSeperator;
    QCheckBox* m_chkSpaces;
    rt::MultiLineTextBox* m_txtPreview;
    QPushButton* m_cmdExport;
    QPushButton* m_cmdCancel;
};
