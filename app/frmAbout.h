#pragma once

#include "platform/Form.h"
#include "platform/Registry.h"

class QLabel;
class QPushButton;

// The About box: version, description, the publisher's links and the system
// information program.
class frmAbout : public rt::Form {
    Q_OBJECT

public:
    frmAbout();

    void cmdOK_Click();
    void cmdSysInfo_Click();
    void hprNerqPage_Click();
    void hprNerqMail_Click();
    void StartSysInfo();

    // True with the value in KeyVal when the value SubKeyRef of the key KeyName under
    // KeyRoot can be read; false and the empty text otherwise. A string is its text, a
    // double-word "&h" and the hexadecimal digits of its bytes from the last to the
    // first, each byte without a leading zero, after a zero last byte has been dropped;
    // a value of another type leaves KeyVal as it was.
    static bool GetKeyValue(rt::HKEY KeyRoot, const QString& KeyName, const QString& SubKeyRef,
                            QString& KeyVal);

    QLabel* lblTitle;
    QLabel* lblVersion;
    QLabel* lblDescription;
    QLabel* lblDisclaimer;
    QLabel* lblCopyRight;
    QLabel* lblURL;
    QLabel* lblMail;
    QLabel* hprNerqPage;
    QLabel* hprNerqMail;
    QPushButton* cmdOK;
    QPushButton* cmdSysInfo;

protected:
    void Form_Load() override;
    bool eventFilter(QObject* watched, QEvent* event) override;
};
