#include "tests/support/Seams.h"

namespace testsupport {

ScriptedMessageBoxes::ScriptedMessageBoxes()
{
    rt::setMsgBoxHandler([this](const QString& text, int style, const QString& title) {
        const ShownBox box{text, style, title};
        m_shown.append(box);
        if (m_hook)
            m_hook(box);
        if (!m_answers.isEmpty())
            return m_answers.takeFirst();
        switch (style & 0x0F) {
        case rt::mb::YesNo:
        case rt::mb::YesNoCancel:
            return int(rt::mb::Yes);
        case rt::mb::AbortRetryIgnore:
            return int(rt::mb::Abort);
        case rt::mb::RetryCancel:
            return int(rt::mb::Retry);
        default:
            return int(rt::mb::OK);
        }
    });
}

ScriptedMessageBoxes::~ScriptedMessageBoxes() { rt::setMsgBoxHandler({}); }

EndCatcher::EndCatcher()
{
    rt::setEndHandler([this] {
        ++m_count;
        throw rt::ProgramEnded{};
    });
}

EndCatcher::~EndCatcher() { rt::setEndHandler({}); }

ModalScript::ModalScript()
{
    rt::Forms::setModalDriver([this](rt::Form& form) {
        m_names.append(form.Name());
        if (!m_steps.isEmpty())
            m_steps.takeFirst()(form);
    });
}

ModalScript::~ModalScript() { rt::Forms::setModalDriver({}); }

ScriptedFileDialogs::ScriptedFileDialogs()
{
    rt::setFileDialogHandler([this](const rt::FileDialogRequest& request) {
        m_requests.append(request);
        return m_answers.isEmpty() ? std::optional<QString>() : m_answers.takeFirst();
    });
}

ScriptedFileDialogs::~ScriptedFileDialogs() { rt::setFileDialogHandler({}); }

} // namespace testsupport
