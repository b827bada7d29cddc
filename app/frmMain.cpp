#include "app/frmMain.h"

#include "app/ChildFormCollection.h"
#include "app/Installation.h"
#include "app/MainWindowPictures.h"
#include "app/frmAbout.h"
#include "app/frmConfiguration.h"
#include "app/frmDisclaimer.h"
#include "app/frmError_Log.h"
#include "app/frmGetUserData.h"
#include "app/mdlDataBase.h"
#include "app/mdlMainDocking.h"
#include "app/mdlSettings.h"
#include "compose/frmMessage_Edit.h"
#include "platform/App.h"
#include "platform/ControlFactory.h"
#include "platform/ControlPointer.h"
#include "platform/End.h"
#include "platform/Err.h"
#include "platform/Shell.h"
#include "platform/StatusBar.h"
#include "platform/TextFile.h"
#include "platform/Toolbar.h"
#include "platform/Twips.h"
#include "sending/frmSendMessages.h"

#include <QAction>
#include <QEvent>
#include <QFont>
#include <QFrame>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPixmap>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

using rt::toPixels;
using rt::toTwips;

const QString TirnavexProgId = QStringLiteral("Tirnaval.Tirnavex");

// The runtime refused a negative width or height with an error, which the layout
// handlers ignore: the control then keeps its old size and place.
void moveTwips(QWidget* control, int left, int top, int width, int height)
{
    if (!control || width < 0 || height < 0)
        return;
    control->setGeometry(toPixels(left), toPixels(top), toPixels(width), toPixels(height));
}

void moveTwips(QWidget* control, int left, int top)
{
    if (control)
        control->move(toPixels(left), toPixels(top));
}

int leftOf(const QWidget* w)
{
    return toTwips(w->x());
}
int topOf(const QWidget* w)
{
    return toTwips(w->y());
}
int widthOf(const QWidget* w)
{
    return toTwips(w->width());
}
int heightOf(const QWidget* w)
{
    return toTwips(w->height());
}

QLabel* link(const QString& name, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    QFont font(QStringLiteral("Tahoma"));
    font.setUnderline(true);
    label->setFont(font);
    QPalette palette = label->palette();
    // Blue on whatever ground the frame gives it (its text role follows the ground).
    palette.setColor(QPalette::WindowText, Qt::blue);
    palette.setColor(QPalette::Text, Qt::blue);
    label->setPalette(palette);
    rt::SetControlMouseIcon(*label, MainWindowPictures::LinkCursor());
    rt::SetControlPointer(*label, rt::pointer::Custom);
    return label;
}

QLabel* label(const QString& name, const QString& caption, QWidget* parent)
{
    auto* label = new QLabel(caption, parent);
    label->setObjectName(name);
    return label;
}

QFrame* shape(const QString& name, const QColor& colour, QWidget* parent)
{
    auto* box = new QFrame(parent);
    box->setObjectName(name);
    box->setAttribute(Qt::WA_TransparentForMouseEvents);
    box->setStyleSheet(
        QStringLiteral("QFrame#%1 { border: 1px solid %2; background: transparent; }")
            .arg(name, colour.name()));
    return box;
}

} // namespace

