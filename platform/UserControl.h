#pragma once

#include "platform/PropertyBag.h"

#include <QWidget>

namespace rt {

// A control of the program built from other controls. The host hands it its saved
// properties when it loads (ReadProperties) and collects them when its design is saved
// (WriteProperties); every property write announces itself through PropertyChanged so
// that the host knows its design has changed.
class UserControl : public QWidget {
    Q_OBJECT

public:
    explicit UserControl(QWidget* parent = nullptr) : QWidget(parent) {}

    virtual void ReadProperties(const PropertyBag& bag) { Q_UNUSED(bag); }
    virtual void WriteProperties(PropertyBag& bag) const { Q_UNUSED(bag); }

signals:
    void PropertyChanged(const QString& name);
};

} // namespace rt
