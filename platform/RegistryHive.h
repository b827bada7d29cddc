#pragma once
// The registry hive: a small text file in the program folder that stands in for the
// system registry. Header-only and Qt-only on purpose: the control library writes its
// own registration with it and must not link anything of ours.
//
// Format (UTF-8, one item per line, LF or CR LF):
//   ; comment                       ignored, as are blank lines
//   [HKEY_CLASSES_ROOT\Some\Key]    starts a key: root name, "\", the sub-key path
//   @="text"                        the key's default (unnamed) value, a string
//   "Name"="text"                   a string value; \\ and \" escape inside quotes
//   "Name"=dword:0000002a           a double-word value, eight hex digits
// Key paths and value names compare without regard to letter case. A key exists when
// it or any key below it is listed. Lines that fit none of the forms are skipped, so
// a damaged line costs that line only.
#include <QByteArray>
#include <QFile>
#include <QList>
#include <QSaveFile>
#include <QString>
#include <QStringList>

#include <optional>

namespace rt {

class RegistryHive {
public:
    static constexpr quint32 String = 1; // the registry's REG_SZ
    static constexpr quint32 DWord = 4;  // REG_DWORD
    static QString defaultFileName() { return QStringLiteral("Vantrel.REG"); }

    struct Value {
        QString name; // empty for the default value
        quint32 type = String;
        QString text;
        quint32 number = 0;
    };

    // A missing file is an empty hive; only a file that exists and cannot be read fails.
    bool load(const QString& path, QString* error = nullptr)
    {
        keys_.clear();
        QFile file(path);
        if (!file.exists())
            return true;
        if (!file.open(QIODevice::ReadOnly)) {
            if (error)
                *error = file.errorString();
            return false;
        }
        parse(QString::fromUtf8(file.readAll()));
        return true;
    }

    // Written through a temporary file so that a failed write leaves the old hive whole.
    bool save(const QString& path, QString* error = nullptr) const
    {
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly)) {
            if (error)
                *error = file.errorString();
            return false;
        }
        file.write(serialize().toUtf8());
        if (!file.commit()) {
            if (error)
                *error = file.errorString();
            return false;
        }
        return true;
    }

    void parse(const QString& text)
    {
        keys_.clear();
        Key* current = nullptr;
        const QStringList lines = text.split(QLatin1Char('\n'));
        for (QString line : lines) {
            if (line.endsWith(QLatin1Char('\r')))
                line.chop(1);
            const QString trimmed = line.trimmed();
            if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char(';')))
                continue;
            if (trimmed.startsWith(QLatin1Char('[')) && trimmed.endsWith(QLatin1Char(']'))) {
                const QString path = normalizedPath(trimmed.mid(1, trimmed.size() - 2));
                current = path.isEmpty() ? nullptr : &keyFor(path);
                continue;
            }
            if (!current)
                continue;
            if (auto value = parseValue(trimmed))
                put(*current, *value);
        }
    }

    QString serialize() const
    {
        QString out = QStringLiteral("; Vantrel registry hive\n");
        for (const Key& key : keys_) {
            out += QStringLiteral("\n[") + key.path + QStringLiteral("]\n");
            for (const Value& v : key.values) {
                out += v.name.isEmpty() ? QStringLiteral("@") : quoted(v.name);
                out += QLatin1Char('=');
                if (v.type == DWord)
                    out += QStringLiteral("dword:%1").arg(v.number, 8, 16, QLatin1Char('0'));
                else
                    out += quoted(v.text);
                out += QLatin1Char('\n');
            }
        }
        return out;
    }

    bool hasKey(const QString& path) const
    {
        const QString wanted = normalizedPath(path);
        if (wanted.isEmpty())
            return false;
        for (const Key& key : keys_) {
            if (samePath(key.path, wanted) || isBelow(key.path, wanted))
                return true;
        }
        return false;
    }

    std::optional<Value> value(const QString& keyPath, const QString& name) const
    {
        if (const Key* key = find(normalizedPath(keyPath))) {
            for (const Value& v : key->values) {
                if (v.name.compare(name, Qt::CaseInsensitive) == 0)
                    return v;
            }
        }
        return std::nullopt;
    }

    void createKey(const QString& path)
    {
        const QString p = normalizedPath(path);
        if (!p.isEmpty())
            keyFor(p);
    }

    void setString(const QString& keyPath, const QString& name, const QString& text)
    {
        Value v;
        v.name = name;
        v.type = String;
        v.text = text;
        setValue(keyPath, v);
    }

    void setDWord(const QString& keyPath, const QString& name, quint32 number)
    {
        Value v;
        v.name = name;
        v.type = DWord;
        v.number = number;
        setValue(keyPath, v);
    }

    // Removes the key and every key below it.
    void removeTree(const QString& path)
    {
        const QString p = normalizedPath(path);
        if (p.isEmpty())
            return;
        keys_.removeIf(
            [&](const Key& key) { return samePath(key.path, p) || isBelow(key.path, p); });
    }

    // "\" separates the parts of a key path; doubled or outer separators mean nothing.
    static QString normalizedPath(const QString& path)
    {
        QStringList parts = path.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
        for (QString& part : parts)
            part = part.trimmed();
        parts.removeAll(QString());
        return parts.join(QLatin1Char('\\'));
    }

