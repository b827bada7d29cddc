#pragma once

#include "platform/Form.h"

class QGroupBox;
class QLabel;
class QPushButton;

namespace rt {
class MultiLineTextBox;
class TextBox;
} // namespace rt

// The title asked for when a message is saved. It shows the message window's title
// (selected, ready to be typed over) and its text for reference; OK hands the title back
// to the message window and sets its DoSave, Cancel and Escape leave both alone. The
// text box of the message is only a reminder: what is typed there is not kept.
class frmMessage_Save : public rt::Form {
    Q_OBJECT

public:
    frmMessage_Save();

    QLabel* Label1() const { return m_label1; }
    rt::TextBox* MsgText_0() const { return m_title; }
    rt::MultiLineTextBox* MsgText_1() const { return m_text; }
    QPushButton* cmdOK() const { return m_cmdOK; }
    QPushButton* cmdCancel() const { return m_cmdCancel; }

    void cmdOK_Click();
    void cmdCancel_Click();

protected:
    void Form_Load() override;
    void Form_KeyDown(int& KeyCode, int Shift) override;

private:
    QLabel* m_label1;
    QGroupBox* m_fraTitle;
    QGroupBox* m_fraText;
    rt::TextBox* m_title;
    rt::MultiLineTextBox* m_text;
    QPushButton* m_cmdOK;
    QPushButton* m_cmdCancel;
    QLabel* m_image;
};
