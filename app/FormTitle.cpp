#include "app/FormTitle.h"

#include "platform/AxButton.h"
#include "platform/Form.h"
#include "platform/PropertyBag.h"
#include "platform/Twips.h"

#include <QFont>
#include <QLabel>

namespace {
const QString defaultCaption = QStringLiteral("Form Title");
} // namespace

FormTitle::FormTitle(QWidget* parent)
    : rt::UserControl(parent), m_title(new QLabel(defaultCaption, this)),
      m_close(new rt::AxButton(QStringLiteral("cmdClose"), this))
{
    m_title->setObjectName(QStringLiteral("frmTitle"));
    QFont font(QStringLiteral("Tahoma"));
    font.setBold(true);
    m_title->setFont(font);
    m_title->adjustSize();
    m_close->setCaption(QStringLiteral("X"));
    m_close->setToolTipText(QStringLiteral("Κλείσιμο"));
    m_close->resize(rt::toPixels(330), rt::toPixels(300));
    connect(m_close, &rt::AxButton::Click, this, &FormTitle::cmdClose_Click);
    resize(rt::toPixels(4800), rt::toPixels(375));
    UserControl_Resize();
}

FormTitle::FormTitle(const QString& name, QWidget* parent) : FormTitle(parent)
{
    setObjectName(name);
}

QString FormTitle::Caption() const
{
    return m_title->text();
}

void FormTitle::setCaption(const QString& value)
{
    m_title->setText(value);
    m_title->adjustSize();
    placeTitle();
    emit PropertyChanged(QStringLiteral("Caption"));
}

void FormTitle::ReadProperties(const rt::PropertyBag& bag)
{
    m_title->setText(bag.ReadProperty(QStringLiteral("Caption"), defaultCaption).toString());
    m_title->adjustSize();
    placeTitle();
}

void FormTitle::WriteProperties(rt::PropertyBag& bag) const
{
    bag.WriteProperty(QStringLiteral("Caption"), Caption(), defaultCaption);
}

rt::Form* FormTitle::host() const
{
    for (QWidget* w = parentWidget(); w; w = w->parentWidget()) {
        if (auto* form = qobject_cast<rt::Form*>(w))
            return form;
    }
    return nullptr;
}

void FormTitle::cmdClose_Click()
{
    if (rt::Form* form = host())
        rt::Forms::unload(form);
}

void FormTitle::resizeEvent(QResizeEvent* event)
{
    rt::UserControl::resizeEvent(event);
    UserControl_Resize();
}

void FormTitle::placeTitle()
{
    m_title->move(rt::toPixels(60), height() / 2 - m_title->height() / 2);
}

void FormTitle::UserControl_Resize()
{
    placeTitle();
    m_close->move(width() - (m_close->width() + rt::toPixels(60)),
                  height() / 2 - m_close->height() / 2);
}
