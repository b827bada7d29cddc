#pragma once

#include <QPixmap>
#include <QString>

class QCursor;

// The main window's own pictures: the panel-menu buttons, the two toolbar buttons,
// the built-in logo and the pointer of its clickable parts. Drawn, not loaded, so the
// program needs no picture files of its own.
namespace MainWindowPictures {

// The picture of panel-menu button 1 to 9 (members, groups, out-box, sent, saved,
// settings, error history, calculator, notepad); an empty pixmap otherwise.
QPixmap PanelPicture(int index);
// "btnNewMessage" or "btnGetCredits".
QPixmap ToolbarPicture(const QString& key);
QPixmap BuiltInLogo();
QCursor LinkCursor();

} // namespace MainWindowPictures