private:
    struct Key {
        QString path;
        QList<Value> values;
    };

    static bool samePath(const QString& a, const QString& b)
    {
        return a.compare(b, Qt::CaseInsensitive) == 0;
    }

    static bool isBelow(const QString& path, const QString& ancestor)
    {
        return path.size() > ancestor.size() && path.at(ancestor.size()) == QLatin1Char('\\') &&
               path.startsWith(ancestor, Qt::CaseInsensitive);
    }

    const Key* find(const QString& path) const
    {
        for (const Key& key : keys_) {
            if (samePath(key.path, path))
                return &key;
        }
        return nullptr;
    }

    Key& keyFor(const QString& path)
    {
        for (Key& key : keys_) {
            if (samePath(key.path, path))
                return key;
        }
        keys_.append(Key{path, {}});
        return keys_.last();
    }

    void setValue(const QString& keyPath, const Value& v)
    {
        const QString p = normalizedPath(keyPath);
        if (!p.isEmpty())
            put(keyFor(p), v);
    }

    static void put(Key& key, const Value& v)
    {
        for (Value& old : key.values) {
            if (old.name.compare(v.name, Qt::CaseInsensitive) == 0) {
                old = v;
                return;
            }
        }
        key.values.append(v);
    }

    static QString quoted(const QString& text)
    {
        QString out = QStringLiteral("\"");
        for (QChar c : text) {
            if (c == QLatin1Char('\\') || c == QLatin1Char('"'))
                out += QLatin1Char('\\');
            if (c == QLatin1Char('\n'))
                out += QStringLiteral("\\n");
            else if (c == QLatin1Char('\r'))
                out += QStringLiteral("\\r");
            else
                out += c;
        }
        return out + QLatin1Char('"');
    }

    // Reads a quoted string starting at text[pos] == '"'; pos ends after the closing quote.
    static std::optional<QString> unquote(const QString& text, qsizetype& pos)
    {
        QString out;
        for (++pos; pos < text.size(); ++pos) {
            const QChar c = text.at(pos);
            if (c == QLatin1Char('"')) {
                ++pos;
                return out;
            }
            if (c == QLatin1Char('\\')) {
                if (++pos >= text.size())
                    return std::nullopt;
                const QChar e = text.at(pos);
                out += e == QLatin1Char('n')   ? QChar(QLatin1Char('\n'))
                       : e == QLatin1Char('r') ? QChar(QLatin1Char('\r'))
                                               : e;
                continue;
            }
            out += c;
        }
        return std::nullopt;
    }

    static std::optional<Value> parseValue(const QString& line)
    {
        Value v;
        qsizetype pos = 0;
        if (line.startsWith(QLatin1Char('@'))) {
            pos = 1;
        } else if (line.startsWith(QLatin1Char('"'))) {
            auto name = unquote(line, pos);
            if (!name)
                return std::nullopt;
            v.name = *name;
        } else {
            return std::nullopt;
        }
        while (pos < line.size() && line.at(pos).isSpace())
            ++pos;
        if (pos >= line.size() || line.at(pos) != QLatin1Char('='))
            return std::nullopt;
        ++pos;
        while (pos < line.size() && line.at(pos).isSpace())
            ++pos;
        const QString rest = line.mid(pos);
        if (rest.startsWith(QLatin1Char('"'))) {
            qsizetype p = 0;
            auto text = unquote(rest, p);
            if (!text || !rest.mid(p).trimmed().isEmpty())
                return std::nullopt;
            v.type = String;
            v.text = *text;
            return v;
        }
        if (rest.startsWith(QLatin1String("dword:"), Qt::CaseInsensitive)) {
            const QString digits = rest.mid(6).trimmed();
            bool ok = false;
            const quint32 number = digits.toUInt(&ok, 16);
            if (!ok || digits.isEmpty() || digits.size() > 8)
                return std::nullopt;
            v.type = DWord;
            v.number = number;
            return v;
        }
        return std::nullopt;
    }

    QList<Key> keys_;
};

} // namespace rt
