#include "addressbook/mdlGroups.h"

#include "platform/Clock.h"
#include "platform/Formats.h"
#include "platform/ListView.h"
#include "platform/TreeView.h"

#include <QListWidget>
#include <QSet>
#include <cmath>

namespace mdlGroups {

QString SearchLastName;
QString SearchFirstName;
QString SearchPhone;
QString SearchOccupation;

void ClearSearchCriteria()
{
    SearchLastName.clear();
    SearchFirstName.clear();
    SearchPhone.clear();
    SearchOccupation.clear();
}

QString KeyToId(const QString& key)
{
    const qsizetype underscore = key.indexOf(QLatin1Char('_'));
    return underscore < 0 ? key : key.mid(underscore + 1);
}

namespace {

// The timer as the regional number format writes it: decimal comma, at most two
// decimals, then padded so that one decimal or a single character gets a "0".
QString timerText(float seconds)
{
    const float hundredths = std::round(seconds * 100.0f) / 100.0f;
    QString text = rt::SingleText(hundredths);
    const qsizetype comma = text.indexOf(QLatin1Char(',')) + 1; // 1-based, 0 for none
    if (comma > text.size() - 2)
        text += QLatin1Char('0');
    return text;
}

float timerAt(const QDateTime& moment)
{
    return static_cast<float>(moment.time().msecsSinceStartOfDay()) / 1000.0f;
}

// The timer's text moves every hundredth of a second.
constexpr int kTimerStepMs = 10;

} // namespace

QString NewTempKey(const QString& prefix)
{
    static QSet<QString> issued;
    for (;;) {
        // One reading gives both the day and the timer, so midnight cannot split them.
        const QDateTime now = rt::Now();
        const QString text = timerText(timerAt(now));
        QString body = QString::number(rt::DateSerialNumber(now.date())) + text;
        body.remove(QLatin1Char(','));
        const bool fresh = !issued.contains(body);
        if (fresh)
            issued.insert(body);
        while (timerText(rt::Timer()) == text)
            rt::sleepMs(kTimerStepMs);
        if (fresh)
            return prefix + body;
    }
}

namespace {
QString between(const QString& id)
{
    return QLatin1Char('\\') + id + QLatin1Char('\\');
}
} // namespace

bool MembershipHas(const QString& list, const QString& id)
{
    return list.contains(between(id));
}

QString AddMembership(const QString& list, const QString& id)
{
    return list + id + QLatin1Char('\\');
}

QString RemoveMembership(const QString& list, const QString& id)
{
    // One replace pass leaves the second of two adjacent equal ids ("\5\5\"), so repeat.
    const QString needle = between(id);
    QString result = list;
    while (result.contains(needle))
        result.replace(needle, QStringLiteral("\\"));
    return result;
}

QString WorkingMembership(const QVariant& stored)
{
    const QString text = stored.isNull() ? QString() : stored.toString();
    // An empty text would give "\0" without its closing backslash, and every later
    // addition would then glue to the root id.
    if (text.isEmpty())
        return QStringLiteral("\\0\\");
    return QStringLiteral("\\0") + text;
}

QVariant StoredMembership(const QString& working)
{
    const QString stored = RemoveMembership(working, QStringLiteral("0"));
    if (stored.isEmpty() || stored == QStringLiteral("\\"))
        return QVariant();
    return stored;
}

bool NodeExists(rt::TreeView& tree, const QString& key)
{
    return tree.Nodes().Exists(key);
}

bool ListItemExists(rt::ListView& list, const QString& key)
{
    return list.ListItems().Exists(key);
}

int SelectedItemCount(rt::ListView& list)
{
    int count = 0;
    for (const rt::ListItem& item : list.ListItems()) {
        if (item.Selected())
            ++count;
    }
    return count;
}

int FindItemData(const QListWidget& list, int value)
{
    for (int row = 0; row < list.count(); ++row) {
        // An entry never given item data holds 0, as in the runtime.
        if (list.item(row)->data(Qt::UserRole).toInt() == value)
            return row;
    }
    return -1;
}

int FindListItem(const QListWidget& list, const QString& text, bool exact)
{
    for (int row = 0; row < list.count(); ++row) {
        const QString entry = list.item(row)->text();
        if (exact ? entry == text : entry.contains(text))
            return row;
    }
    return -1;
}

QString CleanNumberList(const QString& text)
{
    QString result = text;
    for (;;) {
        const QString before = result;
        result.replace(QStringLiteral(",,"), QStringLiteral(","));
        result.replace(QStringLiteral("\r\n"), QStringLiteral(","));
        result.remove(QLatin1Char(' '));
        // No window events run here: the lists count their rows' numbers while they
        // load, and a command run inside a load could unload the list under it.
        if (result == before)
            break;
    }
    if (result.startsWith(QLatin1Char(',')))
        result.remove(0, 1);
    if (result.endsWith(QLatin1Char(',')))
        result.chop(1);
    return result;
}

int CountListEntries(const QString& text)
{
    if (QString(text).remove(QLatin1Char(' ')).isEmpty())
        return 0;
    const QString cleaned = CleanNumberList(text);
    if (cleaned.isEmpty())
        return 0;
    return static_cast<int>(cleaned.count(QLatin1Char(','))) + 1;
}

} // namespace mdlGroups