frmMain::frmMain() : rt::Form(QStringLiteral("frmMain"))
{
    setWindowTitle(QStringLiteral("Vantrel"));
    resize(toPixels(12000), toPixels(8400));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    m_menuBar = new QMenuBar(this);
    m_menuBar->setObjectName(QStringLiteral("menuBar"));
    layout->setMenuBar(m_menuBar);
    buildMenus();

    m_tlbrPicture = new QWidget(this);
    m_tlbrPicture->setObjectName(QStringLiteral("tlbrPicture"));
    m_blackBox = shape(QStringLiteral("BlackBox"), palette().color(QPalette::Dark), m_tlbrPicture);
    m_whiteBox = shape(QStringLiteral("WhiteBox"), Qt::white, m_tlbrPicture);
    m_mainToolBar = new rt::Toolbar(QStringLiteral("MainToolBar"), m_tlbrPicture);
    QToolButton* newMessage = m_mainToolBar->AddButton(
        QStringLiteral("btnNewMessage"), QStringLiteral("Νέο Μήνυμα"),
        QIcon(MainWindowPictures::ToolbarPicture(QStringLiteral("btnNewMessage"))),
        QStringLiteral("Δημιουργία Νέου Μηνύματος"));
    // A drop-down button from the start, so that it keeps its arrow with no entries.
    newMessage->setMenu(new QMenu(newMessage));
    newMessage->setPopupMode(QToolButton::MenuButtonPopup);
    m_mainToolBar->AddButton(
        QStringLiteral("btnGetCredits"), QStringLiteral("Υπόλοιπο SMS"),
        QIcon(MainWindowPictures::ToolbarPicture(QStringLiteral("btnGetCredits"))),
        QStringLiteral("Υπόλοιπο Μηνυμάτων SMS (Ctrl+F5)"));
    m_mainToolBar->resize(m_mainToolBar->sizeHint());
    connect(m_mainToolBar, &rt::Toolbar::ButtonMenuClick, this,
            &frmMain::MainToolBar_ButtonMenuClick);
    connect(m_mainToolBar, &rt::Toolbar::ButtonClick, this, &frmMain::MainToolBar_ButtonClick);
    m_blackBox->raise();
    m_tlbrPicture->setFixedHeight(m_mainToolBar->height() + 4);
    layout->addWidget(m_tlbrPicture);

    m_picMDISpace = new QWidget(this);
    m_picMDISpace->setObjectName(QStringLiteral("picMDISpace"));
    layout->addWidget(m_picMDISpace, 1);
    createPanelMenu();

    m_frame = new QFrame(m_picMDISpace);
    m_frame->setObjectName(QStringLiteral("Frame"));
    m_frame->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    m_frame->setAutoFillBackground(true);
    m_frame->setBackgroundRole(QPalette::Base);
    m_imgLogo = new QLabel(m_frame);
    m_imgLogo->setObjectName(QStringLiteral("imgLogo"));
    m_imgLogo->setPixmap(MainWindowPictures::BuiltInLogo());
    m_imgLogo->adjustSize();
    rt::SetControlMouseIcon(*m_imgLogo, MainWindowPictures::LinkCursor());
    m_lblCompany = label(QStringLiteral("lblCompany"), QString(), m_frame);
    m_lblURL = label(QStringLiteral("lblURL"), QStringLiteral("URL:"), m_frame);
    m_hprNerqPage = link(QStringLiteral("hprNerqPage"), m_frame);
    m_lblMail = label(QStringLiteral("lblMail"), QStringLiteral("email:"), m_frame);
    m_hprNerqMail = link(QStringLiteral("hprNerqMail"), m_frame);
    // The publisher's line and addresses come with the installation.
    m_lblCompany->setText(installation::Text(installation::CopyrightFile));
    m_hprNerqPage->setText(installation::WebAddress());
    m_hprNerqMail->setText(installation::MailAddress());
    for (QLabel* l : {m_lblCompany, m_lblURL, m_hprNerqPage, m_lblMail, m_hprNerqMail})
        l->adjustSize();

    m_statusBar = new rt::StatusBar(this);
    m_statusBar->setObjectName(QStringLiteral("StatusBar"));
    m_statusBar->Add(0, QStringLiteral("pnlSMSAvailable"))
        ->setToolTipText(QStringLiteral("Ο Αριθμός των Διαθέσημων Μηνυμάτων (Credits)."));
    m_statusBar->Add(0, QStringLiteral("pnlConnection"))
        ->setToolTipText(QStringLiteral("Σύνδεση Ανενεργή"));
    layout->addWidget(m_statusBar);

    m_tlbrPicture->installEventFilter(this);
    m_picMDISpace->installEventFilter(this);
    m_imgLogo->installEventFilter(this);
    m_hprNerqPage->installEventFilter(this);
    m_hprNerqMail->installEventFilter(this);
}

// ---- menus ------------------------------------------------------------------------

QAction* frmMain::addItem(QMenu* menu, const QString& name, const QString& caption,
                          const QString& shortcut)
{
    QAction* item = nullptr;
    if (caption == QLatin1String("-")) {
        item = menu->addSeparator();
    } else {
        item = menu->addAction(caption);
        if (!shortcut.isEmpty())
            item->setShortcut(QKeySequence(shortcut));
    }
    item->setObjectName(name);
    m_menuItems.insert(name, item);
    m_menuOrder << name;
    return item;
}

