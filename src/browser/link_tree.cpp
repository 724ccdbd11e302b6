#include "browser/link_tree.h"

#include "platform/home_page.h"
#include "platform/launch_report.h"
#include "platform/platform.h"
#include "widgets/glyph_icon.h"

#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

namespace vellumo {

namespace {

constexpr int LeafRole = Qt::UserRole; // index into linkTable(), -1 for a group

// The tree's pictures by number: 0 a group, 1 a selected group, 2 the program's
// own page, 4 the e-mail entry, 5 another site.
QIcon picture(int number) {
    switch (number) {
    case 0:
        return glyphIcon(QStringLiteral("\u25B6"), QColor(176, 128, 0));
    case 1:
        return glyphIcon(QStringLiteral("\u25BC"), QColor(176, 128, 0));
    case 2:
        return glyphIcon(QStringLiteral("V"), QColor(0, 0, 160));
    case 4:
        return glyphIcon(QStringLiteral("@"), QColor(0, 112, 0));
    default:
        return glyphIcon(QStringLiteral("\u2295"), QColor(0, 96, 160));
    }
}

QIcon groupIcon() {
    // A group shows picture 0, and picture 1 while it is selected.
    QIcon icon;
    for (const QSize size : {QSize(16, 16), QSize(32, 32)}) {
        icon.addPixmap(picture(0).pixmap(size), QIcon::Normal);
        icon.addPixmap(picture(1).pixmap(size), QIcon::Selected);
    }
    return icon;
}

template <typename T> T *takeOver(QWidget *page, const QString &name) {
    return page->findChild<T *>(name, Qt::FindDirectChildrenOnly);
}

} // namespace

const QList<LinkLeaf> &linkTable() {
    static const QList<LinkLeaf> table{
        {QStringLiteral("Web Pages"), QStringLiteral("Vellumo"), 2, ProgramHomePage,
         QStringLiteral("Vellumo's Homepage")},
        {QStringLiteral("E-Mail"), QStringLiteral("E-Mail the author"), 4,
         QStringLiteral("mailto:") + AuthorEmailAddress, QStringLiteral("Orvanel")},
        {QStringLiteral("Other"), QStringLiteral("AltaVista"), 5,
         QStringLiteral("https://www.altavista.com/"), QStringLiteral("AltaVista")},
        {QStringLiteral("Other"), QStringLiteral("Borland"), 5,
         QStringLiteral("https://www.borland.com/"), QStringLiteral("Borland")},
        {QStringLiteral("Other"), QStringLiteral("Microsoft"), 5,
         QStringLiteral("https://www.microsoft.com/"), QStringLiteral("Microsoft")},
        {QStringLiteral("Other"), QStringLiteral("Netscape"), 5,
         QStringLiteral("https://www.netscape.com/"), QStringLiteral("Netscape")}};
    return table;
}

LinkTree::LinkTree(QWidget *page, Platform &platform)
    : QObject(page)
    , m_platform(platform) {
    logo = takeOver<QLabel>(page, QStringLiteral("Image2"));
    if (logo == nullptr) {
        logo = new QLabel(page);
        logo->setObjectName(QStringLiteral("Image2"));
        logo->setFrameShape(QFrame::Panel);
        logo->setFrameShadow(QFrame::Sunken);
        logo->setScaledContents(true);
    }
    logo->setFixedSize(185, 121);

    tree = new QTreeWidget(page);
    tree->setObjectName(QStringLiteral("TreeView1"));
    tree->header()->hide();
    tree->setIndentation(19);
    tree->setMinimumHeight(121);
    tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tree->setSelectionMode(QAbstractItemView::SingleSelection);
    tree->setDragEnabled(true);
    tree->setDragDropMode(QAbstractItemView::DragOnly);
    tree->setDefaultDropAction(Qt::CopyAction);

    QTreeWidgetItem *group = nullptr;
    for (int i = 0; i < linkTable().size(); ++i) {
        const LinkLeaf &leaf = linkTable().at(i);
        if (group == nullptr || group->text(0) != leaf.group) {
            group = new QTreeWidgetItem(tree, {leaf.group});
            group->setIcon(0, groupIcon());
            group->setData(0, LeafRole, -1);
            group->setFlags(group->flags() & ~Qt::ItemIsEditable);
        }
        auto *item = new QTreeWidgetItem(group, {leaf.caption});
        item->setIcon(0, picture(leaf.picture));
        item->setData(0, LeafRole, i);
        item->setToolTip(0, leaf.address);
    }
    tree->expandAll();

    goButton = takeOver<QPushButton>(page, QStringLiteral("Button1"));
    if (goButton == nullptr) {
        goButton = new QPushButton(QStringLiteral("Go There!"), page);
        goButton->setObjectName(QStringLiteral("Button1"));
    }
    goButton->setFixedSize(113, 33);

    // The page's earlier arrangement, if any, makes way for this one.
    delete page->layout();
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addWidget(logo, 0, Qt::AlignHCenter);
    layout->addWidget(tree, 1);
    layout->addWidget(goButton, 0, Qt::AlignHCenter);

    connect(goButton, &QPushButton::clicked, this, &LinkTree::Button1Click);
    connect(tree, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem *item) {
        // A double click on a group opens or closes it and goes nowhere.
        if (item->data(0, LeafRole).toInt() >= 0)
            TreeView1DblClick();
    });
    connect(tree, &QTreeWidget::itemPressed, this, [this] { Q_EMIT entryPicked(); });
    connect(tree, &QTreeWidget::itemSelectionChanged, this, [this] {
        if (!tree->selectedItems().isEmpty())
            Q_EMIT entryPicked();
    });
}

const LinkLeaf *LinkTree::selectedLeaf() const {
    const QList<QTreeWidgetItem *> selected = tree->selectedItems();
    if (selected.isEmpty())
        return nullptr;
    const int index = selected.constFirst()->data(0, LeafRole).toInt();
    return index >= 0 && index < linkTable().size() ? &linkTable().at(index) : nullptr;
}

void LinkTree::Button1Click() {
    if (const LinkLeaf *leaf = selectedLeaf())
        openInBrowser(m_platform, tree->window(), QUrl(leaf->address));
}

} // namespace vellumo
