#include "app/ChildFormCollection.h"
#include "app/PasswordField.h"
#include "app/frmDisclaimer.h"
#include "app/frmGetUserData.h"
#include "app/frmMain.h"
#include "app/mdlDataBase.h"
#include "app/mdlDialogs.h"
#include "app/mdlMainDocking.h"
#include "app/mdlSettings.h"
#include "platform/App.h"
#include "platform/ControlPointer.h"
#include "platform/Err.h"
#include "platform/Shell.h"
#include "platform/StatusBar.h"
#include "platform/TextFile.h"
#include "platform/Toolbar.h"
#include "platform/Twips.h"
#include "tests/support/Fixture.h"
#include "tests/support/Seams.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <memory>

using testsupport::mainWindow;
using testsupport::ScriptedMessageBoxes;

namespace {

// A window that docks as the real child windows do: attach first, its toolbar into the
// strip, its panels before the fixed ones; on unload everything back, unless it refuses.
class DockedWindow : public rt::Form {
public:
    DockedWindow(const QString& name, const QStringList& panels)
        : rt::Form(name), toolbar(new rt::Toolbar(QStringLiteral("tlbrOwn"), this)),
          m_panels(panels)
    {
        toolbar->AddButton(QStringLiteral("btnOwn"), QStringLiteral("Δικό μου"));
        toolbar->resize(toolbar->sizeHint());
    }
    rt::Toolbar* toolbar;
    bool refuse = false;
    bool fail = false;
    int unloadAsked = 0;

protected:
    void Form_Load() override
    {
        mdlMain::AttachChildForm(*this);
        mdlMain::DockFormToolbar(*toolbar);
        for (const QString& key : m_panels)
            mdlMain::AddStatusPanel(key, key);
    }
    void Form_Unload(bool& cancel) override
    {
        ++unloadAsked;
        if (fail)
            rt::Raise(5, QStringLiteral("Invalid procedure call or argument"));
        if (refuse) {
            cancel = true;
            return;
        }
        mdlMain::ReparentWindow(this, toolbar);
        for (const QString& key : m_panels)
            mdlMain::RemoveStatusPanel(key);
        mdlMain::DetachChildForm(*this);
    }

private:
    QStringList m_panels;
};

#define DOCKED(Name, ...)                                                                          \
    class Name : public DockedWindow {                                                             \
    public:                                                                                        \
        Name() : DockedWindow(QStringLiteral(#Name), QStringList{__VA_ARGS__}) {}                  \
    };

DOCKED(frmMember_List, QStringLiteral("frmMember_List"))
DOCKED(frmGroup_Organize)
DOCKED(frmMessage_Edit, QStringLiteral("pnlCharCount"), QStringLiteral("pnlSMSCount"),
       QStringLiteral("pnlSMSDate"))
DOCKED(frmMessage_OutBox, QStringLiteral("frmMessage_OutBox"))
DOCKED(frmMessage_Saved, QStringLiteral("frmMessage_Saved"))
DOCKED(frmMessage_Sended, QStringLiteral("frmMessage_Sended"))

class frmSendMessages : public rt::Form {
public:
    frmSendMessages() : rt::Form(QStringLiteral("frmSendMessages")) {}
};

class frmSplash : public rt::Form {
public:
    frmSplash() : rt::Form(QStringLiteral("frmSplash")) {}
};

// Stand-ins for the modeless windows that may stay open beside the main window.
#define MODELESS(Class, Name)                                                                      \
    class Class : public rt::Form {                                                                \
    public:                                                                                        \
        Class() : rt::Form(QStringLiteral(Name)) {}                                                \
    };
MODELESS(FindWindow, "frmMember_Find")
MODELESS(RewriteWindow, "frmMobileFilter")
MODELESS(HistoryWindow, "frmError_Log")

DockedWindow& dock(const QString& name)
{
    DockedWindow* form = nullptr;
    if (name == QLatin1String("frmMember_List"))
        form = &rt::Forms::get<frmMember_List>();
    else if (name == QLatin1String("frmGroup_Organize"))
        form = &rt::Forms::get<frmGroup_Organize>();
    else if (name == QLatin1String("frmMessage_Edit"))
        form = &rt::Forms::get<frmMessage_Edit>();
    else if (name == QLatin1String("frmMessage_OutBox"))
        form = &rt::Forms::get<frmMessage_OutBox>();
    else if (name == QLatin1String("frmMessage_Saved"))
        form = &rt::Forms::get<frmMessage_Saved>();
    else
        form = &rt::Forms::get<frmMessage_Sended>();
    form->show();
    return *form;
}

QStringList enabledContextItems()
{
    QStringList names;
    for (const QString& name : mainWindow().MenuItemNames()) {
        if (name.startsWith(QLatin1String("mn_")) && mainWindow().MenuItem(name)->isEnabled())
            names << name;
    }
    return names;
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A rectangle given in twips, in pixels as the main window places it.
QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(rt::toPixels(left), rt::toPixels(top), rt::toPixels(width), rt::toPixels(height));
}

QWidget* panelMenuButton(const QString& key)
{
    for (QWidget* w : mainWindow().VMenu()->findChildren<QWidget*>()) {
        if (w->objectName().startsWith(QLatin1String("Button_")) &&
            w->property("Tag").toString() == key)
            return w;
    }
    return nullptr;
}

} // namespace

class tst_frmmain : public QObject {
    Q_OBJECT

    testsupport::Fixture m_fx;
    QList<rt::ShellLaunch> m_launches;

