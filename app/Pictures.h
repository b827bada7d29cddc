#pragma once

#include <QPixmap>

// The program's own small pictures, drawn rather than shipped as files.
namespace pictures {

// The program's mark: a message envelope over a phone's outline.
QPixmap Logo(int size);
// A padlock, for the password and security windows.
QPixmap Lock(int size);

} // namespace pictures
