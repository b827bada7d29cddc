#include "platform/KeyInput.h"

#include "platform/Cp1253.h"
#include "platform/Form.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QMetaObject>
#include <QPointer>
#include <QRadioButton>
#include <QWidget>
#include <algorithm>

namespace rt {

namespace {

constexpr char routedProperty[] = "_rt_routesOwnKeys";

// The key of each Greek capital on the Greek keyboard (U+0391 to U+03A9).
constexpr char greekKeys[] = "ABGDEZHUIKLMNJOPR\0STYFXCV";

int codeOfCharacter(QChar c)
{
    // Accented letters sit on the key of their base letter.
    const QString base = QString(c).normalized(QString::NormalizationForm_D);
    if (!base.isEmpty())
        c = base.at(0);
    const char16_t u = c.unicode();
    if (u == 0x03C2) // final sigma
        return 'W';
    if (u >= 'a' && u <= 'z')
        return u - 'a' + 'A';
    if ((u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == ' ')
        return u;
    const char16_t upper = c.toUpper().unicode();
    if (upper >= 0x0391 && upper <= 0x03A9)
        return greekKeys[upper - 0x0391];
    switch (u) {
    case '!':
        return '1';
    case '@':
        return '2';
    case '#':
        return '3';
    case '$':
        return '4';
    case '%':
        return '5';
    case '^':
        return '6';
    case '&':
        return '7';
    case '*':
        return '8';
    case '(':
        return '9';
    case ')':
        return '0';
    case ';':
    case ':':
        return 186;
    case '=':
    case '+':
        return 187;
    case ',':
    case '<':
        return 188;
    case '-':
    case '_':
        return 189;
    case '.':
    case '>':
        return 190;
    case '/':
    case '?':
        return 191;
    case '`':
    case '~':
        return 192;
    case '[':
    case '{':
        return 219;
    case '\\':
    case '|':
        return 220;
    case ']':
    case '}':
        return 221;
    case '\'':
    case '"':
        return 222;
    default:
        return 0;
    }
}

int keypadCode(int key)
{
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return 96 + key - Qt::Key_0;
    switch (key) {
    case Qt::Key_Asterisk:
        return 106;
    case Qt::Key_Plus:
        return 107;
    case Qt::Key_Minus:
        return 109;
    case Qt::Key_Period:
    case Qt::Key_Comma:
        return 110;
    case Qt::Key_Slash:
        return 111;
    default:
        return -1;
    }
}

int specialCode(int key)
{
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return key::F1 + key - Qt::Key_F1;
    switch (key) {
    case Qt::Key_Backspace:
        return key::Back;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return key::Tab;
    case Qt::Key_Clear:
        return key::Clear;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return key::Return;
    case Qt::Key_Shift:
        return key::Shift;
    case Qt::Key_Control:
        return key::Control;
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
        return key::Menu;
    case Qt::Key_Pause:
        return key::Pause;
    case Qt::Key_CapsLock:
        return key::Capital;
    case Qt::Key_Escape:
        return key::Escape;
    case Qt::Key_PageUp:
        return key::PageUp;
    case Qt::Key_PageDown:
        return key::PageDown;
    case Qt::Key_End:
        return key::End;
    case Qt::Key_Home:
        return key::Home;
    case Qt::Key_Left:
        return key::Left;
    case Qt::Key_Up:
        return key::Up;
    case Qt::Key_Right:
        return key::Right;
    case Qt::Key_Down:
        return key::Down;
    case Qt::Key_Print:
    case Qt::Key_SysReq:
        return key::Print;
    case Qt::Key_Insert:
        return key::Insert;
    case Qt::Key_Delete:
        return key::Delete;
    case Qt::Key_Help:
        return key::Help;
    case Qt::Key_Meta:
        return 91;
    case Qt::Key_Menu:
        return 93;
    case Qt::Key_NumLock:
        return key::NumLock;
    case Qt::Key_ScrollLock:
        return key::ScrollLock;
    default:
        return 0;
    }
}

bool isSpecialKey(int key)
{
    return key >= Qt::Key_Escape && key < Qt::Key_unknown;
}

// The nearest form around the control within the control's own window: the walk stops
// at a window that is not a form (a message box, a file dialog, a menu), whose parent
// is only the window it was opened from.
Form* formOf(const QWidget* control)
{
    if (control == nullptr || control->isWindow())
        return nullptr;
    for (QWidget* w = control->parentWidget(); w; w = w->parentWidget()) {
        if (Form* form = qobject_cast<Form*>(w))
            return form;
        if (w->isWindow())
            return nullptr;
    }
    return nullptr;
}

// A form that a handler of the key unloaded: the key goes no further.
bool unloaded(const QPointer<Form>& form) { return !form || form->isUnloading(); }

// A command control of a form, which Enter presses as the focused button was pressed on
// the system the program comes from (Qt's buttons take Enter only as a dialog's default).
// Every control that can be clicked counts: push buttons, tool buttons (the title bar's
// close button, the message window's title and palette buttons), and controls that only
// offer a click through their meta-object (the control library's buttons, which this
// layer must not link). Check boxes and option buttons are no commands: Space changes
// them, and Enter stays with the form.
QWidget* commandControl(QWidget* widget)
{
    if (widget == nullptr || !widget->isEnabled() || formOf(widget) == nullptr)
        return nullptr;
    if (qobject_cast<QCheckBox*>(widget) != nullptr ||
        qobject_cast<QRadioButton*>(widget) != nullptr)
        return nullptr;
    return widget->metaObject()->indexOfMethod("click()") >= 0 ? widget : nullptr;
}

bool isEnter(const QKeyEvent& key)
{
    return (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter) &&
           (key.modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

// Runs the forms' side for widgets that have no key events of their own: the
// previewing form (or a focused form itself) sees the key and may drop its characters.
class Preview : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        if ((type != QEvent::KeyPress && type != QEvent::KeyRelease) || !watched->isWidgetType())
            return false;
        auto* widget = static_cast<QWidget*>(watched);
        auto* key = static_cast<QKeyEvent*>(event);
        if (propagated(*key, widget))
            return false;
        // Seen here once: should its receiver ignore it, the parents are not asked again.
        const Record record{key, widget, key->timestamp(), type};
        m_record = record;
        if (widget->property(routedProperty).toBool())
            return false;
        Form* form = qobject_cast<Form*>(widget);
        if (form == nullptr)
            form = keys::previewForm(widget);
        const QPointer<QWidget> button =
            type == QEvent::KeyPress && isEnter(*key) && !key->isAutoRepeat()
                ? commandControl(widget)
                : nullptr;
        if (form == nullptr && !button)
            return false;
        const bool eaten = preview(form, *key, type);
        // The handlers may have run nested event loops (a message box) whose keys
        // passed here too.
        m_record = record;
        if (eaten)
            return true;
        // The click may unload the form and the control with it (the title bar's close
        // button): nothing of either is touched after it.
        if (button) {
            QMetaObject::invokeMethod(button.data(), "click", Qt::DirectConnection);
            return true;
        }
        return false;
    }

private:
    struct Record {
        const QKeyEvent* event = nullptr;
        QPointer<QWidget> receiver;
        quint64 timestamp = 0;
        QEvent::Type type = QEvent::None;
    };

    // The form's side of one key: true when the key must go no further.
    static bool preview(Form* form, const QKeyEvent& key, QEvent::Type type)
    {
        if (form == nullptr)
            return false;
        QPointer<Form> alive(form);
        int code = keys::keyCode(key);
        const int shift = keys::shiftState(key);
        if (type == QEvent::KeyRelease) {
            if (code != 0 && !key.isAutoRepeat())
                form->Form_KeyUp(code, shift);
            return false;
        }
        const bool hadCode = code != 0;
        if (hadCode)
            form->Form_KeyDown(code, shift);
        if (unloaded(alive))
            return true;
        const QList<int> typed = keys::keyAsciis(key);
        bool anyLeft = false;
        for (int a : typed) {
            if (a > 0)
                form->Form_KeyPress(a);
            anyLeft = anyLeft || a > 0;
            if (unloaded(alive))
                return true;
        }
        // A KeyDown that set the code to 0 took the key (Enter presses no button then).
        return (!typed.isEmpty() && !anyLeft) || (hadCode && code == 0 && isEnter(key));
    }

    // A key event that its receiver ignored travels on to the parents: it was seen.
    bool propagated(const QKeyEvent& key, QWidget* widget) const
    {
        return &key == m_record.event && key.type() == m_record.type &&
               key.timestamp() == m_record.timestamp && m_record.receiver &&
               m_record.receiver != widget && widget->isAncestorOf(m_record.receiver);
    }

    Record m_record;
};

} // namespace

namespace keys {

int keyCode(const QKeyEvent& event)
{
    const int key = event.key();
    if (event.modifiers() & Qt::KeypadModifier) {
        const int code = keypadCode(key);
        if (code >= 0)
            return code;
    }
    if (isSpecialKey(key))
        return specialCode(key);
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9) ||
        key == Qt::Key_Space)
        return key;
    if (key != Qt::Key_unknown && key > 0 && key <= 0xFFFF) {
        const int code = codeOfCharacter(QChar(static_cast<char16_t>(key)));
        if (code != 0)
            return code;
    }
    const QString text = event.text();
    return text.size() == 1 ? codeOfCharacter(text.at(0)) : 0;
}

int shiftState(const QKeyEvent& event)
{
    const Qt::KeyboardModifiers m = event.modifiers();
    return ((m & Qt::ShiftModifier) ? shift::Shift : 0) |
           ((m & Qt::ControlModifier) ? shift::Ctrl : 0) | ((m & Qt::AltModifier) ? shift::Alt : 0);
}

QList<int> keyAsciis(const QKeyEvent& event)
{
    const int key = event.key();
    const Qt::KeyboardModifiers m = event.modifiers();
    const bool ctrl = m & Qt::ControlModifier;
    const bool alt = m & Qt::AltModifier;
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return {ctrl ? 10 : ascii::Return};
    case Qt::Key_Escape:
        return {ascii::Escape};
    case Qt::Key_Backspace:
        return {ctrl ? 127 : ascii::Back};
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return {ascii::Tab};
    default:
        break;
    }
    if (ctrl && !alt) {
        // The control codes come from the key, whatever the layout types on it.
        const int code = keyCode(event);
        if (code >= 'A' && code <= 'Z' && !(m & Qt::KeypadModifier))
            return {code - 'A' + 1};
        return {};
    }
    if (isSpecialKey(key))
        return {};
    QList<int> out;
    const QString text = event.text();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            out.append(-1);
            ++i;
            continue;
        }
        if (c.unicode() == 127)
            continue;
        out.append(cp1253::code(c));
    }
    return out;
}

