#include "tests/support/ControlLibrary.h"

#include "platform/ControlFactory.h"
#include "platform/RegistryHive.h"

#include <QDir>

namespace testsupport {

ControlLibrary::ControlLibrary(const QString& programFolder)
    : m_hive(QDir(programFolder).filePath(rt::RegistryHive::defaultFileName()))
{
    const QString library = libraryPath();
    if (library.isEmpty()) {
        m_error = QStringLiteral("VANTREL_TIRNAVAL_LIBRARY is not set");
        return;
    }
    if (!rt::RegisterServer(library, m_hive, &m_error) && m_error.isEmpty())
        m_error = QStringLiteral("registration failed");
}

QString ControlLibrary::libraryPath()
{
    return qEnvironmentVariable("VANTREL_TIRNAVAL_LIBRARY");
}

} // namespace testsupport
