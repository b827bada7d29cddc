#pragma once

#include <QList>
#include <QWidget>

#include <functional>
#include <typeindex>

namespace rt {

// A window of the program with the old forms runtime's life: one default instance per
// class, loaded on first touch (Form_Load runs before anything else sees it), discarded
// whole by an unload (the next touch starts fresh), with an unload the form may cancel.
// The form's Name is its objectName.
class Form : public QWidget {
    Q_OBJECT

public:
    explicit Form(const QString& name, QWidget* parent = nullptr);
    ~Form() override;

    QString Name() const { return objectName(); }
    bool isUnloading() const { return m_unloading; }

    // With key preview on, the form sees every key of its controls first (the key
    // layer of platform/KeyInput calls these before the control's own handlers).
    bool KeyPreview() const { return m_keyPreview; }
    void setKeyPreview(bool on) { m_keyPreview = on; }
    // Runtime key codes and ANSI key codes; a handler may change them or set them to 0.
    virtual void Form_KeyDown(int& KeyCode, int Shift) { Q_UNUSED(KeyCode); Q_UNUSED(Shift); }
    virtual void Form_KeyPress(int& KeyAscii) { Q_UNUSED(KeyAscii); }
    virtual void Form_KeyUp(int& KeyCode, int Shift) { Q_UNUSED(KeyCode); Q_UNUSED(Shift); }

    // An unloaded form is never shown again, also while it waits to be deleted. A dialog
    // that has not placed itself opens centred over the window it was opened from (the
    // active one), whole on the screen; shown modally, it stays above that window.
    void setVisible(bool visible) override;

signals:
    // Emitted when the window stops being shown (hidden or unloaded): ends a modal show.
    void shownEnded();

protected:
    virtual void Form_Load() {}
    // Set cancel to keep the form loaded.
    virtual void Form_Unload(bool& cancel) { Q_UNUSED(cancel); }

    void closeEvent(QCloseEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    friend class Forms;
    bool m_unloading = false;
    bool m_keyPreview = false;
};

class Forms {
public:
    // The default instance, loaded when it is not.
    template <class T> static T& get()
    {
        if (Form* loaded = lookup(typeid(T)))
            return static_cast<T&>(*loaded);
        T* form = new T();
        enrol(typeid(T), form);
        load(form);
        return *form;
    }

    // The default instance when it is loaded, without loading it.
    template <class T> static T* find() { return static_cast<T*>(lookup(typeid(T))); }

    // Runs Form_Unload; when not cancelled the form leaves the loaded forms at once, is
    // hidden, its timers stop, and its widget is deleted once control returns to the
    // event loop and no EventWait is running (see below). False when cancelled.
    static bool unload(Form* form);
    template <class T> static bool unload()
    {
        T* form = find<T>();
        return form == nullptr || unload(form);
    }

    // The runtime's collection of loaded forms, in load order, visible or not.
    static QList<Form*> loaded();
    // True when a loaded form's Name equals the text exactly (case-sensitive).
    static bool isLoaded(const QString& name);
    // The first loaded form of that exact name, or nullptr; never loads one.
    static Form* findByName(const QString& name);

    // Shows the form modally and returns once it is hidden or unloaded. Tests install a
    // driver that acts on the shown form instead of a nested event loop.
    static void showModal(Form& form);
    using ModalDriver = std::function<void(Form&)>;
    static void setModalDriver(ModalDriver driver);

    // Tests: unload everything without asking, and delete it now.
    static void discardAll();

private:
    static Form* lookup(std::type_index type);
    static void enrol(std::type_index type, Form* form);
    static void load(Form* form);
};

// Marks a stretch of a running procedure during which window events are handled: a
// DoEvents, a modal show, a message box or file dialog, a network wait, a form's own
// Form_Load. Those events may unload any form, the one that waits included; a form
// unloaded meanwhile stays in memory (hidden, no longer loaded) until the outermost
// EventWait has ended, so the code after a wait never touches a deleted object. It
// tests IsFormLoaded, isUnloading() or a QPointer and stops where its form has gone.
class EventWait {
public:
    EventWait();
    ~EventWait();
    EventWait(const EventWait&) = delete;
    EventWait& operator=(const EventWait&) = delete;

    // True while any EventWait is running.
    static bool active();
};

// The runtime's test for a loaded form by its exact name; it never loads one.
inline bool IsFormLoaded(const QString& name) { return Forms::isLoaded(name); }

} // namespace rt
