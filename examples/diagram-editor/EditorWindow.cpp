// The editor's main window: building it, its commands, and what it shows about the diagram.

#include "EditorWindow.h"

#include "EditorDialogs.h"

#include <QActionGroup>
#include <QApplication>
#include <QBuffer>
#include <QCloseEvent>
#include <QCursor>
#include <QDockWidget>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QSaveFile>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>
#include <QUndoStack>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <sstream>

using namespace kavgraph;

namespace {

constexpr int kMinZoom = 25, kMaxZoom = 400, kZoomStep = 25;
constexpr int kRecentFiles = 8;

QSettings Settings() { return QSettings(QStringLiteral("Kavgraph"), QStringLiteral("Diagram Editor")); }

} // namespace

EditorWindow::EditorWindow()
{
    resize(1180, 780);
    fScroll = new QScrollArea;
    fScroll->setAccessibleName(tr("Diagram area"));
    fBox = new TKVDiagramBox;
    fBox->setAccessibleName(tr("Diagram"));
    fBox->SetColor(clWhite);
    fBox->AutoSize = true;
    fBox->DataUpdate = duManual; // the texts live in each object's own style
    fBox->ShowDiagramHint = true;
    fBox->SetAntialiased(true);
    fBox->SaveOptions = {soDiagram, soStyles, soBoxOptions};
    fBox->setMouseTracking(true);
    fScroll->setWidget(fBox);
    fScroll->setBackgroundRole(QPalette::Dark);
    setCentralWidget(fScroll);
    fBox->installEventFilter(this);
    fScroll->viewport()->installEventFilter(this);
    fBox->OnScaleChange = [this](TKVScaleChange, int &) { Changed(); };
    fBox->OnAddObject = [this](TKVObject *&, TKVMode) {
        Changed();
        return true;
    };
    fBox->OnDeleteObject = [this](TKVObject *&, TKVMode) {
        Changed();
        return true;
    };

    MakeActors();
    MakeDocks();
    MakeMenus();
    MakeStatusBar();
    fActors[0]->trigger();
    MarkClean();
}

// ---- Building the window ---------------------------------------------------------------------------

void EditorWindow::MakeActors()
{
    fEdit = new TKVEditActor(this);
    fEdit->OnRightClick = [this](QObject *) {
        if (fEdit->Current)
            QMetaObject::invokeMethod(this, [this] { EditTexts(); }, Qt::QueuedConnection);
    };
    fEdit->OnKeyUp = [this](QObject *, int key, TShiftState) {
        if (key == Qt::Key_Delete)
            DeleteSelection();
    };

    fAddVertex = new TKVAddVertexActor(this);
    fAddVertex->OnCreateVertex = [this](QObject *, TKVPoint p) -> std::unique_ptr<TKVCustomVertex> {
        const std::string style = CurrentStyle(fVertexStyles);
        if (style.empty())
            return std::make_unique<TKVCustomVertex>(p);
        return std::make_unique<TKVVertex>(p, &fLibrary, style);
    };
    fAddEdge = new TKVAddEdgeActor(this);
    fAddEdge->OnCreateEdge = [this](QObject *, TKVObject *source, TKVObject *target, TKVPoint start,
                                    TKVPoint end) -> std::unique_ptr<TKVCustomEdge> {
        const std::string style = CurrentStyle(fEdgeStyles);
        if (style.empty())
            return std::make_unique<TKVCustomEdge>(source, target, start, end);
        return std::make_unique<TKVEdge>(source, target, start, end, style, &fLibrary);
    };
    fZoom = new TKVZoomActor(this);
    fZoom->ZoomInkrement = kZoomStep;
    fZoom->MinZoom = kMinZoom;
    fZoom->MaxZoom = kMaxZoom;

    auto *tools = addToolBar(tr("Tools"));
    tools->setObjectName("tools");
    tools->setAccessibleName(tr("Tools"));
    auto *group = new QActionGroup(this);
    const struct {
        QString label, tip;
        TKVActor *actor;
    } modes[] = {
        {tr("Edit"), tr("Select, move and resize; right-click an object for its texts (F2)"), fEdit},
        {tr("Add vertex"), tr("Click to add a vertex of the chosen style (F3)"), fAddVertex},
        {tr("Add edge"), tr("Drag from one vertex to another to join them (F4)"), fAddEdge},
        {tr("Zoom"), tr("Click to zoom in, right-click to zoom out (F5)"), fZoom},
    };
    for (const auto &m : modes) {
        QAction *a = tools->addAction(m.label);
        a->setToolTip(m.tip);
        a->setCheckable(true);
        group->addAction(a);
        connect(a, &QAction::triggered, this, [this, actor = m.actor] {
            fBox->SetActor(actor);
            ShowStatus();
        });
        fActors.push_back(a);
    }
    fActors[0]->setShortcut(Qt::Key_F2);
    fActors[1]->setShortcut(Qt::Key_F3);
    fActors[2]->setShortcut(Qt::Key_F4);
    fActors[3]->setShortcut(Qt::Key_F5);
    tools->addSeparator();
    tools->addAction(tr("Zoom to fit"), this, [this] { ZoomToFit(); })->setToolTip(tr("Show the whole diagram"));
    tools->addAction(tr("Actual size"), this, [this] { ZoomTo(100); });
    tools->addAction(tr("Delete"), this, [this] { DeleteSelection(); })->setToolTip(tr("Delete the selection"));
    tools->addAction(tr("Texts..."), this, [this] { EditTexts(); })->setToolTip(tr("The texts of the selected object"));
    tools->addAction(tr("Print preview..."), this, [this] { ShowPreview(); });
}

