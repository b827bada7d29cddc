#pragma once

#include <QtGlobal>
#include <limits>

class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QString;

namespace rt {
class ListView;
} // namespace rt

// The main module: procedures that windows of every part of the program call.
namespace mdlMain {

// ---- small utilities

// Adds an entry with its item data (Qt::UserRole): at the end, or at its sorted place
// when the box sorts (its insert policy is InsertAlphabetically); makes it the current
// entry when `select` is true and leaves the current entry alone otherwise.
void AddComboItem(QComboBox* combo, const QString& text, qint32 value, bool select);

// The upper bound of a 0-based array: its size - 1; 0 for an empty array or when the
// bound does not fit 16 bits. An array holding one element also gives 0.
template <class Array> qint16 ArrayUpperBound(const Array& array)
{
    const auto size = static_cast<qint64>(array.size());
    if (size == 0 || size - 1 > std::numeric_limits<qint16>::max())
        return 0;
    return static_cast<qint16>(size - 1);
}

// The screen-wide mouse pointer: 0 default, 11 hourglass, 13 arrow and hourglass.
void SetMousePointer(int pointer);

// The hourglass (or another pointer) for as long as the work runs, the default pointer
// again however it ends.
class BusyPointer {
public:
    explicit BusyPointer(int pointer = 11) { SetMousePointer(pointer); }
    ~BusyPointer() { SetMousePointer(0); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;
};

// True when a directory search for the path finds an ordinary file (wildcards allowed;
// directories, hidden files and an empty path give False).
bool FileExists(const QString& path);

// Selects the whole text, from its start.
void SelectAllText(QLineEdit* box);
void SelectAllText(QPlainTextEdit* box);

void SelectAllListItems(rt::ListView* list);
void InvertListSelection(rt::ListView* list);

} // namespace mdlMain