void frmMain::buildMenus()
{
    auto topMenu = [this](const QString& name, const QString& caption) {
        QMenu* menu = m_menuBar->addMenu(caption);
        menu->setObjectName(name);
        menu->menuAction()->setObjectName(name);
        m_menuItems.insert(name, menu->menuAction());
        m_menuOrder << name;
        return menu;
    };

    QMenu* file = topMenu(QStringLiteral("mnFile"), QStringLiteral("Αρχείο"));
    connect(addItem(file, QStringLiteral("mnNewMessage"), QStringLiteral("Δημιουργία Μηνύματος")),
            &QAction::triggered, this, &frmMain::mnNewMessage_Click);
    addItem(file, QStringLiteral("mnOpenMessage"), QStringLiteral("Άνοιγμα Μηνύματος"));
    addItem(file, QStringLiteral("mn_DeleteMessage"), QStringLiteral("Διαγραφή Μηνύματος"));
    addItem(file, QStringLiteral("mn_SendMessage"), QStringLiteral("Αποστολή Μηνύματος"));
    addItem(file, QStringLiteral("mnFileSeperator"), QStringLiteral("-"));
    addItem(file, QStringLiteral("mn_SaveMessage"), QStringLiteral("Αποθήκευση Μηνύματος"));
    addItem(file, QStringLiteral("mn_SaveMessageAs"), QStringLiteral("Αποθήκευση Μηνύματος ως"));
    addItem(file, QStringLiteral("mnFileSeperator1"), QStringLiteral("-"));
    addItem(file, QStringLiteral("mnOutBox"), QStringLiteral("Εξερχόμενα"));
    addItem(file, QStringLiteral("mnSendBox"), QStringLiteral("Απεσταλμένα"));
    addItem(file, QStringLiteral("mnSavedBox"), QStringLiteral("Αποθηκευμένα"));
    addItem(file, QStringLiteral("mnFileSeperator2"), QStringLiteral("-"));
    addItem(file, QStringLiteral("mnExport"), QStringLiteral("Εξαγωγή"));
    addItem(file, QStringLiteral("mnFileSeperator3"), QStringLiteral("-"));
    connect(
        addItem(file, QStringLiteral("mnExit"), QStringLiteral("Έξοδος"), QStringLiteral("Ctrl+Q")),
        &QAction::triggered, this, &frmMain::mnExit_Click);

    QMenu* edit = topMenu(QStringLiteral("mnEdit"), QStringLiteral("Επεξεργασία"));
    addItem(edit, QStringLiteral("mn_Cut"), QStringLiteral("Αποκοπή"), QStringLiteral("Ctrl+X"));
    addItem(edit, QStringLiteral("mn_Copy"), QStringLiteral("Αντιγραφή"), QStringLiteral("Ctrl+C"));
    addItem(edit, QStringLiteral("mn_Paste"), QStringLiteral("Επικόλληση"),
            QStringLiteral("Ctrl+V"));
    addItem(edit, QStringLiteral("mnEditSeperator"), QStringLiteral("-"));
    addItem(edit, QStringLiteral("mn_SelectAll"), QStringLiteral("Επιλογή Όλων"),
            QStringLiteral("Ctrl+A"));
    addItem(edit, QStringLiteral("mn_InvertSelection"), QStringLiteral("Αντιστροφή Επιλογής"));

    QMenu* team = topMenu(QStringLiteral("mnTeam"), QStringLiteral("Ομάδες"));
    addItem(team, QStringLiteral("mn_NewGroup"), QStringLiteral("Δημιουργία Ομάδας"));
    addItem(team, QStringLiteral("mn_EditGroup"), QStringLiteral("Διόρθωση Ομάδας"));
    addItem(team, QStringLiteral("mn_DeleteGroup"), QStringLiteral("Διαγραφή Ομάδας"));
    addItem(team, QStringLiteral("mnGroupOrganize"), QStringLiteral("Οργάνωση Ομάδων"));
    addItem(team, QStringLiteral("mnGroupSeperator1"), QStringLiteral("-"));
    addItem(team, QStringLiteral("mn_NewMember"), QStringLiteral("Δημιουργία Μέλους"),
            QStringLiteral("Ctrl+N"));
    addItem(team, QStringLiteral("mn_EditMember"), QStringLiteral("Διόρθωση Μέλους"));
    addItem(team, QStringLiteral("mn_DeleteMember"), QStringLiteral("Διαγραφή Μέλους"));
    addItem(team, QStringLiteral("mnMemberList"), QStringLiteral("Κατάλογος Μελών"));
    addItem(team, QStringLiteral("mnGroupSeperator2"), QStringLiteral("-"));
    addItem(team, QStringLiteral("mn_FindMembers"), QStringLiteral("Αναζήτηση Μελών"),
            QStringLiteral("Ctrl+F"));
    addItem(team, QStringLiteral("mn_CopyToGroup"), QStringLiteral("Μεταφορά σε Ομάδα"),
            QStringLiteral("Ctrl+M"));

    QMenu* tools = topMenu(QStringLiteral("mnTools"), QStringLiteral("Εργαλεία"));
    connect(addItem(tools, QStringLiteral("mnConfigureConnection"),
                    QStringLiteral("Παράμετροι Προγράμματος")),
            &QAction::triggered, this, &frmMain::mnConfigureConnection_Click);
    addItem(tools, QStringLiteral("mnChangeCompanyCode"), QStringLiteral("Αλλαγή Αριθμών Κλήσης"));
    addItem(tools, QStringLiteral("mnWebImport"), QStringLiteral("Εισαγωγή Στοιχείων από Web"));
    connect(addItem(tools, QStringLiteral("mnGetCredits"),
                    QStringLiteral("Υπόλοιπο SMS &Mηνυμάτων (Credits)"), QStringLiteral("Ctrl+F5")),
            &QAction::triggered, this, &frmMain::mnGetCredits_Click);

    QMenu* help = topMenu(QStringLiteral("mnHelp"), QStringLiteral("Βοήθεια"));
    connect(addItem(help, QStringLiteral("mnAbout"), QStringLiteral("Πληροφορίες για το Vantrel")),
            &QAction::triggered, this, &frmMain::mnAbout_Click);
    connect(addItem(help, QStringLiteral("mnDisclaimer"), QStringLiteral("Όροι Χρήσης")),
            &QAction::triggered, this, &frmMain::mnDisclaimer_Click);
    connectCommands();
}