void EditorWindow::MakeDocks()
{
    auto *overviewDock = new QDockWidget(tr("Overview"), this);
    overviewDock->setObjectName("overview");
    fOverview = new TKVOverviewBox;
    fOverview->setAccessibleName(tr("Overview"));
    fOverview->SetColor(clWhite);
    fOverview->setMinimumSize(220, 180);
    fOverview->MinZoom = kMinZoom;
    fOverview->MaxZoom = kMaxZoom;
    fOverview->SetDiagramBox(fBox);
    fOverview->SetActive(true);
    fOverview->setToolTip(tr("Drag the frame to scroll; drag with the right button to zoom."));
    overviewDock->setWidget(fOverview);
    addDockWidget(Qt::RightDockWidgetArea, overviewDock);

    auto *stylesDock = new QDockWidget(tr("Styles"), this);
    stylesDock->setObjectName("styles");
    auto *panel = new QWidget;
    auto *layout = new QVBoxLayout(panel);
    layout->addWidget(new QLabel(tr("New vertices:")));
    layout->addWidget(fVertexStyles = new QListWidget);
    fVertexStyles->setAccessibleName(tr("Vertex styles"));
    layout->addWidget(new QLabel(tr("New edges:")));
    layout->addWidget(fEdgeStyles = new QListWidget);
    fEdgeStyles->setAccessibleName(tr("Edge styles"));
    layout->addWidget(fLibraryLabel = new QLabel);
    fLibraryLabel->setAccessibleName(tr("Style library"));
    fLibraryLabel->setWordWrap(true);
    stylesDock->setWidget(panel);
    addDockWidget(Qt::RightDockWidgetArea, stylesDock);
    // Picking a style switches to the actor that uses it.
    connect(fVertexStyles, &QListWidget::itemClicked, this, [this] { fActors[1]->trigger(); });
    connect(fEdgeStyles, &QListWidget::itemClicked, this, [this] { fActors[2]->trigger(); });
}

