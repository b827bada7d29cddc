#pragma once

#include "platform/KeyInput.h"

#include <QLineEdit>

class QComboBox;

namespace rt {

// The runtime's single-line text box. It holds only characters of the Greek code page:
// typed, pasted, dropped or assigned characters that Windows-1253 cannot hold are
// dropped. Keys go through the runtime's order (platform/KeyInput.h): KeyDown, then
// KeyPress with the character's ANSI code; the clipboard shortcuts arrive as KeyPress
// 3, 22 and 24 before the box acts on them, so a handler that drops them cancels the
// copy, paste or cut, and a code changed to another character types that character.
// A paste from the context menu or by Shift+Insert is no key press and is not filtered
// by KeyPress. The KeyDown, KeyPress and KeyUp handlers must connect directly.
// Use the capitalised properties: the toolkit's setText/setMaxLength are hidden here.
class TextBox : public QLineEdit, private keys::Handlers {
    Q_OBJECT

public:
    explicit TextBox(QWidget* parent = nullptr);
    TextBox(const QString& name, QWidget* parent);

    QString Text() const { return text(); }
    void setText(const QString& value);
    // 0 is no limit.
    int MaxLength() const { return m_maxLength; }
    void setMaxLength(int value);
    bool Locked() const { return isReadOnly(); }
    void setLocked(bool value) { setReadOnly(value); }
    // The caret when nothing is selected, else the start of the selection.
    int SelStart() const;
    // Places the caret and clears the selection.
    void setSelStart(int value);
    int SelLength() const;
    // Selects from SelStart on, the caret at the end of the selection.
    void setSelLength(int value);
    QString SelText() const { return selectedText(); }
    // Replaces the selection (inserts at the caret), within MaxLength.
    void setSelText(const QString& value);
    QString ToolTipText() const { return toolTip(); }
    void setToolTipText(const QString& value) { setToolTip(value); }

signals:
    // Every change of the text, by code or by the user.
    void Change();
    void Click();
    void DblClick();
    void KeyDown(int& KeyCode, int Shift);
    void KeyPress(int& KeyAscii);
    void KeyUp(int& KeyCode, int Shift);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void raiseKeyDown(int& keyCode, int shift) override { emit KeyDown(keyCode, shift); }
    void raiseKeyPress(int& keyAscii) override { emit KeyPress(keyAscii); }
    void raiseKeyUp(int& keyCode, int shift) override { emit KeyUp(keyCode, shift); }
    // Acts on a KeyPress code that a handler changed (or one not from a key event).
    void typeCode(int keyAscii);

    int m_maxLength = 0;
};

// An editable combo box whose line edit is a TextBox named name & "_text", so typing
// follows the text box's rules; typed text is never added to the list and never
// completed from it.
QComboBox* NewEditableComboBox(const QString& name, QWidget* parent);

} // namespace rt
