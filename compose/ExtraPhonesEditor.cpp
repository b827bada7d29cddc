#include "compose/ExtraPhonesEditor.h"

#include "addressbook/PhoneField.h"
#include "app/mdlMain.h"
#include "platform/AxButton.h"
#include "platform/FileDialog.h"
#include "platform/KeyInput.h"
#include "platform/MsgBox.h"
#include "platform/TextBox.h"
#include "platform/TextFile.h"
#include "platform/Toolbar.h"

#include <QApplication>
#include <QEvent>
#include <QItemSelectionModel>
#include <QListWidget>
#include <QPainter>
#include <QPainterPath>
#include <QResizeEvent>
#include <QStyle>
#include <QToolButton>
#include <algorithm>
#include <memory>
#include <optional>
#include <vector>

namespace {

const QChar DQ = u'"';
const QChar LF = u'\n';

enum class Glyph { Add, Update, Edit, Delete };

// The four list pictures of the toolbar, drawn at 16 by 16.
QIcon glyphIcon(Glyph glyph)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    switch (glyph) {
    case Glyph::Add:
        p.setPen(QPen(QColor(30, 130, 40), 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(8, 3, 8, 13);
        p.drawLine(3, 8, 13, 8);
        break;
    case Glyph::Update:
        p.setPen(QPen(QColor(30, 100, 170), 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(QPolygonF({QPointF(3, 8.5), QPointF(6.5, 12), QPointF(13, 4)}));
        break;
    case Glyph::Edit: {
        p.setPen(QPen(QColor(90, 70, 20), 1));
        p.setBrush(QColor(235, 190, 60));
        QPainterPath pencil;
        pencil.moveTo(11, 2);
        pencil.lineTo(14, 5);
        pencil.lineTo(6, 13);
        pencil.lineTo(2, 14);
        pencil.lineTo(3, 10);
        pencil.closeSubpath();
        p.drawPath(pencil);
        break;
    }
    case Glyph::Delete:
        p.setPen(QPen(QColor(190, 30, 30), 2.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(4, 4, 12, 12);
        p.drawLine(12, 4, 4, 12);
        break;
    }
    return QIcon(pixmap);
}

// The numbers of an extra-phones file in file order, each with its blanks and line breaks
// taken out, empty fields skipped; nothing when a field holds anything but digits. Every
// field is checked before anything is added: one wrong field refuses the file.
std::optional<QStringList> readPhoneFields(rt::FieldReader& reader)
{
    QStringList phones;
    while (!reader.atEnd()) {
        QString field = reader.readField();
        field.remove(u' ');
        field.remove(QStringLiteral("\r\n"));
        field.remove(u'\n');
        field.remove(u',');
        if (field.isEmpty())
            continue;
        for (const QChar c : field) {
            if (c < u'0' || c > u'9')
                return std::nullopt;
        }
        phones.append(field);
    }
    return phones;
}

} // namespace

ExtraPhonesEditor::ExtraPhonesEditor(QWidget* parent) : rt::UserControl(parent)
{
    btnExtraPhones = new rt::AxButton(QStringLiteral("btnExtraPhones"), this);
    btnExtraPhones->setCaption(QStringLiteral("Πρόσθετα Τηλέφωνα"));
    btnExtraPhones->setFocusPolicy(Qt::NoFocus);

    phoneField = new PhoneField(QStringLiteral("PhoneField"), this);
    phoneField->setToolTipText(
        QStringLiteral("Πληκτρολογήστε εδώ το τηλέφωνο που θέλετε να προσθέσετε"));

    tlbrExtraPhones = new rt::Toolbar(QStringLiteral("tlbrExtraPhones"), this);
    QStyle* style = QApplication::style();
    const struct {
        const char* key;
        QIcon picture;
        QString toolTip;
    } buttons[] = {
        {"btnAdd", glyphIcon(Glyph::Add), QStringLiteral("Προσθήκη Τηλεφώνου")},
        {"btnUpdate", glyphIcon(Glyph::Update), QStringLiteral("Ενημέρωση Τηλεφώνου")},
        {"btnEdit", glyphIcon(Glyph::Edit), QStringLiteral("Διόρθωση Τηλεφώνου")},
        {"btnDelete", glyphIcon(Glyph::Delete), QStringLiteral("Διαγραφή Τηλεφώνου")},
        {"btnLoad", style->standardIcon(QStyle::SP_DialogOpenButton),
         QStringLiteral("Εισαγωγή Τηλεφώνων από Αρχείο")},
        {"btnSave", style->standardIcon(QStyle::SP_DialogSaveButton),
         QStringLiteral("Αποθήκευση Τηλεφώνων σε Αρχείο")},
    };
    for (const auto& b : buttons) {
        QToolButton* button =
            tlbrExtraPhones->AddButton(QString::fromLatin1(b.key), QString(), b.picture, b.toolTip);
        button->setToolButtonStyle(Qt::ToolButtonIconOnly);
        button->setIconSize(QSize(16, 16));
    }
    // One button a row: the toolbar stands upright beside the field and the list.
    tlbrExtraPhones->setWrappable(true);

    lstExtraPhones = new QListWidget(this);
    lstExtraPhones->setObjectName(QStringLiteral("lstExtraPhones"));
    lstExtraPhones->setSelectionMode(QAbstractItemView::ExtendedSelection);
    // Every entry is one line of digits: the list lays out an imported file of many
    // thousands of numbers without measuring each of them.
    lstExtraPhones->setUniformItemSizes(true);

    connect(tlbrExtraPhones, &rt::Toolbar::ButtonClick, this,
            &ExtraPhonesEditor::tlbrExtraPhones_ButtonClick);
    connect(phoneField, &PhoneField::KeyDown, this, &ExtraPhonesEditor::PhoneField_KeyDown);
    connect(phoneField, &PhoneField::Change, this, &ExtraPhonesEditor::PhoneField_Change);
    phoneField->box()->installEventFilter(this);

    setEditing(false);
    enableStoreButtons();
    resize(220, 160);
    layoutControls();
}

ExtraPhonesEditor::ExtraPhonesEditor(const QString& name, QWidget* parent)
    : ExtraPhonesEditor(parent)
{
    setObjectName(name);
}

QString ExtraPhonesEditor::fileFilter()
{
    return QStringLiteral("Τηλέφωνα (*.phn)|*.phn|Κείμενο (*.txt)|*.txt");
}

// ---- public members

void ExtraPhonesEditor::AddPhone(const QString& Phone, bool MoveToLast)
{
    if (Phone.isEmpty())
        return;
    if (PhoneExist(Phone)) {
        rt::MsgBox(QStringLiteral("Ο αριθμός τηλεφώνου ") + DQ + Phone + DQ +
                       QStringLiteral(" που θέλετε να προσθέσετε") + LF +
                       QStringLiteral("υπάρχει στη λίστα."),
                   rt::mb::Exclamation, QStringLiteral("ΠΡΟΣΘΗΚΗ ΑΡΙΘΜΟΥ ΤΗΛΕΦΩΝΟΥ"));
        selectPhoneText();
        return;
    }
    lstExtraPhones->setUpdatesEnabled(false);
    appendEntries({Phone});
    if (MoveToLast)
        makeCurrent(lstExtraPhones->count() - 1);
    lstExtraPhones->setUpdatesEnabled(true);
    phoneField->setText(QString());
    phoneField->setFocus();
    emit PhonesChanged();
}

QString ExtraPhonesEditor::GetPhoneList() const
{
    QStringList phones;
    phones.reserve(lstExtraPhones->count());
    for (int i = 0; i < lstExtraPhones->count(); ++i)
        phones.append(lstExtraPhones->item(i)->text());
    return phones.join(u',');
}

int ExtraPhonesEditor::PhoneCount() const
{
    return lstExtraPhones->count();
}

bool ExtraPhonesEditor::PhoneExist(const QString& Phone) const
{
    return m_known.contains(Phone);
}

// ---- the toolbar's operations

void ExtraPhonesEditor::tlbrExtraPhones_ButtonClick(const QString& key)
{
    if (key == QLatin1String("btnAdd"))
        AddPhone(phoneField->Text(), true);
    else if (key == QLatin1String("btnUpdate"))
        UpdatePhone();
    else if (key == QLatin1String("btnEdit"))
        EditSelectedPhone();
    else if (key == QLatin1String("btnDelete"))
        DeletePhones();
    else if (key == QLatin1String("btnLoad"))
        ImportPhones();
    else if (key == QLatin1String("btnSave"))
        ExportPhones();
}

void ExtraPhonesEditor::EditSelectedPhone()
{
    const int current = lstExtraPhones->currentRow();
    if (lstExtraPhones->count() == 0 || current < 0)
        return;
    setEditing(true);
    phoneField->setText(lstExtraPhones->item(current)->text());
    m_editedIndex = current;
    selectPhoneText();
}

void ExtraPhonesEditor::UpdatePhone()
{
    const QString phone = phoneField->Text();
    if (phone.isEmpty())
        return;
    // The entries are unique: the number is another entry's unless it is the edited one's.
    const bool editedOne = m_editedIndex >= 0 && m_editedIndex < lstExtraPhones->count() &&
                           lstExtraPhones->item(m_editedIndex)->text() == phone;
    if (PhoneExist(phone) && !editedOne) {
        rt::MsgBox(QStringLiteral("Το τηλέφωνο αυτό υπάρχει ήδη στη λίστα."), rt::mb::Exclamation,
                   QStringLiteral("ΔΙΟΡΘΩΣΗ ΤΗΛΕΦΩΝΟΥ"));
        selectPhoneText();
        return;
    }
    const int index = m_editedIndex;
    setEditing(false);
    if (index < 0 || index >= lstExtraPhones->count())
        return;
    lstExtraPhones->setUpdatesEnabled(false);
    replaceEntry(index, phone);
    makeCurrent(index);
    lstExtraPhones->setUpdatesEnabled(true);
    phoneField->setText(QString());
    emit PhonesChanged();
}

void ExtraPhonesEditor::DeletePhones()
{
    const int current = lstExtraPhones->currentRow();
    if (lstExtraPhones->count() == 0 || current < 0)
        return;
    const qsizetype selected = lstExtraPhones->selectedItems().size();
    const QString object =
        selected < 2 ? QStringLiteral("το τηλέφωνο ") + DQ + lstExtraPhones->item(current)->text() +
                           DQ + u' ' + QStringLiteral("απο τη λίστα.")
                     : QString::number(selected) + QStringLiteral(" τηλέφωνα απο τη λίστα.");
    const int answer =
        rt::MsgBox(QStringLiteral("Πρόκειτε να διαγράψετε ") + object + LF +
                       QStringLiteral("Θέλετε να συνεχίσετε;"),
                   rt::mb::YesNo | rt::mb::Question, QStringLiteral("ΔΙΑΓΡΑΦΗ ΠΡΟΣΘΕΤΩΝ ΑΡΙΘΜΩΝ"));
    if (answer != rt::mb::Yes)
        return;
    lstExtraPhones->setUpdatesEnabled(false);
    if (selected >= 2)
        removeSelectedEntries();
    else
        removeEntry(current);
    lstExtraPhones->setUpdatesEnabled(true);
    lstExtraPhones->setFocus();
    emit PhonesChanged();
}

void ExtraPhonesEditor::ImportPhones()
{
    rt::FileDialogRequest request;
    request.kind = rt::FileDialogRequest::Open;
    request.filter = fileFilter();
    const std::optional<QString> path = rt::ShowFileDialog(request);
    if (!path)
        return;
    rt::FieldReader reader;
    if (!reader.open(*path))
        return;

    std::optional<QStringList> phones;
    {
        mdlMain::BusyPointer busy;
        phones = readPhoneFields(reader);
        if (phones && !phones->isEmpty()) {
            QStringList added;
            QSet<QString> inFile;
            for (const QString& phone : *phones) {
                // A number twice in the file is added once, where it first stands.
                if (!PhoneExist(phone) && !inFile.contains(phone)) {
                    inFile.insert(phone);
                    added.append(phone);
                }
            }
            lstExtraPhones->setUpdatesEnabled(false);
            appendEntries(added);
            makeCurrent(lstExtraPhones->count() - 1);
            lstExtraPhones->setUpdatesEnabled(true);
            lstExtraPhones->setFocus();
        }
    }
    if (!phones) {
        rt::MsgBox(QStringLiteral("Αυτό το αρχείο δεν περιέχει έγκυρα τηλέφωνα.") + LF +
                       QStringLiteral("Η εισαγωγή τηλεφώνων θα ακυρωθεί."),
                   rt::mb::Exclamation, QStringLiteral("Εισαγωγή Τηλεφώνων"));
        return;
    }
    emit PhonesChanged();
}

void ExtraPhonesEditor::ExportPhones()
{
    if (lstExtraPhones->count() == 0)
        return;
    rt::FileDialogRequest request;
    request.kind = rt::FileDialogRequest::Save;
    request.filter = fileFilter();
    QString path;
    for (;;) {
        const std::optional<QString> chosen = rt::ShowFileDialog(request);
        if (!chosen)
            return;
        path = *chosen;
        if (!rt::ChosenFileExists(path))
            break;
        const int answer = rt::MsgBox(
            QStringLiteral("Το αρχείο ") + path + QStringLiteral(" υπάρχει ήδη στο δίσκο.") + LF +
                QStringLiteral("Θέλετε να το αντικαταστήσετε;"),
            rt::mb::YesNoCancel | rt::mb::Question, QStringLiteral("Αποθήκευση Τηλεφώνων"));
        if (answer == rt::mb::Yes)
            break;
        if (answer != rt::mb::No)
            return;
    }
    // A file that cannot be written ends the export as quietly as a cancelled dialog.
    rt::WriteLines(path, {GetPhoneList()});
}

// ---- the phone field

void ExtraPhonesEditor::PhoneField_KeyDown(int& KeyCode, int& Shift)
{
    Q_UNUSED(Shift);
    if (KeyCode == rt::key::Return) {
        if (tlbrExtraPhones->isButtonVisible(QStringLiteral("btnAdd")))
            AddPhone(phoneField->Text(), true);
        else
            UpdatePhone();
    } else if (KeyCode == rt::key::Escape) {
        phoneField->setText(QString());
        setEditing(false);
    }
}

void ExtraPhonesEditor::PhoneField_Change()
{
    enableStoreButtons();
}

bool ExtraPhonesEditor::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == phoneField->box() && event->type() == QEvent::FocusIn)
        enableStoreButtons();
    return rt::UserControl::eventFilter(watched, event);
}

void ExtraPhonesEditor::setEditing(bool editing)
{
    tlbrExtraPhones->setButtonVisible(QStringLiteral("btnAdd"), !editing);
    tlbrExtraPhones->setButtonVisible(QStringLiteral("btnUpdate"), editing);
    tlbrExtraPhones->setButtonEnabled(QStringLiteral("btnEdit"), !editing);
    tlbrExtraPhones->setButtonEnabled(QStringLiteral("btnDelete"), !editing);
    if (!editing)
        m_editedIndex = -1;
}

void ExtraPhonesEditor::enableStoreButtons()
{
    const bool typed = !phoneField->Text().isEmpty();
    tlbrExtraPhones->setButtonEnabled(QStringLiteral("btnAdd"), typed);
    tlbrExtraPhones->setButtonEnabled(QStringLiteral("btnUpdate"), typed);
}

void ExtraPhonesEditor::appendEntries(const QStringList& phones)
{
    lstExtraPhones->addItems(phones);
    for (const QString& phone : phones)
        m_known.insert(phone);
}

void ExtraPhonesEditor::replaceEntry(int row, const QString& phone)
{
    QListWidgetItem* item = lstExtraPhones->item(row);
    m_known.remove(item->text());
    item->setText(phone);
    m_known.insert(phone);
}

void ExtraPhonesEditor::removeEntry(int row)
{
    std::unique_ptr<QListWidgetItem> item(lstExtraPhones->takeItem(row));
    m_known.remove(item->text());
}

void ExtraPhonesEditor::removeSelectedEntries()
{
    // In one pass: taking the entries out one at a time moves every later entry and
    // every selection range at each step, which takes minutes with tens of thousands.
    const int count = lstExtraPhones->count();
    std::vector<bool> removed(size_t(count), false);
    for (const QItemSelectionRange& range : lstExtraPhones->selectionModel()->selection()) {
        for (int row = range.top(); row <= range.bottom(); ++row)
            removed[size_t(row)] = true;
    }
    // The current entry ends where taking the entries out from the last to the first
    // leaves it: it moves up past each one taken out above it, and when it is taken out
    // itself, to the entry above (the first one when there is none above).
    int current = lstExtraPhones->currentRow();
    for (int row = count - 1; row >= 0; --row) {
        if (!removed[size_t(row)])
            continue;
        if (row < current)
            --current;
        else if (row == current)
            current = std::max(0, row - 1);
    }
    QStringList kept;
    for (int row = 0; row < count; ++row) {
        const QString phone = lstExtraPhones->item(row)->text();
        if (removed[size_t(row)])
            m_known.remove(phone);
        else
            kept.append(phone);
    }
    lstExtraPhones->clear();
    lstExtraPhones->addItems(kept);
    if (!kept.isEmpty())
        lstExtraPhones->setCurrentRow(current, QItemSelectionModel::NoUpdate);
}

// The entry becomes the current and only selected one, as a click on it would make it.
void ExtraPhonesEditor::makeCurrent(int row)
{
    lstExtraPhones->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
}

void ExtraPhonesEditor::selectPhoneText()
{
    phoneField->setFocus();
    phoneField->SetSelection(0, int(phoneField->Text().size()));
}

// ---- layout

void ExtraPhonesEditor::resizeEvent(QResizeEvent* event)
{
    rt::UserControl::resizeEvent(event);
    layoutControls();
}

void ExtraPhonesEditor::layoutControls()
{
    const int captionHeight = btnExtraPhones->sizeHint().height();
    btnExtraPhones->setGeometry(0, 0, width(), captionHeight);
    const int fieldTop = captionHeight + 2;
    const int fieldHeight = phoneField->sizeHint().height();
    const int toolbarWidth = tlbrExtraPhones->ButtonWidth() + 2;
    tlbrExtraPhones->setGeometry(width() - toolbarWidth, fieldTop, toolbarWidth,
                                 std::max(0, height() - fieldTop));
    const int fieldWidth = std::max(0, width() - toolbarWidth - 2);
    phoneField->setGeometry(0, fieldTop, fieldWidth, fieldHeight);
    const int listTop = fieldTop + fieldHeight + 2;
    lstExtraPhones->setGeometry(0, listTop, fieldWidth, std::max(0, height() - listTop));
}
