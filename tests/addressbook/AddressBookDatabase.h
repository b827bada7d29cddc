#pragma once

#include "app/mdlDataBase.h"
#include "app/mdlDialogs.h"
#include "platform/Err.h"
#include "platform/Form.h"
#include "tests/support/ProgramFolder.h"
#include "tests/support/Seams.h"

#include <QTest>
#include <memory>

namespace addressbooktest {

// What the address-book tests share: a temporary program folder whose empty SMS.mdb is
// the open main database, scripted message boxes, and the code-0 box for errors that no
// handler traps. start() in init(); stop() in cleanup() discards every form and closes
// the database.
class Database {
public:
    bool start()
    {
        m_folder = std::make_unique<testsupport::ProgramFolder>();
        if (!m_folder->isValid())
            return false;
        m_boxes = std::make_unique<testsupport::ScriptedMessageBoxes>();
        rt::setUntrappedErrorReporter(mdlDialogs::ReportUntrappedError);
        return mdlDataBase::MainDatabase().open(m_folder->databasePath()).ok;
    }
    void stop()
    {
        rt::Forms::discardAll();
        mdlDataBase::MainDatabase().close();
        m_boxes.reset();
        m_folder.reset();
    }

    testsupport::ProgramFolder& folder() { return *m_folder; }
    testsupport::ScriptedMessageBoxes& boxes() { return *m_boxes; }

    // Runs one statement on the main database; a failure fails the test.
    static void exec(const QString& sql, const QVariantList& values = {})
    {
        const rt::DbResult done = mdlDataBase::MainDatabase().execute({sql, values});
        QVERIFY2(done.ok, qPrintable(done.description));
    }

private:
    std::unique_ptr<testsupport::ProgramFolder> m_folder;
    std::unique_ptr<testsupport::ScriptedMessageBoxes> m_boxes;
};

} // namespace addressbooktest
