#pragma once

#include <QString>
#include <QVariant>

#include <exception>
#include <functional>

namespace rt {

// The current run-time error: what the last raised failure said about itself. Error
// handlers read it after catching a RuntimeError, as the message boxes do.
struct ErrObject {
    int Number = 0;
    QString Description;
    QVariant Source; // Null (invalid) when the failure named no source

    void Clear();
};

ErrObject& Err();

// Thrown by Raise; carries the same values that Raise left in Err().
class RuntimeError : public std::exception {
public:
    RuntimeError(int number, QString description, QVariant source);
    const char* what() const noexcept override;

    int number() const { return m_number; }
    const QString& description() const { return m_description; }
    const QVariant& source() const { return m_source; }

private:
    int m_number;
    QString m_description;
    QVariant m_source;
    QByteArray m_what;
};

// Sets Err() and throws. The source defaults to the program's title, as the runtime did.
[[noreturn]] void Raise(int number, const QString& description,
                        const QVariant& source = QVariant());

// Makes Err() hold the values of an error caught as an exception (after a nested handler
// has cleared it, say).
void SetErr(const RuntimeError& error);

// The last resort for an error no handler trapped: the program shows it and abandons the
// operation but keeps running. The application installs the reporter (the code-0 box).
using UntrappedErrorReporter = std::function<void()>;
void setUntrappedErrorReporter(UntrappedErrorReporter reporter);
void reportUntrapped(const RuntimeError& error);

} // namespace rt
