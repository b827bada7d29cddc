#include "compose/frmInstantGroup.h"

#include "app/mdlDataBase.h"
#include "app/mdlMain.h"
#include "platform/Like.h"
#include "platform/ListView.h"
#include "platform/TextBox.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QString indexed(const char* name, int index)
{
    return QString::fromLatin1(name) + u'_' + QString::number(index);
}

} // namespace

frmInstantGroup::frmInstantGroup() : rt::Form(QStringLiteral("frmInstantGroup"))
{
    setWindowTitle(QStringLiteral("Άμεση Δημιουργία Ομάδας"));
    setWindowFlag(Qt::Dialog);

    Label1 = new QLabel(QStringLiteral("Η λειτουργία αυτή θα σας βοηθήσει να δημιουργήσετε μια "
                                       "προσωρινή ομάδα από μέλη για την αποστολή του μηνύματός "
                                       "σας, σύμφωνα με τα κριτήρια που θα εισάγετε."),
                        this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);

    Frame[0] = new QGroupBox(QStringLiteral("Κριτήρια Δημιουργίας"), this);
    Frame[1] = new QGroupBox(QStringLiteral("Αποτελέσματα"), this);
    for (int i = 0; i < 2; ++i)
        Frame[i]->setObjectName(indexed("Frame", i));

    auto* criteria = new QGridLayout(Frame[0]);
    const char* headers[4] = {" Επίθετο", " Όνομα", " Ιδιότητα", " Τηλέφωνο"};
    for (int c = 0; c < 4; ++c) {
        lblHeader[c] = new QLabel(QString::fromUtf8(headers[c]), Frame[0]);
        lblHeader[c]->setObjectName(indexed("lblHeader", c));
        criteria->addWidget(lblHeader[c], 0, c);
        criteria->setColumnStretch(c, 1);
    }
    for (int r = 0; r < Rows; ++r) {
        txtLName[r] = new rt::TextBox(indexed("txtLName", r), Frame[0]);
        cmbFName[r] = rt::NewEditableComboBox(indexed("cmbFName", r), Frame[0]);
        cmbProperty[r] = rt::NewEditableComboBox(indexed("cmbProperty", r), Frame[0]);
        txtPhone[r] = new rt::TextBox(indexed("txtPhone", r), Frame[0]);
        criteria->addWidget(txtLName[r], r + 1, 0);
        criteria->addWidget(cmbFName[r], r + 1, 1);
        criteria->addWidget(cmbProperty[r], r + 1, 2);
        criteria->addWidget(txtPhone[r], r + 1, 3);
    }
    criteria->setRowStretch(Rows + 1, 1);

    lstResults = new rt::ListView(Frame[1]);
    lstResults->setObjectName(QStringLiteral("lstResults"));
    lstResults->AddColumn(QStringLiteral("Επίθετο"), 1800);
    lstResults->AddColumn(QStringLiteral("Όνομα"), 1500);
    lstResults->AddColumn(QStringLiteral("Ιδιότητα"), 1800);
    lstResults->AddColumn(QStringLiteral("Τηλέφωνο"), 1500);
    lblResult = new QLabel(Frame[1]);
    lblResult->setObjectName(QStringLiteral("lblResult"));
    auto* results = new QVBoxLayout(Frame[1]);
    results->addWidget(lstResults, 1);
    results->addWidget(lblResult);

    cmdStep[0] = new QPushButton(QStringLiteral("< Προηγούμενο"), this);
    cmdStep[1] = new QPushButton(QStringLiteral("Επόμενο >"), this);
    for (int i = 0; i < 2; ++i) {
        cmdStep[i]->setObjectName(indexed("cmdStep", i));
        connect(cmdStep[i], &QPushButton::clicked, this, [this, i] { cmdStep_Click(i); });
    }
    cmdEnd = new QPushButton(QStringLiteral("Τέλος"), this);
    cmdEnd->setObjectName(QStringLiteral("cmdEnd"));
    cmdCancel = new QPushButton(QStringLiteral("Άκυρο"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    connect(cmdEnd, &QPushButton::clicked, this, &frmInstantGroup::cmdEnd_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmInstantGroup::cmdCancel_Click);

    // Both pages share one place; only one shows at a time.
    auto* pages = new QGridLayout;
    pages->addWidget(Frame[0], 0, 0);
    pages->addWidget(Frame[1], 0, 0);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdStep[0]);
    buttons->addWidget(cmdStep[1]);
    buttons->addSpacing(12);
    buttons->addWidget(cmdEnd);
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addLayout(pages, 1);
    layout->addLayout(buttons);

    Frame[1]->hide();
    resize(620, 330);
}

void frmInstantGroup::Form_Load()
{
    FillCriteriaLists();
    ShowStep(0);
}

void frmInstantGroup::FillCriteriaLists()
{
    // Names that differ in letter case only are one entry, as the address book compares.
    struct Source {
        const char* column;
        QComboBox** combos;
    } sources[] = {{"FirstName", cmbFName}, {"Occupation", cmbProperty}};
    for (const Source& source : sources) {
        const QString column = QString::fromLatin1(source.column);
        const rt::Query query{QStringLiteral("SELECT %1 FROM members GROUP BY %1 COLLATE GREEK "
                                             "ORDER BY %1 COLLATE GREEK;")
                                  .arg(column),
                              {}};
        rt::Recordset rs =
            mdlDataBase::MainDatabase().openRecordset(query, rt::RecordsetType::Snapshot);
        for (; rs.isOpen() && !rs.eof(); rs.moveNext()) {
            const QString value = mdlDataBase::NullToEmptyText(rs.field(column));
            for (int r = 0; r < Rows; ++r)
                mdlMain::AddComboItem(source.combos[r], value, 0, false);
        }
    }
}

void frmInstantGroup::ShowStep(int n)
{
    Frame[0]->hide();
    Frame[1]->hide();
    Frame[n]->show();
    cmdStep[0]->setEnabled(true);
    cmdStep[1]->setEnabled(true);
    cmdStep[n]->setEnabled(false);
    cmdEnd->setEnabled(n == 1 && lstResults->ListItems().Count() > 0);
}

void frmInstantGroup::cmdStep_Click(int index)
{
    if (index == 1)
        SearchMembers();
    ShowStep(index);
}

rt::Query frmInstantGroup::BuildQuery(const QStringList& lastNames, const QStringList& firstNames,
                                      const QStringList& occupations, const QStringList& phones)
{
    const struct {
        const char* column;
        const QStringList& texts;
    } fields[] = {{"LastName", lastNames},
                  {"FirstName", firstNames},
                  {"Occupation", occupations},
                  {"mobile_no", phones}};
    const QString like = QStringLiteral(" LIKE ? ESCAPE '%1'").arg(rt::likeEscapeChar);
    QStringList parts;
    QVariantList values;
    for (const auto& field : fields) {
        QStringList conditions;
        for (const QString& typed : field.texts) {
            if (typed.isEmpty())
                continue;
            conditions.append(QString::fromLatin1(field.column) + like);
            values.append(rt::escapeLike(typed) + u'%');
        }
        if (!conditions.isEmpty())
            parts.append(u'(' + conditions.join(QStringLiteral(" OR ")) + u')');
    }
    if (parts.isEmpty())
        return {};
    return {QStringLiteral("SELECT * FROM members WHERE ") + parts.join(QStringLiteral(" AND ")) +
                u';',
            values};
}

void frmInstantGroup::SearchMembers()
{
    QStringList lastNames;
    QStringList firstNames;
    QStringList occupations;
    QStringList phones;
    for (int r = 0; r < Rows; ++r) {
        lastNames.append(txtLName[r]->Text());
        firstNames.append(cmbFName[r]->currentText());
        occupations.append(cmbProperty[r]->currentText());
        phones.append(txtPhone[r]->Text());
    }
    m_instantGroupQuery = BuildQuery(lastNames, firstNames, occupations, phones);

    lstResults->hide();
    lstResults->ListItems().Clear();
    // No criterion finds nobody; a failing query leaves the list empty the same way.
    if (!m_instantGroupQuery.sql.isEmpty()) {
        rt::Recordset rs = mdlDataBase::MainDatabase().openRecordset(m_instantGroupQuery,
                                                                     rt::RecordsetType::Snapshot);
        for (; rs.isOpen() && !rs.eof(); rs.moveNext()) {
            rt::ListItem item = lstResults->ListItems().Add(
                QString(), mdlDataBase::NullToEmptyText(rs.field(QStringLiteral("LastName"))));
            item.setSubItems(1,
                             mdlDataBase::NullToEmptyText(rs.field(QStringLiteral("FirstName"))));
            item.setSubItems(2,
                             mdlDataBase::NullToEmptyText(rs.field(QStringLiteral("Occupation"))));
            item.setSubItems(3,
                             mdlDataBase::NullToEmptyText(rs.field(QStringLiteral("mobile_no"))));
        }
    }
    lstResults->show();

    const int count = lstResults->ListItems().Count();
    lblResult->setText(count > 0 ? QStringLiteral("Βρέθηκαν ") + QString::number(count) +
                                       QStringLiteral(" μέλη.")
                                 : QStringLiteral("Δέν βρέθηκαν μέλη με αυτά τα κριτήρια."));
}

void frmInstantGroup::cmdEnd_Click()
{
    emit CreateInstantGroup(m_instantGroupQuery);
    rt::Forms::unload(this);
}

void frmInstantGroup::cmdCancel_Click()
{
    rt::Forms::unload(this);
}
