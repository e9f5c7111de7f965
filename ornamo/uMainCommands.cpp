// The main window's commands: library files, styles and items, the tree and both views, and the
// undo steps of every change to the library.

#include "ornamo/uMain.h"

#include "kavgraph/KVActors.h"
#include "kavgraph/KVObjsBox.h"
#include "ornamo/uAbout.h"
#include "ornamo/uEdgeStyleProps.h"
#include "ornamo/uItemProps.h"
#include "ornamo/uLibraryProps.h"
#include "ornamo/uPreviewSettings.h"
#include "ornamo/uToolbarConfig.h"
#include "ornamo/uVertexStyleProps.h"

#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSaveFile>
#include <QScrollArea>
#include <QSvgGenerator>
#include <QTreeWidget>
#include <QUndoStack>
#include <QVBoxLayout>

#include <algorithm>

namespace ornamo {

namespace {

enum { KindRole = Qt::UserRole + 1, ObjectRole };

const QString LibraryFilter = QStringLiteral("Style Libraries (*.slb)");

QTreeWidgetItem *AddNode(QTreeWidgetItem *Parent, const QString &Text, TNodeKind Kind, void *Object = nullptr)
{
    auto *node = new QTreeWidgetItem(Parent, {Text});
    node->setData(0, KindRole, int(Kind));
    node->setData(0, ObjectRole, QVariant::fromValue(Object));
    return node;
}

// One change of the library: the library stream and the selected node before and after.
class TLibraryChange : public QUndoCommand {
public:
    TLibraryChange(TfrmMain *Main, const QString &Text, std::string Before, QList<int> SelectedBefore,
                   std::string After, QList<int> SelectedAfter)
        : QUndoCommand(Text), fMain(Main), fBefore(std::move(Before)), fAfter(std::move(After)),
          fSelectedBefore(std::move(SelectedBefore)), fSelectedAfter(std::move(SelectedAfter))
    {
    }
    void undo() override { fMain->Restore(fBefore, fSelectedBefore); }
    void redo() override
    {
        // The change itself has been made when the step is recorded.
        if (fFirst)
            fFirst = false;
        else
            fMain->Restore(fAfter, fSelectedAfter);
    }

private:
    TfrmMain *fMain;
    std::string fBefore, fAfter;
    QList<int> fSelectedBefore, fSelectedAfter;
    bool fFirst = true;
};

// A vertex of Style centred on P, sized by the style.
std::unique_ptr<TKVVertex> StyledVertex(const TKVVertexStyle &Style, TKVPoint P)
{
    auto v = std::make_unique<TKVVertex>(P, nullptr, "");
    v->SetStyle(Style);
    v->Bounds.Left = Saturate(std::int64_t(P.X) - RoundHalfEven(Style.Width * 0.5));
    v->Bounds.Top = Saturate(std::int64_t(P.Y) - RoundHalfEven(Style.Height * 0.5));
    v->Bounds.Right = Saturate(std::int64_t(v->Bounds.Left) + Style.Width);
    v->Bounds.Bottom = Saturate(std::int64_t(v->Bounds.Top) + Style.Height);
    if (Style.ResizeMode == vsDrawItem && !Style.DrawItems.empty()) {
        v->Bounds.Left = Saturate(std::int64_t(v->Bounds.Left) + Style.DrawItems.front()->Left);
        v->Bounds.Top = Saturate(std::int64_t(v->Bounds.Top) + Style.DrawItems.front()->Top);
    }
    v->AdjustHandles();
    return v;
}

// A plain 20 x 20 vertex centred on P.
std::unique_ptr<TKVVertex> PlainVertex(TKVPoint P)
{
    auto v = std::make_unique<TKVVertex>(P, nullptr, "");
    v->Bounds = {P.X - 10, P.Y - 10, P.X + 10, P.Y + 10};
    v->AdjustHandles();
    return v;
}

// Two plain vertices at A and B joined by an edge of Style; the edge's Id is EdgeId.
void AddEdgeSample(TKVDiagramBox &Box, const TKVEdgeStyle &Style, TKVPoint A, TKVPoint B, std::int32_t EdgeId)
{
    TKVObject *source = Box.AddObject(PlainVertex(A), kvProgram);
    TKVObject *target = Box.AddObject(PlainVertex(B), kvProgram);
    if (!source || !target)
        return;
    auto edge = std::make_unique<TKVEdge>(source, target, A, B, "", nullptr);
    edge->Style.Assign(&Style);
    edge->Id = EdgeId;
    Box.AddObject(std::move(edge), kvProgram);
}

// The middle of the box's visible area in world units.
TKVPoint VisibleCentre(const TKVDiagramBox &Box, const QScrollArea &Area)
{
    const QWidget *view = Area.viewport();
    return ScreenToWorldPt({view->width() / 2, view->height() / 2}, Box.Scale());
}

} // namespace

// ---- Tree ----------------------------------------------------------------------------------------

TNodeKind TfrmMain::KindOf(const QTreeWidgetItem *Node) { return TNodeKind(Node->data(0, KindRole).toInt()); }

void *TfrmMain::RawObjectOf(const QTreeWidgetItem *Node)
{
    return Node ? Node->data(0, ObjectRole).value<void *>() : nullptr;
}

QTreeWidgetItem *TfrmMain::StyleNodeOf(QTreeWidgetItem *Node)
{
    if (!Node)
        return nullptr;
    switch (KindOf(Node)) {
    case nkVertexStyle:
    case nkEdgeStyle:
        return Node;
    case nkDrawItems:
    case nkBitmapItems:
    case nkDataItems:
        return Node->parent();
    case nkDrawItem:
    case nkBitmapItem:
    case nkDataItem:
        return Node->parent()->parent();
    default:
        return nullptr;
    }
}

QTreeWidgetItem *TfrmMain::CurrentNode() const { return tvLibrary->currentItem(); }

QTreeWidgetItem *TfrmMain::VertexStylesNode() const
{
    QTreeWidgetItem *root = tvLibrary->topLevelItem(0);
    return root ? root->child(0) : nullptr;
}

QTreeWidgetItem *TfrmMain::EdgeStylesNode() const
{
    QTreeWidgetItem *root = tvLibrary->topLevelItem(0);
    return root ? root->child(1) : nullptr;
}

void TfrmMain::SelectNode(QTreeWidgetItem *Node)
{
    if (!Node)
        return;
    if (Node == tvLibrary->currentItem())
        NodeSelected();
    else
        tvLibrary->setCurrentItem(Node);
    tvLibrary->scrollToItem(Node);
}

QList<int> TfrmMain::NodePath(QTreeWidgetItem *Node) const
{
    QList<int> path;
    for (; Node && Node->parent(); Node = Node->parent())
        path.prepend(Node->parent()->indexOfChild(Node));
    if (Node)
        path.prepend(tvLibrary->indexOfTopLevelItem(Node));
    return path;
}

QTreeWidgetItem *TfrmMain::NodeAt(const QList<int> &Path) const
{
    if (Path.isEmpty())
        return nullptr;
    QTreeWidgetItem *node = tvLibrary->topLevelItem(Path.front());
    for (int i = 1; node && i < Path.size(); ++i)
        node = node->child(Path[i]);
    return node;
}

void TfrmMain::Rebuild()
{
    // Nodes that were open stay open (by their texts from the root).
    QSet<QStringList> expanded;
    for (QTreeWidgetItemIterator it(tvLibrary); *it; ++it)
        if ((*it)->isExpanded()) {
            QStringList texts;
            for (QTreeWidgetItem *n = *it; n; n = n->parent())
                texts.prepend(n->text(0));
            expanded.insert(texts);
        }
    const bool first = tvLibrary->topLevelItemCount() == 0;

    fRebuilding = true;
    tvLibrary->clear();
    if (fHasLibrary) {
        auto *root = new QTreeWidgetItem(tvLibrary, {ToQt(fSL->LibraryName)});
        root->setData(0, KindRole, int(nkRoot));
        root->setData(0, ObjectRole, QVariant::fromValue<void *>(fSL.get()));
        QTreeWidgetItem *vertexStyles = AddNode(root, tr("Vertex Styles"), nkVertexStyles);
        for (const auto &style : fSL->VertexStyles) {
            QTreeWidgetItem *s = AddNode(vertexStyles, ToQt(style->Name), nkVertexStyle, style.get());
            QTreeWidgetItem *draws = AddNode(s, tr("Draw Items"), nkDrawItems);
            for (const auto &item : style->DrawItems)
                AddNode(draws, ToQt(item->Name), nkDrawItem, item.get());
            QTreeWidgetItem *bitmaps = AddNode(s, tr("Bitmap Items"), nkBitmapItems);
            for (const auto &item : style->BitmapItems)
                AddNode(bitmaps, ToQt(item->Name), nkBitmapItem, item.get());
            QTreeWidgetItem *datas = AddNode(s, tr("Data Items"), nkDataItems);
            for (const auto &item : style->DataItems)
                AddNode(datas, ToQt(item->Name), nkDataItem, item.get());
        }
        QTreeWidgetItem *edgeStyles = AddNode(root, tr("Edge Styles"), nkEdgeStyles);
        for (const auto &style : fSL->EdgeStyles)
            AddNode(edgeStyles, ToQt(style->Name), nkEdgeStyle, style.get());
        for (QTreeWidgetItemIterator it(tvLibrary); *it; ++it) {
            QStringList texts;
            for (QTreeWidgetItem *n = *it; n; n = n->parent())
                texts.prepend(n->text(0));
            if (expanded.contains(texts))
                (*it)->setExpanded(true);
            UpdateNodeIcon(*it);
        }
        if (first || expanded.isEmpty()) {
            root->setExpanded(true);
            vertexStyles->setExpanded(true);
            edgeStyles->setExpanded(true);
        }
    }
    fRebuilding = false;
    RebuildContents();
    NodeSelected();
}

// ---- Views ---------------------------------------------------------------------------------------

void TfrmMain::RebuildContents()
{
    kvbContents->Clear();
    if (fHasLibrary) {
        std::int32_t id = 1;
        for (const auto &style : fSL->VertexStyles) {
            const TKVRect e = kvbContents->GetDiagramExtents();
            auto v = StyledVertex(*style, {Saturate(std::int64_t(style->Width / 2) + e.Right + 30), 50});
            v->Id = id++;
            kvbContents->AddObject(std::move(v), kvProgram);
        }
        const std::int32_t middle = ScreenToWorld(sbContents->viewport()->height() / 2, kvbContents->Scale());
        id = 100;
        for (const auto &style : fSL->EdgeStyles) {
            const TKVRect e = kvbContents->GetDiagramExtents();
            AddEdgeSample(*kvbContents, *style, {Saturate(std::int64_t(e.Right) + 60), middle},
                          {Saturate(std::int64_t(e.Right) + 130), middle}, id++);
        }
        kvbContents->LastId = std::max<std::int32_t>(id, std::int32_t(fSL->VertexStyles.size()) + 1);
    }
    kvbContents->Resize();
    kvbContents->Invalidate();
}

void TfrmMain::UpdatePreview()
{
    KVB->Clear();
    QTreeWidgetItem *styleNode = StyleNodeOf(CurrentNode());
    if (styleNode && KindOf(styleNode) == nkVertexStyle) {
        KVB->AddObject(StyledVertex(*ObjectOf<TKVVertexStyle>(styleNode), VisibleCentre(*KVB, *sbPreview)), kvProgram);
    } else if (styleNode && KindOf(styleNode) == nkEdgeStyle) {
        const QWidget *view = sbPreview->viewport();
        const std::int32_t y = ScreenToWorld(view->height() / 2, KVB->Scale());
        AddEdgeSample(*KVB, *ObjectOf<TKVEdgeStyle>(styleNode), {ScreenToWorld(view->width() / 3, KVB->Scale()), y},
                      {ScreenToWorld(view->width() * 2 / 3, KVB->Scale()), y}, 1);
    }
    KVB->Resize();
    KVB->Invalidate();
}

TKVObject *TfrmMain::ContentsObjectOf(QTreeWidgetItem *StyleNode) const
{
    if (!StyleNode)
        return nullptr;
    const int index = StyleNode->parent()->indexOfChild(StyleNode);
    if (KindOf(StyleNode) == nkVertexStyle) {
        for (TKVObject *v : kvbContents->Vertices)
            if (v->Id == index + 1)
                return v;
    } else if (KindOf(StyleNode) == nkEdgeStyle) {
        for (TKVObject *e : kvbContents->Edges)
            if (e->Id == index + 100)
                return e;
    }
    return nullptr;
}

void TfrmMain::ShowInContents(QTreeWidgetItem *Node)
{
    if (TKVObject *obj = ContentsObjectOf(StyleNodeOf(Node))) {
        kvbContents->AddToSelection(obj, false);
        // The sample scrolls into view.
        TKVRect r{};
        if (auto *v = dynamic_cast<TKVCustomVertex *>(obj))
            r = v->Bounds;
        else if (auto *e = dynamic_cast<TKVCustomEdge *>(obj); e && e->Handles.size() >= 2)
            r = NormalizeRect({e->Handles.front()->Position.X, e->Handles.front()->Position.Y,
                               e->Handles.back()->Position.X, e->Handles.back()->Position.Y});
        const TKVPoint topLeft = WorldToScreenPt({r.Left, r.Top}, kvbContents->Scale());
        const TKVPoint bottomRight = WorldToScreenPt({r.Right, r.Bottom}, kvbContents->Scale());
        sbContents->ensureVisible(bottomRight.X, bottomRight.Y, 20, 20);
        sbContents->ensureVisible(topLeft.X, topLeft.Y, 20, 20);
    } else
        kvbContents->DeSelectAll();
    kvbContents->Invalidate();
}

void TfrmMain::ContentsClicked()
{
    TKVObject *obj = ContentsActor->Current;
    if (!obj)
        return;
    if (obj->ObjectType == otHandle || obj->ObjectType == otAdjacent)
        obj = obj->Links.empty() ? nullptr : obj->Links.front();
    // A plain end vertex of an edge sample stands for its edge (through its end handle).
    if (obj && obj->ObjectType == otVertex && obj->Id == 0 && !obj->Links.empty() && !obj->Links.front()->Links.empty())
        obj = obj->Links.front()->Links.front();
    if (!obj)
        return;
    // The sample's Id says which style it shows, also when several styles share a name.
    QTreeWidgetItem *node = nullptr;
    if (obj->ObjectType == otVertex && obj->Id >= 1 && VertexStylesNode())
        node = VertexStylesNode()->child(obj->Id - 1);
    else if (obj->ObjectType == otEdge && obj->Id >= 100 && EdgeStylesNode())
        node = EdgeStylesNode()->child(obj->Id - 100);
    if (node && node != CurrentNode()) {
        tvLibrary->setCurrentItem(node);
        tvLibrary->scrollToItem(node);
    }
}

void TfrmMain::NodeSelected()
{
    QTreeWidgetItem *node = CurrentNode();
    bool edit = false, add = false, deleteCopy = false, styleCommands = false;
    if (node) {
        switch (KindOf(node)) {
        case nkRoot:
            edit = true;
            break;
        case nkVertexStyles:
        case nkEdgeStyles:
            add = true;
            break;
        case nkDrawItems:
        case nkBitmapItems:
        case nkDataItems:
            add = styleCommands = true;
            break;
        default: // a style or an item
            edit = add = deleteCopy = styleCommands = true;
            break;
        }
    }
    acEdit->setEnabled(edit);
    acAdd->setEnabled(add);
    acDelete->setEnabled(deleteCopy);
    acCopy->setEnabled(deleteCopy);
    acCopyStyle->setEnabled(fHasLibrary && styleCommands);
    acDeleteStyle->setEnabled(fHasLibrary && styleCommands);
    tbDeleteStyle->setEnabled(acDeleteStyle->isEnabled());
    UpdatePreview();
    ShowInContents(node);
}

void TfrmMain::EnableLibraryCommands(bool Enable)
{
    for (QAction *a : {tbSaveLibrary, tbCloseLibrary, tbNewVertexStyle, tbNewEdgeStyle, acSave, acSaveAs, acClose,
                       acNewVertexStyle, acNewEdgeStyle})
        a->setEnabled(Enable);
    acCopyStyle->setEnabled(false);
    acDeleteStyle->setEnabled(false);
    tbDeleteStyle->setEnabled(false);
}

// ---- Undo ----------------------------------------------------------------------------------------

std::string TfrmMain::Snapshot() const
{
    TKVWriter writer;
    fSL->DoSave(writer);
    return writer.TakeData();
}

void TfrmMain::Restore(const std::string &Bytes, const QList<int> &Path)
{
    try {
        TKVReader reader(Bytes);
        fSL->DoLoad(reader);
    } catch (const std::exception &e) {
        UI().Error(this, ToQt(e.what()));
    }
    Rebuild();
    if (QTreeWidgetItem *node = NodeAt(Path))
        SelectNode(node);
}

void TfrmMain::Changed(const QString &Text, const std::string &Before, const QList<int> &SelectedBefore)
{
    UndoStack->push(new TLibraryChange(this, Text, Before, SelectedBefore, Snapshot(), NodePath(CurrentNode())));
    ShowStatus();
}

bool TfrmMain::RunDialog(QDialog &Dialog) { return UI().Exec(Dialog) == QDialog::Accepted; }

// ---- Library files -------------------------------------------------------------------------------

bool TfrmMain::AskToSave()
{
    if (!Modified())
        return true;
    switch (UI().AskYesNoCancel(this, tr("Current library has changed.\nDo you want to save changes first?"))) {
    case TAnswer::Yes:
        // Going on after a failed or cancelled save would lose the changes.
        return Save();
    case TAnswer::No:
        return true;
    default:
        return false;
    }
}

void TfrmMain::ClearLibrary(const std::string &Name)
{
    fSL = MakeLibrary();
    fSL->LibraryName = Name;
    VertexCounter = EdgeCounter = 0;
}

void TfrmMain::NewLibrary()
{
    if (!AskToSave())
        return;
    ClearLibrary("<untitled>");
    fHasLibrary = true;
    StatusFile->setText("<untitled>");
    UndoStack->clear();
    UndoStack->resetClean(); // a new library is unsaved until it is saved, whatever is undone
    EnableLibraryCommands(true);
    Rebuild();
    ShowStatus();
}

void TfrmMain::OpenLibrary()
{
    if (!AskToSave())
        return;
    const QString start = fSL->LibFile().isEmpty() ? QString() : QFileInfo(fSL->LibFile()).absolutePath();
    const QString name = UI().OpenFileName(this, tr("Open Style Library"), LibraryFilter, "slb", start);
    if (!name.isEmpty())
        OpenFile(name);
}

bool TfrmMain::OpenFile(const QString &FileName, bool FromRecentList)
{
    // A library that fails to load leaves the one in the editor as it was.
    std::unique_ptr<TKVStyleLibrary> loaded = MakeLibrary();
    try {
        loaded->SetLibFile(FileName);
    } catch (const std::exception &e) {
        UI().Error(this, ToQt(e.what()));
        return false;
    }
    fSL = std::move(loaded);
    fHasLibrary = true;
    if (!FromRecentList) {
        AddRecentFile(FileName);
        VertexCounter = EdgeCounter = 0;
    }
    StatusFile->setText(FileName);
    UndoStack->clear();
    UndoStack->setClean();
    EnableLibraryCommands(true);
    Rebuild();
    ShowStatus();
    return true;
}

void TfrmMain::OpenFromCommandLine(const QString &FileName)
{
    QApplication::processEvents();
    OpenFile(FileName);
}

bool TfrmMain::Save()
{
    if (!fHasLibrary)
        return false;
    if (fSL->LibFile().isEmpty())
        return SaveAs();
    try {
        fSL->Save(fSL->LibFile());
    } catch (const std::exception &e) {
        UI().Error(this, ToQt(e.what()));
        return false;
    }
    UndoStack->setClean();
    ShowStatus();
    return true;
}

bool TfrmMain::SaveAs()
{
    if (!fHasLibrary)
        return false;
    const QString name = UI().SaveFileName(this, tr("Save Style Library"), LibraryFilter, "slb", fSL->LibFile());
    if (name.isEmpty())
        return false;
    try {
        fSL->Save(name);
    } catch (const std::exception &e) {
        UI().Error(this, ToQt(e.what()));
        return false;
    }
    UndoStack->setClean();
    AddRecentFile(name);
    StatusFile->setText(name);
    ShowStatus();
    return true;
}

void TfrmMain::CloseLibrary()
{
    if (!AskToSave())
        return;
    ClearLibrary("");
    fHasLibrary = false;
    StatusFile->clear();
    UndoStack->clear();
    UndoStack->setClean();
    Rebuild();
    tvLibrary->clear();
    EnableLibraryCommands(false);
    ShowStatus();
}

void TfrmMain::Quit() { close(); }

// ---- Styles and items ----------------------------------------------------------------------------

void TfrmMain::NewVertexStyle()
{
    if (!fHasLibrary)
        return;
    const std::string before = Snapshot();
    const QList<int> selected = NodePath(CurrentNode());
    auto style = std::make_unique<TKVVertexStyle>();
    style->Name = "untitled" + std::to_string(++VertexCounter);
    fSL->AddVertexStyle(std::move(style));
    Rebuild();
    QTreeWidgetItem *group = VertexStylesNode();
    SelectNode(group->child(group->childCount() - 1));
    Changed(tr("New vertex style"), before, selected);
}

void TfrmMain::NewEdgeStyle()
{
    if (!fHasLibrary)
        return;
    const std::string before = Snapshot();
    const QList<int> selected = NodePath(CurrentNode());
    auto style = std::make_unique<TKVEdgeStyle>();
    style->Name = "untitled" + std::to_string(++EdgeCounter);
    fSL->AddEdgeStyle(std::move(style));
    Rebuild();
    QTreeWidgetItem *group = EdgeStylesNode();
    SelectNode(group->child(group->childCount() - 1));
    Changed(tr("New edge style"), before, selected);
}

void TfrmMain::AddToNode()
{
    QTreeWidgetItem *node = CurrentNode();
    if (!node || !fHasLibrary)
        return;
    const TNodeKind kind = KindOf(node);
    if (kind == nkVertexStyles || kind == nkVertexStyle)
        return NewVertexStyle();
    if (kind == nkEdgeStyles || kind == nkEdgeStyle)
        return NewEdgeStyle();
    QTreeWidgetItem *group = kind == nkDrawItem || kind == nkBitmapItem || kind == nkDataItem ? node->parent() : node;
    auto *style = ObjectOf<TKVVertexStyle>(group->parent());
    if (!style)
        return;
    const std::string before = Snapshot();
    const QList<int> selected = NodePath(node);
    QTreeWidgetItem *added = nullptr;
    switch (KindOf(group)) {
    case nkDrawItems: {
        auto item = std::make_unique<TKVDrawItem>();
        item->Name = "untitled" + std::to_string(style->DrawItems.size());
        item->OnDrawCustomDrawItem = fSL->OnDrawCustomDrawItem;
        added = AddNode(group, ToQt(item->Name), nkDrawItem, item.get());
        style->DrawItems.push_back(std::move(item));
        break;
    }
    case nkBitmapItems: {
        auto item = std::make_unique<TKVBitmapItem>();
        item->Name = "untitled" + std::to_string(style->BitmapItems.size());
        added = AddNode(group, ToQt(item->Name), nkBitmapItem, item.get());
        style->BitmapItems.push_back(std::move(item));
        break;
    }
    case nkDataItems: {
        auto item = std::make_unique<TKVDataItem>();
        item->Name = "untitled" + std::to_string(style->DataItems.size());
        added = AddNode(group, ToQt(item->Name), nkDataItem, item.get());
        style->DataItems.push_back(std::move(item));
        break;
    }
    default:
        return;
    }
    group->setExpanded(true);
    RebuildContents();
    SelectNode(added);
    Changed(tr("Add item"), before, selected);
}

void TfrmMain::CopyStyle()
{
    QTreeWidgetItem *styleNode = StyleNodeOf(CurrentNode());
    if (!styleNode)
        return;
    const std::string before = Snapshot();
    const QList<int> selected = NodePath(CurrentNode());
    QTreeWidgetItem *group = nullptr;
    if (KindOf(styleNode) == nkVertexStyle) {
        const auto *source = ObjectOf<TKVVertexStyle>(styleNode);
        auto copy = std::make_unique<TKVVertexStyle>();
        copy->Assign(source);
        copy->Name = "Copy of " + source->Name;
        fSL->AddVertexStyle(std::move(copy));
        Rebuild();
        group = VertexStylesNode();
    } else {
        const auto *source = ObjectOf<TKVEdgeStyle>(styleNode);
        auto copy = std::make_unique<TKVEdgeStyle>();
        copy->Assign(source);
        copy->Name = "Copy of " + source->Name;
        fSL->AddEdgeStyle(std::move(copy));
        Rebuild();
        group = EdgeStylesNode();
    }
    SelectNode(group->child(group->childCount() - 1));
    Changed(tr("Copy style"), before, selected);
}

void TfrmMain::CopyStyleCommand()
{
    if (QTreeWidgetItem *styleNode = StyleNodeOf(CurrentNode())) {
        SelectNode(styleNode);
        CopyStyle();
    }
}

void TfrmMain::DeleteStyleCommand()
{
    if (QTreeWidgetItem *styleNode = StyleNodeOf(CurrentNode())) {
        SelectNode(styleNode);
        DeleteNode();
    }
}

void TfrmMain::DeleteNode()
{
    QTreeWidgetItem *node = CurrentNode();
    if (!node)
        return;
    QString question;
    switch (KindOf(node)) {
    case nkVertexStyle:
        question = tr("Really delete vertex style ?");
        break;
    case nkEdgeStyle:
        question = tr("Really delete edge style ?");
        break;
    case nkDrawItem:
        question = tr("Really delete draw item ?");
        break;
    case nkDataItem:
        question = tr("Really delete data item ?");
        break;
    case nkBitmapItem:
        question = tr("Really delete bitmap item ?");
        break;
    default:
        return;
    }
    if (!UI().ConfirmYesNo(this, question))
        return;
    const std::string before = Snapshot();
    const QList<int> selected = NodePath(node);

    // The object leaves its list first and is freed last, after the tree no longer shows it.
    std::unique_ptr<TKVVertexStyle> vertexStyle;
    std::unique_ptr<TKVEdgeStyle> edgeStyle;
    std::unique_ptr<TKVStyleItem> item;
    auto takeItem = [&item](auto &list, void *object) {
        auto it = std::find_if(list.begin(), list.end(), [object](const auto &i) { return i.get() == object; });
        if (it != list.end()) {
            item = std::move(*it);
            list.erase(it);
        }
    };
    switch (KindOf(node)) {
    case nkVertexStyle:
        vertexStyle = fSL->DeleteStyle(ObjectOf<TKVVertexStyle>(node));
        break;
    case nkEdgeStyle:
        edgeStyle = fSL->DeleteStyle(ObjectOf<TKVEdgeStyle>(node));
        break;
    case nkDrawItem:
        takeItem(ObjectOf<TKVVertexStyle>(node->parent()->parent())->DrawItems, RawObjectOf(node));
        break;
    case nkDataItem:
        takeItem(ObjectOf<TKVVertexStyle>(node->parent()->parent())->DataItems, RawObjectOf(node));
        break;
    case nkBitmapItem:
        takeItem(ObjectOf<TKVVertexStyle>(node->parent()->parent())->BitmapItems, RawObjectOf(node));
        break;
    default:
        break;
    }
    // Taken out of the tree first, so that no signal reaches a node being destroyed.
    fRebuilding = true;
    delete node->parent()->takeChild(node->parent()->indexOfChild(node));
    fRebuilding = false;
    RebuildContents();
    NodeSelected();
    Changed(tr("Delete"), before, selected);
}

void TfrmMain::EditNode()
{
    QTreeWidgetItem *node = CurrentNode();
    if (!node || !acEdit->isEnabled())
        return;
    const std::string before = Snapshot();
    const QList<int> selected = NodePath(node);
    QString name;
    switch (KindOf(node)) {
    case nkRoot: {
        TfrmLibraryProps dialog(this, *fSL);
        if (!RunDialog(dialog))
            return;
        dialog.Apply(*fSL);
        node->setText(0, ToQt(fSL->LibraryName));
        Changed(tr("Library properties"), before, selected);
        return;
    }
    case nkVertexStyle: {
        auto *style = ObjectOf<TKVVertexStyle>(node);
        TfrmVertexStyleProps dialog(this, *style);
        if (!RunDialog(dialog))
            return;
        dialog.Apply(*style);
        name = ToQt(style->Name);
        break;
    }
    case nkEdgeStyle: {
        auto *style = ObjectOf<TKVEdgeStyle>(node);
        TfrmEdgeStyleProps dialog(this, *style, TemplateLib);
        if (!RunDialog(dialog))
            return;
        dialog.Apply(*style);
        name = ToQt(style->Name);
        break;
    }
    case nkDrawItem: {
        auto *item = ObjectOf<TKVDrawItem>(node);
        TfrmDrawItemProps dialog(this, *item, TemplateLib);
        if (!RunDialog(dialog))
            return;
        dialog.Apply(*item);
        name = ToQt(item->Name);
        break;
    }
    case nkDataItem: {
        auto *item = ObjectOf<TKVDataItem>(node);
        TfrmDataItemProps dialog(this, *item);
        if (!RunDialog(dialog))
            return;
        dialog.Apply(*item);
        name = ToQt(item->Name);
        break;
    }
    case nkBitmapItem: {
        auto *item = ObjectOf<TKVBitmapItem>(node);
        TfrmBitmapItemProps dialog(this, *item);
        if (!RunDialog(dialog))
            return;
        dialog.Apply(*item);
        name = ToQt(item->Name);
        break;
    }
    default:
        return;
    }
    node->setText(0, name);
    RebuildContents();
    NodeSelected();
    Changed(tr("Edit %1").arg(name), before, selected);
}

// ---- Tools ---------------------------------------------------------------------------------------

void TfrmMain::ZoomIn()
{
    if (KVB->Scale() < 400)
        KVB->SetScale(std::min(KVB->Scale() + 25, 400));
}

void TfrmMain::ZoomOut()
{
    if (KVB->Scale() > 25)
        KVB->SetScale(std::max(KVB->Scale() - 25, 25));
}

void TfrmMain::SavePreview()
{
    const QString name = UI().SaveFileName(this, tr("Save Preview"), tr("PNG Pictures (*.png);;SVG Drawings (*.svg)"),
                                           "png", {});
    if (!name.isEmpty())
        SavePreviewTo(name);
}

bool TfrmMain::SavePreviewTo(const QString &FileName)
{
    QSaveFile file(FileName);
    if (!file.open(QIODevice::WriteOnly)) {
        UI().Error(this, tr("Cannot create file %1").arg(FileName));
        return false;
    }
    bool written = false;
    if (FileName.endsWith(".svg", Qt::CaseInsensitive)) {
        QSvgGenerator svg;
        svg.setOutputDevice(&file);
        svg.setSize(KVB->size());
        svg.setViewBox(QRect(QPoint(0, 0), KVB->size()));
        svg.setTitle(tr("Style preview"));
        {
            TCanvas canvas(&svg);
            canvas.Brush = TBrush{KVB->Color(), bsSolid};
            canvas.FillRect(0, 0, KVB->width(), KVB->height());
            KVB->PaintObjects(canvas, pmScreen, {0, 0});
        }
        written = true;
    } else {
        written = KVB->RenderImage().save(&file, "PNG");
    }
    if (!written || !file.commit()) {
        UI().Error(this, tr("Cannot create file %1").arg(FileName));
        return false;
    }
    return true;
}

void TfrmMain::GenerateDataClasses()
{
    QDialog dialog(this);
    dialog.setWindowTitle(tr("Data Class Generation"));
    auto *text = Named(new QPlainTextEdit, tr("Data fields"), tr("The fields the data provider is asked for"));
    text->setReadOnly(true);
    text->setMinimumSize(420, 300);
    QString list;
    if (fHasLibrary) {
        for (const auto &style : fSL->VertexStyles) {
            list += tr("Vertex style \"%1\":").arg(ToQt(style->Name)) + '\n';
            for (const auto &item : style->DataItems)
                list += "    " + ToQt(item->Name) + '\n';
            if (style->DataItems.empty())
                list += "    " + tr("(no data fields)") + '\n';
        }
        for (const auto &style : fSL->EdgeStyles)
            if (style->TextBoxVisible)
                list += tr("Edge style \"%1\":").arg(ToQt(style->Name)) + "\n    Textbox\n";
    }
    text->setPlainText(list.isEmpty() ? tr("No library is open.") : list);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    Named(buttons->button(QDialogButtonBox::Close), tr("Close"));
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto *layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(tr("Fields each style asks the application's data provider for:")));
    layout->addWidget(text);
    layout->addWidget(buttons);
    UI().Exec(dialog);
}

void TfrmMain::PreviewSettings()
{
    TfrmPreviewSettings dialog(this, *KVB);
    if (RunDialog(dialog))
        dialog.Apply(*KVB);
}

void TfrmMain::ConfigureToolbar()
{
    TfrmConfigureToolbar dialog(this, fToolbarButtons, fShownButtons);
    if (RunDialog(dialog))
        SetShownButtons(dialog.ShownButtons());
}

void TfrmMain::About()
{
    TfrmAbout dialog(this);
    UI().Exec(dialog);
}

} // namespace ornamo
