#pragma once

#include "platform/UserControl.h"

#include <QString>

namespace rt {
class TextBox;
}

// The box for a message's originator: only the characters a sender name may hold, at
// most 16 digits for a number and 11 characters for anything else.
class OriginatorControl : public rt::UserControl {
    Q_OBJECT

public:
    explicit OriginatorControl(QWidget* parent = nullptr);
    OriginatorControl(const QString& name, QWidget* parent);

    QString Text() const;
    void setText(const QString& value);

    // Whether a typed character may go into an originator (Backspace aside).
    static bool isOriginatorCharacter(int keyAscii);

signals:
    // After every change of the text, by the user or by code.
    void Change();

public:
    // The inner box's sizes: the control is a text box to its host's layout.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void txtOrig_KeyPress(int& KeyAscii);
    void txtOrig_Change();
    int GetMaxLength();

    rt::TextBox* txtOrig;
};
