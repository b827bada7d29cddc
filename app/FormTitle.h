#pragma once

#include "platform/UserControl.h"

#include <QString>

class QLabel;

namespace rt {
class AxButton;
class Form;
} // namespace rt

// The title bar of a docked window, which has no caption bar of its own once it lives
// in the main window: its caption at the left and a close button at the right that
// unloads the host window (the host may refuse and stay docked).
class FormTitle : public rt::UserControl {
    Q_OBJECT

public:
    explicit FormTitle(QWidget* parent = nullptr);
    FormTitle(const QString& name, QWidget* parent);

    QString Caption() const;
    void setCaption(const QString& value);

    void ReadProperties(const rt::PropertyBag& bag) override;
    void WriteProperties(rt::PropertyBag& bag) const override;

    QLabel* frmTitle() const { return m_title; }
    rt::AxButton* cmdClose() const { return m_close; }

    // The window that hosts the control: the nearest form around it.
    rt::Form* host() const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void cmdClose_Click();
    void UserControl_Resize();
    void placeTitle();

    QLabel* m_title;
    rt::AxButton* m_close;
};
