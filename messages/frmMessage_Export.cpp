#include "messages/frmMessage_Export.h"

#include "app/mdlDataBase.h"
#include "messages/MessageRows.h"
#include "platform/Cp1253.h"
#include "platform/Err.h"
#include "platform/FileDialog.h"
#include "platform/KeyInput.h"
#include "platform/MsgBox.h"
#include "platform/MultiLineTextBox.h"
#include "platform/Recordset.h"
#include "platform/StatusBar.h"
#include "platform/TextFile.h"
#include "platform/Twips.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QPushButton>
#include <QStringList>

namespace {

const QString crlf = QStringLiteral("\r\n");

// The title as the name of a file in the folder the save dialog shows. A "/" would make
// it a path into a folder that is not there and a NUL cannot stand in a name; the dialog
// reads a double quote as the start of a list of names and would save under a part of
// the title. Each of these becomes "_"; every other character stays as the title has it.
QString proposedFileName(const QString& title)
{
    QString name = title;
    for (QChar& c : name) {
        if (c == u'/' || c == QChar::Null || c == u'"')
            c = u'_';
    }
    return name + QStringLiteral(".txt");
}

} // namespace

frmMessage_Export::frmMessage_Export() : rt::Form(QStringLiteral("frmMessage_Export"))
{
    setWindowTitle(QStringLiteral("Εξαγωγή Μηνύματος σε Αρχείο"));
    setWindowFlags(Qt::Dialog);
    // The preview opens with the keyboard in its read-only text: the dialog's own keys
    // must reach it from there.
    setKeyPreview(true);
    resize(rt::toPixels(7200), rt::toPixels(6000));

    m_txtMsg = new rt::MultiLineTextBox(QStringLiteral("txtMsg"), this);
    m_txtMsg->setLocked(true);
    m_txtMsg->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_txtMsg->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_txtMsg->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_txtMsg->move(rt::toPixels(120), rt::toPixels(120));

    m_frButtons = new QFrame(this);
    m_frButtons->setObjectName(QStringLiteral("frButtons"));
    m_cmdExport = new QPushButton(QStringLiteral("&Εξαγωγή"), m_frButtons);
    m_cmdExport->setObjectName(QStringLiteral("cmdExport"));
    m_cmdExport->setDefault(true);
    m_cmdCancel = new QPushButton(QStringLiteral("&Ακύρωση"), m_frButtons);
    m_cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    auto* buttons = new QHBoxLayout(m_frButtons);
    buttons->setContentsMargins(0, rt::toPixels(90), 0, rt::toPixels(90));
    buttons->addWidget(m_cmdExport);
    buttons->addWidget(m_cmdCancel);
    m_frButtons->resize(m_frButtons->sizeHint());
    connect(m_cmdExport, &QPushButton::clicked, this, &frmMessage_Export::cmdExport_Click);
    connect(m_cmdCancel, &QPushButton::clicked, this, &frmMessage_Export::cmdCancel_Click);

    m_sbar = new rt::StatusBar(this);
    m_sbar->setObjectName(QStringLiteral("SBar"));
    m_sbar->Add()->setAutoSize(rt::StatusPanel::Spring);
    m_sbar->resize(width(), m_sbar->sizeHint().height());

    Form_Resize();
}

void frmMessage_Export::ExportMessage(const QString& Table, qint32 MsgID)
{
    rt::Recordset rs = MessageRows::OpenMessage(Table, MsgID);
    if (rs.eof())
        rt::Raise(3021, QStringLiteral("No current record."));
    if (!MessageRows::HasColumns(rs, {"msg_originator", "msg_flash", "msg_schdate", "msg_schtime",
                                      "msg_text", "msg_phonelist", "msg_title"}))
        rt::Raise(3265, QStringLiteral("Item not found in this collection."));

    const QVariant schDate = rs.field(QStringLiteral("msg_schdate"));
    const QString schedule =
        schDate.isValid() ? MessageRows::DateText(schDate) + QStringLiteral(" - ") +
                                MessageRows::TimeText(rs.field(QStringLiteral("msg_schtime")))
                          : QStringLiteral("Άμεση");
    const QStringList lines = {
        QStringLiteral("Αποστολέας: ") + MessageRows::FieldText(rs, "msg_originator"),
        QString(),
        QStringLiteral("Τύπος Μηνύματος: ") + (rs.field(QStringLiteral("msg_flash")).toBool()
                                                   ? QStringLiteral("Flash")
                                                   : QStringLiteral("Normal")),
        QString(),
        QStringLiteral("Προγρ/μένη Ημ/νία: ") + schedule,
        QString(),
        QStringLiteral("Μήνυμα: "),
        MessageRows::FieldText(rs, "msg_text"),
        QString(),
        QStringLiteral("Παραλήπτες: "),
        FormatRecipients(MessageRows::FieldText(rs, "msg_phonelist")),
    };
    // What the preview can show is what the file gets: characters the Greek code page
    // cannot hold are left out of both.
    m_exportText = rt::cp1253::keepEncodable(lines.join(crlf));
    m_txtMsg->setText(QString(m_exportText).replace(crlf, QStringLiteral("\n")));
    m_txtMsg->moveCursor(QTextCursor::Start);
    m_targetPath = MessageRows::FieldText(rs, "msg_title");
    rs.close();

    m_targetPath = ChooseExportFile();
    if (!m_targetPath.isEmpty())
        rt::Forms::showModal(*this);
    else
        rt::Forms::unload(this);
}