    void addSaved(const QVariant& title, const QString& date, const QString& time)
    {
        const rt::DbResult done = mdlDataBase::MainDatabase().execute(
            {QStringLiteral("INSERT INTO saved_messages (msg_title, msg_text, msg_datecreated, "
                            "msg_timecreated) VALUES (?, 'κείμενο', ?, ?)"),
             {title, date, time}});
        QVERIFY2(done.ok, qPrintable(done.description));
    }

private slots:
    void init()
    {
        QVERIFY2(m_fx.start({.controlLibrary = true}), qPrintable(m_fx.error()));
        mdlSettings::LogoImage.clear();
        mdlSettings::LogoURL.clear();
        mdlSettings::LogoToolTip.clear();
        mdlSettings::ShowDisclaimer = 1;
        mdlSettings::MainWindowState = 0;
        mdlSettings::AvailableSMS = 0;
        m_launches.clear();
        rt::setShellHandler([this](const rt::ShellLaunch& launch) {
            m_launches.append(launch);
            return true;
        });
    }
    void cleanup()
    {
        rt::Forms::discardAll();
        rt::setShellHandler({});
        m_fx.stop();
    }

    // ---- load ---------------------------------------------------------------------

    void loadLeavesEveryContextItemDisabled()
    {
        frmMain& main = mainWindow();
        QCOMPARE(main.windowTitle(), QStringLiteral("Vantrel"));
        QVERIFY(enabledContextItems().isEmpty());
        for (const QString& name : main.MenuItemNames()) {
            if (!name.startsWith(QLatin1String("mn_")))
                QVERIFY2(main.MenuItem(name)->isEnabled(), qPrintable(name));
        }
        QCOMPARE(main.StatusBar()->Keys(),
                 (QStringList{QStringLiteral("pnlSMSAvailable"), QStringLiteral("pnlConnection")}));
        QCOMPARE(main.StatusBar()->Panel(1)->Text(), QString());
        QCOMPARE(main.StatusBar()->Panel(2)->ToolTipText(), QStringLiteral("Σύνδεση Ανενεργή"));
        QVERIFY(mdlMain::ChildForms().Count() == 0);
        QVERIFY(m_fx.boxes().shown().isEmpty());
    }

    void panelMenuIsFilledInTableOrder()
    {
        QWidget* menu = mainWindow().VMenu();
        QCOMPARE(QByteArray(menu->metaObject()->className()), QByteArray("Tirnavex"));
        QStringList seen;
        for (int p = 0; p < 3; ++p) {
            QWidget* panel = menu->findChild<QWidget*>(QStringLiteral("VertPanel_%1").arg(p));
            QVERIFY(panel);
            QWidget* caption = panel->findChild<QWidget*>(QStringLiteral("btnCommand"));
            seen << caption->property("Tag").toString() + QLatin1Char('=') +
                        caption->property("Caption").toString();
            for (int b = 0; b < 8; ++b) {
                QWidget* button = panel->findChild<QWidget*>(QStringLiteral("Button_%1").arg(b));
                if (!button || button->property("Tag").toString().isEmpty())
                    continue;
                QVERIFY(!button->property("Picture").value<QPixmap>().isNull());
                seen << button->property("Tag").toString() + QLatin1Char('=') +
                            button->property("Caption").toString() + QLatin1Char('|') +
                            button->property("ButtonToolTip").toString();
            }
        }
        const QStringList expected = {
            QStringLiteral("mnMembers=Οργάνωση"),
            QStringLiteral("btnMembers=Κατάλογος Μέλων|Διαχείρηση Στοιχείων Μελών"),
            QStringLiteral("btnGroups=Οργάνωση Ομάδων|Οργάνωση Ομάδων"),
            QStringLiteral("mnSMS=Μηνύματα"),
            QStringLiteral("btnOutBox=Εξερχόμενα|Κατάλογος Εξερχόμενων Μηνυμάτων"),
            QStringLiteral("btnSendBox=Απεσταλμένα|Κατάλογος Απεσταλμένων Μηνυμάτων"),
            QStringLiteral("btnSavedMsgs=Αποθηκευμένα|Κατάλογος Αποθηκευμένων Μηνυμάτων"),
            QStringLiteral("mnTools=Εργαλεία"),
            QStringLiteral("btnConfig=Παράμετροι|Παράμετροι Προγράμματος"),
            QStringLiteral("btnErrorLog=Ιστορικό\nΣφαλμάτων|Ιστορικό Σφαλμάτων"),
            QStringLiteral("btnCalculator=Αριθμομηχανή|Αριθμομηχανή"),
            QStringLiteral("btnNotepad=Σημειωματάριο|Σημειωματάριο"),
        };
        QCOMPARE(seen, expected);
    }

    void unregisteredPanelMenuIsReportedAndTheWindowStillLoads()
    {
        QFile::remove(m_fx.library().hivePath());
        frmMain& main = mainWindow();
        QCOMPARE(m_fx.boxes().shown().size(), 1);
        QVERIFY(m_fx.boxes().shown().first().text.startsWith(QStringLiteral("Σφάλμα: 339\n")));
        QCOMPARE(main.VMenu()->objectName(), QStringLiteral("VMenu"));
        QVERIFY(enabledContextItems().isEmpty());
        QVERIFY(main.MenuItem(QStringLiteral("mn_Cut"))->property("Tag").isValid());
    }

    void menuBarCaptionsAndShortcuts_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("shortcut");
        QTest::newRow("exit") << "mnExit"
                              << "Έξοδος"
                              << "Ctrl+Q";
        QTest::newRow("cut") << "mn_Cut"
                             << "Αποκοπή"
                             << "Ctrl+X";
        QTest::newRow("copy") << "mn_Copy"
                              << "Αντιγραφή"
                              << "Ctrl+C";
        QTest::newRow("paste") << "mn_Paste"
                               << "Επικόλληση"
                               << "Ctrl+V";
        QTest::newRow("select all") << "mn_SelectAll"
                                    << "Επιλογή Όλων"
                                    << "Ctrl+A";
        QTest::newRow("new member") << "mn_NewMember"
                                    << "Δημιουργία Μέλους"
                                    << "Ctrl+N";
        QTest::newRow("find") << "mn_FindMembers"
                              << "Αναζήτηση Μελών"
                              << "Ctrl+F";
        QTest::newRow("move") << "mn_CopyToGroup"
                              << "Μεταφορά σε Ομάδα"
                              << "Ctrl+M";
        QTest::newRow("credits") << "mnGetCredits"
                                 << "Υπόλοιπο SMS &Mηνυμάτων (Credits)"
                                 << "Ctrl+F5";
        QTest::newRow("settings") << "mnConfigureConnection"
                                  << "Παράμετροι Προγράμματος"
                                  << "";
        QTest::newRow("about") << "mnAbout"
                               << "Πληροφορίες για το Vantrel"
                               << "";
        QTest::newRow("help") << "mnHelp"
                              << "Βοήθεια"
                              << "";
    }
    void menuBarCaptionsAndShortcuts()
    {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QString, shortcut);
        QAction* item = mainWindow().MenuItem(name);
        QVERIFY(item);
        QCOMPARE(item->text(), caption);
        QCOMPARE(item->shortcut(), QKeySequence(shortcut));
    }