QAction* frmMain::MenuItem(const QString& name) const
{
    return m_menuItems.value(name);
}

QString frmMain::MenuTag(const QString& name) const
{
    const QAction* item = MenuItem(name);
    return item ? item->property("Tag").toString() : QString();
}

void frmMain::InitializeMenus()
{
    const QString messageLists =
        QStringLiteral("frmMessage_OutBox,frmMessage_Saved,frmMessage_Sended");
    const QString sending = QStringLiteral("frmMessage_OutBox,frmMessage_Sended,frmMessage_Edit");
    const QString editor = QStringLiteral("frmMessage_Edit");
    const QString organiser = QStringLiteral("frmGroup_Organize");
    const QString lists = QStringLiteral("frmGroup_Organize,frmMember_List,frmMessage_OutBox,"
                                         "frmMessage_Sended,frmMessage_Saved");
    const QString members = QStringLiteral("frmGroup_Organize,frmMember_List");
    const QList<QPair<const char*, QString>> tags = {
        {"mn_DeleteMessage", messageLists},
        {"mn_SendMessage", sending},
        {"mn_SaveMessage", editor},
        {"mn_SaveMessageAs", editor},
        {"mn_Cut", organiser},
        {"mn_Copy", organiser},
        {"mn_Paste", organiser},
        {"mn_SelectAll", lists},
        {"mn_InvertSelection", lists},
        {"mn_NewGroup", organiser},
        {"mn_EditGroup", organiser},
        {"mn_DeleteGroup", organiser},
        {"mn_NewMember", members},
        {"mn_EditMember", members},
        {"mn_DeleteMember", members},
        {"mn_FindMembers", members},
        {"mn_CopyToGroup", organiser},
    };
    for (const auto& [name, tag] : tags)
        MenuItem(QLatin1String(name))->setProperty("Tag", tag);
    DisableAllMenus();
}

void frmMain::DisableAllMenus()
{
    for (const QString& name : std::as_const(m_menuOrder)) {
        if (name.startsWith(QLatin1String("mn_")))
            m_menuItems.value(name)->setEnabled(false);
    }
}

void frmMain::ActivateFormMenus(const QString& ActiveFormName)
{
    for (const QString& name : std::as_const(m_menuOrder)) {
        if (!name.startsWith(QLatin1String("mn_")))
            continue;
        QAction* item = m_menuItems.value(name);
        if (item->property("Tag").toString().contains(ActiveFormName, Qt::CaseSensitive))
            item->setEnabled(true);
    }
}

