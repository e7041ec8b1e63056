// How the main window's library controls reach their operations.
#include "app/form1.h"

#include <QEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTreeWidget>

#include <functional>

#include "model/mainmodel.h"
#include "library/libraryoperations.h"

namespace saed::app {

namespace {

// Runs an action whenever the watched widget receives the focus.
class FocusInWatcher : public QObject {
public:
    FocusInWatcher(std::function<void()> action, QObject* parent)
        : QObject(parent), m_action(std::move(action)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::FocusIn) m_action();
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_action;
};

}  // namespace

void Form1::connectLibrary() {
    connect(m_label10, &ClickableLabel::clicked, this,
            [this] { library::toggleLibraryPanel(m_model); });
    connect(m_command1, &QPushButton::clicked, this,
            [this] { library::hideLibraryPanel(m_model); });
    connect(m_label20, &ClickableLabel::clicked, this,
            [this] { library::toggleCustomPhase(m_model); });
    m_text6->installEventFilter(
        new FocusInWatcher([this] { library::text6FocusIn(m_model); }, this));
    connect(m_libraryModes[1], &QRadioButton::toggled, this,
            [this](bool multiple) { m_model.setFlag(Flag::MultipleChoice, multiple); });
    connect(m_treeView1, &QTreeWidget::itemChanged, this,
            [this](QTreeWidgetItem* item, int column) {
                if (column != 0) return;
                const int node = item->data(0, Qt::UserRole).toInt();
                if (node < 0 || node >= m_phaseTree.nodeCount()) return;
                const bool ticked = item->checkState(0) == Qt::Checked;
                if (ticked == m_phaseTree.node(node).ticked) return;
                library::tickChanged(m_model, m_phaseTree, node, ticked);
                showTreeTicks();
            });
}

// Start-up step 1: the library tree, shown in TreeView1.
bool Form1::buildLibraryTree() {
    const bool built = library::BuildPhaseTree(m_model, m_phaseTree);
    showPhaseTree();
    return built;
}

void Form1::showPhaseTree() {
    const QSignalBlocker blocker(m_treeView1);
    m_treeView1->clear();
    m_treeItems.clear();
    for (int i = 0; i < m_phaseTree.nodeCount(); ++i) {
        const library::TreeNode& node = m_phaseTree.node(i);
        QTreeWidgetItem* item =
            node.parent < 0
                ? new QTreeWidgetItem(m_treeView1)
                : new QTreeWidgetItem(m_treeItems[static_cast<std::size_t>(node.parent)]);
        item->setText(0, QString::fromStdString(node.text));
        item->setToolTip(0, item->text(0));
        item->setData(0, Qt::UserRole, i);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(0, node.ticked ? Qt::Checked : Qt::Unchecked);
        m_treeItems.push_back(item);
    }
    for (int i = 0; i < m_phaseTree.nodeCount(); ++i)
        m_treeItems[static_cast<std::size_t>(i)]->setExpanded(m_phaseTree.node(i).expanded);
}

void Form1::showTreeTicks() {
    const QSignalBlocker blocker(m_treeView1);
    for (int i = 0; i < m_phaseTree.nodeCount(); ++i)
        m_treeItems[static_cast<std::size_t>(i)]->setCheckState(
            0, m_phaseTree.node(i).ticked ? Qt::Checked : Qt::Unchecked);
}

}  // namespace saed::app
