#include "compose/MessageEditor.h"

#include "compose/GreekLatin.h"
#include "platform/AxButton.h"
#include "platform/Cp1253.h"
#include "platform/KeyInput.h"
#include "platform/MultiLineTextBox.h"
#include "platform/TextBox.h"
#include "platform/Twips.h"

#include <QLabel>
#include <QRadioButton>
#include <QResizeEvent>

namespace {

QString caption(const QString& title)
{
    return QStringLiteral("ΜΗΝΥΜΑ (") + title + u')';
}

} // namespace

MessageEditor::MessageEditor(QWidget* parent) : rt::UserControl(parent)
{
    btnTitle = new rt::AxButton(QStringLiteral("btnTitle"), this);
    btnTitle->setCaption(QStringLiteral("ΜΗΝΥΜΑ"));
    btnTitle->setToolTipText(QStringLiteral("Κάντε κλίκ εδώ για να αλλάξετε τον τίτλο"));

    picTitle = new QWidget(this);
    picTitle->setObjectName(QStringLiteral("picTitle"));
    picTitle->setAutoFillBackground(true);
    const QString titleTip = QStringLiteral("Πλητρολογήστε εδώ τον τίτλο του μηνύματος");
    lblTitle = new QLabel(QStringLiteral("Τίτλος:"), picTitle);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    lblTitle->setToolTip(titleTip);
    msgTitle = new rt::TextBox(QStringLiteral("msgTitle"), picTitle);
    msgTitle->setMaxLength(MaxTitleLength);
    msgTitle->setText(QStringLiteral("Νέο Μήνυμα"));
    msgTitle->setToolTipText(titleTip);
    picTitle->hide();

    MsgText = new rt::MultiLineTextBox(QStringLiteral("MsgText"), this);
    MsgText->setMaxLength(MaxMessageLength);
    MsgText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    lblMsgType = new QLabel(QStringLiteral(" Τύπος Μηνύματος:"), this);
    lblMsgType->setObjectName(QStringLiteral("lblMsgType"));
    optMsgType[0] = new QRadioButton(QStringLiteral("Κανονικό"), this);
    optMsgType[0]->setObjectName(QStringLiteral("optMsgType_0"));
    optMsgType[1] = new QRadioButton(QStringLiteral("Flash"), this);
    optMsgType[1]->setObjectName(QStringLiteral("optMsgType_1"));
    optMsgType[0]->setChecked(true);

    connect(btnTitle, &rt::AxButton::Click, this, &MessageEditor::btnTitle_Click);
    connect(msgTitle, &rt::TextBox::Change, this, &MessageEditor::TitleChange);
    connect(msgTitle, &rt::TextBox::KeyDown, this, &MessageEditor::msgTitle_KeyDown);
    connect(msgTitle, &rt::TextBox::KeyPress, this, &MessageEditor::msgTitle_KeyPress);
    connect(MsgText, &rt::MultiLineTextBox::Change, this, &MessageEditor::MessageChange);
    connect(MsgText, &rt::MultiLineTextBox::KeyPress, this, &MessageEditor::MsgText_KeyPress);
    connect(MsgText, &rt::MultiLineTextBox::Click, this, &MessageEditor::MsgText_Click);
    layoutControls();
}

MessageEditor::MessageEditor(const QString& name, QWidget* parent) : MessageEditor(parent)
{
    setObjectName(name);
}

QString MessageEditor::Title() const
{
    return msgTitle->Text();
}

void MessageEditor::setTitle(const QString& value)
{
    msgTitle->setText(value);
    // Latin capitals here, unlike the editor's own captions: they look alike on screen.
    btnTitle->setCaption(QStringLiteral("MHNYMA (") + value + u')');
    emit TitleChange();
    emit PropertyChanged(QStringLiteral("Title"));
}

QString MessageEditor::Text() const
{
    return MsgText->Text();
}

void MessageEditor::setText(const QString& value)
{
    MsgText->setText(value);
    emit PropertyChanged(QStringLiteral("Text"));
}

bool MessageEditor::Flash() const
{
    return optMsgType[1]->isChecked();
}

void MessageEditor::setFlash(bool value)
{
    if (value) {
        optMsgType[1]->setChecked(true);
        return;
    }
    // Clearing "Flash" selects nothing else: neither choice is selected then.
    optMsgType[1]->setAutoExclusive(false);
    optMsgType[1]->setChecked(false);
    optMsgType[1]->setAutoExclusive(true);
}