    void menuBarOrder()
    {
        QStringList top;
        for (QAction* action : mainWindow().menuBar()->actions())
            top << action->objectName() + QLatin1Char('=') + action->text();
        QCOMPARE(top, (QStringList{"mnFile=Αρχείο", "mnEdit=Επεξεργασία", "mnTeam=Ομάδες",
                                   "mnTools=Εργαλεία", "mnHelp=Βοήθεια"}));
        QStringList file;
        for (QAction* action : mainWindow().MenuItem("mnFile")->menu()->actions())
            file << (action->isSeparator() ? QStringLiteral("-") : action->objectName());
        QCOMPARE(file,
                 (QStringList{"mnNewMessage", "mnOpenMessage", "mn_DeleteMessage", "mn_SendMessage",
                              "-", "mn_SaveMessage", "mn_SaveMessageAs", "-", "mnOutBox",
                              "mnSendBox", "mnSavedBox", "-", "mnExport", "-", "mnExit"}));
        QStringList team;
        for (QAction* action : mainWindow().MenuItem("mnTeam")->menu()->actions())
            team << (action->isSeparator() ? QStringLiteral("-") : action->objectName());
        QCOMPARE(team,
                 (QStringList{"mn_NewGroup", "mn_EditGroup", "mn_DeleteGroup", "mnGroupOrganize",
                              "-", "mn_NewMember", "mn_EditMember", "mn_DeleteMember",
                              "mnMemberList", "-", "mn_FindMembers", "mn_CopyToGroup"}));
    }

