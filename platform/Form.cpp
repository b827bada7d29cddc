#include "platform/Form.h"

#include "platform/KeyInput.h"
#include "platform/WindowServices.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QPointer>
#include <QTimer>
#include <QWindow>

#include <map>
#include <utility>

namespace rt {

namespace {

struct Registry {
    std::map<std::type_index, Form*> byType;
    QList<Form*> order;
    Forms::ModalDriver driver;
    // Unloaded forms whose deletion waits for the outermost EventWait to end.
    QList<QPointer<Form>> unloaded;
    int waits = 0;
};

Registry& registry()
{
    static Registry value;
    return value;
}

void forget(Form* form)
{
    Registry& r = registry();
    r.order.removeAll(form);
    for (auto it = r.byType.begin(); it != r.byType.end(); ++it) {
        if (it->second == form) {
            r.byType.erase(it);
            break;
        }
    }
}

void deleteUnloaded()
{
    const QList<QPointer<Form>> forms = std::exchange(registry().unloaded, {});
    for (const QPointer<Form>& form : forms) {
        if (form)
            form->deleteLater();
    }
}

} // namespace

EventWait::EventWait() { ++registry().waits; }

EventWait::~EventWait()
{
    if (--registry().waits == 0)
        deleteUnloaded();
}

bool EventWait::active() { return registry().waits > 0; }

Form::Form(const QString& name, QWidget* parent) : QWidget(parent)
{
    setObjectName(name);
    keys::ensurePreview();
}

Form::~Form() { forget(this); }

void Form::setVisible(bool visible)
{
    if (visible && m_unloading)
        return;
    if (visible && isWindow() && !isVisible() && windowType() == Qt::Dialog &&
        !testAttribute(Qt::WA_Moved)) {
        // A dialog opens centred over the window it was opened from; a form that placed
        // itself keeps its place.
        QWidget* owner = OwnerWindow();
        PlaceOver(*this, owner != this ? owner : nullptr);
    }
    QWidget::setVisible(visible);
}

void Form::closeEvent(QCloseEvent* event)
{
    // The window's own close box: an unload the form may refuse.
    if (m_unloading) {
        event->accept();
        return;
    }
    if (Forms::unload(this))
        event->accept();
    else
        event->ignore();
}

void Form::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    if (!event->spontaneous())
        emit shownEnded();
}

Form* Forms::lookup(std::type_index type)
{
    const auto it = registry().byType.find(type);
    return it == registry().byType.end() ? nullptr : it->second;
}

void Forms::enrol(std::type_index type, Form* form)
{
    registry().byType[type] = form;
    registry().order.append(form);
}

void Forms::load(Form* form)
{
    // Events that Form_Load lets run may unload the form under it.
    EventWait loading;
    form->Form_Load();
}

bool Forms::unload(Form* form)
{
    if (form == nullptr || form->m_unloading || !registry().order.contains(form))
        return true;
    bool cancel = false;
    form->Form_Unload(cancel);
    if (cancel)
        return false;
    form->m_unloading = true;
    forget(form);
    // A key swallowed for this form's next key press is not the next form's.
    SwallowNextKey = 0;
    // An unloaded window's timers were destroyed with it.
    for (QTimer* timer : form->findChildren<QTimer*>())
        timer->stop();
    form->hide();
    emit form->shownEnded();
    if (EventWait::active())
        registry().unloaded.append(form);
    else
        form->deleteLater();
    return true;
}

QList<Form*> Forms::loaded() { return registry().order; }

bool Forms::isLoaded(const QString& name) { return findByName(name) != nullptr; }

Form* Forms::findByName(const QString& name)
{
    for (Form* form : registry().order) {
        if (form->objectName() == name)
            return form;
    }
    return nullptr;
}

void Forms::setModalDriver(ModalDriver driver) { registry().driver = std::move(driver); }

void Forms::showModal(Form& form)
{
    QPointer<Form> guard(&form);
    EventWait modal;
    if (registry().driver) {
        form.show();
        registry().driver(form);
        if (guard && !guard->m_unloading)
            guard->hide();
        return;
    }
    form.setWindowModality(Qt::ApplicationModal);
    // The window it was opened from, which the window manager keeps it above.
    QWidget* owner = OwnerWindow();
    form.show();
    if (owner != nullptr && owner != &form && form.windowHandle() != nullptr)
        form.windowHandle()->setTransientParent(owner->windowHandle());
    QEventLoop loop;
    QObject::connect(&form, &Form::shownEnded, &loop, &QEventLoop::quit);
    QObject::connect(&form, &QObject::destroyed, &loop, &QEventLoop::quit);
    if (guard && form.isVisible())
        loop.exec();
    if (guard)
        guard->setWindowModality(Qt::NonModal);
}

void Forms::discardAll()
{
    QList<QPointer<Form>> forms;
    for (Form* form : registry().order)
        forms.prepend(form); // the last loaded first: docked forms before their host
    for (const QPointer<Form>& form : std::exchange(registry().unloaded, {}))
        forms.append(form);
    registry().order.clear();
    registry().byType.clear();
    for (const QPointer<Form>& form : forms) {
        if (form) {
            form->m_unloading = true;
            delete form.data();
        }
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace rt
