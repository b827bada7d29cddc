#include "addressbook/frmMember_Export.h"

#include "addressbook/MemberFields.h"
#include "app/DialogButtons.h"
#include "app/mdlDataBase.h"
#include "app/mdlMain.h"
#include "platform/Cp1253.h"
#include "platform/Err.h"
#include "platform/FileDialog.h"
#include "platform/KeyInput.h"
#include "platform/ListView.h"
#include "platform/MsgBox.h"
#include "platform/MultiLineTextBox.h"
#include "platform/Recordset.h"
#include "platform/TextBox.h"
#include "platform/TextFile.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

const QString boxTitle = QStringLiteral("ΕΞΑΓΩΓΗ ΣΤΟΙΧΕΙΩΝ");

QString indexed(const char* name, int index)
{
    return QString::fromLatin1(name) + u'_' + QString::number(index);
}

} // namespace

frmMember_Export::frmMember_Export() : rt::Form(QStringLiteral("frmMember_Export"))
{
    setWindowTitle(QStringLiteral("Εξαγωγή Στοιχείων"));
    setWindowFlag(Qt::Dialog);
    setKeyPreview(true);

    m_fraFields = new QGroupBox(QStringLiteral("Πεδία Εξαγωγής"), this);
    m_fraFields->setObjectName(QStringLiteral("fraFields"));
    auto* fields = new QVBoxLayout(m_fraFields);
    const char* fieldCaptions[4] = {"Επίθετο", "Όνομα", "Επάγγελμα", "Τηλέφωνο"};
    for (int i = 0; i < 4; ++i) {
        m_chkField[i] = new QCheckBox(QString::fromUtf8(fieldCaptions[i]), m_fraFields);
        m_chkField[i]->setObjectName(indexed("chkField", i));
        m_chkField[i]->setChecked(true);
        fields->addWidget(m_chkField[i]);
    }
    fields->addStretch(1);

    m_fraSeperator = new QGroupBox(QStringLiteral("Διαχωρισμός Πεδίων"), this);
    m_fraSeperator->setObjectName(QStringLiteral("fraSeperator"));
    auto* seperators = new QGridLayout(m_fraSeperator);
    const QString optionCaptions[3] = {QStringLiteral("Διαχωρισμός με κόμμα \",\""),
                                       QStringLiteral("Διαχωρισμός με TAB"),
                                       QStringLiteral("Διαχωρισμός με ")};
    for (int i = 0; i < 3; ++i) {
        m_optSeperator[i] = new QRadioButton(optionCaptions[i], m_fraSeperator);
        m_optSeperator[i]->setObjectName(indexed("optSeperator", i));
        if (i < 2)
            seperators->addWidget(m_optSeperator[i], i, 0);
    }
    m_optSeperator[0]->setChecked(true);
    m_txtSeperator = new rt::TextBox(QStringLiteral("txtSeperator"), m_fraSeperator);
    m_txtSeperator->setFixedWidth(m_txtSeperator->fontMetrics().averageCharWidth() * 10);
    // The own separator's box stands right after its option's caption.
    auto* own = new QHBoxLayout;
    own->setSpacing(0);
    own->addWidget(m_optSeperator[2]);
    own->addWidget(m_txtSeperator);
    own->addStretch(1);
    seperators->addLayout(own, 2, 0);
    m_chkSpaces =
        new QCheckBox(QStringLiteral("με κενούς χαρακτήρες στο τέλος κάθε πεδίου"), m_fraSeperator);
    m_chkSpaces->setObjectName(QStringLiteral("chkSpaces"));
    m_chkSpaces->setChecked(true);
    seperators->addWidget(m_chkSpaces, 3, 0);

    m_fraPreview = new QGroupBox(QStringLiteral("Προεπισκόπιση"), this);
    m_fraPreview->setObjectName(QStringLiteral("fraPreview"));
    m_txtPreview = new rt::MultiLineTextBox(QStringLiteral("txtPreview"), m_fraPreview);
    m_txtPreview->setLocked(true);
    m_txtPreview->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_txtPreview->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_txtPreview->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Padded columns line up only in a font of one width.
    QFont fixed(QStringLiteral("DejaVu Sans Mono"));
    fixed.setStyleHint(QFont::Monospace);
    m_txtPreview->setFont(fixed);
    auto* preview = new QVBoxLayout(m_fraPreview);
    preview->addWidget(m_txtPreview);

    m_cmdExport =
        dialogbuttons::DialogButton(QStringLiteral("cmdExport"), QStringLiteral("Εξαγωγή"), this);
    m_cmdCancel =
        dialogbuttons::DialogButton(QStringLiteral("cmdCancel"), QStringLiteral("Ακύρωση"), this);
    connect(m_cmdExport, &QPushButton::clicked, this, &frmMember_Export::cmdExport_Click);
    connect(m_cmdCancel, &QPushButton::clicked, this, &frmMember_Export::cmdCancel_Click);

    auto* top = new QHBoxLayout;
    top->addWidget(m_fraFields);
    top->addWidget(m_fraSeperator, 1);
    QHBoxLayout* buttons = dialogbuttons::ButtonRow({m_cmdExport, m_cmdCancel});
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_fraPreview, 1);
    layout->addLayout(buttons);
    resize(640, 480);

    // Every change of a setting rebuilds the preview from the same records.
    for (QCheckBox* box : m_chkField)
        connect(box, &QCheckBox::toggled, this, &frmMember_Export::RefreshPreview);
    for (QRadioButton* option : m_optSeperator) {
        connect(option, &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                RefreshPreview();
        });
    }
    connect(m_txtSeperator, &rt::TextBox::Change, this, &frmMember_Export::RefreshPreview);
    connect(m_chkSpaces, &QCheckBox::toggled, this, &frmMember_Export::RefreshPreview);
}