void EditorWindow::MakeMenus()
{
    QMenu *file = menuBar()->addMenu(tr("&File"));
    file->addAction(tr("&New"), QKeySequence::New, this, [this] { New(); });
    file->addAction(tr("&Open..."), QKeySequence::Open, this, [this] { OpenFile(); });
    fRecentMenu = file->addMenu(tr("Open &recent"));
    connect(fRecentMenu, &QMenu::aboutToShow, this, [this] { FillRecentMenu(); });
    FillRecentMenu();
    file->addAction(tr("&Save"), QKeySequence::Save, this, [this] { Save(false); });
    file->addAction(tr("Save &as..."), QKeySequence::SaveAs, this, [this] { Save(true); });
    file->addSeparator();
    file->addAction(tr("&Import text file..."), this, [this] {
        const QString name = QFileDialog::getOpenFileName(this, tr("Import"), {}, tr("Text files (*.kvi)"));
        if (name.isEmpty())
            return;
        Try([&] { fBox->Import(name, &fLibrary); });
        fBox->Invalidate();
        Changed();
    });
    file->addAction(tr("&Export text file..."), this, [this] {
        const QString name = QFileDialog::getSaveFileName(this, tr("Export"), {}, tr("Text files (*.kvi)"));
        if (!name.isEmpty())
            Try([&] { fBox->Export(name, &fLibrary); });
    });
    file->addAction(tr("Export &picture..."), QKeySequence(Qt::CTRL | Qt::Key_E), this, [this] { ExportPicture(); });
    file->addAction(tr("&Load style library..."), this, [this] {
        const QString name = QFileDialog::getOpenFileName(this, tr("Style library"), {}, tr("Style Libraries (*.slb)"));
        LoadLibrary(name);
    });
    file->addSeparator();
    file->addAction(tr("Print pre&view..."), this, [this] { ShowPreview(); });
    file->addAction(tr("&Print..."), QKeySequence::Print, this, [this] {
        QPrintDialog dialog(fBox->Printer(), this);
        if (dialog.exec() == QDialog::Accepted)
            Try([&] { fBox->Print(false, {}); });
    });
    file->addSeparator();
    file->addAction(tr("&Quit"), QKeySequence::Quit, this, &QWidget::close);

    QMenu *edit = menuBar()->addMenu(tr("&Edit"));
    // Every change made with the actors and the box's operations is one step on the diagram's stack.
    QAction *undo = fBox->UndoStack()->createUndoAction(this, tr("&Undo"));
    undo->setShortcut(QKeySequence::Undo);
    QAction *redo = fBox->UndoStack()->createRedoAction(this, tr("&Redo"));
    redo->setShortcut(QKeySequence::Redo);
    edit->addAction(undo);
    edit->addAction(redo);
    connect(fBox->UndoStack(), &QUndoStack::indexChanged, this, [this] {
        fBox->Invalidate();
        Changed();
    });
    edit->addSeparator();
    edit->addAction(tr("Select &all"), QKeySequence::SelectAll, this, [this] {
        fBox->SelectAll();
        ShowStatus();
    });
    edit->addAction(tr("&Delete"), this, [this] { DeleteSelection(); });
    edit->addAction(tr("&Texts..."), this, [this] { EditTexts(); });
    edit->addAction(tr("&Copy picture"), QKeySequence::Copy, this, [this] { fBox->CopyToClipboard(clpBitmap); });
    edit->addAction(tr("Bring to &front"), this, [this] { Reorder(&TKVDiagramBox::ToFront); });
    edit->addAction(tr("Send to &back"), this, [this] { Reorder(&TKVDiagramBox::ToBack); });
    edit->addAction(tr("&Straighten edges"), this, [this] { ForSelectedEdges(&TKVCustomEdge::Straighten); });
    edit->addAction(tr("Right-&angled edges"), this, [this] { ForSelectedEdges(&TKVCustomEdge::ToOrthogonal); });

    QMenu *view = menuBar()->addMenu(tr("&View"));
    QAction *grid = view->addAction(tr("&Grid"), this, [this](bool on) { fBox->SetShowGrid(on); });
    grid->setCheckable(true);
    QAction *pages = view->addAction(tr("&Printer pages"), this, [this](bool on) { fBox->SetShowPrinterPage(on); });
    pages->setCheckable(true);
    QAction *smooth = view->addAction(tr("&Smooth drawing"), this, [this](bool on) { fBox->SetAntialiased(on); });
    smooth->setCheckable(true);
    smooth->setChecked(fBox->Antialiased());
    view->addSeparator();
    view->addAction(tr("Zoom &in"), QKeySequence::ZoomIn, this, [this] { ZoomTo(fBox->Scale() + kZoomStep); });
    view->addAction(tr("Zoom &out"), QKeySequence::ZoomOut, this, [this] { ZoomTo(fBox->Scale() - kZoomStep); });
    view->addAction(tr("Zoom to &fit"), QKeySequence(Qt::CTRL | Qt::Key_0), this, [this] { ZoomToFit(); });
    view->addAction(tr("&Actual size"), QKeySequence(Qt::CTRL | Qt::Key_1), this, [this] { ZoomTo(100); });
}

