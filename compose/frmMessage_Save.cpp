#include "compose/frmMessage_Save.h"

#include "app/DialogButtons.h"
#include "app/Pictures.h"
#include "app/mdlDataBase.h"
#include "compose/MessageEditor.h"
#include "compose/frmMessage_Edit.h"
#include "platform/KeyInput.h"
#include "platform/MultiLineTextBox.h"
#include "platform/TextBox.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

frmMessage_Save::frmMessage_Save() : rt::Form(QStringLiteral("frmMessage_Save"))
{
    setWindowTitle(QStringLiteral("Αποθήκευση Μηνύματος"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    setKeyPreview(true);

    m_image = new QLabel(this);
    m_image->setObjectName(QStringLiteral("Image1"));
    m_image->setPixmap(pictures::Logo(48));
    m_image->setAlignment(Qt::AlignTop);
    m_label1 = new QLabel(
        QStringLiteral("Πληκτρολογήστε τον τίτλο και το κείμενο του μηνύματος που θα "
                       "αποθηκεύεσετε. Ο τίτλος θα σας βοηθήσει να αναγνωρήσετε το μήνυμα "
                       "αργότερα, όταν θα θελήσετε να το ξαναστείλετε."),
        this);
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_label1->setWordWrap(true);

    m_fraTitle = new QGroupBox(QStringLiteral("Τίτλος Μηνύματος"), this);
    m_fraTitle->setObjectName(QStringLiteral("fraTitle"));
    m_title = new rt::TextBox(QStringLiteral("MsgText_0"), m_fraTitle);
    // No longer than the message window's own title box takes.
    m_title->setMaxLength(MessageEditor::MaxTitleLength);
    auto* titleLayout = new QVBoxLayout(m_fraTitle);
    titleLayout->addWidget(m_title);

    m_fraText = new QGroupBox(QStringLiteral("Μήνυμα"), this);
    m_fraText->setObjectName(QStringLiteral("fraText"));
    m_text = new rt::MultiLineTextBox(QStringLiteral("MsgText_1"), m_fraText);
    m_text->setMaxLength(MessageEditor::MaxMessageLength);
    m_text->setFixedHeight(m_text->fontMetrics().lineSpacing() * 5 + 12);
    auto* textLayout = new QVBoxLayout(m_fraText);
    textLayout->addWidget(m_text);

    // Escape is the form's own key (its preview sees it first); Enter stays with the
    // focused control, as in the message text. The OK caption is in Greek capitals
    // omicron and kappa.
    m_cmdOK = dialogbuttons::DialogButton(QStringLiteral("cmdOK"), QStringLiteral("ΟΚ"), this);
    m_cmdCancel =
        dialogbuttons::DialogButton(QStringLiteral("cmdCancel"), QStringLiteral("Άκυρο"), this);

    auto* fields = new QVBoxLayout;
    fields->addWidget(m_label1);
    fields->addWidget(m_fraTitle);
    fields->addWidget(m_fraText);
    auto* top = new QHBoxLayout;
    top->addWidget(m_image);
    top->addSpacing(8);
    top->addLayout(fields, 1);
    QHBoxLayout* buttons = dialogbuttons::ButtonRow({m_cmdOK, m_cmdCancel});
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addSpacing(4);
    layout->addLayout(buttons);

    connect(m_cmdOK, &QPushButton::clicked, this, &frmMessage_Save::cmdOK_Click);
    connect(m_cmdCancel, &QPushButton::clicked, this, &frmMessage_Save::cmdCancel_Click);
    setFixedSize(sizeHint().expandedTo(QSize(460, 0)));
}

void frmMessage_Save::Form_Load()
{
    if (frmMessage_Edit* editor = rt::Forms::find<frmMessage_Edit>()) {
        m_title->setText(editor->Message()->Title());
        m_text->setText(editor->Message()->Text());
    }
    m_title->setSelStart(0);
    m_title->setSelLength(int(m_title->Text().size()));
    m_title->setFocus();
}

void frmMessage_Save::cmdOK_Click()
{
    if (mdlDataBase::IsFormLoaded(QStringLiteral("frmMessage_Edit"))) {
        frmMessage_Edit& editor = rt::Forms::get<frmMessage_Edit>();
        editor.Message()->setTitle(m_title->Text());
        editor.DoSave = true;
    }
    rt::Forms::unload(this);
}

void frmMessage_Save::cmdCancel_Click()
{
    rt::Forms::unload(this);
}

void frmMessage_Save::Form_KeyDown(int& KeyCode, int Shift)
{
    Q_UNUSED(Shift);
    if (KeyCode == rt::key::Escape)
        cmdCancel_Click();
}
