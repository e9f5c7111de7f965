// The template item dialog.

#include "ornamo/uSelectTemplate.h"

#include <QMenu>
#include <QPushButton>
#include <QTreeWidget>

namespace ornamo {

namespace {

enum { DrawItemRole = Qt::UserRole + 1, EdgeStyleRole };

QTreeWidgetItem *Node(QTreeWidgetItem *parent, const QString &text)
{
    auto *node = new QTreeWidgetItem(parent, {text});
    return node;
}

} // namespace

TfrmSelectTemplate::TfrmSelectTemplate(QWidget *Parent, const TKVStyleLibrary &Template, bool ForDrawItems)
    : TPropertyDialog(Parent, tr("Select Template Item"), "template"), fForDrawItems(ForDrawItems)
{
    tvTemplate = Named(new QTreeWidget, tr("Template items"), tr("Choose a draw item of the template library"));
    tvTemplate->setHeaderHidden(true);
    tvTemplate->setMinimumSize(300, 320);
    auto *root = new QTreeWidgetItem(tvTemplate, {ToQt(Template.LibraryName)});
    auto *vertexStyles = Node(root, tr("Vertex Styles"));
    for (const auto &style : Template.VertexStyles) {
        auto *s = Node(vertexStyles, ToQt(style->Name));
        auto *draws = Node(s, tr("Draw Items"));
        for (const auto &item : style->DrawItems)
            Node(draws, ToQt(item->Name))->setData(0, DrawItemRole, QVariant::fromValue<void *>(item.get()));
        auto *bitmaps = Node(s, tr("Bitmap Items"));
        for (const auto &item : style->BitmapItems)
            Node(bitmaps, ToQt(item->Name));
        auto *datas = Node(s, tr("Data Items"));
        for (const auto &item : style->DataItems)
            Node(datas, ToQt(item->Name));
    }
    tvTemplate->expandToDepth(1);
    Setup();
}

TfrmSelectTemplate::TfrmSelectTemplate(QWidget *Parent, const TKVStyleLibrary &Template)
    : TPropertyDialog(Parent, tr("Select Template Item"), "template"), fForEdgeStyles(true)
{
    tvTemplate = Named(new QTreeWidget, tr("Template items"), tr("Choose an edge style of the template library"));
    tvTemplate->setHeaderHidden(true);
    tvTemplate->setMinimumSize(300, 320);
    auto *root = new QTreeWidgetItem(tvTemplate, {ToQt(Template.LibraryName)});
    auto *edgeStyles = Node(root, tr("Edge Styles"));
    for (const auto &style : Template.EdgeStyles)
        Node(edgeStyles, ToQt(style->Name))->setData(0, EdgeStyleRole, QVariant::fromValue<void *>(style.get()));
    tvTemplate->expandAll();
    Setup();
}

void TfrmSelectTemplate::Setup()
{
    tvTemplate->setContextMenuPolicy(Qt::CustomContextMenu);
    auto *menu = new QMenu(this);
    menu->addAction(tr("E&xpand Tree"), tvTemplate, &QTreeWidget::expandAll);
    menu->addAction(tr("C&ollapse Tree"), tvTemplate, &QTreeWidget::collapseAll);
    connect(tvTemplate, &QWidget::customContextMenuRequested, this,
            [this, menu](const QPoint &p) { menu->popup(tvTemplate->viewport()->mapToGlobal(p)); });
    connect(tvTemplate, &QTreeWidget::currentItemChanged, this, [this] { UpdateOk(); });
    connect(tvTemplate, &QTreeWidget::itemDoubleClicked, this, [this] {
        if (OkButton()->isEnabled())
            accept();
    });
    Finish(tvTemplate);
    UpdateOk();
}

TKVDrawItem *TfrmSelectTemplate::SelectedDrawItem() const
{
    QTreeWidgetItem *node = tvTemplate->currentItem();
    return node ? static_cast<TKVDrawItem *>(node->data(0, DrawItemRole).value<void *>()) : nullptr;
}

TKVEdgeStyle *TfrmSelectTemplate::SelectedEdgeStyle() const
{
    QTreeWidgetItem *node = tvTemplate->currentItem();
    return node ? static_cast<TKVEdgeStyle *>(node->data(0, EdgeStyleRole).value<void *>()) : nullptr;
}

void TfrmSelectTemplate::UpdateOk()
{
    OkButton()->setEnabled((fForDrawItems && SelectedDrawItem()) || (fForEdgeStyles && SelectedEdgeStyle()));
}

} // namespace ornamo
