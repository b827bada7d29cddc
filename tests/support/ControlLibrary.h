#pragma once

#include <QString>

namespace testsupport {

// The control library registered into the hive of a test's program folder, as the
// installation registers it; windows then make their panel menu as in the installed
// program.
class ControlLibrary {
public:
    explicit ControlLibrary(const QString& programFolder);
    ControlLibrary(const ControlLibrary&) = delete;
    ControlLibrary& operator=(const ControlLibrary&) = delete;

    bool isValid() const { return m_error.isEmpty(); }
    QString error() const { return m_error; }
    QString hivePath() const { return m_hive; }

    // The built library (the test environment names it).
    static QString libraryPath();

private:
    QString m_hive;
    QString m_error;
};

} // namespace testsupport
