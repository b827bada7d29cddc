#pragma once

#include <QString>

#include <functional>

namespace rt {

// The runtime's message-box numbers: buttons + icon (+ default button) make the style.
namespace mb {
enum Style : int {
    OKOnly = 0,
    OKCancel = 1,
    AbortRetryIgnore = 2,
    YesNoCancel = 3,
    YesNo = 4,
    RetryCancel = 5,
    Critical = 16,
    Question = 32,
    Exclamation = 48,
    Information = 64,
    DefaultButton2 = 256,
    DefaultButton3 = 512,
};
enum Answer : int { OK = 1, Cancel = 2, Abort = 3, Retry = 4, Ignore = 5, Yes = 6, No = 7 };
} // namespace mb

// Shows a box and returns the answer. Lines of the text are split at each line feed; an
// empty title is the program's title.
int MsgBox(const QString& text, int style = mb::OKOnly, const QString& title = QString());

// Tests answer boxes from a script instead of showing them; the handler gets the box
// as it would be shown (the title already defaulted).
using MsgBoxHandler = std::function<int(const QString& text, int style, const QString& title)>;
void setMsgBoxHandler(MsgBoxHandler handler);

} // namespace rt
