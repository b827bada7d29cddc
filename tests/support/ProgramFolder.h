#pragma once

#include <QString>
#include <QTemporaryDir>

namespace testsupport {

// A temporary program folder holding an empty SMS.mdb made from db/schema.sql; it is
// the program folder (rt::App::path) while the object lives.
class ProgramFolder {
public:
    explicit ProgramFolder(bool withDatabase = true);
    ~ProgramFolder();
    ProgramFolder(const ProgramFolder&) = delete;
    ProgramFolder& operator=(const ProgramFolder&) = delete;

    bool isValid() const { return m_valid; }
    QString path() const { return m_dir.path(); }
    QString file(const QString& name) const { return m_dir.filePath(name); }
    QString databasePath() const { return file(QStringLiteral("SMS.mdb")); }

    static QString schemaPath();
    static QString sourceDir();

private:
    QTemporaryDir m_dir;
    bool m_valid = false;
};

} // namespace testsupport
