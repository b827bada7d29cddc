#pragma once

#include "platform/UserControl.h"

#include <QString>

namespace rt {
class TextBox;
}

// The masked text box of the password prompt and the connection settings. The inner
// box shows a mask of the same length as the real text; while a key is processed it
// holds the real text, so editing keys act on the real text, and the mask is put back
// as soon as the key is done.
class PasswordField : public rt::UserControl {
    Q_OBJECT

public:
    explicit PasswordField(QWidget* parent = nullptr);
    PasswordField(const QString& name, QWidget* parent);

    bool Enabled() const;
    void setEnabled(bool value);
    bool Locked() const;
    void setLocked(bool value);
    // The real text; setting it raises no Change.
    QString Text() const { return m_text; }
    void setText(const QString& value);
    QString ToolTipText() const;
    void setToolTipText(const QString& value);
    // "No no no!" cut or extended with "_" to the length of the real text.
    QString ReplacePassword() const;

    void ReadProperties(const rt::PropertyBag& bag) override;
    void WriteProperties(rt::PropertyBag& bag) const override;

signals:
    void Click();
    void DblClick();
    void KeyDown(int& KeyCode, int Shift);
    void KeyPress(int& KeyAscii);
    void KeyUp(int& KeyCode, int Shift);
    // Buttons 1 left, 2 right, 4 middle; Shift 1, Ctrl 2, Alt 4; X and Y in twips.
    void MouseDown(int Button, int Shift, float X, float Y);
    void MouseMove(int Button, int Shift, float X, float Y);
    void MouseUp(int Button, int Shift, float X, float Y);
    void Change();

public:
    // The inner box's sizes: the control is a text box to its host's layout.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class MaskBox;

    // Puts the given text into the inner box without taking it as typing, keeping the
    // selection.
    void writeBox(const QString& shown);
    void showRealText();
    void showMask();
    void txtMask_Change();

    MaskBox* txtMask;
    QString m_text;
    bool m_armed = true;
};
