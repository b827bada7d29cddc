#pragma once

#include "platform/KeyInput.h"

#include <QPlainTextEdit>

namespace rt {

// The runtime's multi-line text box, with the same rules as rt::TextBox: only
// characters of the Greek code page, keys in the runtime's order with the clipboard
// shortcuts as KeyPress 3, 22 and 24, and a maximum length that typing, pasting,
// dropping, Text and SelText all keep (typed characters are refused once the text is
// full; pasted text and SelText put in what fits; Text keeps its first MaxLength
// characters). Line breaks read back as LF. Tab moves the focus. The KeyDown, KeyPress
// and KeyUp handlers must connect directly.
class MultiLineTextBox : public QPlainTextEdit, private keys::Handlers {
    Q_OBJECT

public:
    explicit MultiLineTextBox(QWidget* parent = nullptr);
    MultiLineTextBox(const QString& name, QWidget* parent);

    QString Text() const { return toPlainText(); }
    void setText(const QString& value);
    // 0 is no limit.
    int MaxLength() const { return m_maxLength; }
    void setMaxLength(int value);
    bool Locked() const { return m_locked; }
    void setLocked(bool value);
    int SelStart() const;
    void setSelStart(int value);
    int SelLength() const;
    void setSelLength(int value);
    QString SelText() const;
    void setSelText(const QString& value);
    QString ToolTipText() const { return toolTip(); }
    void setToolTipText(const QString& value) { setToolTip(value); }

signals:
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
    void insertFromMimeData(const QMimeData* source) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void raiseKeyDown(int& keyCode, int shift) override { emit KeyDown(keyCode, shift); }
    void raiseKeyPress(int& keyAscii) override { emit KeyPress(keyAscii); }
    void raiseKeyUp(int& keyCode, int shift) override { emit KeyUp(keyCode, shift); }
    void typeCode(int keyAscii);
    // Typed text goes in whole or not at all; pasted text as far as it fits.
    void typeText(const QString& text);
    void insertFitting(const QString& text);
    int room() const;
    void textMayHaveChanged();

    int m_maxLength = 0;
    bool m_locked = false;
    QString m_lastText;
};

} // namespace rt