void EditorWindow::MakeStatusBar()
{
    fCounts = new QLabel;
    fCounts->setAccessibleName(tr("Objects"));
    fScaleLabel = new QLabel;
    fScaleLabel->setAccessibleName(tr("Scale"));
    fPosition = new QLabel;
    fPosition->setAccessibleName(tr("Pointer position"));
    fPosition->setMinimumWidth(110);
    statusBar()->addPermanentWidget(fCounts);
    statusBar()->addPermanentWidget(fScaleLabel);
    statusBar()->addPermanentWidget(fPosition);
}

// ---- Events ----------------------------------------------------------------------------------------

void EditorWindow::closeEvent(QCloseEvent *event)
{
    if (MaybeSave())
        event->accept();
    else
        event->ignore();
}

bool EditorWindow::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonRelease:
    case QEvent::KeyRelease:
        // Whatever the actor did with it is done by the time the queue is served.
        if (watched == fBox)
            Changed();
        break;
    case QEvent::MouseMove:
        if (watched == fBox) {
            const QPoint at = static_cast<QMouseEvent *>(event)->position().toPoint();
            const TKVPoint p = ScreenToWorldPt({at.x(), at.y()}, fBox->Scale());
            fPosition->setText(tr("%1, %2").arg(p.X).arg(p.Y));
        }
        break;
    case QEvent::Leave:
        if (watched == fBox)
            fPosition->clear();
        break;
    case QEvent::Wheel: {
        auto *wheel = static_cast<QWheelEvent *>(event);
        if (!(wheel->modifiers() & Qt::ControlModifier))
            break;
        const int steps = wheel->angleDelta().y() / 120;
        if (steps != 0) {
            const QPoint at = static_cast<QWidget *>(watched)->mapTo(fScroll->viewport(), wheel->position().toPoint());
            ZoomTo(fBox->Scale() + steps * kZoomStep, at);
        }
        return true; // Ctrl with the wheel zooms and never scrolls
    }
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---- Files -----------------------------------------------------------------------------------------

void EditorWindow::LoadLibrary(const QString &name)
{
    if (name.isEmpty())
        return;
    Try([&] { fLibrary.Load(name); });
    FillStyles();
}

bool EditorWindow::Open(const QString &name)
{
    const bool read = Try([&] {
        fBox->Clear();
        if (name.endsWith(".kvi", Qt::CaseInsensitive)) {
            fBox->Import(name, &fLibrary);
            fBox->Invalidate();
            fFileName.clear();
        } else {
            fBox->Load(name, &fLibrary);
            fFileName = name;
        }
    });
    if (read)
        RememberRecent(name);
    else
        fFileName.clear();
    FillStyles();
    MarkClean();
    return read;
}

bool EditorWindow::Try(const std::function<void()> &f)
{
    try {
        f();
        return true;
    } catch (const EAbort &) {
    } catch (const Exception &e) {
        QMessageBox::critical(this, QApplication::applicationName(), ToQt(e.Message()));
    }
    return false;
}

bool EditorWindow::Save(bool ask)
{
    QString name = fFileName;
    if (ask || name.isEmpty())
        name = QFileDialog::getSaveFileName(this, tr("Save"), name, tr("Graph files (*.kvg)"));
    if (name.isEmpty())
        return false;
    if (QFileInfo(name).suffix().isEmpty())
        name += ".kvg";
    if (!Try([&] { fBox->Save(name, &fLibrary); }))
        return false;
    fFileName = name;
    RememberRecent(name);
    MarkClean();
    statusBar()->showMessage(tr("Saved %1").arg(QFileInfo(name).fileName()), 3000);
    return true;
}

