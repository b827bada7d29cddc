#pragma once

namespace rt {

// What the user sees while a statement waits for a lock that another program holds on the
// database: the hourglass, and windows that keep their pictures — what the program changed
// on them is painted, and what another window uncovered is shown again. Nothing else runs
// inside such a wait: no key or click, timer, socket, queued call, window close or deferred
// delete, any of which could reach code that touches the database or the forms while a
// statement is half-way.
//
// Why painting only, and how: on X11 a window's uncovering (Expose) reaches Qt only
// through the event dispatcher, which runs every timer, socket notifier and posted event
// with it; there is no way to let the exposes through alone. So the wait does not read
// them: a widget's own changes arrive as UpdateRequest events posted to its window, which
// are delivered by type and paint into the window's backing store, and that store, which
// holds the whole window's picture, is put on the screen again every few tenths of a
// second, so an uncovered part is whole again without anything being painted. A window
// shown just before the wait, whose first expose is among the events not read, has not
// been painted by the toolkit at all: the wait paints it whole into its store each time
// it puts the pictures on the screen, and the screen shows it as soon as the window system
// has mapped it.
class LockWait {
public:
    // A statement of the connection `who` has found the lock taken: the hourglass is shown
    // until statementReturned(who). A wait already shown for another connection stays the
    // one that ends it.
    static void begin(const void* who);
    // The statement of `who` has returned, done or failed.
    static void statementReturned(const void* who);
    // Whether a statement is waiting for a lock now.
    static bool active();

    // Lets `ms` pass with the windows painted as above, between two tries for the lock.
    static void paintFor(int ms);
    // A pause between two attempts at a write held up by a lock: the hourglass and the
    // painting of a wait, for `ms`.
    static void pause(int ms);

    // Ends the wait of `who` when the scope is left: held by every call that may wait.
    class Scope {
    public:
        explicit Scope(const void* who) : m_who(who) {}
        ~Scope() { statementReturned(m_who); }
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        const void* m_who;
    };
};

} // namespace rt
