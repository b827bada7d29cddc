#include "compose/PhoneListText.h"

#include <QSet>
#include <algorithm>
#include <optional>

namespace {

// Beyond these the pieces of an entry grow with the square of its length: such lists
// (never seen with real mobile numbers) go over the whole text instead.
constexpr qsizetype kLongestIndexedNumber = 64;
constexpr qsizetype kMostIndexedLengths = 16;

// The lengths of the numbers asked about, or nothing when some number cannot be looked
// up by entry.
std::optional<std::vector<qsizetype>> indexedLengths(const QStringList& numbers)
{
    std::vector<qsizetype> lengths;
    for (const QString& number : numbers) {
        if (number.size() > kLongestIndexedNumber || number.contains(u','))
            return std::nullopt;
        if (!number.isEmpty() &&
            std::find(lengths.begin(), lengths.end(), number.size()) == lengths.end()) {
            if (qsizetype(lengths.size()) == kMostIndexedLengths)
                return std::nullopt;
            lengths.push_back(number.size());
        }
    }
    return lengths;
}

// Every piece of every entry of the list that is as long as some number asked about:
// a number without a comma occurs in the list exactly when it is one of them. The pieces
// are views of the caller's strings, which outlive the index.
class EntryIndex {
public:
    EntryIndex(std::vector<qsizetype> lengths, qsizetype expectedEntries)
        : m_lengths(std::move(lengths))
    {
        m_pieces.reserve(expectedEntries * qsizetype(m_lengths.size()));
    }

    void addEntry(QStringView entry)
    {
        for (const qsizetype length : m_lengths) {
            for (qsizetype at = 0; at + length <= entry.size(); ++at)
                m_pieces.insert(entry.mid(at, length));
        }
    }

    bool contains(QStringView number) const { return m_pieces.contains(number); }

private:
    std::vector<qsizetype> m_lengths;
    QSet<QStringView> m_pieces;
};

// The most that the members' numbers can add to the list.
qsizetype mostAdded(const QStringList& memberNumbers)
{
    qsizetype most = 0;
    for (const QString& number : memberNumbers)
        most += number.size() + 1;
    return most;
}

QString withoutLastComma(QString s)
{
    if (s.endsWith(u','))
        s.chop(1);
    return s;
}

} // namespace

QString PhoneListText::Build(const QString& extraList, const QStringList& memberNumbers)
{
    std::optional<std::vector<qsizetype>> lengths = indexedLengths(memberNumbers);
    if (!lengths)
        return BuildOverWholeText(extraList, memberNumbers);

    QString s;
    s.reserve(extraList.size() + 1 + mostAdded(memberNumbers));
    s += extraList;
    s += u',';
    // The text ends with a comma whenever a number is added, so each added number is an
    // entry of its own; the extra numbers' entries are those between their commas.
    const QList<QStringView> extraEntries = QStringView(extraList).split(u',');
    EntryIndex index(std::move(*lengths), extraEntries.size() + memberNumbers.size());
    for (const QStringView entry : extraEntries)
        index.addEntry(entry);
    for (const QString& number : memberNumbers) {
        // The empty number occurs in every text.
        if (number.isEmpty() || index.contains(number))
            continue;
        s += number;
        s += u',';
        index.addEntry(number);
    }
    return withoutLastComma(std::move(s));
}

QString PhoneListText::BuildOverWholeText(const QString& extraList,
                                          const QStringList& memberNumbers)
{
    PhoneListText list(extraList + QLatin1Char(','));
    list.reserve(mostAdded(memberNumbers));
    for (const QString& number : memberNumbers) {
        if (!list.contains(number))
            list.append(number + QLatin1Char(','));
    }
    return withoutLastComma(list.text());
}

PhoneListText::PhoneListText(const QString& start)
{
    m_states.push_back(State{});
    append(start);
}

bool PhoneListText::contains(QStringView piece) const
{
    int state = 0;
    for (const QChar c : piece) {
        state = transition(state, c.unicode());
        if (state < 0)
            return false;
    }
    return true;
}

void PhoneListText::append(QStringView piece)
{
    m_text.append(piece);
    for (const QChar c : piece)
        extend(c.unicode());
}

void PhoneListText::reserve(qsizetype characters)
{
    // An automaton has at most two states per character.
    m_text.reserve(m_text.size() + characters);
    m_states.reserve(m_states.size() + 2 * size_t(characters));
}

int PhoneListText::transition(int state, char16_t symbol) const
{
    const State& s = m_states[size_t(state)];
    for (int i = 0; i < 2; ++i) {
        if (s.target[i] >= 0 && s.symbol[i] == symbol)
            return s.target[i];
    }
    for (int e = s.moreEdges; e >= 0; e = m_edges[size_t(e)].next) {
        if (m_edges[size_t(e)].symbol == symbol)
            return m_edges[size_t(e)].target;
    }
    return -1;
}

void PhoneListText::addTransition(int state, char16_t symbol, int target)
{
    State& s = m_states[size_t(state)];
    for (int i = 0; i < 2; ++i) {
        if (s.target[i] < 0) {
            s.symbol[i] = symbol;
            s.target[i] = target;
            return;
        }
    }
    m_edges.push_back(Edge{symbol, target, s.moreEdges});
    s.moreEdges = int(m_edges.size()) - 1;
}

void PhoneListText::redirect(int state, char16_t symbol, int target)
{
    State& s = m_states[size_t(state)];
    for (int i = 0; i < 2; ++i) {
        if (s.target[i] >= 0 && s.symbol[i] == symbol) {
            s.target[i] = target;
            return;
        }
    }
    for (int e = s.moreEdges; e >= 0; e = m_edges[size_t(e)].next) {
        if (m_edges[size_t(e)].symbol == symbol) {
            m_edges[size_t(e)].target = target;
            return;
        }
    }
}

void PhoneListText::copyTransitions(int from, int to)
{
    State& copy = m_states[size_t(to)];
    const State& original = m_states[size_t(from)];
    for (int i = 0; i < 2; ++i) {
        copy.symbol[i] = original.symbol[i];
        copy.target[i] = original.target[i];
    }
    for (int e = original.moreEdges; e >= 0; e = m_edges[size_t(e)].next)
        addTransition(to, m_edges[size_t(e)].symbol, m_edges[size_t(e)].target);
}

void PhoneListText::extend(char16_t symbol)
{
    const int current = int(m_states.size());
    State added;
    added.length = m_states[size_t(m_last)].length + 1;
    m_states.push_back(added);
    int p = m_last;
    while (p >= 0 && transition(p, symbol) < 0) {
        addTransition(p, symbol, current);
        p = m_states[size_t(p)].link;
    }
    if (p < 0) {
        m_states[size_t(current)].link = 0;
    } else {
        const int q = transition(p, symbol);
        if (m_states[size_t(p)].length + 1 == m_states[size_t(q)].length) {
            m_states[size_t(current)].link = q;
        } else {
            const int clone = int(m_states.size());
            State cloned;
            cloned.link = m_states[size_t(q)].link;
            cloned.length = m_states[size_t(p)].length + 1;
            m_states.push_back(cloned);
            copyTransitions(q, clone);
            while (p >= 0 && transition(p, symbol) == q) {
                redirect(p, symbol, clone);
                p = m_states[size_t(p)].link;
            }
            m_states[size_t(q)].link = clone;
            m_states[size_t(current)].link = clone;
        }
    }
    m_last = current;
}
