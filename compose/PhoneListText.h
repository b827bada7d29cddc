#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>
#include <vector>

// The phone list of a message as it is built: a text that only grows at its end and
// is asked, before each number is added, whether that number already occurs in it
// anywhere (as a plain, case-sensitive substring, also across the commas).
//
// Asking QString::contains of the whole text each time costs the length of the text, so
// building a list for tens of thousands of members takes minutes. Build answers the same
// questions in two ways that give exactly what QString::contains would:
// - A number without a comma can only occur inside one entry of the list (the text
//   between two commas), so it is looked up among the pieces of the entries that have
//   the lengths of the numbers asked about; this is the usual case and costs a hash
//   look-up per number.
// - When a stored number holds a comma (it could then straddle entries) or the numbers
//   are too long or of too many lengths for the pieces to stay few, a suffix automaton
//   of the whole text answers: a question costs the length of the number asked about, an
//   append the length of what is added.
class PhoneListText {
public:
    explicit PhoneListText(const QString& start = QString());

    // The list a message goes out with: the extra numbers (already joined by commas) and
    // a comma, then each member's number, in the order given, when it does not occur in
    // the list so far, each followed by a comma; the last comma is dropped. With no
    // extra numbers the list begins with a comma; an empty number adds nothing.
    static QString Build(const QString& extraList, const QStringList& memberNumbers);
    // The same list built over the automaton of the whole text, whatever the numbers hold.
    static QString BuildOverWholeText(const QString& extraList, const QStringList& memberNumbers);

    const QString& text() const { return m_text; }

    // True when piece occurs in the text; the empty piece always occurs.
    bool contains(QStringView piece) const;
    void append(QStringView piece);
    // Room for that many more characters, so that a long list grows without copying.
    void reserve(qsizetype characters);

private:
    // A state of the automaton: the end positions shared by a set of substrings. Most
    // states have one or two transitions; they live in the state itself, so following
    // one costs a single read of memory. The rest go to a list in m_edges.
    struct State {
        int link = -1;  // the state of the longest suffix that ends elsewhere too
        int length = 0; // the longest substring the state stands for
        char16_t symbol[2] = {0, 0};
        int target[2] = {-1, -1}; // -1: no transition in that place
        int moreEdges = -1;       // further transitions, a singly linked list in m_edges
    };
    struct Edge {
        char16_t symbol;
        int target;
        int next;
    };

    int transition(int state, char16_t symbol) const;
    void addTransition(int state, char16_t symbol, int target);
    void redirect(int state, char16_t symbol, int target);
    void copyTransitions(int from, int to);
    void extend(char16_t symbol);

    QString m_text;
    std::vector<State> m_states;
    std::vector<Edge> m_edges;
    int m_last = 0;
};