void frmMain::SetMenuState(const QString& MenuName, bool Value)
{
    QAction* item = MenuItem(MenuName);
    if (!item)
        rt::Raise(730, QStringLiteral("Control '%1' not found").arg(MenuName));
    item->setEnabled(Value);
}

// ---- the panel menu -----------------------------------------------------------------

void frmMain::createPanelMenu()
{
    QString why;
    m_vmenu = rt::CreateControl(TirnavexProgId, m_picMDISpace, &why);
    if (m_vmenu) {
        connect(m_vmenu, SIGNAL(ButtonClick(QString, QString)), this,
                SLOT(VMenu_ButtonClick(QString, QString)));
    } else {
        // The window still works without its panel menu; the place stays empty.
        m_vmenu = new QWidget(m_picMDISpace);
        m_vmenu->resize(toPixels(2040), toPixels(6000));
        m_vmenu->setProperty("rt_CreateError", why);
    }
    m_vmenu->setObjectName(QStringLiteral("VMenu"));
    // Wide enough for the longest button caption with a margin on either side.
    moveTwips(m_vmenu, 60, 60, 2040, heightOf(m_vmenu));
}

void frmMain::fillPanelMenu()
{
    struct Panel {
        const char* key;
        QString caption;
    };
    struct Button {
        const char* panel;
        const char* key;
        QString caption;
        int image;
        QString toolTip;
    };
    const QList<Panel> panels = {
        {"mnMembers", QStringLiteral("Οργάνωση")},
        {"mnSMS", QStringLiteral("Μηνύματα")},
        {"mnTools", QStringLiteral("Εργαλεία")},
    };
    const QList<Button> buttons = {
        {"mnMembers", "btnMembers", QStringLiteral("Κατάλογος Μέλων"), 1,
         QStringLiteral("Διαχείρηση Στοιχείων Μελών")},
        {"mnMembers", "btnGroups", QStringLiteral("Οργάνωση Ομάδων"), 2,
         QStringLiteral("Οργάνωση Ομάδων")},
        {"mnSMS", "btnOutBox", QStringLiteral("Εξερχόμενα"), 3,
         QStringLiteral("Κατάλογος Εξερχόμενων Μηνυμάτων")},
        {"mnSMS", "btnSendBox", QStringLiteral("Απεσταλμένα"), 4,
         QStringLiteral("Κατάλογος Απεσταλμένων Μηνυμάτων")},
        {"mnSMS", "btnSavedMsgs", QStringLiteral("Αποθηκευμένα"), 5,
         QStringLiteral("Κατάλογος Αποθηκευμένων Μηνυμάτων")},
        {"mnTools", "btnConfig", QStringLiteral("Παράμετροι"), 6,
         QStringLiteral("Παράμετροι Προγράμματος")},
        {"mnTools", "btnErrorLog", QStringLiteral("Ιστορικό\nΣφαλμάτων"), 7,
         QStringLiteral("Ιστορικό Σφαλμάτων")},
        {"mnTools", "btnCalculator", QStringLiteral("Αριθμομηχανή"), 8,
         QStringLiteral("Αριθμομηχανή")},
        {"mnTools", "btnNotepad", QStringLiteral("Σημειωματάριο"), 9,
         QStringLiteral("Σημειωματάριο")},
    };
    for (const Panel& panel : panels) {
        bool added = false;
        QMetaObject::invokeMethod(m_vmenu, "AddPanel", Q_RETURN_ARG(bool, added),
                                  Q_ARG(QString, panel.caption),
                                  Q_ARG(QString, QLatin1String(panel.key)));
        for (const Button& button : buttons) {
            if (qstrcmp(button.panel, panel.key) != 0)
                continue;
            QMetaObject::invokeMethod(
                m_vmenu, "AddButton", Q_RETURN_ARG(bool, added),
                Q_ARG(QString, QLatin1String(button.panel)), Q_ARG(QString, button.caption),
                Q_ARG(QString, QLatin1String(button.key)),
                Q_ARG(QPixmap, MainWindowPictures::PanelPicture(button.image)),
                Q_ARG(QString, button.toolTip));
        }
    }
}

