#pragma once

#include "app/ChildFormCollection.h"
#include "app/FormTitle.h"
#include "app/frmMain.h"
#include "app/mdlMainDocking.h"
#include "platform/ListView.h"
#include "platform/Toolbar.h"
#include "tests/support/Fixture.h"

#include <QMap>
#include <QStringList>
#include <QTest>

class PopupMenuControl;

namespace testsupport {

// A toolbar's buttons in order, as "name|text|tooltip".
QStringList toolbarButtons(rt::Toolbar* bar);

// Right-clicks near the bottom of the list's empty space and reports, while the
// window's context menu is up, the states of those items; then closes the menu. Empty
// when the menu did not show.
QMap<QString, bool> contextMenuStates(PopupMenuControl* popup, rt::ListView* list,
                                      const QStringList& names);

// Checks that a window is docked as the main window docks its child windows: the first
// child form, in the docking space, its title bar showing that caption and its toolbar
// in the main window's toolbar place. False once a check has failed (QVERIFY on it).
template <class W> bool verifyDocked(W& w, const QString& caption)
{
    [&] {
        QCOMPARE(mdlMain::ChildForms().Item(1), &w);
        QCOMPARE(w.parentWidget(), mainWindow().picMDISpace());
        QCOMPARE(w.formTitle()->Caption(), caption);
        QCOMPARE(w.Toolbar()->parentWidget(), mainWindow().tlbrPicture());
    }();
    return !QTest::currentTestFailed();
}

} // namespace testsupport
