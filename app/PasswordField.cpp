#include "app/PasswordField.h"

#include "platform/KeyInput.h"
#include "platform/TextBox.h"
#include "platform/Twips.h"

#include <QContextMenuEvent>
#include <QFont>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <functional>

namespace {

int buttonCode(Qt::MouseButtons buttons) {
    return ((buttons & Qt::LeftButton) ? 1 : 0) | ((buttons & Qt::RightButton) ? 2 : 0) |
           ((buttons & Qt::MiddleButton) ? 4 : 0);
}

int shiftCode(Qt::KeyboardModifiers modifiers) {
    return ((modifiers & Qt::ShiftModifier) ? rt::shift::Shift : 0) |
           ((modifiers & Qt::ControlModifier) ? rt::shift::Ctrl : 0) |
           ((modifiers & Qt::AltModifier) ? rt::shift::Alt : 0);
}

} // namespace

// The inner box. Only keys may change its text: every other way in (the context menu,
// a drop, the middle-button paste of the selection) would edit the mask instead of the
// real text and turn the password into mask characters.
class PasswordField::MaskBox : public rt::TextBox {
public:
    explicit MaskBox(QWidget* parent) : rt::TextBox(QStringLiteral("txtMask"), parent) {
        setContextMenuPolicy(Qt::NoContextMenu);
        setAcceptDrops(false);
        setDragEnabled(false);
    }

    std::function<void()> afterKey;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        rt::TextBox::keyPressEvent(event);
        // A key that changed nothing (an arrow, Shift, a dropped character) must not
        // leave the real text on the screen.
        if (afterKey)
            afterKey();
    }
    void inputMethodEvent(QInputMethodEvent* event) override {
        rt::TextBox::inputMethodEvent(event);
        if (afterKey)
            afterKey();
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        if (event->button() == Qt::MiddleButton) {
            event->accept();
            return;
        }
        rt::TextBox::mouseReleaseEvent(event);
    }
};

PasswordField::PasswordField(QWidget* parent)
    : rt::UserControl(parent), txtMask(new MaskBox(this)) {
    txtMask->setFont(QFont(QStringLiteral("Tahoma")));
    txtMask->afterKey = [this] { showMask(); };
    txtMask->installEventFilter(this);
    setFocusProxy(txtMask);
    setFocusPolicy(txtMask->focusPolicy());

    connect(txtMask, &rt::TextBox::KeyDown, this, [this](int& KeyCode, int Shift) {
        emit KeyDown(KeyCode, Shift);
        showRealText();
    });
    connect(txtMask, &rt::TextBox::KeyPress, this, [this](int& KeyAscii) {
        emit KeyPress(KeyAscii);
        showRealText();
    });
    connect(txtMask, &rt::TextBox::KeyUp, this,
            [this](int& KeyCode, int Shift) { emit KeyUp(KeyCode, Shift); });
    connect(txtMask, &rt::TextBox::Click, this, &PasswordField::Click);
    connect(txtMask, &rt::TextBox::DblClick, this, &PasswordField::DblClick);
    connect(txtMask, &rt::TextBox::Change, this, &PasswordField::txtMask_Change);
    setSizePolicy(txtMask->sizePolicy());
    resize(txtMask->sizeHint());
}

PasswordField::PasswordField(const QString& name, QWidget* parent) : PasswordField(parent) {
    setObjectName(name);
}

bool PasswordField::Enabled() const {
    return txtMask->isEnabled();
}

void PasswordField::setEnabled(bool value) {
    txtMask->setEnabled(value);
    emit PropertyChanged(QStringLiteral("Enabled"));
}

bool PasswordField::Locked() const {
    return txtMask->Locked();
}

void PasswordField::setLocked(bool value) {
    txtMask->setLocked(value);
    emit PropertyChanged(QStringLiteral("Locked"));
}

QString PasswordField::ToolTipText() const {
    return txtMask->ToolTipText();
}

void PasswordField::setToolTipText(const QString& value) {
    txtMask->setToolTipText(value);
    emit PropertyChanged(QStringLiteral("ToolTipText"));
}

void PasswordField::setText(const QString& value) {
    m_text = value;
    m_armed = false;
    txtMask->setText(ReplacePassword());
    m_armed = true;
    emit PropertyChanged(QStringLiteral("Text"));
}

QString PasswordField::ReplacePassword() const {
    const QString mask = QStringLiteral("No no no!");
    const qsizetype n = m_text.size();
    return n <= mask.size() ? mask.left(n) : mask + QString(n - mask.size(), QLatin1Char('_'));
}

void PasswordField::writeBox(const QString& shown) {
    if (txtMask->Text() == shown)
        return;
    m_armed = false;
    const int start = txtMask->SelStart();
    const int length = txtMask->SelLength();
    txtMask->setText(shown);
    txtMask->setSelStart(start);
    txtMask->setSelLength(length);
    m_armed = true;
}

void PasswordField::showRealText() {
    writeBox(m_text);
}

void PasswordField::showMask() {
    writeBox(ReplacePassword());
}

void PasswordField::txtMask_Change() {
    if (!m_armed)
        return;
    m_armed = false;
    const int start = txtMask->SelStart();
    const int length = txtMask->SelLength();
    m_text = txtMask->Text();
    txtMask->setText(ReplacePassword());
    txtMask->setSelStart(start);
    txtMask->setSelLength(length);
    m_armed = true;
    emit Change();
}

void PasswordField::ReadProperties(const rt::PropertyBag& bag) {
    txtMask->setEnabled(bag.ReadProperty(QStringLiteral("Enabled"), true).toBool());
    txtMask->setLocked(bag.ReadProperty(QStringLiteral("Locked"), false).toBool());
    txtMask->setToolTipText(bag.ReadProperty(QStringLiteral("ToolTipText"), QString()).toString());
}

void PasswordField::WriteProperties(rt::PropertyBag& bag) const {
    // The real text is never saved with the form.
    bag.WriteProperty(QStringLiteral("Enabled"), Enabled(), true);
    bag.WriteProperty(QStringLiteral("Locked"), Locked(), false);
    bag.WriteProperty(QStringLiteral("ToolTipText"), ToolTipText(), QString());
}

QSize PasswordField::sizeHint() const {
    return txtMask->sizeHint();
}

QSize PasswordField::minimumSizeHint() const {
    return txtMask->minimumSizeHint();
}

void PasswordField::resizeEvent(QResizeEvent* event) {
    rt::UserControl::resizeEvent(event);
    txtMask->setGeometry(0, 0, width(), height());
}

bool PasswordField::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtMask) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseMove: {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            const QPoint at = mouse->position().toPoint();
            const float x = static_cast<float>(rt::toTwips(at.x()));
            const float y = static_cast<float>(rt::toTwips(at.y()));
            const int shift = shiftCode(mouse->modifiers());
            if (event->type() == QEvent::MouseButtonPress)
                emit MouseDown(buttonCode(mouse->button()), shift, x, y);
            else if (event->type() == QEvent::MouseButtonRelease)
                emit MouseUp(buttonCode(mouse->button()), shift, x, y);
            else
                emit MouseMove(buttonCode(mouse->buttons()), shift, x, y);
            break;
        }
        default:
            break;
        }
    }
    return rt::UserControl::eventFilter(watched, event);
}
