#include "app/mdlDataBase.h"

#include "app/mdlDialogs.h"
#include "platform/App.h"
#include "platform/End.h"
#include "platform/Err.h"
#include "platform/Form.h"

namespace mdlDataBase {

rt::Database& MainDatabase()
{
    static rt::Database database;
    return database;
}

void OpenDatabase()
{
    const rt::DbResult result = MainDatabase().open(rt::App::file(QStringLiteral("SMS.mdb")));
    if (result)
        return;
    rt::Err().Number = result.number;
    rt::Err().Description = result.description;
    rt::Err().Source = QStringLiteral("SQLite");
    mdlDialogs::ShowErrorMessage(0);
    rt::End();
}

QVariant NullToEmpty(const QVariant& value)
{
    return value.isValid() && !value.isNull() ? value : QVariant(QString());
}

QString NullToEmptyText(const QVariant& value)
{
    return NullToEmpty(value).toString();
}

QVariant EmptyToNull(const QVariant& value)
{
    if (value.typeId() == QMetaType::QString && value.toString().isEmpty())
        return QVariant();
    return value;
}

bool IsFormLoaded(const QString& name)
{
    return rt::Forms::isLoaded(name);
}

} // namespace mdlDataBase
