#pragma once

#include "platform/UserControl.h"

class QLabel;
class QRadioButton;

namespace rt {
class AxButton;
class MultiLineTextBox;
class TextBox;
} // namespace rt

// The text of one SMS: a title button with an inline title editor, the message text
// under the character rule and the limit of 160 characters, and the choice between a
// normal and a flash message. The host gives it the valid symbols and inserts palette
// symbols through SendCharacter; it keeps no saved properties.
class MessageEditor : public rt::UserControl {
    Q_OBJECT

public:
    static constexpr int MaxMessageLength = 160;
    static constexpr int MaxTitleLength = 50;

    explicit MessageEditor(QWidget* parent = nullptr);
    MessageEditor(const QString& name, QWidget* parent);

    QString Title() const;
    void setTitle(const QString& value);
    QString Text() const;
    void setText(const QString& value);
    bool Flash() const;
    void setFlash(bool value);
    QString ValidSymbols() const { return m_validSymbols; }
    void setValidSymbols(const QString& value);
    // Replaces the selection of the text (or inserts at the caret) with what fits.
    void SendCharacter(const QString& character);
    QString MapGreekToLatin(const QString& text) const;

signals:
    void MessageChange();
    void TitleChange();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void btnTitle_Click();
    void msgTitle_KeyDown(int& KeyCode, int Shift);
    void msgTitle_KeyPress(int& KeyAscii);
    void MsgText_KeyPress(int& KeyAscii);
    void MsgText_Click();
    void CommitTitle();
    void layoutControls();

    rt::AxButton* btnTitle;
    QWidget* picTitle;
    QLabel* lblTitle;
    rt::TextBox* msgTitle;
    rt::MultiLineTextBox* MsgText;
    QLabel* lblMsgType;
    QRadioButton* optMsgType[2];

    QString m_validSymbols;
    // The title as it was when the editor opened (what Escape puts back).
    QString m_titleTag;
    bool SwallowNextTitleKey = false;
};
