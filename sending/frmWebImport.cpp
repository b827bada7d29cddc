#include "sending/frmWebImport.h"

#include "compose/MessageWindowPictures.h"
#include "platform/Events.h"
#include "platform/ImageList.h"
#include "platform/MsgBox.h"
#include "platform/MultiLineTextBox.h"
#include "platform/Node.h"
#include "platform/Nodes.h"
#include "platform/ProgressBar.h"
#include "platform/TreeView.h"
#include "platform/WindowServices.h"
#include "sending/mdlInternet.h"

#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <optional>
#include <vector>

namespace {

const QString groupPrefix = QStringLiteral("GRP_");
const QString abortCaption = QStringLiteral("Ακύρωση");
const QString crlf = QStringLiteral("\r\n");

// A whole number as the reply writes it, blanks around it allowed.
std::optional<qint32> wholeNumber(const QString& text)
{
    bool ok = false;
    const qint32 value = text.trimmed().toInt(&ok);
    if (!ok)
        return std::nullopt;
    return value;
}

// The inner text of the first element named tag in text; nothing when it is missing.
std::optional<QString> innerText(const QString& tag, const QString& text)
{
    const std::optional<QString> element = mdlInternet::GetElement(tag, text);
    if (!element)
        return std::nullopt;
    return mdlInternet::StripOuterTag(*element);
}

// Takes out the one element that was just read, at the place it was found, so that an
// identical element further on is still read as the next one.
void removeFirst(QString& text, const QString& element)
{
    const qsizetype at = text.indexOf(element);
    if (at >= 0)
        text.remove(at, element.size());
}

} // namespace

frmWebImport::frmWebImport()
    : rt::Form(QStringLiteral("frmWebImport")), Groups(new rt::TreeView(this)),
      Label3(new QLabel(QStringLiteral(" Ομάδες"), this)),
      txtPhones(new rt::MultiLineTextBox(QStringLiteral("txtPhones"), this)),
      Label4(new QLabel(QStringLiteral(" Τηλέφωνα"), this)),
      cmdSave(new QPushButton(QStringLiteral("Αποθήκευση"), this)),
      cmdCancel(new QPushButton(QStringLiteral("Άκυρο"), this)), picStatus(new QFrame(this)),
      Label1(new QLabel(QStringLiteral("Υπολογισμός Πληροφοριών"), picStatus)),
      Label2(new QLabel(QStringLiteral("Παρακαλώ περιμένετε..."), picStatus)),
      lblStatus(new QLabel(QStringLiteral("Ανάλυση Πληροφοριών"), picStatus)),
      PBar(new rt::ProgressBar(picStatus)), cmdAbort(new QPushButton(abortCaption, picStatus)),
      ImageList16x16(new rt::ImageList(this))
{
    setWindowTitle(QStringLiteral("Εισαγωγή Στοιχείων από Web"));
    setWindowFlags(Qt::Window);
    Groups->setObjectName(QStringLiteral("Groups"));
    Label3->setObjectName(QStringLiteral("Label3"));
    Label4->setObjectName(QStringLiteral("Label4"));
    cmdSave->setObjectName(QStringLiteral("cmdSave"));
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    picStatus->setObjectName(QStringLiteral("picStatus"));
    Label1->setObjectName(QStringLiteral("Label1"));
    Label2->setObjectName(QStringLiteral("Label2"));
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    PBar->setObjectName(QStringLiteral("PBar"));
    cmdAbort->setObjectName(QStringLiteral("cmdAbort"));
    ImageList16x16->setObjectName(QStringLiteral("ImageList16x16"));

    // A closed group, and the same group open while it is the selected one.
    ImageList16x16->Add(MessageWindowPictures::ImageListPicture(2));
    ImageList16x16->Add(MessageWindowPictures::ImageListPicture(3));
    Groups->setImageList(ImageList16x16);
    // A viewer: the numbers are shown, not edited.
    txtPhones->setLocked(true);

    for (QLabel* caption : {Label3, Label4}) {
        caption->setFrameShape(QFrame::Panel);
        caption->setFrameShadow(QFrame::Raised);
        caption->setAutoFillBackground(true);
    }

    auto* left = new QVBoxLayout;
    left->setSpacing(2);
    left->addWidget(Label3);
    left->addWidget(Groups, 1);
    auto* right = new QVBoxLayout;
    right->setSpacing(2);
    right->addWidget(Label4);
    right->addWidget(txtPhones, 1);
    auto* lists = new QHBoxLayout;
    lists->addLayout(left, 3);
    lists->addLayout(right, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdSave);
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(lists, 1);
    layout->addLayout(buttons);

    // The loading panel lies over the middle of the window until OK is pressed.
    picStatus->setFrameShape(QFrame::Panel);
    picStatus->setFrameShadow(QFrame::Raised);
    picStatus->setAutoFillBackground(true);
    QFont bold = Label1->font();
    bold.setBold(true);
    Label1->setFont(bold);
    lblStatus->setWordWrap(true);
    lblStatus->setMinimumHeight(lblStatus->fontMetrics().lineSpacing() * 2);
    lblStatus->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    auto* abortRow = new QHBoxLayout;
    abortRow->addStretch(1);
    abortRow->addWidget(cmdAbort);
    auto* status = new QVBoxLayout(picStatus);
    status->addWidget(Label1);
    status->addWidget(Label2);
    status->addSpacing(6);
    status->addWidget(lblStatus);
    status->addWidget(PBar);
    status->addLayout(abortRow);
    picStatus->hide();

    connect(cmdAbort, &QPushButton::clicked, this, &frmWebImport::cmdAbort_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmWebImport::cmdCancel_Click);
    connect(Groups, &rt::TreeView::NodeClick, this,
            [this](const rt::Node& node) { ShowGroupNumbers(node.Key()); });

    resize(560, 400);
}

