#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

namespace testsupport {

// Real windows that the code under test opens and waits on (message boxes, file
// dialogs, modal forms, popup menus), answered with real key events: each time a
// window of the wanted kind is shown and has the keyboard focus, the next step of the
// script runs on it; a step usually presses keys (pressKeys) as a user would, and
// the keys travel the way typed keys do (the application's event filters, the focus
// widget, its parents). No scripted seam is installed: the code runs exactly as in the
// program. A window left open when the script has no steps is closed after a while
// (and recorded), so that a faulty test fails instead of hanging.
class RealWindows : public QObject {
public:
    using Step = std::function<void(QWidget& window)>;

    RealWindows();
    ~RealWindows() override;

    // The next window shown (one that is not a form already shown when the script
    // started) gets this step.
    void then(Step step) { m_steps.append(std::move(step)); }
    // The same for a window that the step's keys must close (a box answered, a dialog
    // accepted or cancelled): one still open a while after its step is recorded in
    // leftOpen() and closed, so that a key that did not reach it fails the test instead
    // of hanging it.
    void thenClosed(Step step);
    // Presses the keys on the window's focus widget, one after the other, each as a
    // press and a release; a text types its characters.
    static void pressKeys(QWidget& window, const QList<int>& keys);
    static void typeText(QWidget& window, const QString& text);

    // What was shown, in order: a message box as "box: " and its text, a file dialog as
    // "file: " and its title, any other window by its objectName or class name.
    QStringList shown() const { return m_shown; }
    // Windows that no step answered (closed by the guard).
    QStringList unanswered() const { return m_unanswered; }
    // Windows that stayed open after a thenClosed step (closed by the guard).
    QStringList leftOpen() const { return m_leftOpen; }
    // The text of every message box shown.
    QStringList boxTexts() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void runNext(QPointer<QWidget> window, int tries);

    QList<Step> m_steps;
    QStringList m_shown;
    QStringList m_unanswered;
    QStringList m_leftOpen;
    QList<QPointer<QWidget>> m_seen;
};

// Describes a window as RealWindows::shown() does.
QString describeWindow(const QWidget& window);

} // namespace testsupport
