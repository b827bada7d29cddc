#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace testsupport {

// A folder on PATH holding empty executables of the given names, for one scope (the
// old PATH comes back with the destructor).
class FakePath {
public:
    explicit FakePath(const QStringList& programs)
    {
        m_old = qgetenv("PATH");
        for (const QString& name : programs) {
            QFile file(m_dir.filePath(name));
            file.open(QIODevice::WriteOnly);
            file.write("#!/bin/sh\n");
            file.close();
            file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        qputenv("PATH", QFile::encodeName(m_dir.path()));
    }
    ~FakePath() { qputenv("PATH", m_old); }
    QString path(const QString& name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
    QByteArray m_old;
};

} // namespace testsupport
