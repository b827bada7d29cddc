#include "addressbook/MemberFields.h"

#include "addressbook/PhoneField.h"
#include "app/Main.h"
#include "app/mdlMain.h"
#include "platform/Form.h"
#include "platform/KeyInput.h"
#include "platform/TextBox.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>

namespace memberfields {

Fields AddMemberFields(QWidget* parent, QGridLayout* grid, int row)
{
    Fields f;
    f.lastName = new rt::TextBox(QStringLiteral("Text_0"), parent);
    f.lastName->setMaxLength(40);
    f.firstName = new rt::TextBox(QStringLiteral("Text_1"), parent);
    f.firstName->setMaxLength(20);
    f.phone = new PhoneField(QStringLiteral("txtPhone"), parent);
    f.occupation = rt::NewEditableComboBox(QStringLiteral("cmbOccup"), parent);

    const struct {
        const char* caption;
        QWidget* box;
    } rows[] = {{"Επίθετο", f.lastName},
                {"Όνομα", f.firstName},
                {"Αρ. Κινητού", f.phone},
                {"Επάγγελμα", f.occupation}};
    for (const auto& r : rows) {
        auto* label = new QLabel(QString::fromUtf8(r.caption), parent);
        label->setBuddy(r.box);
        grid->addWidget(label, row, 0);
        grid->addWidget(r.box, row, 1);
        ++row;
    }
    QWidget::setTabOrder(f.lastName, f.firstName);
    QWidget::setTabOrder(f.firstName, f.phone);
    QWidget::setTabOrder(f.phone, f.occupation);
    return f;
}

bool EnterMovesFocus(int KeyCode)
{
    mdlDataBase::SwallowNextKey = 0;
    if (KeyCode != rt::key::Return)
        return false;
    SwallowKey();
    rt::SendTab();
    return true;
}

void SwallowKey()
{
    mdlDataBase::SwallowNextKey = 1;
}

void DropSwallowedKey(int& KeyAscii)
{
    // The flag is for the one key press that follows the handled key.
    if (mdlDataBase::SwallowNextKey != 0) {
        KeyAscii = 0;
        mdlDataBase::SwallowNextKey = 0;
    }
}

void EnterOrEscape(rt::Form& dialog, int KeyCode)
{
    EnterMovesFocus(KeyCode);
    if (KeyCode == rt::key::Escape) {
        SwallowKey();
        rt::Forms::unload(&dialog);
    }
}

} // namespace memberfields
