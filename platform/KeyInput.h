#pragma once

#include <QList>
#include <QObject>

class QKeyEvent;
class QWidget;

namespace rt {

class Form;

// The runtime's key codes (KeyDown, KeyUp): letters 65-90 and digits 48-57 as their
// capitals and digits, the keypad digits 96-105, F1 to F24 112-135, and these.
namespace key {
constexpr int Back = 8;
constexpr int Tab = 9;
constexpr int Clear = 12;
constexpr int Return = 13;
constexpr int Shift = 16;
constexpr int Control = 17;
constexpr int Menu = 18; // Alt
constexpr int Pause = 19;
constexpr int Capital = 20;
constexpr int Escape = 27;
constexpr int Space = 32;
constexpr int PageUp = 33;
constexpr int PageDown = 34;
constexpr int End = 35;
constexpr int Home = 36;
constexpr int Left = 37;
constexpr int Up = 38;
constexpr int Right = 39;
constexpr int Down = 40;
constexpr int Print = 44;
constexpr int Insert = 45;
constexpr int Delete = 46;
constexpr int Help = 47;
constexpr int F1 = 112;
constexpr int F12 = 123;
constexpr int NumLock = 144;
constexpr int ScrollLock = 145;
} // namespace key

// The shift state of KeyDown and KeyUp: a sum of these.
namespace shift {
constexpr int Shift = 1;
constexpr int Ctrl = 2;
constexpr int Alt = 4;
} // namespace shift

// KeyPress codes that are not characters of the text.
namespace ascii {
constexpr int CtrlC = 3;
constexpr int Back = 8;
constexpr int Tab = 9;
constexpr int Return = 13;
constexpr int CtrlV = 22;
constexpr int CtrlX = 24;
constexpr int Escape = 27;
} // namespace ascii

// Set by a dialog that handled Enter or Escape, so that the key press that follows (the
// character of that same key) is dropped. Unloading a form clears it: a flag left by a
// dialog that closed on its key never drops a key of the next window.
inline int SwallowNextKey = 0;

// Key events in the runtime's order. For a control inside a form whose key preview is
// on, the form's Form_KeyDown / Form_KeyPress / Form_KeyUp run first, then the control's
// own KeyDown / KeyPress / KeyUp; a handler may change a code or set it to 0, and a code
// set to 0 reaches nobody after it. A key press whose characters all end as 0 does not
// reach the control. A form that has the focus itself gets its own keys, preview or not.
// A form sees only the keys of its own window: never those of a message box, file
// dialog or menu it opened, nor of another form's window. A form that a KeyDown
// unloaded gets no KeyPress for that key, and the key goes no further.
// Enter on a focused command control of a form presses it, unless a handler took the key
// (set its code or character to 0): push and tool buttons, and any control that offers a
// click() through its meta-object; not check boxes or option buttons.
//
// Text boxes (platform/TextBox.h) and KeyEvents route their keys themselves; for every
// other widget of a form the layer runs only the form's preview. The signals pass their
// codes by reference, so handlers must connect directly (the default within one thread).
namespace keys {

// The runtime key code of a key event, 0 for a key the runtime had no code for. A key
// that Qt reports only by its character (a Greek letter, a shifted digit) gets the code
// of the key that carries it on the Greek keyboard.
int keyCode(const QKeyEvent& event);
int shiftState(const QKeyEvent& event);

// The characters a key press types, each as its Windows-1253 code: Ctrl with a letter
// gives the control code (Ctrl+C 3, Ctrl+V 22, Ctrl+X 24), Enter 13, Escape 27,
// Backspace 8. A character the code page cannot hold is -1. Keys that type nothing
// (arrows, Delete, F-keys) give an empty list.
QList<int> keyAsciis(const QKeyEvent& event);

// The nearest form around the control whose key preview is on, or none.
Form* previewForm(const QWidget* control);

// Installs the form preview for widgets that do not route their keys themselves. Forms
// and the routing controls call it; it needs the application object and runs once.
void ensurePreview();

// The hooks a routing control offers; the text boxes raise their signals through them.
class Handlers {
public:
    virtual ~Handlers() = default;
    virtual void raiseKeyDown(int& keyCode, int shift) = 0;
    virtual void raiseKeyPress(int& keyAscii) = 0;
    virtual void raiseKeyUp(int& keyCode, int shift) = 0;
};

// One key press after KeyDown (form, then control) and KeyPress (form, then control)
// for each character it types: the codes as they came and as the handlers left them
// (0 for a dropped one; an unencodable character is dropped without a KeyPress).
struct Press {
    QList<int> original;
    QList<int> final;
    // A handler unloaded the control's form: the key goes no further.
    bool stopped = false;
    bool typesNothing() const { return original.isEmpty(); }
    bool changed() const { return original != final; }
};

// Marks the control as routing its own keys (the preview leaves it alone).
void routeOwnKeys(QWidget* control);
Press routePress(QWidget* control, const QKeyEvent& event, Handlers& handlers);
// KeyPress (form, then control) for one character code; returns the final code.
int routeAscii(QWidget* control, int keyAscii, Handlers& handlers);
void routeRelease(QWidget* control, const QKeyEvent& event, Handlers& handlers);

} // namespace keys

// Moves the focus to the next control in tab order, as a sent Tab keystroke did; raises
// no key events. False when nothing has the focus or no other control takes it.
bool SendTab();

// Gives any widget the runtime's key events (see above).
class KeyEvents : public QObject, private keys::Handlers {
    Q_OBJECT

public:
    explicit KeyEvents(QWidget* control);

signals:
    void KeyDown(int& KeyCode, int Shift);
    void KeyPress(int& KeyAscii);
    void KeyUp(int& KeyCode, int Shift);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void raiseKeyDown(int& keyCode, int shift) override { emit KeyDown(keyCode, shift); }
    void raiseKeyPress(int& keyAscii) override { emit KeyPress(keyAscii); }
    void raiseKeyUp(int& keyCode, int shift) override { emit KeyUp(keyCode, shift); }

    QWidget* m_control;
};

} // namespace rt
