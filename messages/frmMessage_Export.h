#pragma once

#include "platform/Form.h"

#include <QString>
#include <QtGlobal>

class QFrame;
class QPushButton;

namespace rt {
class MultiLineTextBox;
class StatusBar;
} // namespace rt

// Writes one message of the out-box or the sent box to a text file: the message as
// labelled blocks (originator, type, schedule, text, recipients), Windows-1253 bytes,
// lines ended by CR LF. The file is chosen first; the text is then shown as a preview
// and written only on Export.
class frmMessage_Export : public rt::Form {
    Q_OBJECT

public:
    frmMessage_Export();

    // Builds the text of the row of Table ("outbox_messages" or "sended_messages") with
    // that msg_id, asks for the file and, when one was chosen, shows the preview
    // modally; otherwise unloads the dialog. A missing row, a table without the
    // message columns or a database failure raises, for the caller.
    void ExportMessage(const QString& Table, qint32 MsgID);

    // The export text as built (lines ended by CR LF); the file holds it and a final
    // CR LF.
    QString ExportText() const { return m_exportText; }
    // The chosen file (before the choice, the message title).
    QString TargetPath() const { return m_targetPath; }

    rt::MultiLineTextBox* txtMsg() const { return m_txtMsg; }
    QFrame* frButtons() const { return m_frButtons; }
    QPushButton* cmdExport() const { return m_cmdExport; }
    QPushButton* cmdCancel() const { return m_cmdCancel; }
    rt::StatusBar* SBar() const { return m_sbar; }

    void cmdExport_Click();
    void cmdCancel_Click();

    // The recipients line: the phone list with "3" put before every number that begins
    // with "0"; empty places between commas stay.
    static QString FormatRecipients(const QString& PhoneList);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void Form_KeyDown(int& KeyCode, int Shift) override;

private:
    QString ChooseExportFile();
    void WriteExportFile();
    void Form_Resize();

    rt::MultiLineTextBox* m_txtMsg;
    QFrame* m_frButtons;
    QPushButton* m_cmdExport;
    QPushButton* m_cmdCancel;
    rt::StatusBar* m_sbar;
    QString m_exportText;
    QString m_targetPath;
};
