#pragma once

#include <QString>
#include <QtGlobal>

namespace mdlMain {

// The only writer of out-box rows. Refuses a message without text or without
// recipients (with its own box) and reports its own database failures (logged, with
// the critical box). Returns the new row's msg_id, or 0 when nothing was written; the
// caller sends only when the result is greater than 0.
//
// SchDate and SchTime are screen texts in the short formats ("dd/MM/yyyy", "HH:mm");
// empty means "send at once". Text that is not a date or time is refused as the
// database would refuse it, not stored as "at once". An empty Originator stores the
// default originator of the settings (Null when that is empty too).
qint32 AddOutboxMessage(const QString& Title, const QString& Text, const QString& Originator,
                        const QString& PhoneList, const QString& SchDate, const QString& SchTime,
                        bool Flash);

} // namespace mdlMain
