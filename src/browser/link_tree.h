#pragma once

#include <QList>
#include <QObject>
#include <QString>

class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

namespace vellumo {

class Platform;

// One leaf of the link tree.
struct LinkLeaf {
    QString group;    // the group node it hangs under
    QString caption;  // what the tree shows
    int picture;      // index into the tree's pictures
    QString address;  // what the browser opens; "mailto:..." for the e-mail entry
    QString linkText; // the text of the link a drop inserts
};

// The fixed table behind the tree, in tree order.
const QList<LinkLeaf> &linkTable();
// The author's e-mail address, behind the "E-Mail the author" entry.
inline const QString AuthorEmailAddress = QStringLiteral("orvanel@vellumo.example.org");

// The "Web Pages" tab: the logo, the link tree and "Go There!". It fills the page
// it is given; an "Image2" label and a "Button1" button already there are taken
// over, otherwise they are made.
class LinkTree final : public QObject {
    Q_OBJECT
public:
    LinkTree(QWidget *page, Platform &platform);

    // The controls, by role, with their object names.
    QLabel *logo = nullptr;          // "Image2"
    QTreeWidget *tree = nullptr;     // "TreeView1"
    QPushButton *goButton = nullptr; // "Button1", Go There!

    // The leaf selected in the tree, or null for a group node or no selection.
    const LinkLeaf *selectedLeaf() const;

    // "Go There!" and a double click: the selected leaf in the web browser.
    void Button1Click();
    void TreeView1DblClick() { Button1Click(); }

Q_SIGNALS:
    // The user pressed an entry of the tree or moved the selection onto one.
    void entryPicked();

private:
    Platform &m_platform;
};

} // namespace vellumo
