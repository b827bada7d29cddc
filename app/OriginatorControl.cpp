#include "app/OriginatorControl.h"

#include "platform/Cp1253.h"
#include "platform/KeyInput.h"
#include "platform/TextBox.h"

#include <QFont>

OriginatorControl::OriginatorControl(QWidget* parent)
    : rt::UserControl(parent), txtOrig(new rt::TextBox(QStringLiteral("txtOrig"), this)) {
    txtOrig->setFont(QFont(QStringLiteral("Tahoma")));
    setFocusProxy(txtOrig);
    setFocusPolicy(txtOrig->focusPolicy());
    // The empty text is a number's beginning.
    txtOrig->setMaxLength(GetMaxLength());
    connect(txtOrig, &rt::TextBox::KeyPress, this, &OriginatorControl::txtOrig_KeyPress);
    connect(txtOrig, &rt::TextBox::Change, this, &OriginatorControl::txtOrig_Change);
    setSizePolicy(txtOrig->sizePolicy());
    resize(txtOrig->sizeHint());
}

OriginatorControl::OriginatorControl(const QString& name, QWidget* parent)
    : OriginatorControl(parent) {
    setObjectName(name);
}

QString OriginatorControl::Text() const {
    return txtOrig->Text();
}

void OriginatorControl::setText(const QString& value) {
    txtOrig->setText(value);
    emit PropertyChanged(QStringLiteral("Text"));
}

bool OriginatorControl::isOriginatorCharacter(int keyAscii) {
    if ((keyAscii >= '0' && keyAscii <= '9') || (keyAscii >= 'A' && keyAscii <= 'Z') ||
        (keyAscii >= 'a' && keyAscii <= 'z'))
        return true;
    static const QString symbols = QStringLiteral("@£$¥!#¤%&\\'()*+./:;<=>?§ ");
    if (keyAscii <= 0 || keyAscii > 255)
        return false;
    return symbols.contains(rt::cp1253::character(static_cast<unsigned char>(keyAscii)));
}

void OriginatorControl::txtOrig_KeyPress(int& KeyAscii) {
    // Control codes other than Backspace (Enter, the clipboard shortcuts) go nowhere.
    if (KeyAscii != rt::ascii::Back && !isOriginatorCharacter(KeyAscii))
        KeyAscii = 0;
}

int OriginatorControl::GetMaxLength() {
    const QString text = txtOrig->Text();
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) {
            // Cutting changes the text again: that Change runs this rule once more.
            if (text.size() >= 12)
                txtOrig->setText(text.left(11));
            return 11;
        }
    }
    return 16;
}

void OriginatorControl::txtOrig_Change() {
    txtOrig->setMaxLength(GetMaxLength());
    emit Change();
}

QSize OriginatorControl::sizeHint() const {
    return txtOrig->sizeHint();
}

QSize OriginatorControl::minimumSizeHint() const {
    return txtOrig->minimumSizeHint();
}

void OriginatorControl::resizeEvent(QResizeEvent* event) {
    rt::UserControl::resizeEvent(event);
    txtOrig->setGeometry(0, 0, width(), height());
}
