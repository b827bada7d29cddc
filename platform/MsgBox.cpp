#include "platform/MsgBox.h"

#include "platform/App.h"
#include "platform/Form.h"
#include "platform/WindowServices.h"

#include <QFontMetrics>
#include <QLabel>
#include <QLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>

namespace rt {

namespace {

MsgBoxHandler& handler()
{
    static MsgBoxHandler value;
    return value;
}

struct ButtonSpec {
    QMessageBox::StandardButton button;
    int answer;
};

// The buttons speak the program's language, as they did on the system it was made for.
QString captionFor(int answer)
{
    switch (answer) {
    case mb::Cancel:
        return QStringLiteral("Άκυρο");
    case mb::Abort:
        return QStringLiteral("Τερματισμός");
    case mb::Retry:
        return QStringLiteral("Επανάληψη");
    case mb::Ignore:
        return QStringLiteral("Παράβλεψη");
    case mb::Yes:
        return QStringLiteral("&Ναι");
    case mb::No:
        return QStringLiteral("Ό&χι");
    default:
        return QStringLiteral("OK");
    }
}

QList<ButtonSpec> buttonsFor(int buttons)
{
    switch (buttons) {
    case mb::OKCancel:
        return {{QMessageBox::Ok, mb::OK}, {QMessageBox::Cancel, mb::Cancel}};
    case mb::AbortRetryIgnore:
        return {{QMessageBox::Abort, mb::Abort},
                {QMessageBox::Retry, mb::Retry},
                {QMessageBox::Ignore, mb::Ignore}};
    case mb::YesNoCancel:
        return {{QMessageBox::Yes, mb::Yes}, {QMessageBox::No, mb::No},
                {QMessageBox::Cancel, mb::Cancel}};
    case mb::YesNo:
        return {{QMessageBox::Yes, mb::Yes}, {QMessageBox::No, mb::No}};
    case mb::RetryCancel:
        return {{QMessageBox::Retry, mb::Retry}, {QMessageBox::Cancel, mb::Cancel}};
    default:
        return {{QMessageBox::Ok, mb::OK}};
    }
}

QMessageBox::Icon iconFor(int icon)
{
    switch (icon) {
    case mb::Critical:
        return QMessageBox::Critical;
    case mb::Question:
        return QMessageBox::Question;
    case mb::Exclamation:
        return QMessageBox::Warning;
    case mb::Information:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

// Lays its text out by the text's own line feeds: the box grows (up to the screen's
// width) until no line of the text is wrapped. Qt's box wraps every text wider than
// about half the screen.
class Box : public QMessageBox {
public:
    using QMessageBox::QMessageBox;

protected:
    void showEvent(QShowEvent* event) override
    {
        QMessageBox::showEvent(event);
        auto* label = findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
        if (label == nullptr || !label->wordWrap())
            return;
        const QRect screen = this->screen() ? this->screen()->availableGeometry() : QRect();
        const int unwrapped = QFontMetrics(label->font())
                                  .boundingRect(QRect(0, 0, QWIDGETSIZE_MAX, QWIDGETSIZE_MAX),
                                                Qt::TextExpandTabs, label->text())
                                  .width();
        const int grow = unwrapped - label->width();
        if (grow <= 0)
            return;
        const int width = screen.isValid() ? qMin(this->width() + grow, screen.width())
                                           : this->width() + grow;
        label->setMinimumWidth(label->width() + width - this->width());
        setFixedWidth(width);
        const int height = heightForWidth(width);
        setFixedHeight(height > 0 ? height : layout()->minimumSize().height());
        if (screen.isValid()) {
            QRect place = geometry();
            place.moveCenter(parentWidget() ? parentWidget()->window()->geometry().center()
                                            : screen.center());
            move(place.topLeft());
        }
    }
};

} // namespace

void setMsgBoxHandler(MsgBoxHandler value) { handler() = std::move(value); }

int MsgBox(const QString& text, int style, const QString& title)
{
    const QString shownTitle = title.isEmpty() ? App::title() : title;
    if (handler())
        return handler()(text, style, shownTitle);

    const QList<ButtonSpec> specs = buttonsFor(style & 0x0F);
    Box box(iconFor(style & 0x70), shownTitle, text, QMessageBox::NoButton, OwnerWindow());
    QMessageBox::StandardButtons all;
    for (const ButtonSpec& spec : specs)
        all |= spec.button;
    box.setStandardButtons(all);
    for (const ButtonSpec& spec : specs)
        box.button(spec.button)->setText(captionFor(spec.answer));
    const int defaultIndex = (style & mb::DefaultButton3) ? 2 : (style & mb::DefaultButton2) ? 1 : 0;
    box.setDefaultButton(specs.value(defaultIndex, specs.first()).button);
    // Closing the box without a button answers Cancel where there is one, else the
    // only button.
    const int pressed = [&box] {
        const EventWait wait;
        return box.exec();
    }();
    for (const ButtonSpec& spec : specs) {
        if (spec.button == pressed)
            return spec.answer;
    }
    for (const ButtonSpec& spec : specs) {
        if (spec.answer == mb::Cancel)
            return mb::Cancel;
    }
    return specs.first().answer;
}

} // namespace rt
