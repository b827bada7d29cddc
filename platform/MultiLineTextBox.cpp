#include "platform/MultiLineTextBox.h"

#include "platform/Cp1253.h"

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QTextCursor>
#include <limits>

namespace rt {

namespace {

QString plain(QString text)
{
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return text;
}

} // namespace

MultiLineTextBox::MultiLineTextBox(QWidget* parent) : QPlainTextEdit(parent)
{
    setTabChangesFocus(true);
    keys::routeOwnKeys(this);
    // The document reports format changes as text changes too: only real ones count.
    connect(this, &QPlainTextEdit::textChanged, this, &MultiLineTextBox::textMayHaveChanged);
}

MultiLineTextBox::MultiLineTextBox(const QString& name, QWidget* parent) : MultiLineTextBox(parent)
{
    setObjectName(name);
    // A box shows no caption of its own: the accessibility bus knows it by its name.
    setAccessibleName(name);
}

void MultiLineTextBox::textMayHaveChanged()
{
    QString now = toPlainText();
    if (now == m_lastText)
        return;
    m_lastText = std::move(now);
    emit Change();
}

void MultiLineTextBox::setText(const QString& value)
{
    QString text = cp1253::keepEncodable(value);
    if (m_maxLength > 0)
        text.truncate(m_maxLength);
    setPlainText(text);
    // As in the single-line box: the caret after the new text.
    moveCursor(QTextCursor::End);
}

void MultiLineTextBox::setMaxLength(int value)
{
    m_maxLength = qMax(0, value);
}

void MultiLineTextBox::setLocked(bool value)
{
    m_locked = value;
    // Locked text can still be selected and copied, by mouse and keyboard.
    setTextInteractionFlags(value ? Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard
                                  : Qt::TextEditorInteraction);
}

int MultiLineTextBox::SelStart() const
{
    return textCursor().selectionStart();
}

void MultiLineTextBox::setSelStart(int value)
{
    QTextCursor cursor = textCursor();
    cursor.setPosition(qBound(0, value, int(toPlainText().size())));
    setTextCursor(cursor);
}

int MultiLineTextBox::SelLength() const
{
    const QTextCursor cursor = textCursor();
    return cursor.selectionEnd() - cursor.selectionStart();
}

void MultiLineTextBox::setSelLength(int value)
{
    const int start = SelStart();
    const int length = qBound(0, value, int(toPlainText().size()) - start);
    QTextCursor cursor = textCursor();
    cursor.setPosition(start);
    cursor.setPosition(start + length, QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

QString MultiLineTextBox::SelText() const
{
    return plain(textCursor().selectedText());
}

void MultiLineTextBox::setSelText(const QString& value)
{
    insertFitting(cp1253::keepEncodable(value));
}

int MultiLineTextBox::room() const
{
    if (m_maxLength == 0)
        return std::numeric_limits<int>::max();
    return qMax(0, m_maxLength - (int(toPlainText().size()) - SelLength()));
}

void MultiLineTextBox::insertFitting(const QString& text)
{
    QTextCursor cursor = textCursor();
    cursor.insertText(text.left(room()));
    setTextCursor(cursor);
    ensureCursorVisible();
}

void MultiLineTextBox::typeText(const QString& text)
{
    if (m_locked || text.size() > room())
        return;
    insertFitting(text);
}

void MultiLineTextBox::insertFromMimeData(const QMimeData* source)
{
    if (m_locked || source == nullptr || !source->hasText())
        return;
    insertFitting(cp1253::keepEncodable(source->text()));
}

void MultiLineTextBox::keyPressEvent(QKeyEvent* event)
{
    const keys::Press press = keys::routePress(this, *event, *this);
    if (press.stopped) {
        event->accept();
        return;
    }
    if (press.typesNothing()) {
        QPlainTextEdit::keyPressEvent(event);
        return;
    }
    // Control codes that arrive as they came keep the box's own handling (clipboard,
    // undo, Backspace); characters are typed here so that the maximum length holds.
    if (!press.changed() && press.final.size() == 1) {
        const int a = press.final.first();
        if (a < 32 && a != ascii::Return && a != ascii::Tab) {
            if (!m_locked || a == ascii::CtrlC || a == 1)
                QPlainTextEdit::keyPressEvent(event);
            else
                event->accept();
            return;
        }
    }
    event->accept();
    for (int a : press.final)
        typeCode(a);
}

void MultiLineTextBox::keyReleaseEvent(QKeyEvent* event)
{
    keys::routeRelease(this, *event, *this);
    QPlainTextEdit::keyReleaseEvent(event);
}

void MultiLineTextBox::inputMethodEvent(QInputMethodEvent* event)
{
    const QString committed = event->commitString();
    if (committed.isEmpty()) {
        QPlainTextEdit::inputMethodEvent(event);
        return;
    }
    QInputMethodEvent rest(event->preeditString(), event->attributes());
    rest.setCommitString(QString(), event->replacementStart(), event->replacementLength());
    QPlainTextEdit::inputMethodEvent(&rest);
    for (const QChar c : committed) {
        const int code = cp1253::code(c);
        if (code > 0)
            typeCode(keys::routeAscii(this, code, *this));
    }
}

void MultiLineTextBox::typeCode(int keyAscii)
{
    switch (keyAscii) {
    case 0:
        return;
    case ascii::CtrlC:
        copy();
        return;
    case ascii::CtrlX:
        if (!m_locked)
            cut();
        return;
    case ascii::CtrlV:
        if (!m_locked)
            paste();
        return;
    case ascii::Back:
        if (!m_locked) {
            QTextCursor cursor = textCursor();
            if (cursor.hasSelection())
                cursor.removeSelectedText();
            else
                cursor.deletePreviousChar();
            setTextCursor(cursor);
        }
        return;
    case ascii::Return:
        typeText(QStringLiteral("\n"));
        return;
    case ascii::Tab:
        typeText(QStringLiteral("\t"));
        return;
    default:
        break;
    }
    if (keyAscii < 32 || keyAscii == 127 || keyAscii > 255)
        return;
    const QChar c = cp1253::character(static_cast<unsigned char>(keyAscii));
    if (c != QChar(0xFFFD))
        typeText(QString(c));
}

void MultiLineTextBox::mouseReleaseEvent(QMouseEvent* event)
{
    QPlainTextEdit::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton &&
        viewport()->rect().contains(event->position().toPoint()))
        emit Click();
}

void MultiLineTextBox::mouseDoubleClickEvent(QMouseEvent* event)
{
    QPlainTextEdit::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton)
        emit DblClick();
}

} // namespace rt
