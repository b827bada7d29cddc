#include "addressbook/frmGroup_Edit.h"

#include "addressbook/frmGroup_Organize.h"
#include "app/DialogButtons.h"
#include "app/Main.h"
#include "platform/KeyInput.h"
#include "platform/MsgBox.h"
#include "platform/TextBox.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

frmGroup_Edit::frmGroup_Edit() : rt::Form(QStringLiteral("frmGroup_Edit"))
{
    setWindowTitle(QStringLiteral("Διόρθωση Στοιχείων Ομάδας"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    setKeyPreview(true);

    m_frame = new QGroupBox(this);
    m_frame->setObjectName(QStringLiteral("Frame1"));
    m_label = new QLabel(QStringLiteral("Ονομασία"), m_frame);
    m_label->setObjectName(QStringLiteral("Label1"));
    m_txtName = new rt::TextBox(QStringLiteral("txtName"), m_frame);
    m_txtName->setText(QStringLiteral("Νέα Ομάδα"));
    auto* fields = new QHBoxLayout(m_frame);
    fields->addWidget(m_label);
    fields->addWidget(m_txtName, 1);

    // Greek capitals omicron and kappa.
    m_cmdOK = dialogbuttons::DialogButton(QStringLiteral("cmdOK"), QStringLiteral("ΟΚ"), this);
    m_cmdCancel =
        dialogbuttons::DialogButton(QStringLiteral("cmdCancel"), QStringLiteral("Άκυρο"), this);
    QHBoxLayout* buttons = dialogbuttons::ButtonRow({m_cmdOK, m_cmdCancel});
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_frame);
    layout->addLayout(buttons);

    connect(m_cmdOK, &QPushButton::clicked, this, &frmGroup_Edit::cmdOK_Click);
    connect(m_cmdCancel, &QPushButton::clicked, this, &frmGroup_Edit::cmdCancel_Click);
    connect(m_txtName, &rt::TextBox::KeyDown, this, &frmGroup_Edit::txtName_KeyDown);
    setFixedSize(sizeHint().expandedTo(QSize(360, 0)));
    m_txtName->setFocus();
}

void frmGroup_Edit::EditGroup(const QString& GrpKey, const QString& PrntKey, const QString& GrpName)
{
    m_groupKey = GrpKey;
    m_parentKey = PrntKey;
    if (GrpKey.isEmpty())
        setWindowTitle(QStringLiteral("Δημιουργία Νέας Ομάδας"));
    if (!GrpName.isEmpty())
        m_txtName->setText(GrpName);
    m_txtName->setSelStart(0);
    m_txtName->setSelLength(int(m_txtName->Text().size()));
}

void frmGroup_Edit::cmdOK_Click()
{
    const QString name = m_txtName->Text();
    // Blanks only: the runtime's Trim takes blanks, nothing else.
    if (name.count(QLatin1Char(' ')) == name.size()) {
        rt::MsgBox(QStringLiteral("Δεν μπορείτε να καταχωρήσετε την ομάδα χωρίς όνομα."),
                   rt::mb::Exclamation | rt::mb::OKOnly, QStringLiteral("ΚΑΤΑΧΩΡΗΣΗ ΟΜΑΔΑΣ"));
        rt::Forms::unload(this);
        return;
    }
    if (frmGroup_Organize* organiser = rt::Forms::find<frmGroup_Organize>()) {
        QString key = m_groupKey;
        organiser->UpdateGroup(m_parentKey, key, name);
    }
    rt::Forms::unload(this);
}

void frmGroup_Edit::cmdCancel_Click()
{
    rt::Forms::unload(this);
}

void frmGroup_Edit::Form_KeyDown(int& KeyCode, int Shift)
{
    Q_UNUSED(Shift);
    if (KeyCode == rt::key::Escape)
        rt::Forms::unload(this);
}

void frmGroup_Edit::Form_KeyPress(int& KeyAscii)
{
    if (mdlDataBase::SwallowNextKey) {
        KeyAscii = 0;
        mdlDataBase::SwallowNextKey = 0;
    }
}

void frmGroup_Edit::txtName_KeyDown(int& KeyCode, int Shift)
{
    Q_UNUSED(Shift);
    if (KeyCode == rt::key::Return) {
        mdlDataBase::SwallowNextKey = 1;
        cmdOK_Click();
    }
}
