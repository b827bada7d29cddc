#pragma once

#include "platform/End.h"
#include "platform/FileDialog.h"
#include "platform/Form.h"
#include "platform/MsgBox.h"

#include <QList>
#include <QString>

#include <functional>
#include <optional>

namespace testsupport {

// One message box as the program showed it.
struct ShownBox {
    QString text;
    int style = 0;
    QString title;
    int buttons() const { return style & 0x0F; }
    int icon() const { return style & 0x70; }
};

// Records every message box and answers from a script; when the script runs dry the
// answer is OK for OK boxes and the first button otherwise (Yes, OK, Abort, Retry).
class ScriptedMessageBoxes {
public:
    ScriptedMessageBoxes();
    ~ScriptedMessageBoxes();
    ScriptedMessageBoxes(const ScriptedMessageBoxes&) = delete;
    ScriptedMessageBoxes& operator=(const ScriptedMessageBoxes&) = delete;

    void answer(int reply) { m_answers.append(reply); }
    // Runs when a box is shown, before it answers (to act while a box is "up").
    void onShow(std::function<void(const ShownBox&)> hook) { m_hook = std::move(hook); }
    const QList<ShownBox>& shown() const { return m_shown; }
    void clear() { m_shown.clear(); }

private:
    QList<ShownBox> m_shown;
    QList<int> m_answers;
    std::function<void(const ShownBox&)> m_hook;
};

// Makes rt::End() throw rt::ProgramEnded for the test to catch.
class EndCatcher {
public:
    EndCatcher();
    ~EndCatcher();
    int count() const { return m_count; }

private:
    int m_count = 0;
};

// Drives modal forms: each shown modal form is handed to the next scripted step.
class ModalScript {
public:
    ModalScript();
    ~ModalScript();
    void then(std::function<void(rt::Form&)> step) { m_steps.append(std::move(step)); }
    QStringList shownNames() const { return m_names; }

private:
    QList<std::function<void(rt::Form&)>> m_steps;
    QStringList m_names;
};

// Answers file dialogs from a script (nothing = cancelled) and records the requests.
class ScriptedFileDialogs {
public:
    ScriptedFileDialogs();
    ~ScriptedFileDialogs();
    void answer(std::optional<QString> path) { m_answers.append(std::move(path)); }
    const QList<rt::FileDialogRequest>& requests() const { return m_requests; }

private:
    QList<std::optional<QString>> m_answers;
    QList<rt::FileDialogRequest> m_requests;
};

} // namespace testsupport