    void shortcutOfADisabledItemDoesNothing()
    {
        frmMain& main = mainWindow();
        main.show();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        int fired = 0;
        connect(main.MenuItem(QStringLiteral("mn_SelectAll")), &QAction::triggered, this,
                [&fired] { ++fired; });
        QTest::keyClick(&main, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(fired, 0);
        // With a list docked, the same keys reach the item.
        dock(QStringLiteral("frmMember_List"));
        QTest::keyClick(&main, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(fired, 1);
    }

    // ---- docking --------------------------------------------------------------------

    void itemsEnabledAfterAttach_data()
    {
        QTest::addColumn<QString>("form");
        QTest::addColumn<QStringList>("enabled");
        QTest::newRow("member list")
            << "frmMember_List"
            << QStringList{"mn_SelectAll",  "mn_InvertSelection", "mn_NewMember",
                           "mn_EditMember", "mn_DeleteMember",    "mn_FindMembers"};
        QTest::newRow("message window")
            << "frmMessage_Edit"
            << QStringList{"mn_SendMessage", "mn_SaveMessage", "mn_SaveMessageAs"};
        QTest::newRow("sent list") << "frmMessage_Sended"
                                   << QStringList{"mn_DeleteMessage", "mn_SendMessage",
                                                  "mn_SelectAll", "mn_InvertSelection"};
        QTest::newRow("out-box") << "frmMessage_OutBox"
                                 << QStringList{"mn_DeleteMessage", "mn_SendMessage",
                                                "mn_SelectAll", "mn_InvertSelection"};
        QTest::newRow("saved list")
            << "frmMessage_Saved"
            << QStringList{"mn_DeleteMessage", "mn_SelectAll", "mn_InvertSelection"};
        QTest::newRow("organiser") << "frmGroup_Organize" << QStringList{"mn_Cut",
                                                                         "mn_Copy",
                                                                         "mn_Paste",
                                                                         "mn_SelectAll",
                                                                         "mn_InvertSelection",
                                                                         "mn_NewGroup",
                                                                         "mn_EditGroup",
                                                                         "mn_DeleteGroup",
                                                                         "mn_NewMember",
                                                                         "mn_EditMember",
                                                                         "mn_DeleteMember",
                                                                         "mn_FindMembers",
                                                                         "mn_CopyToGroup"};
    }
    void itemsEnabledAfterAttach()
    {
        QFETCH(QString, form);
        QFETCH(QStringList, enabled);
        DockedWindow& window = dock(form);
        QCOMPARE(enabledContextItems(), enabled);
        QCOMPARE(mdlMain::ChildForms().Count(), 1);
        QCOMPARE(mdlMain::ChildForms().Item(1), &window);
        QCOMPARE(window.parentWidget(), mainWindow().picMDISpace());
        QVERIFY(!window.isWindow());

        QVERIFY(mainWindow().FreeChildSpace(QString()));
        QVERIFY(enabledContextItems().isEmpty());
        QCOMPARE(mdlMain::ChildForms().Count(), 0);
        QVERIFY(!rt::IsFormLoaded(form));
    }

    void aWindowSwitchesItsOwnItemsAfterAttaching()
    {
        dock(QStringLiteral("frmMember_List"));
        // The member list with no member shown.
        mainWindow().SetMenuState(QStringLiteral("mn_EditMember"), false);
        mainWindow().SetMenuState(QStringLiteral("mn_DeleteMember"), false);
        QCOMPARE(enabledContextItems(), (QStringList{"mn_SelectAll", "mn_InvertSelection",
                                                     "mn_NewMember", "mn_FindMembers"}));
        QVERIFY_THROWS_EXCEPTION(rt::RuntimeError,
                                 mainWindow().SetMenuState(QStringLiteral("mn_Nothing"), true));
    }

    void switchingWindowsMovesTheItems()
    {
        dock(QStringLiteral("frmMessage_Edit"));
        QVERIFY(mainWindow().FreeChildSpace(QStringLiteral("frmMember_List")));
        dock(QStringLiteral("frmMember_List"));
        QVERIFY(!enabledContextItems().contains(QStringLiteral("mn_SaveMessage")));
        QVERIFY(enabledContextItems().contains(QStringLiteral("mn_FindMembers")));
        QCOMPARE(mdlMain::ChildForms().Keys(), QStringList{QStringLiteral("frmMember_List")});
    }

    void freeChildSpace_data()
    {
        QTest::addColumn<QString>("asked");
        QTest::addColumn<bool>("refuse");
        QTest::addColumn<bool>("free");
        QTest::addColumn<int>("unloadAsked");
        QTest::newRow("any window, closes") << "" << false << true << 1;
        QTest::newRow("any window, refuses") << "" << true << false << 1;
        QTest::newRow("another window, closes") << "frmMessage_Saved" << false << true << 1;
        QTest::newRow("the docked window itself") << "frmMessage_OutBox" << false << false << 0;
    }
    void freeChildSpace()
    {
        QFETCH(QString, asked);
        QFETCH(bool, refuse);
        QFETCH(bool, free);
        QFETCH(int, unloadAsked);
        DockedWindow& window = dock(QStringLiteral("frmMessage_OutBox"));
        window.refuse = refuse;
        QCOMPARE(mainWindow().FreeChildSpace(asked), free);
        QCOMPARE(window.unloadAsked, unloadAsked);
        QCOMPARE(rt::IsFormLoaded(QStringLiteral("frmMessage_OutBox")), !free);
        if (!free) {
            // Still docked, its items and panel still there.
            QCOMPARE(mdlMain::ChildForms().Item(1), &window);
            QVERIFY(enabledContextItems().contains(QStringLiteral("mn_DeleteMessage")));
            QCOMPARE(mainWindow().StatusBar()->IndexOf(QStringLiteral("frmMessage_OutBox")), 1);
        }
        window.refuse = false;
    }

    void attachingTheSameNameTwiceFails()
    {
        DockedWindow& window = dock(QStringLiteral("frmMessage_Saved"));
        try {
            mdlMain::AttachChildForm(window);
            QFAIL("a second attach under the same name must fail");
        } catch (const rt::RuntimeError& error) {
            QCOMPARE(error.number(), 457);
        }
        QCOMPARE(mdlMain::ChildForms().Count(), 1);
    }

    void aWindowGoneWithoutDetachingFreesTheSpace()
    {
        DockedWindow& window = dock(QStringLiteral("frmMessage_Saved"));
        delete &window;
        QCOMPARE(mdlMain::ChildForms().Count(), 0);
        QVERIFY(mainWindow().FreeChildSpace(QString()));
    }

    void panelsStandBeforeTheFixedOnes()
    {
        dock(QStringLiteral("frmMessage_Edit"));
        rt::StatusBar* bar = mainWindow().StatusBar();
        QCOMPARE(bar->Keys(), (QStringList{"pnlCharCount", "pnlSMSCount", "pnlSMSDate",
                                           "pnlSMSAvailable", "pnlConnection"}));
        QCOMPARE(bar->Panel(QStringLiteral("pnlSMSCount"))->Text(), QStringLiteral(" pnlSMSCount"));
        QCOMPARE(bar->Panel(QStringLiteral("pnlSMSCount"))->MinWidth(), 17);
        QCOMPARE(bar->Panel(QStringLiteral("pnlSMSCount"))->autoSize(), rt::StatusPanel::Contents);
        QVERIFY(mainWindow().FreeChildSpace(QString()));
        QCOMPARE(bar->Keys(), (QStringList{"pnlSMSAvailable", "pnlConnection"}));
        try {
            mdlMain::AddStatusPanel(QStringLiteral("pnlConnection"), QString());
            QFAIL("a key already on the bar must fail");
        } catch (const rt::RuntimeError& error) {
            QCOMPARE(error.number(), 35602);
        }
    }

    // Drawn in the shown main window: the docked window's panels as wide as their
    // texts (an empty one 17 px), the fixed panels at their design width, in order.
    void dockedPanelsSizeToTheirContents()
    {
        frmMain& main = mainWindow();
        main.resize(1000, 600);
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        dock(QStringLiteral("frmMessage_Edit"));
        mdlMain::SetStatusPanel(QStringLiteral("pnlCharCount"), QStringLiteral("160"));
        mdlMain::SetStatusPanel(QStringLiteral("pnlSMSCount"), QString());
        mdlMain::SetStatusPanel(QStringLiteral("pnlSMSDate"), QStringLiteral("Άμεση Αποστολή"));
        rt::StatusBar* bar = main.StatusBar();
        const auto lastRight = [bar] {
            int right = -1;
            for (const QString& key : bar->Keys()) {
                if (bar->Panel(key)->x() <= right)
                    return -1;
                right = bar->Panel(key)->geometry().right();
            }
            return right;
        };
        QTRY_VERIFY(lastRight() > 0);
        const int right = lastRight();
        QCOMPARE(bar->Panel(QStringLiteral("pnlSMSCount"))->width(), 17);
        for (const QString& key : bar->Keys()) {
            const QLabel* text = bar->Panel(key)->findChildren<QLabel*>().last();
            QVERIFY2(text->width() >= text->fontMetrics().horizontalAdvance(text->text()),
                     qPrintable(key));
        }
        QVERIFY(bar->Panel(QStringLiteral("pnlCharCount"))->width() < 60);
        const rt::StatusPanel* date = bar->Panel(QStringLiteral("pnlSMSDate"));
        QVERIFY(date->width() < date->fontMetrics().horizontalAdvance(date->Text()) + 30);
        QCOMPARE(bar->Panel(QStringLiteral("pnlSMSAvailable"))->width(), rt::toPixels(1440));
        QCOMPARE(bar->Panel(QStringLiteral("pnlConnection"))->width(), rt::toPixels(1440));
        QVERIFY(right < bar->width() - 100);
    }

    void setStatusPanel()
    {
        mainWindow();
        mdlMain::SetStatusPanel(QStringLiteral("pnlConnection"), QString(), QIcon(),
                                QStringLiteral("Σύνδεση Ενεργή"));
        rt::StatusPanel* panel = mainWindow().StatusBar()->Panel(QStringLiteral("pnlConnection"));
        QCOMPARE(panel->Text(), QStringLiteral(" "));
        QCOMPARE(panel->ToolTipText(), QStringLiteral("Σύνδεση Ενεργή"));
        QPixmap dot(16, 16);
        dot.fill(Qt::green);
        mdlMain::SetStatusPanel(QStringLiteral("pnlConnection"), QStringLiteral("x"), QIcon(dot));
        QCOMPARE(panel->Text(), QStringLiteral(" x"));
        QCOMPARE(panel->ToolTipText(), QStringLiteral("Σύνδεση Ενεργή"));
        QVERIFY(!panel->Picture().isNull());
        // A later call without a picture keeps it.
        mdlMain::SetStatusPanel(QStringLiteral("pnlConnection"), QString());
        QVERIFY(!panel->Picture().isNull());
    }

    void unknownPanelKeysFail()
    {
        mainWindow();
        QVERIFY_THROWS_EXCEPTION(rt::RuntimeError,
                                 mdlMain::SetStatusPanel(QStringLiteral("pnlNone"), QString()));
        QVERIFY_THROWS_EXCEPTION(rt::RuntimeError,
                                 mdlMain::RemoveStatusPanel(QStringLiteral("pnlNone")));
        QCOMPARE(mainWindow().StatusBar()->Count(), 2);
    }

    void showCredits_data()
    {
        QTest::addColumn<int>("available");
        QTest::addColumn<QString>("text");
        QTest::newRow("unknown") << -1 << "Άγνωστο";
        QTest::newRow("none") << 0 << "0 SMS";
        QTest::newRow("some") << 1250 << "1250 SMS";
    }
    void showCredits()
    {
        QFETCH(int, available);
        QFETCH(QString, text);
        mainWindow();
        mdlSettings::AvailableSMS = available;
        mdlMain::ShowCredits();
        QCOMPARE(mainWindow().StatusBar()->Panel(QStringLiteral("pnlSMSAvailable"))->Text(), text);
    }

    void dockedToolbarStandsRightOfTheMainToolbar()
    {
        frmMain& main = mainWindow();
        main.show();
        DockedWindow& window = dock(QStringLiteral("frmMember_List"));
        rt::Toolbar* own = main.MainToolBar();
        QToolButton* last = own->Buttons().last();
        QCOMPARE(window.toolbar->parentWidget(), main.tlbrPicture());
        QCOMPARE(window.toolbar->pos(), QPoint(own->x() + last->x() + last->width(), own->y()));
        QCOMPARE(window.toolbar->width(), main.tlbrPicture()->width() - window.toolbar->x() - 2);
        QVERIFY(window.toolbar->isVisible());
        rt::Toolbar* toolbar = window.toolbar;
        QVERIFY(main.FreeChildSpace(QString()));
        // Back in its own window, which goes away with it.
        QCOMPARE(toolbar->parentWidget(), &window);
    }

    // The strip is resized with the window: the docked toolbar reaches to its end again,
    // so a window widened after docking shows the buttons it cut off.
    void dockedToolbarFollowsTheStrip_data()
    {
        QTest::addColumn<int>("docked");
        QTest::addColumn<int>("then");
        QTest::newRow("widened") << 500 << 1100;
        QTest::newRow("narrowed") << 1100 << 600;
    }
    void dockedToolbarFollowsTheStrip()
    {
        QFETCH(int, docked);
        QFETCH(int, then);
        frmMain& main = mainWindow();
        main.setMinimumSize(0, 0);
        main.resize(docked, 600);
        main.show();
        QTRY_COMPARE(main.width(), docked);
        // A window without status panels, which would keep the main window wide.
        DockedWindow& window = dock(QStringLiteral("frmGroup_Organize"));
        QWidget* strip = main.tlbrPicture();
        const int x = window.toolbar->x();
        QCOMPARE(window.toolbar->width(), strip->width() - x - 2);

        main.resize(then, 600);
        QTRY_COMPARE(main.width(), then);
        QCOMPARE(window.toolbar->x(), x);
        QCOMPARE(window.toolbar->width(), strip->width() - x - 2);

        // Narrower than the toolbar's place: it keeps the width it had, as at docking.
        const int before = window.toolbar->width();
        main.resize(1, 600);
        QTRY_VERIFY(strip->width() < x + 2);
        QCOMPARE(window.toolbar->width(), before);
    }

    void dockedWindowFollowsTheResize_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::newRow("larger") << QSize(1100, 760);
        QTest::newRow("smaller") << QSize(640, 480);
    }
    void dockedWindowFollowsTheResize()
    {
        QFETCH(QSize, size);
        frmMain& main = mainWindow();
        main.show();
        DockedWindow& window = dock(QStringLiteral("frmMessage_Saved"));
        main.resize(size);
        QTRY_COMPARE(main.size(), size);
        QWidget* space = main.picMDISpace();
        const int W = rt::toTwips(space->width());
        const int H = rt::toTwips(space->height());
        const int menu = rt::toTwips(main.VMenu()->width());
        QCOMPARE(window.geometry(), twipsRect(menu + 120, 60, W - (menu + 180), H - 120));
        QCOMPARE(main.VMenu()->geometry(), twipsRect(60, 60, menu, H - 120));
        QCOMPARE(main.Frame()->geometry(),
                 twipsRect(60 + menu + 60, 0, W - (menu + 60 + 120), H - 60));
    }

    void tinySizesAreHarmless()
    {
        frmMain& main = mainWindow();
        main.show();
        DockedWindow& window = dock(QStringLiteral("frmMember_List"));
        const QRect before = window.geometry();
        main.setMinimumSize(0, 0);
        main.resize(20, 20);
        QTRY_COMPARE(main.size(), QSize(20, 20));
        // The widths computed for this size are negative: nothing moves, nothing is said.
        QCOMPARE(window.geometry(), before);
        QVERIFY(m_fx.boxes().shown().isEmpty());
        QCOMPARE(mdlMain::ChildForms().Item(1), &window);
        main.resize(900, 700);
        QTRY_COMPARE(main.size(), QSize(900, 700));
        QCOMPARE(window.geometry(), main.dockedGeometry());
        QVERIFY(window.width() > before.width());
    }

    void contactLabelsStandAtTheLowerRight()
    {
        frmMain& main = mainWindow();
        main.show();
        main.resize(1000, 700);
        QTRY_COMPARE(main.size(), QSize(1000, 700));
        const int FW = rt::toTwips(main.Frame()->width());
        const int FH = rt::toTwips(main.Frame()->height());
        QLabel* company = main.lblCompany();
        QCOMPARE(rt::toTwips(company->x()), FW - rt::toTwips(company->width()) - 120);
        QCOMPARE(rt::toTwips(company->y()), FH - (rt::toTwips(company->height()) + 60) * 3 - 60);
        QCOMPARE(main.hprNerqMail()->x(), main.hprNerqPage()->x());
        QVERIFY(main.lblURL()->geometry().right() < main.hprNerqPage()->x());
        QVERIFY(main.lblMail()->geometry().right() < main.hprNerqMail()->x());
        QVERIFY(main.hprNerqPage()->geometry().bottom() < main.hprNerqMail()->y());
        QVERIFY(company->geometry().bottom() < main.hprNerqPage()->y());
        const QRect logo = main.imgLogo()->geometry();
        QVERIFY(qAbs(logo.center().x() - main.Frame()->width() / 2) <= 1);
        QVERIFY(qAbs(logo.center().y() - main.Frame()->height() / 2) <= 1);
    }

    // ---- saved messages ----------------------------------------------------------------

    void savedMessagesInCreationOrder()
    {
        addSaved(QStringLiteral("Τρίτο"), QStringLiteral("2023-03-15"), QStringLiteral("10:00"));
        addSaved(QStringLiteral("Πρώτο"), QStringLiteral("2023-03-14"), QStringLiteral("12:00"));
        addSaved(QStringLiteral("Δεύτερο"), QStringLiteral("2023-03-15"), QStringLiteral("09:00"));
        addSaved(QVariant(), QStringLiteral("2023-03-16"), QStringLiteral("08:00"));
        QMenu* entries = mainWindow().MainToolBar()->ButtonMenu(QStringLiteral("btnNewMessage"));
        QStringList seen;
        for (QAction* entry : entries->actions())
            seen << entry->objectName() + QLatin1Char('=') + entry->text() + QLatin1Char('#') +
                        entry->data().toString();
        QCOMPARE(seen,
                 (QStringList{"msg_2=Πρώτο#2", "msg_3=Δεύτερο#3", "msg_1=Τρίτο#1", "msg_4=#4"}));
        // A rebuild replaces the entries.
        mainWindow().ReadSavedMessages();
        QCOMPARE(entries->actions().size(), 4);
    }

    void noSavedMessageKeepsTheDropDown()
    {
        QToolButton* button = mainWindow().MainToolBar()->Button(QStringLiteral("btnNewMessage"));
        QVERIFY(button->menu());
        QVERIFY(button->menu()->actions().isEmpty());
        QCOMPARE(button->popupMode(), QToolButton::MenuButtonPopup);
    }

    void savedMessagesWithoutTheTable()
    {
        QVERIFY(mdlDataBase::MainDatabase()
                    .execute({QStringLiteral("DROP TABLE saved_messages"), {}})
                    .ok);
        frmMain& main = mainWindow();
        QCOMPARE(m_fx.boxes().shown().size(), 1);
        QVERIFY(m_fx.boxes().shown().first().text.startsWith(QStringLiteral("Σφάλμα: ")));
        QVERIFY(
            main.MainToolBar()->ButtonMenu(QStringLiteral("btnNewMessage"))->actions().isEmpty());
        QVERIFY(panelMenuButton(QStringLiteral("btnNotepad")));
        QVERIFY(main.MenuItem(QStringLiteral("mn_Cut"))->property("Tag").isValid());
        QVERIFY_THROWS_EXCEPTION(rt::RuntimeError, main.ReadSavedMessages());
    }

    void chosenSavedMessageFreesTheDockingSpace_data()
    {
        QTest::addColumn<bool>("refuse");
        QTest::newRow("docked window closes") << false;
        QTest::newRow("docked window refuses") << true;
    }
    void chosenSavedMessageFreesTheDockingSpace()
    {
        QFETCH(bool, refuse);
        addSaved(QStringLiteral("Χαιρετισμός"), QStringLiteral("2023-03-15"),
                 QStringLiteral("10:00"));
        DockedWindow& window = dock(QStringLiteral("frmMember_List"));
        window.refuse = refuse;
        QMenu* entries = mainWindow().MainToolBar()->ButtonMenu(QStringLiteral("btnNewMessage"));
        entries->actions().first()->trigger();
        QCOMPARE(window.unloadAsked, 1);
        QCOMPARE(rt::IsFormLoaded(QStringLiteral("frmMember_List")), refuse);
        window.refuse = false;
    }

    // ---- logo and links ------------------------------------------------------------------

    void logoSettings_data()
    {
        QTest::addColumn<QString>("image");
        QTest::addColumn<bool>("fileExists");
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("toolTip");
        QTest::addColumn<int>("pointer");
        QTest::addColumn<bool>("ownPicture");
        QTest::newRow("no image, url ignored") << "" << false << "www.example.org"
                                               << "Δες" << 0 << false;
        QTest::newRow("missing image, url kept") << "logo.png" << false << "www.example.org"
                                                 << "Δες" << 99 << false;
        QTest::newRow("own image, no url") << "logo.png" << true << ""
                                           << "" << 0 << true;
        QTest::newRow("own image, other case") << "LOGO.PNG" << true << "www.example.org"
                                               << "" << 99 << true;
    }
    void logoSettings()
    {
        QFETCH(QString, image);
        QFETCH(bool, fileExists);
        QFETCH(QString, url);
        QFETCH(QString, toolTip);
        QFETCH(int, pointer);
        QFETCH(bool, ownPicture);
        if (fileExists) {
            QPixmap picture(40, 30);
            picture.fill(Qt::red);
            QVERIFY(picture.save(m_fx.folder().file(QStringLiteral("logo.png"))));
        }
        mdlSettings::LogoImage = image;
        mdlSettings::LogoURL = url;
        mdlSettings::LogoToolTip = toolTip;
        QLabel* logo = mainWindow().imgLogo();
        QCOMPARE(logo->pixmap().size() == QSize(40, 30), ownPicture);
        QCOMPARE(rt::ControlPointer(*logo), pointer);
        QCOMPARE(logo->toolTip(), image.isEmpty() ? QString() : toolTip);

        mainWindow().show();
        QTest::mouseClick(logo, Qt::LeftButton);
        QCOMPARE(m_launches.size(), pointer == 99 ? 1 : 0);
        if (pointer == 99)
            QVERIFY(m_launches.first().document.contains(QStringLiteral("www.example.org")));
    }

    void contactLinksOpen()
    {
        QVERIFY(rt::WriteLines(
            m_fx.folder().file(QStringLiteral("CONTACT.TXT")),
            {QStringLiteral("WEB = www.example.org"), QStringLiteral("MAIL = info@example.org")}));
        frmMain& main = mainWindow();
        QCOMPARE(main.hprNerqPage()->text(), QStringLiteral("www.example.org"));
        main.show();
        QTest::mouseClick(main.hprNerqPage(), Qt::LeftButton);
        QTest::mouseClick(main.hprNerqMail(), Qt::LeftButton);
        QCOMPARE(m_launches.size(), 2);
        QVERIFY(m_launches.at(0).document.contains(main.hprNerqPage()->text()));
        QCOMPARE(m_launches.at(1).document, QStringLiteral("mailto:") + main.hprNerqMail()->text());
        QCOMPARE(rt::ControlPointer(*main.hprNerqPage()), 99);
        for (QLabel* link : {main.hprNerqPage(), main.hprNerqMail()}) {
            QCOMPARE(link->palette().color(link->foregroundRole()), QColor(Qt::blue));
            QVERIFY(link->font().underline());
        }
    }

    // ---- panel-menu commands -----------------------------------------------------------------

    void errorHistoryFromThePanelMenu()
    {
        QWidget* button = panelMenuButton(QStringLiteral("btnErrorLog"));
        QVERIFY(button);
        QVERIFY(QMetaObject::invokeMethod(button, "Click"));
        QVERIFY(rt::IsFormLoaded(QStringLiteral("frmError_Log")));
        QVERIFY(rt::Forms::findByName(QStringLiteral("frmError_Log"))->isVisible());
    }

    void outsidePrograms_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("program");
        QTest::addColumn<bool>("installed");
        QTest::newRow("calculator") << "btnCalculator"
                                    << "xcalc" << true;
        QTest::newRow("no calculator") << "btnCalculator"
                                       << "" << false;
        QTest::newRow("editor") << "btnNotepad"
                                << "mousepad" << true;
        QTest::newRow("no editor") << "btnNotepad"
                                   << "" << false;
    }
    void outsidePrograms()
    {
        QFETCH(QString, key);
        QFETCH(QString, program);
        QFETCH(bool, installed);
        QTemporaryDir bin;
        if (installed) {
            QFile tool(bin.filePath(program));
            QVERIFY(tool.open(QIODevice::WriteOnly));
            tool.write("#!/bin/sh\n");
            tool.close();
            tool.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", bin.path().toLocal8Bit());
        QVERIFY(QMetaObject::invokeMethod(panelMenuButton(key), "Click"));
        qputenv("PATH", path);
        QCOMPARE(m_launches.size(), installed ? 1 : 0);
        if (installed)
            QCOMPARE(m_launches.first().program, bin.filePath(program));
        QVERIFY(m_fx.boxes().shown().isEmpty());
    }

    void commandsShowTheirDialogs_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<quint8>("security");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<int>("boxes");
        QTest::newRow("about") << "mnAbout" << quint8(0) << QStringList{"frmAbout"} << 0;
        QTest::newRow("terms") << "mnDisclaimer" << quint8(0) << QStringList{"frmDisclaimer"} << 0;
        QTest::newRow("settings") << "mnConfigureConnection" << quint8(0)
                                  << QStringList{"frmConfiguration"} << 0;
        QTest::newRow("settings, wrong password")
            << "mnConfigureConnection" << quint8(1) << QStringList{"frmGetUserData"} << 1;
        QTest::newRow("settings from the panel menu, right password")
            << "btnConfig" << quint8(1) << QStringList{"frmGetUserData", "frmConfiguration"} << 0;
    }
    void commandsShowTheirDialogs()
    {
        QFETCH(QString, command);
        QFETCH(quint8, security);
        QFETCH(QStringList, shown);
        QFETCH(int, boxes);
        mdlSettings::EnableSecurity = security;
        mdlSettings::Password = QStringLiteral("μυστικό");
        testsupport::ModalScript modals;
        const bool rightPassword = command.startsWith(QLatin1String("btn"));
        for (int i = 0; i < shown.size(); ++i) {
            modals.then([rightPassword](rt::Form& form) {
                if (auto* prompt = qobject_cast<frmGetUserData*>(&form)) {
                    prompt->txtPassword->setText(rightPassword ? mdlSettings::Password
                                                               : QStringLiteral("λάθος"));
                    prompt->cmdOK_Click();
                } else if (auto* terms = qobject_cast<frmDisclaimer*>(&form)) {
                    terms->cmdAgree_Click();
                } else {
                    rt::Forms::unload(&form);
                }
            });
        }
        if (command.startsWith(QLatin1String("btn")))
            QVERIFY(QMetaObject::invokeMethod(panelMenuButton(command), "Click"));
        else
            mainWindow().MenuItem(command)->trigger();
        QCOMPARE(modals.shownNames(), shown);
        QCOMPARE(m_fx.boxes().shown().size(), boxes);
        mdlSettings::EnableSecurity = 0;
    }

