#pragma once

#include <QPixmap>
#include <QString>

// The out-box list's own pictures, drawn rather than shipped as files.
namespace OutBoxPictures {

// The 16 by 16 item pictures: 1 a message waiting to be sent, 2 a message whose last
// sending failed; an empty pixmap for any other index.
QPixmap ItemPicture(int index);

// The 25 by 25 toolbar pictures: "btnSend", "btnDelete", "btnDetails", "btnExport";
// an empty pixmap for any other key.
QPixmap ToolbarPicture(const QString& key);

} // namespace OutBoxPictures