Form* previewForm(const QWidget* control)
{
    Form* form = formOf(control);
    return form != nullptr && form->KeyPreview() ? form : nullptr;
}

void ensurePreview()
{
    static QPointer<Preview> installed;
    QCoreApplication* app = QCoreApplication::instance();
    if (installed || app == nullptr)
        return;
    installed = new Preview(app);
    app->installEventFilter(installed);
}

void routeOwnKeys(QWidget* control)
{
    control->setProperty(routedProperty, true);
    ensurePreview();
}

Press routePress(QWidget* control, const QKeyEvent& event, Handlers& handlers)
{
    Press press;
    press.original = keyAsciis(event);
    // A handler that unloaded the control's form took the key with it.
    Form* form = formOf(control);
    const QPointer<Form> alive(form);
    const auto formGone = [&] {
        press.stopped = form != nullptr && unloaded(alive);
        return press.stopped;
    };
    int code = keyCode(event);
    const int shift = shiftState(event);
    if (code != 0) {
        if (Form* previewing = previewForm(control))
            previewing->Form_KeyDown(code, shift);
        if (formGone())
            return press;
        if (code != 0)
            handlers.raiseKeyDown(code, shift);
        if (formGone())
            return press;
    }
    for (int a : press.original) {
        press.final.append(a < 0 ? 0 : routeAscii(control, a, handlers));
        if (formGone())
            return press;
    }
    return press;
}

