#pragma once

#include <QPixmap>
#include <QString>

// The message window's own pictures, drawn rather than shipped as files.
namespace MessageWindowPictures {

// The 16 by 16 pictures of the window's image list, by their place in it:
// 1 the address book (tree root, and a member reached through the root),
// 2 a closed group, 3 an open (selected) group,
// 4 a member of the selected group itself, 5 a member reached through a group below it,
// 6 the characters left, 7 a scheduled send, 8 a send at once.
// An empty pixmap for any other index.
QPixmap ImageListPicture(int index);
constexpr int ImageListCount = 8;

// The 25 by 25 pictures of the window's toolbar: "btnInstantGroup", "btnSaveMsg",
// "btnMsgTimer", "btnSend"; an empty pixmap for any other key.
QPixmap ToolbarPicture(const QString& key);

// The expand button's arrow: towards the extra numbers (the palette comes out) or
// back (the palette goes in).
QPixmap ExpandPicture(bool opening);

} // namespace MessageWindowPictures