// ---- preparing ------------------------------------------------------------------------

void frmMember_Export::ExportMembers(rt::ListView* MemList)
{
    m_records.clear();
    if (MemList) {
        for (const rt::ListItem item : MemList->ListItems())
            m_records.append({item.Text(), item.SubItems(1), item.SubItems(2), item.SubItems(3)});
    }
    Prepared();
}

void frmMember_Export::ExportAllMembers()
{
    m_records.clear();
    rt::Recordset rs = mdlDataBase::MainDatabase().openRecordset(
        {QStringLiteral("SELECT LastName, FirstName, Occupation, mobile_no FROM members "
                        "ORDER BY LastName COLLATE GREEK, FirstName COLLATE GREEK"),
         {}},
        rt::RecordsetType::Snapshot);
    if (!rs.isOpen()) {
        rt::Forms::unload(this);
        rt::Raise(rs.status().number, rs.status().description, QStringLiteral("SQLite"));
    }
    m_records.reserve(rs.recordCount());
    for (; !rs.eof(); rs.moveNext())
        m_records.append(
            {mdlDataBase::NullToEmptyText(rs.field(0)), mdlDataBase::NullToEmptyText(rs.field(1)),
             mdlDataBase::NullToEmptyText(rs.field(2)), mdlDataBase::NullToEmptyText(rs.field(3))});
    rs.close();
    Prepared();
}

void frmMember_Export::Prepared()
{
    if (m_records.isEmpty()) {
        rt::MsgBox(QStringLiteral("Δεν υπάρχουν στοιχεία για εξαγωγή."), rt::mb::Exclamation,
                   boxTitle);
        rt::Forms::unload(this);
        return;
    }
    ComputeColumnWidths();
    RefreshPreview();
}

void frmMember_Export::ComputeColumnWidths()
{
    m_widths[0] = m_widths[1] = m_widths[2] = 0;
    for (const MemberExportRecord& r : m_records) {
        m_widths[0] = std::max(m_widths[0], int(r.lastName.size()));
        m_widths[1] = std::max(m_widths[1], int(r.firstName.size()));
        m_widths[2] = std::max(m_widths[2], int(r.occupation.size()));
    }
}

// ---- the text -------------------------------------------------------------------------

QString frmMember_Export::PadRight(const QString& text, int width)
{
    return text.size() >= width ? text : text + QString(width - text.size(), QLatin1Char(' '));
}

QString frmMember_Export::RecordLine(const MemberExportRecord& record) const
{
    QString seperator = QStringLiteral(",");
    if (m_optSeperator[1]->isChecked())
        seperator = QStringLiteral("\t");
    else if (m_optSeperator[2]->isChecked())
        seperator = m_txtSeperator->Text();
    const bool pad = m_chkSpaces->isChecked();
    const QString* padded[3] = {&record.lastName, &record.firstName, &record.occupation};
    QStringList taken;
    for (int i = 0; i < 3; ++i) {
        if (m_chkField[i]->isChecked())
            taken << PadRight(*padded[i], pad ? m_widths[i] : 0);
    }
    if (m_chkField[3]->isChecked())
        taken << record.mobile;
    return taken.join(seperator);
}

QString frmMember_Export::ExportText() const
{
    QString all;
    for (const MemberExportRecord& r : m_records)
        all += RecordLine(r) + QStringLiteral("\r\n");
    return all;
}

void frmMember_Export::RefreshPreview()
{
    // The text as the file will hold it: a character the code page lacks (a name put in
    // by another program) is written as "?", and the text box would drop it instead,
    // pulling the columns after it out of line.
    m_txtPreview->setText(rt::cp1253::toUnicode(rt::cp1253::fromUnicode(ExportText())));
    // From its first record: the box puts its caret, and so its view, after the text.
    m_txtPreview->moveCursor(QTextCursor::Start);
}

bool frmMember_Export::WriteExportFile(const QString& path) const
{
    QStringList lines;
    lines.reserve(m_records.size());
    for (const MemberExportRecord& r : m_records)
        lines << RecordLine(r);
    return bool(rt::WriteLines(path, lines));
}

// ---- commands -------------------------------------------------------------------------

void frmMember_Export::cmdExport_Click()
{
    rt::FileDialogRequest request;
    request.kind = rt::FileDialogRequest::Save;
    request.title = QStringLiteral("Εξαγωγή Στοιχείων");
    request.filter = QStringLiteral("txt|*.txt");
    request.defaultExt = QStringLiteral("txt");
    QString path;
    for (;;) {
        // Cancel in the file dialog ends the command without a word, as any failure here.
        const std::optional<QString> chosen = rt::ShowFileDialog(request);
        if (!chosen || chosen->isEmpty())
            return;
        path = *chosen;
        if (!rt::ChosenFileExists(path))
            break;
        if (rt::MsgBox(QStringLiteral("Το αρχείο με όνομα \"") + path +
                           QStringLiteral("\" υπάρχει στο δίσκο.\nΘέλετε να το αντικαταστήσετε;"),
                       rt::mb::Information | rt::mb::YesNo, boxTitle) == rt::mb::Yes)
            break;
        request.fileName = path;
    }
    mdlMain::BusyPointer busy;
    WriteExportFile(path);
}

void frmMember_Export::cmdCancel_Click()
{
    rt::Forms::unload(this);
}

void frmMember_Export::Form_KeyDown(int& KeyCode, int Shift)
{
    Q_UNUSED(Shift);
    memberfields::EnterOrEscape(*this, KeyCode);
}

void frmMember_Export::Form_KeyPress(int& KeyAscii)
{
    memberfields::DropSwallowedKey(KeyAscii);
}