void frmMain::VMenu_ButtonClick(const QString& MenuKey, const QString& ButtonKey)
{
    Q_UNUSED(MenuKey);
    try {
        if (ButtonKey == QLatin1String("btnMembers"))
            mnMemberList_Click();
        else if (ButtonKey == QLatin1String("btnGroups"))
            mnGroupOrganize_Click();
        else if (ButtonKey == QLatin1String("btnOutBox"))
            mnOutBox_Click();
        else if (ButtonKey == QLatin1String("btnSendBox"))
            mnSendBox_Click();
        else if (ButtonKey == QLatin1String("btnSavedMsgs"))
            mnSavedBox_Click();
        else if (ButtonKey == QLatin1String("btnConfig"))
            mnConfigureConnection_Click();
        else if (ButtonKey == QLatin1String("btnErrorLog"))
            rt::Forms::get<frmError_Log>().show();
        else if (ButtonKey == QLatin1String("btnCalculator"))
            rt::Shell(QStringLiteral("calc.exe"));
        else if (ButtonKey == QLatin1String("btnNotepad"))
            rt::Shell(QStringLiteral("notepad.exe"));
    } catch (const rt::RuntimeError&) {
        // A missing outside program starts nothing and shows nothing.
    }
}

// ---- load and close -----------------------------------------------------------------

void frmMain::Form_Load()
{
    const QString why = m_vmenu->property("rt_CreateError").toString();
    if (!why.isEmpty()) {
        rt::reportUntrapped(rt::RuntimeError(
            339,
            QStringLiteral("Component '%1' not correctly registered: %2").arg(TirnavexProgId, why),
            rt::App::title()));
    }
    ApplyLogoSettings();
    try {
        ReadSavedMessages();
    } catch (const rt::RuntimeError& error) {
        // The window still loads, with an empty drop-down.
        rt::reportUntrapped(error);
    }
    if (why.isEmpty())
        fillPanelMenu();
    InitializeMenus();
}

void frmMain::Form_Unload(bool& cancel)
{
    if (rt::Form* splash = rt::Forms::findByName(QStringLiteral("frmSplash")))
        rt::Forms::unload(splash);
    if (mdlDataBase::IsFormLoaded(QStringLiteral("frmSendMessages"))) {
        cancel = true;
        return;
    }
    // The docked window goes as it goes when another takes its place, so the organiser
    // asks about its unsaved changes; Cancel there (or a save that fails) keeps the
    // program open, and so does an error on the way, once reported.
    bool docked = true;
    try {
        docked = !FreeChildSpace(QString());
    } catch (const rt::RuntimeError& error) {
        rt::reportUntrapped(error);
    }
    if (docked) {
        cancel = true;
        return;
    }
    const bool maximised =
        windowState().testFlag(Qt::WindowMaximized) && !windowState().testFlag(Qt::WindowMinimized);
    mdlSettings::MainWindowState = maximised ? 1 : 0;
    mdlSettings::SaveIniSettings();
    UnloadOtherWindows();
}

void frmMain::UnloadOtherWindows()
{
    // The modeless windows (the member find, the prefix rewrite, the error history, the
    // import viewer) end with the program rather than keep it running, and writing,
    // after the main window has gone. Unloaded while this window is still loaded, so
    // that whatever they call back finds it rather than loading a new one.
    const QList<rt::Form*> others = rt::Forms::loaded();
    for (rt::Form* form : others) {
        if (form != this && rt::Forms::loaded().contains(form))
            rt::Forms::unload(form);
    }
}

void frmMain::mnExit_Click()
{
    rt::End();
}

// ---- saved messages -----------------------------------------------------------------

void frmMain::ReadSavedMessages()
{
    const QString button = QStringLiteral("btnNewMessage");
    QMenu* entries = m_mainToolBar->ButtonMenu(button);
    entries->clear();
    rt::Recordset rs = mdlDataBase::MainDatabase().openRecordset(
        rt::Query{QStringLiteral("SELECT * FROM saved_messages ORDER BY msg_datecreated, "
                                 "msg_timecreated;"),
                  {}},
        rt::RecordsetType::Snapshot);
    if (!rs.isOpen())
        rt::Raise(rs.status().number, rs.status().description, QStringLiteral("SQLite"));
    for (; !rs.eof(); rs.moveNext()) {
        const QVariant id = rs.field(QStringLiteral("msg_id"));
        const QString key = QStringLiteral("msg_") + id.toString();
        m_mainToolBar->AddButtonMenu(
            button, key,
            mdlDataBase::NullToEmpty(rs.field(QStringLiteral("msg_title"))).toString());
        const QList<QAction*> added = entries->actions();
        added.last()->setData(id);
    }
    rs.close();
}

