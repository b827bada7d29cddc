#include "app/mdlMainDocking.h"

#include "app/ChildFormCollection.h"
#include "app/FormTitle.h"
#include "app/frmMain.h"
#include "app/mdlSettings.h"
#include "platform/Err.h"
#include "platform/Form.h"
#include "platform/ImageList.h"
#include "platform/PaintPacing.h"
#include "platform/StatusBar.h"
#include "platform/Toolbar.h"
#include "platform/Twips.h"
#include "platform/WindowServices.h"

#include <QEvent>
#include <QToolButton>
#include <algorithm>

namespace mdlMain {

namespace {

rt::StatusPanel& panel(const QString& key)
{
    rt::StatusPanel* found = rt::Forms::get<frmMain>().StatusBar()->Panel(key);
    if (!found)
        rt::Raise(35601, QStringLiteral("Element not found"));
    return *found;
}

// The first control of the window in tab order that can take the keyboard, leaving out
// the title bar, whose close button is no place to start typing.
QWidget* firstControl(QWidget& form)
{
    const QList<FormTitle*> titles = form.findChildren<FormTitle*>();
    const auto inTitleBar = [&titles](const QWidget* w) {
        return std::any_of(titles.begin(), titles.end(), [w](const FormTitle* title) {
            return title == w || title->isAncestorOf(w);
        });
    };
    for (QWidget* w = form.nextInFocusChain(); w && w != &form; w = w->nextInFocusChain()) {
        if (form.isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus) && w->isEnabled() &&
            w->isVisibleTo(&form) && !inTitleBar(w))
            return w;
    }
    return nullptr;
}

// A docked window is a child of the main window, so showing it gives it no focus of its
// own; it takes the keyboard at its first control when it is first shown, as a shown
// form does.
class FocusOnFirstShow : public QObject {
public:
    explicit FocusOnFirstShow(rt::Form& form) : QObject(&form) { form.installEventFilter(this); }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != parent() || event->type() != QEvent::Show)
            return false;
        auto& form = static_cast<rt::Form&>(*watched);
        form.removeEventFilter(this);
        if (QWidget* first = firstControl(form))
            first->setFocus(Qt::OtherFocusReason);
        deleteLater();
        return false;
    }
};

} // namespace

ChildFormCollection& ChildForms()
{
    static ChildFormCollection forms;
    return forms;
}

void AttachChildForm(rt::Form& form)
{
    ChildForms().Add(form, form.Name());
    frmMain& main = rt::Forms::get<frmMain>();
    // A docked window is painted as part of the main window; the send batch changes its
    // list and its panel for every message, which must not mean a paint for every one.
    rt::PaintPacing::install(main);
    rt::SetParent(form, main.picMDISpace());
    main.placeDockedWindow(form);
    main.ActivateFormMenus(form.Name());
    new FocusOnFirstShow(form);
}

void DetachChildForm(rt::Form& form)
{
    ChildForms().Remove(form.Name());
    rt::Forms::get<frmMain>().DisableAllMenus();
}

void DockFormToolbar(QWidget& toolbar)
{
    frmMain& main = rt::Forms::get<frmMain>();
    rt::Toolbar* own = main.MainToolBar();
    const QList<QToolButton*> buttons = own->Buttons();
    const int lastRight = buttons.isEmpty() ? 0 : buttons.last()->x() + buttons.last()->width();
    const int x = lastRight + own->x();
    QWidget* strip = main.tlbrPicture();
    rt::SetParent(toolbar, strip);
    toolbar.move(x, own->y());
    FitDockedToolbar(toolbar);
    toolbar.show();
}

void FitDockedToolbar(QWidget& toolbar)
{
    const QWidget* strip = toolbar.parentWidget();
    if (!strip)
        return;
    const int width = strip->width() - toolbar.x() - 2;
    if (width >= 0)
        toolbar.resize(width, toolbar.height());
}

void ReparentWindow(QWidget* newParent, QWidget* child)
{
    if (child)
        rt::SetParent(*child, newParent);
}

void AddStatusPanel(const QString& key, const QString& text, const QIcon& picture,
                    const QString& toolTip)
{
    rt::StatusBar* bar = rt::Forms::get<frmMain>().StatusBar();
    rt::StatusPanel* added = bar->Add(bar->Count() - 1, key, QStringLiteral(" ") + text);
    if (!added)
        rt::Raise(35602, QStringLiteral("Key is not unique in collection"));
    added->setMinWidth(17);
    added->setAutoSize(rt::StatusPanel::Contents);
    added->setToolTipText(toolTip);
    if (!picture.isNull())
        added->setPicture(picture);
}

void SetStatusPanel(const QString& key, const QString& text, const QIcon& picture,
                    const QString& toolTip)
{
    rt::StatusPanel& target = panel(key);
    target.setText(QStringLiteral(" ") + text);
    if (!toolTip.isEmpty())
        target.setToolTipText(toolTip);
    if (!picture.isNull())
        target.setPicture(picture);
}

void RemoveStatusPanel(const QString& key)
{
    panel(key);
    rt::Forms::get<frmMain>().StatusBar()->Remove(key);
}

void ShowCredits()
{
    panel(QStringLiteral("pnlSMSAvailable"))
        .setText(mdlSettings::AvailableSMS < 0
                     ? QStringLiteral("Άγνωστο")
                     : QString::number(mdlSettings::AvailableSMS) + QStringLiteral(" SMS"));
}

void SetUpDockedWindow(rt::Form& form, const QString& caption, int width, int height)
{
    form.setWindowTitle(caption);
    form.resize(rt::toPixels(width), rt::toPixels(height));
    form.setAutoFillBackground(true);
}

FormTitle* AddFormTitle(rt::Form& form)
{
    auto* title = new FormTitle(QStringLiteral("FormTitle"), &form);
    title->setGeometry(0, 0, form.width(), rt::toPixels(FormTitleHeight));
    return title;
}

void DockChildForm(rt::Form& form, FormTitle& title, QWidget& toolbar)
{
    AttachChildForm(form);
    title.setCaption(form.windowTitle());
    DockFormToolbar(toolbar);
}

void UndockChildForm(rt::Form& form, QWidget& toolbar, const QStringList& panelKeys)
{
    ReparentWindow(&form, &toolbar);
    for (const QString& key : panelKeys) {
        try {
            RemoveStatusPanel(key);
        } catch (const rt::RuntimeError&) {
        }
    }
    try {
        DetachChildForm(form);
    } catch (const rt::RuntimeError&) {
    }
}

void AddToolbarButtons(rt::Toolbar& toolbar, rt::ImageList& images,
                       QPixmap (*picture)(const QString& key),
                       std::initializer_list<ToolbarButton> buttons)
{
    images.setImageSize(QSize(25, 25));
    for (const ToolbarButton& b : buttons) {
        const QString key = QString::fromUtf8(b.key);
        const int index = images.Add(picture(key), key);
        toolbar.AddButton(key, QString::fromUtf8(b.caption), images.Icon(index),
                          QString::fromUtf8(b.toolTip));
    }
    toolbar.resize(toolbar.sizeHint());
}

} // namespace mdlMain
