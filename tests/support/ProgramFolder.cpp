#include "tests/support/ProgramFolder.h"

#include "platform/App.h"
#include "platform/DatabaseCreation.h"

namespace testsupport {

ProgramFolder::ProgramFolder(bool withDatabase)
{
    m_valid = m_dir.isValid();
    if (m_valid && withDatabase)
        m_valid = rt::createDatabaseFromSchema(databasePath(), schemaPath());
    rt::App::setPath(m_dir.path());
}

ProgramFolder::~ProgramFolder() { rt::App::setPath(QString()); }

QString ProgramFolder::sourceDir() { return qEnvironmentVariable("VANTREL_SOURCE_DIR"); }

QString ProgramFolder::schemaPath() { return sourceDir() + QStringLiteral("/db/schema.sql"); }

} // namespace testsupport
