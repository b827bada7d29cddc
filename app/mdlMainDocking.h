#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>
#include <QStringList>
#include <initializer_list>

class ChildFormCollection;
class FormTitle;
class QWidget;

namespace rt {
class Form;
class ImageList;
class Toolbar;
} // namespace rt

// How a child window lives in the main window's docking space: it registers and docks
// itself on load, puts its toolbar into the main toolbar strip and its panels on the
// main status bar, and takes all of that back on unload.
namespace mdlMain {

// The docked windows; it holds no window or one, whose Item(1) is the docked window
// that the main window's commands and the dialogs call back.
ChildFormCollection& ChildForms();

// Registers the window under its Name (a name already there raises 457), makes it a
// borderless child of the docking space at the docked window's place and enables its
// context-sensitive menu items.
void AttachChildForm(rt::Form& form);
// Takes the window out of ChildForms and disables every context-sensitive item.
void DetachChildForm(rt::Form& form);
// Moves a child window's toolbar into the main toolbar strip, right of MainToolBar.
void DockFormToolbar(QWidget& toolbar);
// A toolbar in the strip reaches to 2 px short of the strip's right end; the main window
// fits it again whenever the strip is resized, so that widening the window brings back
// the buttons a narrow window cut off.
void FitDockedToolbar(QWidget& toolbar);
// Makes child a child of newParent; a docked window takes its toolbar back this way.
void ReparentWindow(QWidget* newParent, QWidget* child);

// The design size of a docked window and the height of its title bar, in twips.
constexpr int DockedWidth = 10800;
constexpr int DockedHeight = 7800;
constexpr int FormTitleHeight = 375;
// The start of a docked window's constructor: its caption, its design size (in twips)
// and its own ground painted over the docking space.
void SetUpDockedWindow(rt::Form& form, const QString& caption, int width = DockedWidth,
                       int height = DockedHeight);
// The window's title bar ("FormTitle") across its top, FormTitleHeight high.
FormTitle* AddFormTitle(rt::Form& form);

// The load steps every docked window starts with: AttachChildForm, the window's title
// shown in its title bar, its toolbar docked.
void DockChildForm(rt::Form& form, FormTitle& title, QWidget& toolbar);
// The unload of a docked window: its toolbar back, its status panels off the main
// status bar, out of the docked windows. Each step on its own, so that a missing piece
// of the main window cannot keep the window docked.
void UndockChildForm(rt::Form& form, QWidget& toolbar, const QStringList& panelKeys = {});

// One button of a docked window's toolbar.
struct ToolbarButton {
    const char* key;
    const char* caption;
    const char* toolTip;
};
// Adds the buttons in their order, each with picture(key) kept in images (25 by 25)
// under the button's key, and sizes the toolbar to them.
void AddToolbarButtons(rt::Toolbar& toolbar, rt::ImageList& images,
                       QPixmap (*picture)(const QString& key),
                       std::initializer_list<ToolbarButton> buttons);

// Inserts a panel just before the two fixed panels, its text " " & text, at least
// 17 px wide and sized to its contents. A key already on the bar raises 35602.
void AddStatusPanel(const QString& key, const QString& text, const QIcon& picture = QIcon(),
                    const QString& toolTip = QString());
// Text always (" " & text); the tooltip only when not empty; the picture only when
// given. A key that no panel has raises 35601, as do the two below.
void SetStatusPanel(const QString& key, const QString& text, const QIcon& picture = QIcon(),
                    const QString& toolTip = QString());
void RemoveStatusPanel(const QString& key);
// The credits panel: "Άγνωστο" while AvailableSMS is negative, else the count & " SMS".
void ShowCredits();

} // namespace mdlMain
