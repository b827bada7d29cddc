#pragma once

#include "platform/UserControl.h"

namespace rt {
class TextBox;
}

// The mobile-number box of the member dialogs and of the extra-phones editor: one text
// box through which the keyboard types only the digits 0 to 9 and Backspace. Text that
// does not arrive as typed characters (set by code, read from the saved properties,
// pasted from the box's context menu) is taken as it is. Every property is the inner
// box's. KeyDown, KeyPress and KeyUp pass their codes by reference: connect directly.
class PhoneField : public rt::UserControl {
    Q_OBJECT

public:
    explicit PhoneField(QWidget* parent = nullptr);
    PhoneField(const QString& name, QWidget* parent);

    bool Enabled() const;
    void setEnabled(bool value);
    bool Locked() const;
    void setLocked(bool value);
    // 0 is no limit.
    int MaxLength() const;
    void setMaxLength(int value);
    QString ToolTipText() const;
    void setToolTipText(const QString& value);
    QString Text() const;
    void setText(const QString& value);
    // Places the caret at SStart; selects SLen characters from there when SLen > 0.
    void SetSelection(int SStart, int SLen = 0);

    void ReadProperties(const rt::PropertyBag& bag) override;
    void WriteProperties(rt::PropertyBag& bag) const override;

    rt::TextBox* box() const { return txtPhone; }
    QSize sizeHint() const override;

signals:
    void Change();
    void Click();
    void DblClick();
    void KeyDown(int& KeyCode, int& Shift);
    void KeyPress(int& KeyAscii);
    void KeyUp(int& KeyCode, int& Shift);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void txtPhone_KeyPress(int& KeyAscii);

    rt::TextBox* txtPhone;
};
