#include "platform/MsgBox.h"

#include "platform/App.h"
#include "platform/Form.h"
#include "platform/WindowServices.h"

#include <QApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScreen>
#include <QStyle>
#include <QTextLayout>
#include <QTextOption>
#include <QWindow>
#include <optional>

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
        return {{QMessageBox::Yes, mb::Yes},
                {QMessageBox::No, mb::No},
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

// The decoration the window manager has put around a window, as the window system
// reports it: none off a real display or before the manager has taken the window;
// negative values, seen while the manager is still building the frame, tell nothing.
std::optional<QMargins> decorationOf(const QWidget& window)
{
    const QWindow* handle = window.windowHandle();
    if (handle == nullptr)
        return std::nullopt;
    const QMargins frame = handle->frameMargins();
    if (frame.left() < 0 || frame.top() < 0 || frame.right() < 0 || frame.bottom() < 0)
        return std::nullopt;
    return frame;
}

// The text with every line wider than the room broken into lines that fit: at word
// boundaries where the line has them, inside a word (a path) where it must. Each line
// feed of the text stays a line break.
QString brokenToFit(const QString& text, const QFont& font, const QPaintDevice* device, int room)
{
    QStringList shown;
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        QTextLayout layout(line, font, device);
        layout.setTextOption(option);
        layout.beginLayout();
        QStringList pieces;
        for (QTextLine piece = layout.createLine(); piece.isValid(); piece = layout.createLine()) {
            piece.setLineWidth(room);
            pieces << line.mid(piece.textStart(), piece.textLength());
        }
        layout.endLayout();
        // The blanks at a break are the break.
        for (qsizetype i = 0; i + 1 < pieces.size(); ++i) {
            while (pieces[i].size() > 1 && pieces[i].back().isSpace())
                pieces[i].chop(1);
        }
        shown << (pieces.isEmpty() ? QStringList{QString()} : pieces);
    }
    return shown.join(QLatin1Char('\n'));
}

// Sizes and places itself instead of Qt's own pass. Qt's box caps its width (at about
// 800 px on a 1280-px screen, 1000 px on any wider one) and sizes itself again on every
// layout request, so a width set once does not hold and a line is cut. Here a line of
// the text is shown whole as long as the screen's available width holds it; only a
// line wider than that is broken (anywhere, when a path leaves no word boundary), the
// box growing taller; the box stays centred over its owner window, or the screen, and
// on the screen.
//
// The label shows the text with its lines already broken and does no wrapping of its
// own: a wrapping label sets its own wrap mode again whenever it lays its text out, so
// one made to break inside words had to be bent back on every paint, and each bend
// asked for another paint. Broken once here, a box at rest does nothing.
class Box : public QMessageBox {
public:
    Box(Icon icon, const QString& title, const QString& text, QWidget* owner)
        : QMessageBox(icon, title, text, NoButton, owner),
          m_label(findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))), m_text(text)
    {
        // The user's own words (a group's name, a path) are never read as markup.
        setTextFormat(Qt::PlainText);
        // Heard as given, whole: the label's own name would drop an "&", and its text
        // holds the breaks made below.
        if (m_label != nullptr)
            m_label->setAccessibleName(text);
    }

protected:
    bool event(QEvent* event) override
    {
        if (event->type() == QEvent::LayoutRequest) {
            // Qt's box would size itself again here, within its own limit.
            const bool result = QDialog::event(event);
            fit();
            return result;
        }
        const bool result = QMessageBox::event(event);
        if ((event->type() == QEvent::Move || event->type() == QEvent::WindowActivate) &&
            isVisible() && !m_placing) {
            // Placed by a guess at the window manager's frame: placed again once the
            // frame is known.
            const std::optional<QMargins> frame = decorationOf(*this);
            if (frame && !frame->isNull() && *frame != m_placedWith) {
                fit();
                place();
            }
        }
        return result;
    }

    void showEvent(QShowEvent* event) override
    {
        QMessageBox::showEvent(event);
        fit();
        place();
    }