QString frmMessage_Export::FormatRecipients(const QString& PhoneList)
{
    if (PhoneList.isEmpty())
        return QString();
    QStringList numbers = PhoneList.split(QLatin1Char(','));
    for (QString& number : numbers) {
        if (number.startsWith(QLatin1Char('0')))
            number.prepend(QLatin1Char('3'));
    }
    return numbers.join(QLatin1Char(','));
}

QString frmMessage_Export::ChooseExportFile()
{
    rt::FileDialogRequest request;
    request.kind = rt::FileDialogRequest::Save;
    request.filter = QStringLiteral("Text (*.txt)|*.txt");
    request.fileName = proposedFileName(m_targetPath);
    for (;;) {
        // A cancelled dialog ends the choice with nothing chosen.
        const std::optional<QString> chosen = rt::ShowFileDialog(request);
        if (!chosen || chosen->isEmpty())
            return QString();
        if (rt::ChosenFileExists(*chosen)) {
            const int answer =
                rt::MsgBox(QStringLiteral("Υπάρχει ήδη κάποιο αρχείο με αυτό το όνομα.\n"
                                          "Θέλετε να το αντικαταστήσετε;"),
                           rt::mb::Question | rt::mb::YesNoCancel, windowTitle());
            if (answer == rt::mb::Yes)
                return *chosen;
            if (answer == rt::mb::No) {
                request.fileName = *chosen;
                continue;
            }
            return QString();
        }
        m_sbar->Panel(1)->setText(*chosen);
        return *chosen;
    }
}

void frmMessage_Export::WriteExportFile()
{
    // The text and one final CR LF, in the Greek code page. The file is replaced in one
    // step, so a failed write leaves a file that was there as it was; the box names the
    // failure that happened.
    const rt::FileWriteResult written = rt::WriteLines(m_targetPath, {m_exportText});
    if (!written) {
        rt::MsgBox(QStringLiteral("Σφάλμα: ") + QString::number(written.number) +
                       QLatin1Char('\n') + written.description,
                   rt::mb::Exclamation | rt::mb::OKOnly, windowTitle());
    }
}

void frmMessage_Export::cmdExport_Click()
{
    WriteExportFile();
    rt::Forms::unload(this);
}

void frmMessage_Export::cmdCancel_Click()
{
    rt::Forms::unload(this);
}

// In the text, Enter exports as the default button does and Escape leaves without
// writing, as Cancel and the close box do. On a focused button Enter stays that button's.
void frmMessage_Export::Form_KeyDown(int& KeyCode, int Shift)
{
    Q_UNUSED(Shift);
    if (KeyCode == rt::key::Escape) {
        KeyCode = 0;
        cmdCancel_Click();
    } else if (KeyCode == rt::key::Return && m_txtMsg->hasFocus()) {
        KeyCode = 0;
        cmdExport_Click();
    }
}

void frmMessage_Export::resizeEvent(QResizeEvent* event)
{
    rt::Form::resizeEvent(event);
    Form_Resize();
}

void frmMessage_Export::Form_Resize()
{
    const int W = width();
    const int H = height();
    const int sbarHeight = m_sbar->sizeHint().height();
    m_sbar->setGeometry(0, H - sbarHeight, W, sbarHeight);
    const int textWidth = W - 2 * m_txtMsg->x();
    const int textHeight = H - (sbarHeight + m_txtMsg->y() + m_frButtons->height());
    if (textWidth > 0 && textHeight > 0)
        m_txtMsg->resize(textWidth, textHeight);
    m_frButtons->move(W - (m_frButtons->width() + m_txtMsg->x()),
                      H - (sbarHeight + m_frButtons->height()));
}
