// A docked window draws its pictures afresh each time it opens; whatever was made of them
// for showing (the list's icons, its tool bar's buttons at their size, greyed) must go
// with the window, or every opening leaves its own set behind for the rest of the run.
#include "app/frmMain.h"
#include "platform/Form.h"
#include "platform/ImageList.h"
#include "platform/Toolbar.h"
#include "tests/support/Fixture.h"

#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QPixmap>
#include <QPointer>
#include <QTest>
#include <QToolButton>

using testsupport::exec;
using testsupport::mainWindow;

class tst_DockedPictures : public QObject {
    Q_OBJECT

    testsupport::Fixture m_fx;

private slots:
    void init()
    {
        QVERIFY2(m_fx.start({.controlLibrary = true}), qPrintable(m_fx.error()));
        testsupport::addGroup(1, QStringLiteral("Πελάτες"), 0);
        testsupport::addMember(1, QStringLiteral("Παπαδόπουλος"), QStringLiteral("Νίκος"),
                               QStringLiteral("Γιατρός"), QStringLiteral("6944111111"),
                               QStringLiteral("\\1\\"));
        exec(QStringLiteral("INSERT INTO outbox_messages (msg_title, msg_text, msg_flash, "
                            "msg_phonelist, msg_date, msg_time, msg_error) "
                            "VALUES ('Α', 'κείμενο', 0, '6944111111', '2024-03-01', '10:00', -1)"));
        exec(QStringLiteral("INSERT INTO sended_messages (msg_title, msg_text, msg_flash, "
                            "msg_phonelist, msg_date, msg_time, msg_schdate, msg_schtime) "
                            "VALUES ('Β', 'κείμενο', 0, '6944111111', '2024-03-01', '10:00', "
                            "'2024-03-02', '11:00')"));
        exec(QStringLiteral("INSERT INTO saved_messages (msg_title, msg_text, msg_datecreated, "
                            "msg_timecreated) VALUES ('Γ', 'κείμενο', '2024-03-01', '10:00')"));
        mainWindow().resize(1100, 760);
        mainWindow().show();
    }
    void cleanup() { m_fx.stop(); }

    void picturesGoWithTheWindow_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("window");
        QTest::newRow("member list") << "mnMemberList"
                                     << "frmMember_List";
        QTest::newRow("sent list") << "mnSendBox"
                                   << "frmMessage_Sended";
        QTest::newRow("out-box") << "mnOutBox"
                                 << "frmMessage_OutBox";
        QTest::newRow("saved list") << "mnSavedBox"
                                    << "frmMessage_Saved";
        QTest::newRow("organiser") << "mnGroupOrganize"
                                   << "frmGroup_Organize";
        QTest::newRow("message window") << "mnNewMessage"
                                        << "frmMessage_Edit";
    }

    void picturesGoWithTheWindow()
    {
        QFETCH(QString, command);
        QFETCH(QString, window);
        mainWindow().MenuItem(command)->trigger();
        QPointer<rt::Form> form = rt::Forms::findByName(window);
        QVERIFY(form);
        // Shown and painted as the user sees it.
        QCoreApplication::processEvents();
        mainWindow().grab().save(testsupport::picturePath(window + QStringLiteral("-docked.png")));

        // What the window's pictures are shown as: each of its image lists at its size,
        // normal and greyed, and the buttons of its tool bar (in the main window's strip
        // while it is docked) as they are drawn.
        QList<QPixmap> shown;
        const QList<rt::ImageList*> lists = form->findChildren<rt::ImageList*>();
        QVERIFY(!lists.isEmpty());
        for (const rt::ImageList* images : lists) {
            for (int i = 1; i <= images->Count(); ++i) {
                shown << images->Icon(i).pixmap(images->ImageSize())
                      << images->Icon(i).pixmap(images->ImageSize(), QIcon::Disabled);
            }
        }
        auto* toolbar = mainWindow().tlbrPicture()->findChild<rt::Toolbar*>(
            QStringLiteral("Toolbar"), Qt::FindDirectChildrenOnly);
        QVERIFY(toolbar);
        for (const QToolButton* button : toolbar->Buttons()) {
            shown << button->icon().pixmap(button->iconSize())
                  << button->icon().pixmap(button->iconSize(), QIcon::Disabled);
        }
        int pictures = 0;
        for (const QPixmap& picture : std::as_const(shown))
            pictures += picture.isNull() ? 0 : 1;
        QVERIFY(pictures > 0);

        QVERIFY(rt::Forms::unload(form));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!form);
        for (int i = 0; i < shown.size(); ++i)
            QVERIFY2(shown.at(i).isNull() || shown.at(i).isDetached(),
                     qPrintable(QStringLiteral("picture %1 is still kept").arg(i)));
    }
};

QTEST_MAIN(tst_DockedPictures)
#include "tst_dockedpictures.moc"
