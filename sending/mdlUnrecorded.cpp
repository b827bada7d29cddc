#include "sending/mdlUnrecorded.h"

#include "app/mdlDataBase.h"
#include "platform/App.h"
#include "platform/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>

namespace mdlUnrecorded {

namespace {

struct Known {
    QString folder; // the program folder the list belongs to
    bool read = false;
    QList<Message> messages;
};

Known& known()
{
    static Known value;
    return value;
}

QString filePath()
{
    return QDir(rt::App::path()).filePath(FileName);
}

// The columns of the sent row, by the names of the table.
const char* const columns[] = {"msg_date",       "msg_time",   "msg_schdate",
                               "msg_schtime",    "msg_title",  "msg_text",
                               "msg_originator", "msg_groups", "msg_phonelist"};

QVariant* column(Message& m, int i)
{
    QVariant* const fields[] = {&m.date, &m.time,       &m.schdate, &m.schtime,  &m.title,
                                &m.text, &m.originator, &m.groups,  &m.phonelist};
    return fields[i];
}

// A value as the database gave it back: Null, text or a whole number.
QVariant fromJson(const QJsonValue& value)
{
    if (value.isString())
        return value.toString();
    if (value.isDouble()) {
        const double n = value.toDouble();
        if (std::trunc(n) == n)
            return qlonglong(n);
        return n;
    }
    if (value.isBool())
        return value.toBool();
    return QVariant();
}

QByteArray serialised(const QList<Message>& messages)
{
    QJsonArray list;
    for (Message m : messages) {
        QJsonObject entry;
        entry.insert(QStringLiteral("msg_id"), qint64(m.id));
        entry.insert(QStringLiteral("msg_SID"), m.serverId);
        for (int i = 0; i < int(std::size(columns)); ++i)
            entry.insert(QLatin1String(columns[i]), QJsonValue::fromVariant(*column(m, i)));
        entry.insert(QStringLiteral("msg_flash"), m.flash);
        list.append(entry);
    }
    return QJsonDocument(list).toJson(QJsonDocument::Indented);
}

// What the file holds; nothing when it is missing or not the program's own.
QList<Message> readFile()
{
    QFile file(filePath());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll());
    QList<Message> messages;
    for (const QJsonValue& value : document.array()) {
        const QJsonObject entry = value.toObject();
        Message m;
        m.id = entry.value(QStringLiteral("msg_id")).toInteger();
        m.serverId = qint32(entry.value(QStringLiteral("msg_SID")).toInteger(-1));
        for (int i = 0; i < int(std::size(columns)); ++i)
            *column(m, i) = fromJson(entry.value(QLatin1String(columns[i])));
        m.flash = entry.value(QStringLiteral("msg_flash")).toBool();
        if (m.id > 0 && m.serverId >= 0)
            messages.append(m);
    }
    return messages;
}

Known& current()
{
    Known& k = known();
    if (!k.read || k.folder != rt::App::path()) {
        k.folder = rt::App::path();
        k.messages = readFile();
        k.read = true;
    }
    return k;
}

bool writeFile(const QList<Message>& messages, QString* error)
{
    if (messages.isEmpty()) {
        if (!QFile::exists(filePath()) || QFile::remove(filePath()))
            return true;
        if (error)
            *error = QStringLiteral("Path/File access error");
        return false;
    }
    const rt::FileWriteResult written = rt::ReplaceFile(filePath(), serialised(messages));
    if (!written && error)
        *error = written.description;
    return bool(written);
}

} // namespace

bool Message::sameRow(const QVariant& rowTitle, const QVariant& rowText,
                      const QVariant& rowOriginator, const QVariant& rowPhonelist) const
{
    using mdlDataBase::NullToEmptyText;
    return NullToEmptyText(title) == NullToEmptyText(rowTitle) &&
           NullToEmptyText(text) == NullToEmptyText(rowText) &&
           NullToEmptyText(originator) == NullToEmptyText(rowOriginator) &&
           NullToEmptyText(phonelist) == NullToEmptyText(rowPhonelist);
}

bool Keep(const Message& message, QString* error)
{
    Known& k = current();
    for (qsizetype i = 0; i < k.messages.size(); ++i) {
        if (k.messages.at(i).id == message.id)
            k.messages.removeAt(i--);
    }
    k.messages.append(message);
    return writeFile(k.messages, error);
}

QList<Message> Waiting()
{
    return current().messages;
}

std::optional<Message> Find(qint64 id)
{
    for (const Message& m : current().messages) {
        if (m.id == id)
            return m;
    }
    return std::nullopt;
}

void Forget(qint64 id)
{
    Known& k = current();
    const qsizetype before = k.messages.size();
    k.messages.removeIf([id](const Message& m) { return m.id == id; });
    // A file left behind names a row that is no longer waiting: the next run finds it
    // recorded or gone, and forgets it then.
    if (k.messages.size() != before)
        writeFile(k.messages, nullptr);
}

void Reset()
{
    known() = Known();
}

} // namespace mdlUnrecorded
