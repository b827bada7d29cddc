#pragma once

#include "platform/UserControl.h"

class QScrollBar;

namespace rt {
class StatusBar;
class Toolbar;
} // namespace rt

// The palette of the message alphabet: one button per symbol, in rows under a caption
// strip, scrolled by a bar on the right when the rows do not fit. A click reports the
// symbol's Windows-1253 code; the palette itself inserts nothing.
class CharacterMap : public rt::UserControl {
    Q_OBJECT

public:
    explicit CharacterMap(QWidget* parent = nullptr);
    CharacterMap(const QString& name, QWidget* parent);

    // The captions of the symbol buttons in order, for the palette's own use.
    static QStringList symbolCaptions();

signals:
    void SymbolClick(int Symbol);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void ChMap_ButtonClick(const QString& key);
    void VScroll_Change(int value);
    void layoutControls();

    rt::StatusBar* pnlTitle;
    rt::Toolbar* ChMap;
    QScrollBar* VScroll;
};
