#pragma once

#include <QByteArray>
#include <QString>

// Scrambles one settings value so that account names and passwords are not stored as
// plain text. The working text is bytes (code-page 1253 codes): after the XOR a value
// can hold any byte, including those the code page leaves undefined, so it never goes
// through the text converter while scrambled.
class cipher {
public:
    // Stores the key and reseeds the generator from it, so the stream that follows
    // depends on the key alone.
    void setKeyString(const QString& strKey);

    void setText(const QByteArray& strText) { m_text = strText; }
    QByteArray Text() const { return m_text; }

    void DoXor();
    // Three bytes become four characters from ";" to "z".
    void Stretch();
    void Shrink();

private:
    void SeedFromKey();

    QByteArray m_key;
    QByteArray m_text;
};
