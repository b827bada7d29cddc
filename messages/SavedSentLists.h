#pragma once

#include "platform/Err.h"
#include "platform/ListItem.h"

#include <QPixmap>
#include <QString>
#include <QtGlobal>
#include <functional>

class QObject;
class QWidget;

namespace rt {
class Form;
class ImageList;
class ListView;
class Toolbar;
} // namespace rt

// What the saved-messages and the sent-messages lists share: their pictures, the delete
// of the selected rows after one question, and small list helpers.
namespace savedsent {

// The 16 by 16 pictures of the lists: 1 a message (sent at once, or saved), 2 a message
// sent at a scheduled time. An empty pixmap for any other index.
QPixmap ListPicture(int index);
// The 25 by 25 toolbar pictures: "btnEdit", "btnSend", "btnDelete", "btnDetails",
// "btnExport"; an empty pixmap for any other key.
QPixmap ToolbarPicture(const QString& key);

// The lists' "Images16x16", holding ListPicture 1 to pictures.
rt::ImageList* NewListImages(QObject* parent, int pictures);
// A list of messages named name: several rows selectable, the small pictures of icons,
// and the narrow icon column first.
rt::ListView* NewMessageList(QWidget* parent, const QString& name, rt::ImageList* icons);

// The msg_id of a list item keyed "MSG_" & msg_id; 0 for any other key.
qint32 MessageId(const rt::ListItem& item);

// The one selected item when exactly one is selected; otherwise a null item.
rt::ListItem OnlySelectedItem(rt::ListView& list);
// Makes the item the current and the only selected one.
void SelectOnly(rt::ListView& list, const rt::ListItem& item);

// The details dialog for one message of a table ("saved_messages", "sended_messages"),
// shown modally.
void ShowMessageDetails(qint32 MsgID, const QString& MsgTable);
// The details of the item a one-message command acts on (the list's SelectedItem, one
// it shows selected); nothing for none.
void ShowChosenDetails(rt::ListView& list, const QString& MsgTable);

// Asks "Πρόκειτε να διαγράψετε ..." (titled "ΔΙΑΓΡΑΦΗ ΜΗΝΥΜΑΤΟΣ") about the selected
// items, naming a single one by the sub-item titleColumn, and unless the answer is No
// deletes them, from the last item to the first, with deleteStatement (one "?" for the
// msg_id) and takes them out of the list. The list is hidden meanwhile. True when the
// question was answered Yes; nothing is asked when no item is selected. A database
// failure stops the loop at that row (the rows before it stay deleted, in the table and
// the list alike) and is raised.
bool DeleteSelectedMessages(rt::ListView& list, int titleColumn, const QString& deleteStatement);
// The lists' delete command: DeleteSelectedMessages, then, when anything was deleted
// (also when a failure stopped the delete part-way), afterwards brings the window up to
// date. One failure, one box: a failed delete is reported after afterwards has run
// quietly; otherwise a failure of afterwards is reported.
void DeleteSelectedAndUpdate(rt::ListView& list, int titleColumn, const QString& deleteStatement,
                             const std::function<void()>& afterwards);

} // namespace savedsent
