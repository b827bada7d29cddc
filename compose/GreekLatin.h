#pragma once

#include <QString>

// The Greek capitals that look like Latin ones (Α Β Ε Ζ Η Ι Κ Μ Ν Ο Ρ Τ Υ Χ) become those
// Latin capitals; everything else stays. The message editor applies it to typed keys and
// the server link to the text it sends, so both agree on what a message holds.
QString MapGreekToLatin(const QString& text);