    // ---- close and exit ---------------------------------------------------------------------

    void closeIsRefusedWhileTheSendingWindowIsLoaded()
    {
        frmMain& main = mainWindow();
        main.show();
        rt::Forms::get<frmSplash>().show();
        rt::Forms::get<frmSendMessages>(); // loaded, never shown: hidden
        QVERIFY(!main.close());
        QVERIFY(rt::IsFormLoaded(QStringLiteral("frmMain")));
        QVERIFY(main.isVisible());
        QVERIFY(!rt::IsFormLoaded(QStringLiteral("frmSplash")));
        QVERIFY(!QFile::exists(m_fx.folder().file(QStringLiteral("Vantrel.INI"))));
        QVERIFY(m_fx.boxes().shown().isEmpty());

        rt::Forms::unload<frmSendMessages>();
        QVERIFY(main.close());
        QVERIFY(!rt::IsFormLoaded(QStringLiteral("frmMain")));
        QCOMPARE(readAll(m_fx.folder().file(QStringLiteral("Vantrel.INI"))),
                 QByteArray("Disclaimer = 1\r\nWindowState = 0\r\n"));
    }

    // The docked window is asked to go before anything is written: the organiser's
    // question comes then, and its Cancel keeps the program open.
    void closeAsksTheDockedWindowFirst_data()
    {
        QTest::addColumn<bool>("refuse");
        QTest::addColumn<bool>("fail");
        QTest::newRow("it refuses") << true << false;
        QTest::newRow("it goes") << false << false;
        QTest::newRow("its unload fails") << false << true;
    }
    void closeAsksTheDockedWindowFirst()
    {
        QFETCH(bool, refuse);
        QFETCH(bool, fail);
        frmMain& main = mainWindow();
        main.show();
        rt::Forms::get<frmSplash>().show();
        DockedWindow& window = dock(QStringLiteral("frmGroup_Organize"));
        window.refuse = refuse;
        window.fail = fail;

        // An error on the way is reported, and the program stays as it was.
        QCOMPARE(m_fx.boxes().shown().size(), 0);
        QCOMPARE(main.close(), !refuse && !fail);
        QCOMPARE(m_fx.boxes().shown().size(), fail ? 1 : 0);
        refuse = refuse || fail;
        QCOMPARE(window.unloadAsked, 1);
        QVERIFY(!rt::IsFormLoaded(QStringLiteral("frmSplash")));
        QCOMPARE(rt::IsFormLoaded(QStringLiteral("frmMain")), refuse);
        QCOMPARE(rt::IsFormLoaded(QStringLiteral("frmGroup_Organize")), refuse);
        QCOMPARE(QFile::exists(m_fx.folder().file(QStringLiteral("Vantrel.INI"))), !refuse);
        if (refuse) {
            QVERIFY(main.isVisible());
            QCOMPARE(mdlMain::ChildForms().Item(1), &window);
        } else {
            QCOMPARE(mdlMain::ChildForms().Count(), 0);
        }
    }

