#include "addressbook/PhoneField.h"

#include "platform/TextBox.h"

#include <QResizeEvent>

PhoneField::PhoneField(QWidget* parent)
    : rt::UserControl(parent), txtPhone(new rt::TextBox(QStringLiteral("txtPhone"), this))
{
    setFocusProxy(txtPhone);
    setSizePolicy(txtPhone->sizePolicy());
    connect(txtPhone, &rt::TextBox::Change, this, &PhoneField::Change);
    connect(txtPhone, &rt::TextBox::Click, this, &PhoneField::Click);
    connect(txtPhone, &rt::TextBox::DblClick, this, &PhoneField::DblClick);
    connect(txtPhone, &rt::TextBox::KeyPress, this, &PhoneField::txtPhone_KeyPress);
    connect(txtPhone, &rt::TextBox::KeyDown, this,
            [this](int& KeyCode, int Shift) { emit KeyDown(KeyCode, Shift); });
    connect(txtPhone, &rt::TextBox::KeyUp, this,
            [this](int& KeyCode, int Shift) { emit KeyUp(KeyCode, Shift); });
}

PhoneField::PhoneField(const QString& name, QWidget* parent) : PhoneField(parent)
{
    setObjectName(name);
}

void PhoneField::txtPhone_KeyPress(int& KeyAscii)
{
    emit KeyPress(KeyAscii);
    if (KeyAscii != 8 && !(KeyAscii >= '0' && KeyAscii <= '9'))
        KeyAscii = 0;
}

// The box's own setting, whatever its containers are.
bool PhoneField::Enabled() const
{
    return txtPhone->isEnabledTo(this);
}

void PhoneField::setEnabled(bool value)
{
    txtPhone->setEnabled(value);
    emit PropertyChanged(QStringLiteral("Enabled"));
}

bool PhoneField::Locked() const
{
    return txtPhone->Locked();
}

void PhoneField::setLocked(bool value)
{
    txtPhone->setLocked(value);
    emit PropertyChanged(QStringLiteral("Locked"));
}

int PhoneField::MaxLength() const
{
    return txtPhone->MaxLength();
}

void PhoneField::setMaxLength(int value)
{
    txtPhone->setMaxLength(value);
    emit PropertyChanged(QStringLiteral("MaxLength"));
}

QString PhoneField::ToolTipText() const
{
    return txtPhone->ToolTipText();
}

void PhoneField::setToolTipText(const QString& value)
{
    txtPhone->setToolTipText(value);
    emit PropertyChanged(QStringLiteral("ToolTipText"));
}

QString PhoneField::Text() const
{
    return txtPhone->Text();
}

void PhoneField::setText(const QString& value)
{
    txtPhone->setText(value);
    emit PropertyChanged(QStringLiteral("Text"));
}

void PhoneField::SetSelection(int SStart, int SLen)
{
    txtPhone->setSelStart(SStart);
    if (SLen > 0)
        txtPhone->setSelLength(SLen);
}

void PhoneField::ReadProperties(const rt::PropertyBag& bag)
{
    txtPhone->setEnabled(bag.ReadProperty(QStringLiteral("Enabled"), true).toBool());
    txtPhone->setLocked(bag.ReadProperty(QStringLiteral("Locked"), false).toBool());
    txtPhone->setMaxLength(bag.ReadProperty(QStringLiteral("MaxLength"), 0).toInt());
    txtPhone->setText(bag.ReadProperty(QStringLiteral("Text"), QString()).toString());
    txtPhone->setToolTipText(bag.ReadProperty(QStringLiteral("ToolTipText"), QString()).toString());
}

void PhoneField::WriteProperties(rt::PropertyBag& bag) const
{
    bag.WriteProperty(QStringLiteral("Enabled"), Enabled(), true);
    bag.WriteProperty(QStringLiteral("Locked"), txtPhone->Locked(), false);
    bag.WriteProperty(QStringLiteral("MaxLength"), txtPhone->MaxLength(), 0);
    bag.WriteProperty(QStringLiteral("Text"), txtPhone->Text(), QString());
    bag.WriteProperty(QStringLiteral("ToolTipText"), txtPhone->ToolTipText(), QString());
}

QSize PhoneField::sizeHint() const
{
    return txtPhone->sizeHint();
}

void PhoneField::resizeEvent(QResizeEvent* event)
{
    rt::UserControl::resizeEvent(event);
    txtPhone->setGeometry(0, 0, width(), height());
}
