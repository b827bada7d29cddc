#include "tests/support/Fixture.h"

#include "app/frmMain.h"
#include "app/mdlDataBase.h"
#include "app/mdlDialogs.h"
#include "platform/Err.h"
#include "platform/Form.h"
#include "platform/Recordset.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTest>

namespace testsupport {

bool Fixture::fail(const QString& why)
{
    m_error = why;
    return false;
}

bool Fixture::start(const FixtureParts& parts)
{
    m_error.clear();
    m_folder = std::make_unique<ProgramFolder>(parts.database);
    if (!m_folder->isValid())
        return fail(QStringLiteral("the program folder could not be made"));
    if (parts.controlLibrary) {
        m_library = std::make_unique<ControlLibrary>(m_folder->path());
        if (!m_library->isValid())
            return fail(m_library->error());
    }
    if (parts.boxes)
        m_boxes = std::make_unique<ScriptedMessageBoxes>();
    if (parts.modals)
        m_modals = std::make_unique<ModalScript>();
    if (parts.fileDialogs)
        m_files = std::make_unique<ScriptedFileDialogs>();
    if (parts.errorReporter) {
        rt::setUntrappedErrorReporter(mdlDialogs::ReportUntrappedError);
        m_reporter = true;
    }
    if (parts.database && parts.openDatabase) {
        const rt::DbResult opened = mdlDataBase::MainDatabase().open(m_folder->databasePath());
        if (!opened.ok)
            return fail(opened.description);
    }
    if (parts.service) {
        m_service = std::make_unique<FakeSmsService>();
        if (!m_service->start())
            return fail(QStringLiteral("the loopback service did not start"));
    }
    return true;
}

void Fixture::stop()
{
    if (!m_folder)
        return;
    rt::Forms::discardAll();
    m_service.reset();
    mdlDataBase::MainDatabase().close();
    if (m_reporter)
        rt::setUntrappedErrorReporter({});
    m_reporter = false;
    m_files.reset();
    m_modals.reset();
    m_boxes.reset();
    m_library.reset();
    m_folder.reset();
}

frmMain& mainWindow()
{
    return rt::Forms::get<frmMain>();
}

void exec(const QString& sql, const QVariantList& values)
{
    const rt::DbResult done = mdlDataBase::MainDatabase().execute({sql, values});
    QVERIFY2(done.ok, qPrintable(done.description));
}

void addGroup(int id, const QString& name, int parent)
{
    exec(QStringLiteral("INSERT INTO groups (group_id, group_name, subgroup_of) VALUES (?, ?, ?)"),
         {id, name, parent});
}

void addMember(const QVariant& id, const QVariant& last, const QVariant& first,
               const QVariant& occupation, const QVariant& phone, const QVariant& memberOf)
{
    exec(QStringLiteral("INSERT INTO members (member_id, LastName, FirstName, Occupation, "
                        "mobile_no, member_of) VALUES (?, ?, ?, ?, ?, ?)"),
         {id, last, first, occupation, phone, memberOf});
}

qint64 lastMessageId(const QString& table)
{
    rt::Recordset rs = mdlDataBase::MainDatabase().openRecordset(
        {QStringLiteral("SELECT max(msg_id) FROM ") + table, {}}, rt::RecordsetType::Snapshot);
    return rs.isOpen() && !rs.eof() ? rs.field(0).toLongLong() : 0;
}

QList<QVariantMap> tableRows(const QString& table)
{
    QList<QVariantMap> result;
    rt::Recordset rs = mdlDataBase::MainDatabase().openRecordset(
        {QStringLiteral("SELECT * FROM ") + table + QStringLiteral(" ORDER BY msg_id"), {}},
        rt::RecordsetType::Snapshot);
    for (; rs.isOpen() && !rs.eof(); rs.moveNext()) {
        QVariantMap row;
        for (int i = 0; i < rs.fieldCount(); ++i)
            row.insert(rs.fieldName(i), rs.field(i));
        result.append(row);
    }
    return result;
}

QStringList columnTexts(const QString& sql)
{
    QStringList texts;
    rt::Recordset rs =
        mdlDataBase::MainDatabase().openRecordset({sql, {}}, rt::RecordsetType::Snapshot);
    for (; rs.isOpen() && !rs.eof(); rs.moveNext())
        texts << rs.field(0).toString();
    return texts;
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

QString picturePath(const QString& name)
{
    const QDir folder(QCoreApplication::applicationDirPath());
    folder.mkpath(QStringLiteral("pictures"));
    return folder.filePath(QStringLiteral("pictures/") + name);
}

} // namespace testsupport