bool EditorWindow::MaybeSave()
{
    if (Contents() == fCleanContents)
        return true;
    const auto answer = QMessageBox::warning(
        this, QApplication::applicationName(),
        tr("The diagram has been changed.\nDo you want to save your changes?"),
        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
    if (answer == QMessageBox::Save)
        return Save(false);
    return answer == QMessageBox::Discard;
}

void EditorWindow::New()
{
    if (!MaybeSave())
        return;
    fBox->Clear();
    fFileName.clear();
    MarkClean();
}

void EditorWindow::OpenFile()
{
    if (!MaybeSave())
        return;
    const QString name = QFileDialog::getOpenFileName(this, tr("Open"), QFileInfo(fFileName).path(),
                                                      tr("Graph files (*.kvg);;Text files (*.kvi)"));
    if (!name.isEmpty())
        Open(name);
}

void EditorWindow::FillRecentMenu()
{
    fRecentMenu->clear();
    const QStringList files = Settings().value("RecentFiles").toStringList();
    for (int i = 0; i < files.size(); ++i) {
        const QString name = files[i];
        QAction *a = fRecentMenu->addAction(tr("&%1 %2").arg(i + 1).arg(QFileInfo(name).fileName()), this, [this, name] {
            if (!MaybeSave())
                return;
            if (!QFileInfo::exists(name)) {
                QMessageBox::warning(this, QApplication::applicationName(), tr("%1 no longer exists.").arg(name));
                QSettings settings = Settings();
                QStringList list = settings.value("RecentFiles").toStringList();
                list.removeAll(name);
                settings.setValue("RecentFiles", list);
                return;
            }
            Open(name);
        });
        a->setToolTip(name);
    }
    fRecentMenu->setEnabled(!files.isEmpty());
}

void EditorWindow::RememberRecent(const QString &name)
{
    QSettings settings = Settings();
    QStringList files = settings.value("RecentFiles").toStringList();
    const QString path = QFileInfo(name).absoluteFilePath();
    files.removeAll(path);
    files.prepend(path);
    while (files.size() > kRecentFiles)
        files.removeLast();
    settings.setValue("RecentFiles", files);
    fRecentMenu->setEnabled(true);
}

// Only the diagram, on white and cropped to it: a picture for a document.
void EditorWindow::ExportPicture()
{
    if (fBox->Vertices.empty() && fBox->Edges.empty()) {
        QMessageBox::information(this, QApplication::applicationName(), tr("The diagram is empty."));
        return;
    }
    const QString png = tr("PNG picture (*.png)"), svg = tr("SVG drawing (*.svg)");
    QString filter = png;
    QString name = QFileDialog::getSaveFileName(this, tr("Export picture"), QFileInfo(fFileName).completeBaseName(),
                                                png + ";;" + svg, &filter);
    if (name.isEmpty())
        return;
    const QString suffix = QFileInfo(name).suffix().toLower();
    if (suffix != "png" && suffix != "svg")
        name += filter == svg ? ".svg" : ".png";
    Try([&] {
        QByteArray bytes;
        if (name.endsWith(".svg", Qt::CaseInsensitive)) {
            bytes = fBox->DiagramSvg();
        } else {
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::WriteOnly);
            if (!fBox->DiagramImage().save(&buffer, "PNG"))
                throw Exception("The picture cannot be encoded");
        }
        QSaveFile file(name);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
            throw Exception(FromQt(tr("Cannot write %1: %2").arg(name, file.errorString())));
        statusBar()->showMessage(tr("Exported %1").arg(QFileInfo(name).fileName()), 3000);
    });
}

// ---- Editing ---------------------------------------------------------------------------------------

void EditorWindow::DeleteSelection()
{
    fBox->DeleteSelectedObjects(kvInteractive);
    Changed();
}

