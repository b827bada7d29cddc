#pragma once

#include "platform/Form.h"

class QAction;
class QMenuBar;
class QPlainTextEdit;

namespace rt {
class StatusBar;
}

// The error-history window: shows ERROR.LOG and can empty it.
class frmError_Log : public rt::Form {
    Q_OBJECT

public:
    frmError_Log();

    void LoadLogFile();
    void mnClearLog_Click();
    void mnClose_Click();

    QPlainTextEdit* txtLog() const { return m_txtLog; }
    rt::StatusBar* SBar() const { return m_sbar; }

protected:
    void Form_Load() override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void Form_Resize();

    QMenuBar* m_menu;
    QPlainTextEdit* m_txtLog;
    rt::StatusBar* m_sbar;
};