// ---- start and close --------------------------------------------------------------------

void frmWebImport::Form_Load()
{
    m_firstActivation = true;
    // Over the main window, as the program's dialogs open, not where the window system
    // puts a window it is told nothing about.
    rt::PlaceOver(*this, rt::Forms::findByName(QStringLiteral("frmMain")));
}

bool frmWebImport::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate)
        QTimer::singleShot(0, this, &frmWebImport::Form_Activate);
    return rt::Form::event(event);
}

void frmWebImport::showEvent(QShowEvent* event)
{
    rt::Form::showEvent(event);
    // A window system that activates nothing (no window manager, offscreen) still starts
    // the load once the window is up.
    QTimer::singleShot(0, this, &frmWebImport::Form_Activate);
}

void frmWebImport::Form_Activate()
{
    if (!m_firstActivation || isUnloading())
        return;
    // Cleared before the load, which lets events run: an activation meanwhile must not
    // start a second one.
    m_firstActivation = false;
    LoadGroupsFromReply();
}

void frmWebImport::Form_Unload(bool& cancel)
{
    Q_UNUSED(cancel);
    mdlInternet::WebImportReply.clear();
}

void frmWebImport::cmdCancel_Click()
{
    rt::Forms::unload(this);
}

// ---- the load ---------------------------------------------------------------------------