private:
    QWidget* owner() const
    {
        QWidget* window = parentWidget() != nullptr ? parentWidget()->window() : nullptr;
        return window != nullptr && window->isVisible() ? window : nullptr;
    }

    QRect area() const
    {
        const QScreen* screen = (owner() != nullptr ? owner() : this)->screen();
        if (screen == nullptr)
            screen = QGuiApplication::primaryScreen();
        return screen != nullptr ? screen->availableGeometry() : QRect();
    }

    // The box's own frame once known; before that the owner's (a box gets the frame of
    // a dialog; an owner long on the screen without one has no window manager around
    // it), else the style's idea of a title bar and border.
    QMargins frame() const
    {
        const std::optional<QMargins> own = decorationOf(*this);
        if (own && !own->isNull())
            return *own;
        if (owner() != nullptr) {
            if (const std::optional<QMargins> owners = decorationOf(*owner()))
                return *owners;
        }
        const int border = style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, this);
        return {border, border + style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this),
                border, border};
    }

    // Only lines that change ask the label for a paint.
    void showLines(const QString& lines)
    {
        if (m_label->text() != lines)
            m_label->setText(lines);
    }

    void fit()
    {
        QLayout* grid = layout();
        const QRect screen = area();
        if (m_fitting || !isVisible() || m_label == nullptr || grid == nullptr || !screen.isValid())
            return;
        const QScopedValueRollback<bool> fitting(m_fitting, true);
        const QMargins decoration = frame();
        const int widest = screen.width() - decoration.left() - decoration.right();

        // The text by its own line feeds alone.
        m_label->setWordWrap(false);
        showLines(m_text);
        grid->invalidate();
        grid->activate();
        int width = grid->totalMinimumSize().width();
        if (width > widest) {
            const QFontMetrics metrics(m_label->font(), m_label);
            int widestLine = 0;
            for (const QString& line : m_text.split(QLatin1Char('\n')))
                widestLine = qMax(widestLine, metrics.horizontalAdvance(line));
            int room = widestLine - (width - widest);
            // The label's own measure of a line may differ from this by a pixel: the
            // lines are broken again, narrower, until the box fits.
            for (int tries = 0; tries < 4 && width > widest; ++tries) {
                showLines(brokenToFit(m_text, m_label->font(), m_label, qMax(1, room)));
                grid->invalidate();
                grid->activate();
                const int needed = grid->totalMinimumSize().width();
                room -= qMax(0, needed - widest);
                width = needed;
            }
            width = widest;
        }
        // The title is not cut either, as Qt's own pass sees to.
        const int title = QFontMetrics(QApplication::font("QMdiSubWindowTitleBar"))
                              .horizontalAdvance(windowTitle()) +
                          50;
        width = qMax(width, qMin(title, widest));
        grid->invalidate();
        grid->activate();
        setFixedSize(width, grid->totalMinimumSize().height());
        // What this pass changed asks for a layout again; it has been done.
        QCoreApplication::removePostedEvents(this, QEvent::LayoutRequest);
    }

    void place()
    {
        const QRect screen = area();
        if (!screen.isValid())
            return;
        const QScopedValueRollback<bool> placing(m_placing, true);
        m_placedWith = frame();
        // The size this box asked for: the window system may not have answered yet.
        QRect outer = QRect(QPoint(), minimumSize().isEmpty() ? size() : minimumSize())
                          .marginsAdded(m_placedWith);
        outer.moveCenter(owner() != nullptr
                             ? owner()
                                   ->geometry()
                                   .marginsAdded(decorationOf(*owner()).value_or(QMargins()))
                                   .center()
                             : screen.center());
        const auto onScreen = [](int start, int length, int first, int room) {
            return length >= room ? first : qBound(first, start, first + room - length);
        };
        const QPoint inside =
            QPoint(onScreen(outer.left(), outer.width(), screen.left(), screen.width()),
                   onScreen(outer.top(), outer.height(), screen.top(), screen.height())) +
            QPoint(m_placedWith.left(), m_placedWith.top());
        // Qt places a window by its frame as far as it knows the frame.
        move(inside - (geometry().topLeft() - pos()));
    }

    QLabel* m_label;
    QString m_text;
    QMargins m_placedWith;
    bool m_fitting = false;
    bool m_placing = false;
};

} // namespace

void setMsgBoxHandler(MsgBoxHandler value)
{
    handler() = std::move(value);
}

int MsgBox(const QString& text, int style, const QString& title)
{
    const QString shownTitle = title.isEmpty() ? App::title() : title;
    if (handler())
        return handler()(text, style, shownTitle);

    const QList<ButtonSpec> specs = buttonsFor(style & 0x0F);
    Box box(iconFor(style & 0x70), shownTitle, text, OwnerWindow());
    QMessageBox::StandardButtons all;
    for (const ButtonSpec& spec : specs)
        all |= spec.button;
    box.setStandardButtons(all);
    for (const ButtonSpec& spec : specs)
        box.button(spec.button)->setText(captionFor(spec.answer));
    const int defaultIndex = (style & mb::DefaultButton3)   ? 2
                             : (style & mb::DefaultButton2) ? 1
                                                            : 0;
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
