#pragma once

#include <QPixmap>
#include <QString>

// The member list's own pictures, drawn rather than shipped as files.
namespace MemberListPictures {

// The 16 by 16 picture of a listed member.
QPixmap MemberPicture();

// The 25 by 25 pictures of the window's toolbar: "btnNew", "btnEdit", "btnDelete",
// "btnCriteria"; an empty pixmap for any other key.
QPixmap ToolbarPicture(const QString& key);

} // namespace MemberListPictures
