#include "platform/Err.h"

#include "platform/App.h"

namespace rt {

namespace {
UntrappedErrorReporter& reporter()
{
    static UntrappedErrorReporter value;
    return value;
}
} // namespace

void ErrObject::Clear()
{
    Number = 0;
    Description.clear();
    Source = QVariant();
}

ErrObject& Err()
{
    static ErrObject current;
    return current;
}

RuntimeError::RuntimeError(int number, QString description, QVariant source)
    : m_number(number), m_description(std::move(description)), m_source(std::move(source)),
      m_what(QStringLiteral("%1: %2").arg(m_number).arg(m_description).toUtf8())
{
}

const char* RuntimeError::what() const noexcept { return m_what.constData(); }

void SetErr(const RuntimeError& error)
{
    Err().Number = error.number();
    Err().Description = error.description();
    Err().Source = error.source();
}

void Raise(int number, const QString& description, const QVariant& source)
{
    const QVariant actualSource = source.isValid() ? source : QVariant(App::title());
    RuntimeError error(number, description, actualSource);
    SetErr(error);
    throw error;
}

void setUntrappedErrorReporter(UntrappedErrorReporter value) { reporter() = std::move(value); }

void reportUntrapped(const RuntimeError& error)
{
    SetErr(error);
    if (reporter())
        reporter()();
}

} // namespace rt
