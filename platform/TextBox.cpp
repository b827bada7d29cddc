#include "platform/TextBox.h"

#include "platform/Cp1253.h"

#include <QComboBox>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QValidator>

namespace rt {

namespace {

// The line edit runs its validator after every change, whatever made it (typing,
// paste, drop, setText), and takes the text the validator hands back.
class CodePageValidator : public QValidator {
public:
    using QValidator::QValidator;

    State validate(QString& input, int& pos) const override
    {
        QString kept;
        kept.reserve(input.size());
        int newPos = pos;
        for (qsizetype i = 0; i < input.size(); ++i) {
            if (cp1253::canEncode(input.at(i)))
                kept.append(input.at(i));
            else if (i < pos)
                --newPos;
        }
        if (kept.size() != input.size()) {
            input = kept;
            pos = newPos;
        }
        return Acceptable;
    }
};

constexpr int toolkitNoLimit = 32767;

} // namespace

TextBox::TextBox(QWidget* parent) : QLineEdit(parent)
{
    setValidator(new CodePageValidator(this));
    QLineEdit::setMaxLength(toolkitNoLimit);
    keys::routeOwnKeys(this);
    connect(this, &QLineEdit::textChanged, this, &TextBox::Change);
}

TextBox::TextBox(const QString& name, QWidget* parent) : TextBox(parent)
{
    setObjectName(name);
    // A box shows no caption of its own: the accessibility bus knows it by its name.
    setAccessibleName(name);
}

void TextBox::setText(const QString& value)
{
    QLineEdit::setText(cp1253::keepEncodable(value));
}

void TextBox::setMaxLength(int value)
{
    m_maxLength = qMax(0, value);
    QLineEdit::setMaxLength(m_maxLength == 0 ? toolkitNoLimit : m_maxLength);
}

int TextBox::SelStart() const
{
    return hasSelectedText() ? selectionStart() : cursorPosition();
}

void TextBox::setSelStart(int value)
{
    deselect();
    setCursorPosition(qBound(0, value, int(text().size())));
}

int TextBox::SelLength() const
{
    return hasSelectedText() ? selectionLength() : 0;
}

void TextBox::setSelLength(int value)
{
    const int start = SelStart();
    const int length = qBound(0, value, int(text().size()) - start);
    if (length == 0)
        setSelStart(start);
    else
        setSelection(start, length);
}

void TextBox::setSelText(const QString& value)
{
    insert(cp1253::keepEncodable(value));
}

void TextBox::keyPressEvent(QKeyEvent* event)
{
    const keys::Press press = keys::routePress(this, *event, *this);
    if (press.stopped) {
        event->accept();
        return;
    }
    if (press.typesNothing() || !press.changed()) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    event->accept();
    for (int a : press.final)
        typeCode(a);
}

void TextBox::keyReleaseEvent(QKeyEvent* event)
{
    keys::routeRelease(this, *event, *this);
    QLineEdit::keyReleaseEvent(event);
}

void TextBox::inputMethodEvent(QInputMethodEvent* event)
{
    // Characters composed by an input method are typed characters too.
    const QString committed = event->commitString();
    if (committed.isEmpty()) {
        QLineEdit::inputMethodEvent(event);
        return;
    }
    QInputMethodEvent rest(event->preeditString(), event->attributes());
    rest.setCommitString(QString(), event->replacementStart(), event->replacementLength());
    QLineEdit::inputMethodEvent(&rest);
    for (const QChar c : committed) {
        const int code = cp1253::code(c);
        if (code > 0)
            typeCode(keys::routeAscii(this, code, *this));
    }
}

void TextBox::typeCode(int keyAscii)
{
    switch (keyAscii) {
    case 0:
        return;
    case ascii::CtrlC:
        copy();
        return;
    case ascii::CtrlX:
        if (!isReadOnly())
            cut();
        return;
    case ascii::CtrlV:
        if (!isReadOnly())
            paste();
        return;
    case ascii::Back:
        if (!isReadOnly())
            backspace();
        return;
    default:
        break;
    }
    if (keyAscii < 32 || keyAscii == 127 || keyAscii > 255 || isReadOnly())
        return;
    const QChar c = cp1253::character(static_cast<unsigned char>(keyAscii));
    if (c != QChar(0xFFFD))
        insert(QString(c));
}

void TextBox::mouseReleaseEvent(QMouseEvent* event)
{
    QLineEdit::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit Click();
}

void TextBox::mouseDoubleClickEvent(QMouseEvent* event)
{
    QLineEdit::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton)
        emit DblClick();
}

QComboBox* NewEditableComboBox(const QString& name, QWidget* parent)
{
    auto* combo = new QComboBox(parent);
    combo->setObjectName(name);
    combo->setEditable(true);
    combo->setLineEdit(new TextBox(name + QStringLiteral("_text"), combo));
    // What the user typed is what the box holds: the toolkit's completer would finish a
    // typed beginning with the first matching item (a prefix search for "Δ" would become
    // one for "Δάσκαλος"). The list still opens for a choice.
    combo->setCompleter(nullptr);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setMaxVisibleItems(15);
    return combo;
}

} // namespace rt