    // What the user left open beside the main window goes with it, shown or hidden, so
    // that no window of the program outlives the close.
    void closeEndsTheOtherWindows()
    {
        frmMain& main = mainWindow();
        main.show();
        dock(QStringLiteral("frmMember_List"));
        rt::Forms::get<FindWindow>().show();
        rt::Forms::get<RewriteWindow>().show();
        rt::Forms::get<HistoryWindow>(); // loaded, never shown
        QVERIFY(main.close());
        QVERIFY(rt::Forms::loaded().isEmpty());
        QCOMPARE(readAll(m_fx.folder().file(QStringLiteral("Vantrel.INI"))),
                 QByteArray("Disclaimer = 1\r\nWindowState = 0\r\n"));
    }

    void closeRecordsTheWindowState_data()
    {
        QTest::addColumn<int>("state");
        QTest::addColumn<QByteArray>("written");
        QTest::newRow("normal") << int(Qt::WindowNoState) << QByteArray("WindowState = 0");
        QTest::newRow("maximised") << int(Qt::WindowMaximized) << QByteArray("WindowState = 1");
        QTest::newRow("minimised") << int(Qt::WindowMinimized) << QByteArray("WindowState = 0");
        QTest::newRow("minimised from maximised")
            << int(Qt::WindowMinimized | Qt::WindowMaximized) << QByteArray("WindowState = 0");
    }
    void closeRecordsTheWindowState()
    {
        QFETCH(int, state);
        QFETCH(QByteArray, written);
        mdlSettings::ShowDisclaimer = 0;
        frmMain& main = mainWindow();
        main.show();
        main.setWindowState(Qt::WindowStates(state));
        QVERIFY(main.close());
        QCOMPARE(readAll(m_fx.folder().file(QStringLiteral("Vantrel.INI"))),
                 QByteArray("Disclaimer = 0\r\n") + written + "\r\n");
    }

    void exitWritesNothing()
    {
        testsupport::EndCatcher end;
        frmMain& main = mainWindow();
        main.show();
        dock(QStringLiteral("frmMember_List"));
        mdlSettings::ShowDisclaimer = 0;
        QVERIFY_THROWS_EXCEPTION(rt::ProgramEnded,
                                 main.MenuItem(QStringLiteral("mnExit"))->trigger());
        QCOMPARE(end.count(), 1);
        QVERIFY(!QFile::exists(m_fx.folder().file(QStringLiteral("Vantrel.INI"))));
        QCOMPARE(static_cast<DockedWindow*>(mdlMain::ChildForms().Item(1))->unloadAsked, 0);
        QVERIFY(rt::IsFormLoaded(QStringLiteral("frmMain")));
    }
};

QTEST_MAIN(tst_frmmain)
#include "tst_frmmain.moc"
