#include "messages/frmMessage_Properties.h"

#include "addressbook/mdlGroups.h"
#include "app/mdlDataBase.h"
#include "messages/MessageRows.h"
#include "platform/Convert.h"
#include "platform/Err.h"
#include "platform/KeyInput.h"
#include "platform/MultiLineTextBox.h"
#include "platform/Recordset.h"
#include "platform/Twips.h"
#include "sending/mdlInternet.h"
#include "sending/mdlUnrecorded.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString crlf = QStringLiteral("\r\n");

bool isNull(const rt::Recordset& rs, const char* name)
{
    return !rs.field(QLatin1String(name)).isValid();
}

} // namespace

frmMessage_Properties::frmMessage_Properties() : rt::Form(QStringLiteral("frmMessage_Properties"))
{
    setWindowTitle(QStringLiteral("Ιδιότητες Μηνύματος"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    // Escape and Enter reach the dialog's own handler whichever control has the focus.
    setKeyPreview(true);

    m_frame = new QGroupBox(this);
    m_frame->setObjectName(QStringLiteral("Frame"));
    m_txtHeader = new rt::MultiLineTextBox(QStringLiteral("txtHeader"), m_frame);
    m_txtHeader->setLocked(true);
    m_txtHeader->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_txtHeader->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_txtHeader->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* frameLayout = new QVBoxLayout(m_frame);
    frameLayout->addWidget(m_txtHeader);

    m_cmdOK = new QPushButton(QStringLiteral("OK"), this);
    m_cmdOK->setObjectName(QStringLiteral("cmdOK"));
    m_cmdOK->setDefault(true);
    connect(m_cmdOK, &QPushButton::clicked, this, &frmMessage_Properties::cmdOK_Click);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_cmdOK);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_frame, 1);
    layout->addLayout(buttons);
    setFixedSize(rt::toPixels(6000), rt::toPixels(5400));
}

void frmMessage_Properties::ShowDetails(qint32 MsgID, const QString& MsgTable)
{
    rt::Recordset rs = MessageRows::OpenMessage(MsgTable, MsgID);

    // Each line is built on its own: one whose columns the table lacks (the saved box
    // has no dates, recipients or error), or that fails, is left out and the next one
    // follows. The text starts empty, so nothing of an earlier message can remain.
    QString text;
    const auto step = [&](std::initializer_list<const char*> columns, auto build) {
        if (!MessageRows::HasColumns(rs, columns))
            return;
        try {
            text += build();
        } catch (const rt::RuntimeError&) {
        }
    };

    step({"msg_title"}, [&] {
        return QStringLiteral("Τίτλος: ") + MessageRows::FieldText(rs, "msg_title") + crlf;
    });
    step({"msg_originator"}, [&] {
        return QStringLiteral("Αποστολέας: ") + MessageRows::FieldText(rs, "msg_originator") + crlf;
    });
    text += crlf;
    step({"msg_date", "msg_time"}, [&] {
        if (isNull(rs, "msg_date"))
            return QString();
        return QStringLiteral("Αποστολή: ") +
               MessageRows::DateText(rs.field(QStringLiteral("msg_date"))) + QStringLiteral(" - ") +
               MessageRows::TimeText(rs.field(QStringLiteral("msg_time"))) + crlf;
    });
    step({"msg_schdate", "msg_schtime"}, [&] {
        if (isNull(rs, "msg_schdate"))
            return QString();
        return QStringLiteral("Προγραμματισμός:") +
               MessageRows::DateText(rs.field(QStringLiteral("msg_schdate"))) +
               QStringLiteral(" - ") +
               MessageRows::TimeText(rs.field(QStringLiteral("msg_schtime"))) + crlf;
    });
    step({"msg_text"}, [&] {
        return crlf + QStringLiteral("Μήνυμα: (") +
               QString::number(MessageRows::FieldText(rs, "msg_text").size()) +
               QStringLiteral(" χαρακτήρες)") + crlf;
    });
    step({"msg_text"}, [&] { return MessageRows::FieldText(rs, "msg_text") + crlf + crlf; });
    step({"msg_phonelist"}, [&] {
        return QStringLiteral("Παραλήπτες: (") +
               QString::number(
                   mdlGroups::CountListEntries(MessageRows::FieldText(rs, "msg_phonelist"))) +
               QStringLiteral(")") + crlf;
    });
    step({"msg_phonelist"}, [&] { return MessageRows::FieldText(rs, "msg_phonelist") + crlf; });
    step({"msg_error"}, [&] {
        // Its failed look says that it must not be sent again: the service took it.
        const std::optional<mdlUnrecorded::Message> accepted = mdlUnrecorded::Find(MsgID);
        if (accepted && accepted->sameRow(rs.field(QStringLiteral("msg_title")),
                                          rs.field(QStringLiteral("msg_text")),
                                          rs.field(QStringLiteral("msg_originator")),
                                          rs.field(QStringLiteral("msg_phonelist"))))
            return crlf + QStringLiteral("Κατάσταση: ") + crlf +
                   QStringLiteral("Το μήνυμα έγινε δεκτό από τον διακομιστή μηνυμάτων με αριθμό ") +
                   QString::number(accepted->serverId) +
                   QStringLiteral(" και περιμένει να καταχωρηθεί στα Απεσταλμένα.") + crlf +
                   QStringLiteral("Με την επόμενη Αποστολή θα καταχωρηθεί, χωρίς να σταλεί ξανά.");
        if (isNull(rs, "msg_error"))
            return QString();
        return crlf + QStringLiteral("Σφάλμα: ") + crlf +
               mdlInternet::ServerErrorText(rt::CLng(rs.field(QStringLiteral("msg_error"))));
    });
    rs.close();

    m_headerText = text;
    m_txtHeader->setText(QString(text).replace(crlf, QStringLiteral("\n")));
    m_txtHeader->moveCursor(QTextCursor::Start);
}

void frmMessage_Properties::cmdOK_Click()
{
    rt::Forms::unload(this);
}

void frmMessage_Properties::Form_KeyDown(int& KeyCode, int Shift)
{
    Q_UNUSED(Shift);
    if (KeyCode == rt::key::Escape)
        rt::Forms::unload(this);
    // The dialog opens with the keyboard in the read-only text, which has no use for
    // Enter: Enter is OK's, the default button, wherever the focus is.
    else if (KeyCode == rt::key::Return)
        cmdOK_Click();
}
