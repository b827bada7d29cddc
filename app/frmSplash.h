#pragma once

#include "platform/Form.h"

class QLabel;
class QTimer;

// The start-up window: centred, above the others without taking the focus (but below any
// dialog or box that waits for the user), gone after three seconds or at a click or key.
class frmSplash : public rt::Form {
    Q_OBJECT

public:
    frmSplash();

    void Form_Click();
    void Form_KeyPress(int& KeyAscii) override;
    void Picture1_Click();
    void tmrSplash_Timer();

    QLabel* Picture1;
    QLabel* lblProductName;
    QLabel* lblVersion;
    QLabel* lblCopyRight;
    QLabel* Label1;
    QTimer* tmrSplash;

protected:
    void Form_Load() override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
};
