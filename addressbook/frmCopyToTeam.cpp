#include "addressbook/frmCopyToTeam.h"

#include "addressbook/frmGroup_Organize.h"
#include "addressbook/mdlGroups.h"
#include "app/DialogButtons.h"
#include "platform/KeyInput.h"
#include "platform/TreeView.h"

#include <QFont>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <utility>
#include <vector>

namespace {
const QString& rootKey = mdlGroups::RootKey;
}

frmCopyToTeam::frmCopyToTeam() : rt::Form(QStringLiteral("frmCopyToTeam"))
{
    setWindowTitle(QStringLiteral("Μεταφορά Μελών"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    setKeyPreview(true);

    m_lblTitle = new QLabel(this);
    m_lblTitle->setObjectName(QStringLiteral("lblTitle"));
    m_lblTitle->setWordWrap(true);
    QFont bold = m_lblTitle->font();
    bold.setBold(true);
    m_lblTitle->setFont(bold);
    m_label1 = new QLabel(
        QStringLiteral("Επιλέξτε την ομάδα που θα μετακινήσετε ή θα αντιγράψετε τα μέλη."), this);
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_label1->setWordWrap(true);
    m_groups = new rt::TreeView(this);
    m_groups->setObjectName(QStringLiteral("Groups"));
    m_groups->setMinimumHeight(220);
    m_optChoice[0] =
        new QRadioButton(QStringLiteral("Αντιγραφή των μελών σε αυτή την ομάδα"), this);
    m_optChoice[0]->setObjectName(QStringLiteral("optChoice_0"));
    m_optChoice[1] =
        new QRadioButton(QStringLiteral("Μετακίνηση των μελών σε αυτή την ομάδα"), this);
    m_optChoice[1]->setObjectName(QStringLiteral("optChoice_1"));
    m_optChoice[0]->setChecked(true);
    // Greek capitals omicron and kappa.
    m_cmdOK = dialogbuttons::DialogButton(QStringLiteral("cmdOK"), QStringLiteral("ΟΚ"), this);
    m_cmdCancel =
        dialogbuttons::DialogButton(QStringLiteral("cmdCancel"), QStringLiteral("Ακύρωση"), this);

    QHBoxLayout* buttons = dialogbuttons::ButtonRow({m_cmdOK, m_cmdCancel});
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_lblTitle);
    layout->addWidget(m_label1);
    layout->addWidget(m_groups, 1);
    layout->addWidget(m_optChoice[0]);
    layout->addWidget(m_optChoice[1]);
    layout->addLayout(buttons);

    connect(m_groups, &rt::TreeView::NodeClick, this, &frmCopyToTeam::Groups_NodeClick);
    connect(m_cmdOK, &QPushButton::clicked, this, &frmCopyToTeam::cmdOK_Click);
    connect(m_cmdCancel, &QPushButton::clicked, this, &frmCopyToTeam::cmdCancel_Click);
    setFixedSize(QSize(420, 420));
}

bool frmCopyToTeam::MoveMembers()
{
    frmGroup_Organize* organiser = rt::Forms::find<frmGroup_Organize>();
    rt::TreeView* from = organiser ? organiser->Groups() : nullptr;
    if (!from || from->Nodes().Count() <= 1) {
        rt::Forms::unload(this);
        return false;
    }
    const rt::Node root = from->Nodes().Item(1);
    rt::Node source = from->SelectedItem();
    if (!source)
        source = root;
    m_sourceKey = source.Key();
    m_titlePrefix = m_sourceKey == rootKey ? QStringLiteral("Μεταφορά μελών ")
                                           : QStringLiteral("Μεταφορά μελών απο την ομάδα \"") +
                                                 source.Text() + QStringLiteral("\" ");

    // Every group under its parent, whatever the order its node was made in: walk the
    // organiser's tree from the root down.
    rt::Nodes nodes = m_groups->Nodes();
    nodes.Clear();
    std::vector<std::pair<rt::Node, rt::Node>> pending; // organiser node, parent copy
    for (rt::Node child = root.Child(); child; child = child.Next())
        pending.emplace_back(child, rt::Node());
    for (size_t i = 0; i < pending.size(); ++i) {
        const auto [node, parentCopy] = pending[i];
        rt::Node copy = parentCopy ? nodes.AddChild(parentCopy, node.Key(), node.Text())
                                   : nodes.Add(node.Key(), node.Text());
        if (!copy)
            continue;
        for (rt::Node child = node.Child(); child; child = child.Next())
            pending.emplace_back(child, copy);
    }
    for (int i = 1; i <= nodes.Count(); ++i)
        nodes.Item(i).setExpanded(true);

    if (rt::Node copy = nodes.Item(m_sourceKey)) {
        copy.setBold(true);
        m_groups->setSelectedItem(copy);
        copy.EnsureVisible();
    } else {
        m_groups->setSelectedItem(rt::Node());
    }
    // Out of the root view members can only be copied.
    m_optChoice[1]->setEnabled(m_sourceKey != rootKey);
    UpdateTitle();
    const rt::Node selected = m_groups->SelectedItem();
    m_cmdOK->setEnabled(selected && selected.Key() != m_sourceKey);
    return true;
}

void frmCopyToTeam::UpdateTitle()
{
    QString title = m_titlePrefix;
    if (const rt::Node selected = m_groups->SelectedItem())
        title += QStringLiteral("στην ομάδα \"") + selected.Text() + QLatin1Char('"');
    m_lblTitle->setText(title);
}

void frmCopyToTeam::Groups_NodeClick(const rt::Node& node)
{
    UpdateTitle();
    m_cmdOK->setEnabled(node && node.Key() != m_sourceKey);
}

void frmCopyToTeam::cmdOK_Click()
{
    const rt::Node target = m_groups->SelectedItem();
    if (!target || target.Key() == m_sourceKey)
        return;
    if (frmGroup_Organize* organiser = rt::Forms::find<frmGroup_Organize>())
        organiser->CopyMembersToGroup(m_optChoice[0]->isChecked() ? 0 : 1, m_sourceKey,
                                      target.Key());
    rt::Forms::unload(this);
}

void frmCopyToTeam::cmdCancel_Click()
{
    rt::Forms::unload(this);
}

void frmCopyToTeam::Form_KeyDown(int& KeyCode, int Shift)
{
    Q_UNUSED(Shift);
    if (KeyCode == rt::key::Escape)
        rt::Forms::unload(this);
}