void frmWebImport::LoadGroupsFromReply()
{
    QPointer<frmWebImport> self(this);
    setBrowsing(false);
    placeStatusPanel();
    picStatus->show();
    picStatus->raise();
    AbortRequested = false;

    // Window events run between the steps; an abort closes the viewer there, as does the
    // window's own close box.
    auto stopped = [&self]() {
        rt::DoEvents();
        if (!self || self->isUnloading())
            return true;
        if (self->AbortRequested) {
            rt::Forms::unload(self);
            return true;
        }
        return false;
    };

    QString text = mdlInternet::WebImportReply;
    // A reply that does not keep to its form ends the load with what could be read.
    bool wellFormed = true;
    int count = 0;
    const std::optional<QString> countElement =
        mdlInternet::GetElement(QStringLiteral("groups"), text);
    if (countElement) {
        const std::optional<qint32> n = wholeNumber(mdlInternet::StripOuterTag(*countElement));
        if (n && *n >= 0 && *n <= MaxGroups)
            count = *n;
        else
            wellFormed = false;
        removeFirst(text, *countElement);
    } else {
        wellFormed = false;
    }
    PBar->setMax(2 * count);
    PBar->setValue(0);

    std::vector<WebImportGroup> records;
    records.reserve(count);
    for (int i = 1; i <= count; ++i) {
        if (stopped())
            return;
        const std::optional<QString> group = mdlInternet::GetElement(QStringLiteral("group"), text);
        if (!group) {
            wellFormed = false;
            break;
        }
        const std::optional<qint32> id =
            wholeNumber(innerText(QStringLiteral("id"), *group).value_or(QString()));
        const std::optional<qint32> parent =
            wholeNumber(innerText(QStringLiteral("parent"), *group).value_or(QString()));
        if (!id || !parent) {
            wellFormed = false;
            break;
        }
        WebImportGroup record;
        record.id = *id;
        record.parent = *parent;
        record.name = innerText(QStringLiteral("name"), *group).value_or(QString());
        record.numbers = innerText(QStringLiteral("numbers"), *group).value_or(QString());
        records.push_back(record);
        removeFirst(text, *group);
        PBar->setValue(PBar->Value() + 1);
    }

    rt::Nodes nodes = Groups->Nodes();
    for (std::size_t index = 0; index < records.size(); ++index) {
        if (stopped())
            return;
        const WebImportGroup& record = records[index];
        rt::Node node = nodes.Add(groupPrefix + QString::number(record.id), record.name, 1, 2);
        // A second group with an id already shown is left out.
        if (node.isNull()) {
            wellFormed = false;
            continue;
        }
        node.setTag(QString::number(index));
    }

    lblStatus->setText(QStringLiteral("Ταξινόμιση Ομάδων"));
    placeStatusPanel();
    for (int k = 1; k <= nodes.Count(); ++k) {
        if (stopped())
            return;
        rt::Node node = nodes.Item(k);
        const WebImportGroup& record = records[node.Tag().toUInt()];
        if (record.parent > 0) {
            // A parent that names no imported group leaves the group at the top; a move
            // under itself or below itself is refused by the tree.
            const rt::Node parent = nodes.Item(groupPrefix + QString::number(record.parent));
            if (!parent.isNull())
                node.setParent(parent);
        }
        node.setTag(QString(record.numbers).replace(QLatin1Char(','), crlf));
        PBar->setValue(PBar->Value() + 1);
    }

    records.clear();
    mdlInternet::WebImportReply.clear();
    if (wellFormed)
        lblStatus->setText(QStringLiteral("Η εισαγωγή έγινε επιτυχώς.") + QLatin1Char('\n') +
                           QStringLiteral("Βρέθηκαν ") + QString::number(count) +
                           QStringLiteral(" ομάδες."));
    else
        lblStatus->setText(
            QStringLiteral("Η απάντηση του διακομιστή δεν είχε την αναμενόμενη μορφή.") +
            QLatin1Char('\n') + QStringLiteral("Βρέθηκαν ") + QString::number(nodes.Count()) +
            QStringLiteral(" ομάδες."));
    placeStatusPanel();
    cmdAbort->setText(QStringLiteral("OK"));
}

bool frmWebImport::ConfirmAbort()
{
    return rt::MsgBox(QStringLiteral("Η διαδικασία εισαγωγής δεν έχει ολοκληρωθεί.") +
                          QLatin1Char('\n') + QStringLiteral("Θέλετε να την ακυρώσετε;"),
                      rt::mb::YesNo | rt::mb::Question) == rt::mb::Yes;
}

void frmWebImport::cmdAbort_Click()
{
    if (cmdAbort->text() == abortCaption) {
        if (ConfirmAbort())
            AbortRequested = true;
        return;
    }
    picStatus->hide();
    setBrowsing(true);
    rt::Nodes nodes = Groups->Nodes();
    if (nodes.Count() > 0)
        ShowGroupNumbers(nodes.Item(1).Key());
    Groups->setFocus();
}

void frmWebImport::ShowGroupNumbers(const QString& Key)
{
    const rt::Node node = Groups->Nodes().Item(Key);
    if (!node.isNull())
        txtPhones->setText(node.Tag());
}

// ---- layout -----------------------------------------------------------------------------

void frmWebImport::setBrowsing(bool enabled)
{
    Groups->setEnabled(enabled);
    txtPhones->setEnabled(enabled);
    cmdSave->setEnabled(enabled);
    cmdCancel->setEnabled(enabled);
}

void frmWebImport::resizeEvent(QResizeEvent* event)
{
    rt::Form::resizeEvent(event);
    placeStatusPanel();
}

void frmWebImport::placeStatusPanel()
{
    // The status text wraps at the panel's width: the panel is as tall as the wrapped
    // text needs at that width, so that none of its lines falls outside it.
    QLayout* status = picStatus->layout();
    const int width = qMin(qMax(picStatus->sizeHint().width(), 340), this->width());
    const int wanted = status->hasHeightForWidth() ? status->totalHeightForWidth(width)
                                                   : picStatus->sizeHint().height();
    const int height = qMin(wanted, this->height());
    picStatus->setGeometry((this->width() - width) / 2, (this->height() - height) / 2, width,
                           height);
    status->activate();
}
