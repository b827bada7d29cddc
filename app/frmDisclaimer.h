#pragma once

#include "platform/Form.h"

class QLabel;
class QPushButton;

namespace rt {
class MultiLineTextBox;
}

// The terms of use, shown modally. Only its two buttons leave it: Agree goes on,
// Disagree ends the program at once.
class frmDisclaimer : public rt::Form {
    Q_OBJECT

public:
    frmDisclaimer();

    void cmdAgree_Click();
    [[noreturn]] void cmdDisagree_Click();

    QLabel* Label1;
    rt::MultiLineTextBox* txtTerms;
    QPushButton* cmdAgree;
    QPushButton* cmdDisagree;

protected:
    void Form_Load() override;
    void Form_Unload(bool& cancel) override;

private:
    bool m_closeGuard = false;
};