void frmMain::EditMessage(const QString& MessageID)
{
    if (!FreeChildSpace(QString()))
        return;
    frmMessage_Edit& editor = rt::Forms::get<frmMessage_Edit>();
    editor.show();
    bool isNumber = false;
    const qint32 id = MessageID.trimmed().toInt(&isNumber);
    if (!isNumber)
        rt::Raise(13, QStringLiteral("Type mismatch"));
    try {
        editor.LoadMessage(id);
    } catch (const rt::RuntimeError& error) {
        // The drop-down ignores what goes wrong in its entries, but a message that did
        // not load must not look like a new one without a word.
        rt::reportUntrapped(error);
    }
}

void frmMain::mnNewMessage_Click()
{
    // Any docked window is asked to close, a message window too: a new message starts
    // in a freshly loaded window.
    try {
        if (FreeChildSpace(QString()))
            rt::Forms::get<frmMessage_Edit>().show();
    } catch (const rt::RuntimeError& error) {
        rt::reportUntrapped(error);
    }
}

void frmMain::MainToolBar_ButtonMenuClick(const QString& buttonKey, const QString& itemKey)
{
    try {
        QMenu* entries = m_mainToolBar->ButtonMenu(buttonKey);
        QAction* entry = entries ? entries->findChild<QAction*>(itemKey) : nullptr;
        if (entry)
            EditMessage(entry->data().toString());
    } catch (const rt::RuntimeError&) {
    }
}

// ---- docking --------------------------------------------------------------------------

bool frmMain::FreeChildSpace(const QString& name)
{
    ChildFormCollection& docked = mdlMain::ChildForms();
    if (docked.Count() > 0) {
        rt::Form* current = docked.Item(1);
        if (current->Name() != name)
            rt::Forms::unload(current);
    }
    return docked.Count() == 0;
}

QRect frmMain::dockedGeometry() const
{
    const int W = widthOf(m_picMDISpace);
    const int H = heightOf(m_picMDISpace);
    const int menuWidth = widthOf(m_vmenu);
    return QRect(toPixels(menuWidth + 120), toPixels(60), toPixels(W - (menuWidth + 180)),
                 toPixels(H - 120));
}

void frmMain::placeDockedWindow(QWidget& window) const
{
    const QRect place = dockedGeometry();
    if (place.width() >= 0 && place.height() >= 0)
        window.setGeometry(place);
}

// ---- logo and links -------------------------------------------------------------------

void frmMain::ApplyLogoSettings()
{
    if (mdlSettings::LogoImage.isEmpty())
        return;
    const QString path = rt::App::file(mdlSettings::LogoImage);
    if (rt::FileExists(path)) {
        QPixmap picture;
        if (picture.load(path)) {
            m_imgLogo->setPixmap(picture);
            m_imgLogo->adjustSize();
        }
    }
    if (!mdlSettings::LogoURL.isEmpty())
        rt::SetControlPointer(*m_imgLogo, rt::pointer::Custom);
    if (!mdlSettings::LogoToolTip.isEmpty())
        m_imgLogo->setToolTip(mdlSettings::LogoToolTip);
    picMDISpace_Resize();
}

void frmMain::imgLogo_Click()
{
    if (rt::ControlPointer(*m_imgLogo) == rt::pointer::Custom)
        rt::ShellOpen(mdlSettings::LogoURL);
}

void frmMain::hprNerqPage_Click()
{
    rt::ShellOpen(m_hprNerqPage->text());
}

void frmMain::hprNerqMail_Click()
{
    rt::ShellOpen(QStringLiteral("mailto:") + m_hprNerqMail->text());
}

// ---- layout ---------------------------------------------------------------------------

bool frmMain::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Resize) {
        if (watched == m_tlbrPicture)
            tlbrPicture_Resize();
        else if (watched == m_picMDISpace)
            picMDISpace_Resize();
    } else if (event->type() == QEvent::MouseButtonRelease &&
               static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        auto* control = qobject_cast<QWidget*>(watched);
        if (control &&
            control->rect().contains(static_cast<QMouseEvent*>(event)->position().toPoint())) {
            if (watched == m_imgLogo)
                imgLogo_Click();
            else if (watched == m_hprNerqPage)
                hprNerqPage_Click();
            else if (watched == m_hprNerqMail)
                hprNerqMail_Click();
        }
    }
    return rt::Form::eventFilter(watched, event);
}