// The texts of the object right-clicked, or of the one selected object.
void EditorWindow::EditTexts()
{
    TKVObject *obj = fBox->Actor() == fEdit ? fEdit->Current : nullptr;
    if (!obj && fBox->Selection.size() == 1)
        obj = fBox->Selection.front();
    if (obj && obj->ObjectType == otHandle)
        obj = static_cast<TKVHandle *>(obj)->Owner();
    if (obj && obj->ObjectType == otAdjacent)
        obj = static_cast<TKVAdjacent *>(obj)->Edge();
    if (!obj || (obj->ObjectType != otVertex && obj->ObjectType != otEdge))
        return;
    TextsDialog dialog(this, obj);
    if (dialog.exec() != QDialog::Accepted)
        return;
    fBox->Diagram()->BeginChange({obj}, true);
    dialog.Apply();
    fBox->Diagram()->EndChange(tr("Texts"));
    fBox->Invalidate();
    Changed();
}

void EditorWindow::Reorder(void (TKVDiagramBox::*op)(TKVObject *))
{
    const TKVObjectList selection = fBox->Selection;
    for (TKVObject *o : selection)
        (fBox->*op)(o);
    fBox->Invalidate();
    Changed();
}

void EditorWindow::ForSelectedEdges(void (TKVCustomEdge::*op)())
{
    // The bends these operations free must not stay selected.
    std::vector<TKVCustomEdge *> edges;
    for (TKVObject *o : fBox->Selection)
        if (auto *e = dynamic_cast<TKVCustomEdge *>(o))
            edges.push_back(e);
    fBox->Diagram()->BeginChange(TKVObjectList(edges.begin(), edges.end()));
    for (TKVCustomEdge *e : edges) {
        fBox->ForgetBends(e);
        (e->*op)();
    }
    fBox->Diagram()->EndChange(tr("Edges"));
    fBox->Invalidate();
    Changed();
}

void EditorWindow::ShowPreview()
{
    PreviewWindow preview(this, fBox);
    preview.exec();
}

// ---- Zoom ------------------------------------------------------------------------------------------

// Anchor: a point of the scroll area's viewport that keeps showing the same part of the diagram.
void EditorWindow::ZoomTo(int scale, QPoint anchor)
{
    scale = std::clamp(scale, kMinZoom, kMaxZoom);
    const int old = fBox->Scale();
    if (scale == old)
        return;
    if (anchor.x() < 0)
        anchor = QPoint(fScroll->viewport()->width() / 2, fScroll->viewport()->height() / 2);
    const QPoint inBox = fBox->mapFrom(fScroll->viewport(), anchor);
    const TKVPoint world = ScreenToWorldPt({inBox.x(), inBox.y()}, old);
    fBox->SetScale(scale);
    fBox->Resize(); // the new size now, so that the scroll bars can reach the anchor
    const TKVPoint there = WorldToScreenPt(world, fBox->Scale());
    fScroll->horizontalScrollBar()->setValue(there.X - anchor.x());
    fScroll->verticalScrollBar()->setValue(there.Y - anchor.y());
    // Scroll bars that come or go change the room the box fills.
    QTimer::singleShot(0, fBox, [this] { fBox->Resize(); });
    ShowStatus();
}

void EditorWindow::ZoomToFit()
{
    const TKVRect e = fBox->GetDiagramExtents();
    if (e.Right <= 0 || e.Bottom <= 0)
        return ZoomTo(100);
    // The box shows the diagram from the world origin; the whole of it fits without scroll bars.
    const QSize room = fScroll->maximumViewportSize();
    const double fit = std::min(room.width() * 100.0 / e.Right, room.height() * 100.0 / e.Bottom);
    ZoomTo(int(std::floor(fit)), QPoint(0, 0));
    fScroll->horizontalScrollBar()->setValue(0);
    fScroll->verticalScrollBar()->setValue(0);
}

// ---- What is shown ---------------------------------------------------------------------------------