int routeAscii(QWidget* control, int keyAscii, Handlers& handlers)
{
    Form* form = previewForm(control);
    QPointer<Form> alive(form);
    if (form != nullptr) {
        form->Form_KeyPress(keyAscii);
        if (unloaded(alive))
            return 0;
    }
    if (keyAscii != 0)
        handlers.raiseKeyPress(keyAscii);
    return keyAscii;
}

void routeRelease(QWidget* control, const QKeyEvent& event, Handlers& handlers)
{
    int code = keyCode(event);
    if (code == 0 || event.isAutoRepeat())
        return;
    const int shift = shiftState(event);
    if (Form* form = previewForm(control))
        form->Form_KeyUp(code, shift);
    if (code != 0)
        handlers.raiseKeyUp(code, shift);
}

} // namespace keys

bool SendTab()
{
    QWidget* focus = QApplication::focusWidget();
    if (focus == nullptr)
        return false;
    QWidget* top = focus->window();
    for (QWidget* w = focus->nextInFocusChain(); w != nullptr && w != focus;
         w = w->nextInFocusChain()) {
        if (w->window() != top || w->focusProxy() != nullptr)
            continue;
        if ((w->focusPolicy() & Qt::TabFocus) == Qt::TabFocus && w->isEnabled() &&
            w->isVisibleTo(top)) {
            w->setFocus(Qt::TabFocusReason);
            return true;
        }
    }
    return false;
}

KeyEvents::KeyEvents(QWidget* control) : QObject(control), m_control(control)
{
    keys::routeOwnKeys(control);
    control->installEventFilter(this);
}

bool KeyEvents::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_control)
        return false;
    if (event->type() == QEvent::KeyPress) {
        const keys::Press press =
            keys::routePress(m_control, *static_cast<QKeyEvent*>(event), *this);
        return press.stopped || (!press.typesNothing() && std::all_of(press.final.begin(),
                                                                      press.final.end(),
                                                                      [](int a) { return a == 0; }));
    }
    if (event->type() == QEvent::KeyRelease)
        keys::routeRelease(m_control, *static_cast<QKeyEvent*>(event), *this);
    return false;
}

} // namespace rt
