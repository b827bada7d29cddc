#pragma once

#include "platform/Form.h"

#include <QString>
#include <QtGlobal>

class QGroupBox;
class QPushButton;

namespace rt {
class MultiLineTextBox;
} // namespace rt

// The details of one message of the out-box, the saved or the sent box as a block of
// text. A message list fills it with ShowDetails and then shows it modally; OK and
// Escape close it. It writes nothing.
class frmMessage_Properties : public rt::Form {
    Q_OBJECT

public:
    frmMessage_Properties();

    // Fills txtHeader from the row of MsgTable ("outbox_messages", "saved_messages" or
    // "sended_messages") with that msg_id; does not show the dialog. A table that is not
    // one of the three or a database failure raises, for the caller. The lines whose
    // columns the table lacks are left out.
    void ShowDetails(qint32 MsgID, const QString& MsgTable);

    // The text as built, lines ended by CR LF (the box shows the same lines).
    QString HeaderText() const { return m_headerText; }

    QGroupBox* Frame() const { return m_frame; }
    rt::MultiLineTextBox* txtHeader() const { return m_txtHeader; }
    QPushButton* cmdOK() const { return m_cmdOK; }

    void cmdOK_Click();

protected:
    void Form_KeyDown(int& KeyCode, int Shift) override;

private:
    QGroupBox* m_frame;
    rt::MultiLineTextBox* m_txtHeader;
    QPushButton* m_cmdOK;
    QString m_headerText;
};