void EditorWindow::FillStyles()
{
    const auto fill = [](QListWidget *list, const auto &styles, const QString &plain) {
        const QString current = list->currentItem() ? list->currentItem()->text() : QString();
        list->clear();
        for (const auto &s : styles)
            list->addItem(ToQt(s->Name));
        list->addItem(plain);
        const auto found = list->findItems(current, Qt::MatchExactly);
        list->setCurrentRow(found.isEmpty() ? 0 : list->row(found.front()));
    };
    fill(fVertexStyles, fLibrary.VertexStyles, tr("(plain box)"));
    fill(fEdgeStyles, fLibrary.EdgeStyles, tr("(plain line)"));
    fLibraryLabel->setText(tr("Library: %1").arg(ToQt(fLibrary.LibraryName)));
}

// The chosen style name, or empty for the unstyled objects in the last row.
std::string EditorWindow::CurrentStyle(QListWidget *list) const
{
    const int row = list->currentRow();
    if (row < 0 || row == list->count() - 1)
        return {};
    return FromQt(list->item(row)->text());
}

// What a graph file keeps of each object, in drawing order. The label rectangles are left out:
// painting measures them again, which is no change of the diagram.
std::string EditorWindow::Contents()
{
    std::ostringstream out;
    const auto point = [&](TKVPoint p) { out << p.X << ',' << p.Y << ' '; };
    for (const TKVObject *o : fBox->Vertices) {
        out << o->ClassName() << ' ' << o->Id << ' ';
        if (const auto *v = dynamic_cast<const TKVCustomVertex *>(o))
            out << v->Bounds.Left << ' ' << v->Bounds.Top << ' ' << v->Bounds.Right << ' ' << v->Bounds.Bottom << ' ';
        if (const auto *v = dynamic_cast<const TKVVertex *>(o)) {
            out << v->Style.Name.size() << ':' << v->Style.Name;
            for (const auto &item : v->Style.DataItems)
                out << item->Text.size() << ':' << item->Text;
        }
        out << '\n';
    }
    for (const TKVObject *o : fBox->Edges) {
        out << o->ClassName() << ' ' << o->Id << ' ';
        if (const auto *e = dynamic_cast<const TKVCustomEdge *>(o)) {
            out << (e->Source ? e->Source->Id : 0) << ' ' << (e->Target ? e->Target->Id : 0) << ' ';
            for (const auto &h : e->Handles)
                point(h->Position);
            point(e->Adjacent->Position);
            point(e->Adjacent->Handle->Position);
        }
        // A styled edge shows its style's text (painting copies it to the label); a plain one its own.
        if (const auto *e = dynamic_cast<const TKVEdge *>(o))
            out << e->Style.Name.size() << ':' << e->Style.Name << e->Style.Data.size() << ':' << e->Style.Data;
        else if (const auto *e = dynamic_cast<const TKVCustomEdge *>(o))
            out << e->Text().size() << ':' << e->Text();
        out << '\n';
    }
    return out.str();
}

void EditorWindow::MarkClean()
{
    fCleanContents = Contents();
    ShowStatus();
}

void EditorWindow::Changed()
{
    if (fChangePending)
        return;
    fChangePending = true;
    QTimer::singleShot(0, this, [this] {
        fChangePending = false;
        ShowStatus();
    });
}

void EditorWindow::ShowStatus()
{
    const QString name = fFileName.isEmpty() ? tr("Untitled") : QFileInfo(fFileName).fileName();
    setWindowTitle(tr("%1[*] - %2").arg(name, QApplication::applicationName()));
    setWindowModified(Contents() != fCleanContents);
    fCounts->setText(tr("%1 vertices, %2 edges, %3 selected")
                         .arg(fBox->Vertices.size())
                         .arg(fBox->Edges.size())
                         .arg(fBox->Selection.size()));
    fScaleLabel->setText(tr("Scale %1%").arg(fBox->Scale()));
    const QPoint at = fBox->mapFromGlobal(QCursor::pos());
    if (fBox->rect().contains(at) && fScroll->viewport()->rect().contains(fScroll->viewport()->mapFromGlobal(QCursor::pos()))) {
        const TKVPoint p = ScreenToWorldPt({at.x(), at.y()}, fBox->Scale());
        fPosition->setText(tr("%1, %2").arg(p.X).arg(p.Y));
    }
}