void MessageEditor::setValidSymbols(const QString& value)
{
    m_validSymbols = value;
    emit PropertyChanged(QStringLiteral("ValidSymbols"));
}

void MessageEditor::SendCharacter(const QString& character)
{
    MsgText->setSelText(character);
}

QString MessageEditor::MapGreekToLatin(const QString& text) const
{
    return ::MapGreekToLatin(text);
}

void MessageEditor::MsgText_KeyPress(int& KeyAscii)
{
    if (KeyAscii == rt::ascii::Back)
        return;
    if (KeyAscii <= 0 || KeyAscii > 255) {
        KeyAscii = 0;
        return;
    }
    const QString mapped =
        MapGreekToLatin(QString(rt::cp1253::character(static_cast<unsigned char>(KeyAscii))));
    KeyAscii =
        m_validSymbols.contains(mapped, Qt::CaseSensitive) ? rt::cp1253::code(mapped.at(0)) : 0;
}

void MessageEditor::btnTitle_Click()
{
    if (!picTitle->isHidden()) {
        picTitle->hide();
        return;
    }
    m_titleTag = msgTitle->Text();
    picTitle->show();
    picTitle->raise();
    msgTitle->setFocus();
    msgTitle->setSelStart(0);
    msgTitle->setSelLength(int(msgTitle->Text().size()));
}

void MessageEditor::msgTitle_KeyDown(int& KeyCode, int Shift)
{
    Q_UNUSED(Shift);
    SwallowNextTitleKey = false;
    if (KeyCode == rt::key::Return) {
        picTitle->hide();
        btnTitle->setCaption(caption(msgTitle->Text()));
        emit TitleChange();
        SwallowNextTitleKey = true;
    } else if (KeyCode == rt::key::Escape) {
        picTitle->hide();
        msgTitle->setText(m_titleTag);
        SwallowNextTitleKey = true;
    }
}

void MessageEditor::msgTitle_KeyPress(int& KeyAscii)
{
    if (SwallowNextTitleKey)
        KeyAscii = 0;
}

void MessageEditor::MsgText_Click()
{
    CommitTitle();
}

void MessageEditor::CommitTitle()
{
    if (picTitle->isHidden())
        return;
    picTitle->hide();
    const QString title = msgTitle->Text();
    btnTitle->setCaption(
        caption(title.trimmed().isEmpty() ? QStringLiteral("Χωρίς Τίτλο") : title));
    emit TitleChange();
}

void MessageEditor::resizeEvent(QResizeEvent* event)
{
    rt::UserControl::resizeEvent(event);
    layoutControls();
}

void MessageEditor::layoutControls()
{
    const int w = width();
    const int h = height();
    // Tall enough for the title editor laid over it.
    const int buttonHeight = qMax(btnTitle->sizeHint().height(), rt::toPixels(345));
    btnTitle->setGeometry(0, 0, w, buttonHeight);

    const int editorLeft = rt::toPixels(300);
    picTitle->setGeometry(editorLeft, rt::toPixels(30), w - (editorLeft + rt::toPixels(120)),
                          rt::toPixels(285));
    const int labelWidth = lblTitle->sizeHint().width();
    lblTitle->setGeometry(0, 0, labelWidth, picTitle->height());
    const int titleLeft = labelWidth + rt::toPixels(60);
    msgTitle->setGeometry(titleLeft, 0, picTitle->width() - (titleLeft + rt::toPixels(60)),
                          picTitle->height());

    const int labelHeight =
        qMax(lblMsgType->sizeHint().height(), optMsgType[0]->sizeHint().height());
    const int labelTop = h - labelHeight;
    const int labelW = lblMsgType->sizeHint().width();
    lblMsgType->setGeometry(0, labelTop, labelW, labelHeight);
    int x = labelW + rt::toPixels(120);
    for (QRadioButton* option : optMsgType) {
        const int optionWidth = option->sizeHint().width();
        option->setGeometry(x, labelTop, optionWidth, labelHeight);
        x += optionWidth + rt::toPixels(120);
    }
    MsgText->setGeometry(0, buttonHeight, w, h - (buttonHeight + labelHeight));
}