void frmMain::resizeEvent(QResizeEvent* event)
{
    rt::Form::resizeEvent(event);
    MDIForm_Resize();
}

void frmMain::MDIForm_Resize()
{
    const int wanted = m_mainToolBar->height() + 4;
    if (m_tlbrPicture->height() != wanted)
        m_tlbrPicture->setFixedHeight(wanted);
}

void frmMain::tlbrPicture_Resize()
{
    const int w = m_tlbrPicture->width() - 1;
    const int h = m_tlbrPicture->height() - 1;
    if (w >= 0 && h >= 0) {
        m_blackBox->setGeometry(0, 0, w, h);
        m_whiteBox->setGeometry(1, 1, w, h);
    }
    m_mainToolBar->move(2, 2);
    // Whatever else stands in the strip is a docked window's toolbar.
    for (QWidget* docked : m_tlbrPicture->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (docked != m_mainToolBar && docked != m_blackBox && docked != m_whiteBox)
            mdlMain::FitDockedToolbar(*docked);
    }
}

void frmMain::picMDISpace_Resize()
{
    const int W = widthOf(m_picMDISpace);
    const int H = heightOf(m_picMDISpace);
    QWidget* menu = m_vmenu;
    moveTwips(menu, leftOf(menu), topOf(menu), widthOf(menu), H - 120);
    moveTwips(m_frame, leftOf(menu) + widthOf(menu) + 60, 0,
              W - (widthOf(menu) + leftOf(menu) + 120), H - 60);
    const int FW = widthOf(m_frame);
    const int FH = heightOf(m_frame);
    moveTwips(m_imgLogo, FW / 2 - widthOf(m_imgLogo) / 2, FH / 2 - heightOf(m_imgLogo) / 2);
    if (rt::Form* docked = mdlMain::ChildForms().Item(1))
        placeDockedWindow(*docked);
    moveTwips(m_lblCompany, FW - widthOf(m_lblCompany) - 120,
              FH - (heightOf(m_lblCompany) + 60) * 3 - 60);
    moveTwips(m_hprNerqPage, FW - widthOf(m_hprNerqPage) - 120,
              topOf(m_lblCompany) + heightOf(m_lblCompany) + 60);
    moveTwips(m_lblURL, leftOf(m_hprNerqPage) - widthOf(m_lblURL) - 60, topOf(m_hprNerqPage));
    moveTwips(m_hprNerqMail, leftOf(m_hprNerqPage),
              topOf(m_hprNerqPage) + heightOf(m_hprNerqPage) + 60);
    moveTwips(m_lblMail, leftOf(m_hprNerqMail) - widthOf(m_lblMail) - 60, topOf(m_hprNerqMail));
}

// ---- commands -----------------------------------------------------------------------

void frmMain::mnConfigureConnection_Click()
{
    if (mdlSettings::EnableSecurity != 0) {
        rt::Forms::showModal(rt::Forms::get<frmGetUserData>());
        if (mdlSettings::LoginResult != 1)
            return;
    }
    rt::Forms::showModal(rt::Forms::get<frmConfiguration>());
}

void frmMain::mnAbout_Click()
{
    rt::Forms::showModal(rt::Forms::get<frmAbout>());
}

bool frmMain::RaiseSendingWindow()
{
    rt::Form* sending = rt::Forms::findByName(QStringLiteral("frmSendMessages"));
    if (!sending)
        return false;
    sending->show();
    sending->raise();
    sending->activateWindow();
    return true;
}

void frmMain::mnGetCredits_Click()
{
    // A job at work (perhaps hidden) is shown rather than joined by a second one.
    if (!RaiseSendingWindow())
        rt::Forms::get<frmSendMessages>().GetCredits();
}

void frmMain::MainToolBar_ButtonClick(const QString& key)
{
    if (key == QLatin1String("btnNewMessage"))
        mnNewMessage_Click();
    else if (key == QLatin1String("btnGetCredits"))
        mnGetCredits_Click();
}

void frmMain::mnDisclaimer_Click()
{
    rt::Forms::showModal(rt::Forms::get<frmDisclaimer>());
}
