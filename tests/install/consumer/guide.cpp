// The program of the Kavgraph guide (docs/kavgraph-guide.md): a small diagram window put together
// in code from an installed Kavgraph. It draws a flow chart with the styles of a style library,
// saves it as a graph file and loads it again, exports a picture and prints to PDF. With --show it
// then stays open for editing with the four actors and the overview.
//
// Usage: guide [--show] STYLES.slb OUTDIR
#include <kavgraph/KVActors.h>
#include <kavgraph/KVObjsBox.h>
#include <kavgraph/KVView.h>

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QDir>
#include <QDockWidget>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPrinter>
#include <QScrollArea>
#include <QToolBar>
#include <QUndoStack>

#include <cstdio>
#include <exception>
#include <initializer_list>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>

using namespace kavgraph;

namespace {

// The window: a diagram box in a scroll area, an overview beside it, a tool bar of actors.
struct DiagramWindow {
    TKVStyleLibrary Library; // declared first, so it outlives the window's actors
    QMainWindow Window;
    TKVDiagramBox *Box = new TKVDiagramBox;
    TKVOverviewBox *Overview = new TKVOverviewBox;

    explicit DiagramWindow(const QString &styleLibrary)
    {
        Library.Load(styleLibrary); // the library's styles: Process, Decision, Terminal, ...

        auto *scroll = new QScrollArea;
        scroll->setWidget(Box); // the box scrolls and zooms inside the area's viewport
        Box->AutoSize = true;   // grows with the diagram
        Box->SetColor(clWhite);
        Box->DataUpdate = duManual; // texts live in each object's own style (saved with it)
        Box->ShowDiagramHint = true;
        Box->setMouseTracking(true); // hints follow the resting pointer
        Box->SaveOptions = {soDiagram, soStyles, soBoxOptions};
        Window.setCentralWidget(scroll);

        Overview->SetDiagramBox(Box); // repainted whenever the box paints
        Overview->SetActive(true);
        Overview->MinZoom = 25; // right-drag in the overview zooms between these
        Overview->MaxZoom = 400;
        Overview->setMinimumSize(200, 160);
        auto *dock = new QDockWidget(QStringLiteral("Overview"));
        dock->setWidget(Overview);
        Window.addDockWidget(Qt::RightDockWidgetArea, dock);
        Window.resize(900, 640);

        WireActors();
    }

    // Actors are plain objects: the window owns them, the box uses the one it is given.
    void WireActors()
    {
        auto *edit = new TKVEditActor(&Window);
        edit->OnKeyUp = [this](QObject *, int key, TShiftState) {
            if (key == Qt::Key_Delete)
                Box->DeleteSelectedObjects(kvInteractive);
        };
        auto *addVertex = new TKVAddVertexActor(&Window);
        addVertex->OnCreateVertex = [this](QObject *, TKVPoint p) -> std::unique_ptr<TKVCustomVertex> {
            return std::make_unique<TKVVertex>(p, &Library, "Process");
        };
        auto *addEdge = new TKVAddEdgeActor(&Window);
        addEdge->OnCreateEdge = [this](QObject *, TKVObject *source, TKVObject *target, TKVPoint start,
                                       TKVPoint end) -> std::unique_ptr<TKVCustomEdge> {
            return std::make_unique<TKVEdge>(source, target, start, end, "Arrow", &Library);
        };
        auto *zoom = new TKVZoomActor(&Window); // left click zooms in, right click out
        zoom->ZoomInkrement = 25;
        zoom->MinZoom = 25;
        zoom->MaxZoom = 400;

        QToolBar *tools = Window.addToolBar(QStringLiteral("Tools"));
        auto *group = new QActionGroup(&Window);
        const std::pair<const char *, TKVActor *> modes[] = {
            {"Edit", edit}, {"Add vertex", addVertex}, {"Add edge", addEdge}, {"Zoom", zoom}};
        for (const auto &[label, actor] : modes) {
            QAction *action = tools->addAction(QString::fromUtf8(label));
            action->setCheckable(true);
            group->addAction(action);
            QObject::connect(action, &QAction::triggered, Box, [this, actor] { Box->SetActor(actor); });
        }
        group->actions().front()->trigger(); // start in the edit mode

        // Every change made with the actors is one step on the diagram's undo stack.
        QAction *undo = Box->UndoStack()->createUndoAction(&Window);
        undo->setShortcut(QKeySequence::Undo);
        QAction *redo = Box->UndoStack()->createRedoAction(&Window);
        redo->setShortcut(QKeySequence::Redo);
        Window.menuBar()->addMenu(QStringLiteral("&Edit"))->addActions({undo, redo});
    }

    // A vertex of a library style, with texts for the style's data items by name.
    TKVVertex *AddVertex(TKVPoint centre, const char *style,
                         std::initializer_list<std::pair<const char *, const char *>> texts)
    {
        auto vertex = std::make_unique<TKVVertex>(centre, &Library, style);
        for (const auto &[item, text] : texts)
            if (TKVDataItem *data = vertex->Style.GetDataItem(item))
                data->Text = text;
        vertex->Hint = style; // shown when the pointer rests on the vertex
        // kvInteractive gives the object the diagram's next Id (graph files join edges to vertices
        // by Id) and selects it; kvProgram keeps the Id it has, as the file readers need.
        return static_cast<TKVVertex *>(Box->AddObject(std::move(vertex), kvInteractive));
    }

    TKVEdge *AddEdge(TKVVertex *source, TKVVertex *target, const char *style, const char *label = "")
    {
        auto edge = std::make_unique<TKVEdge>(source, target, source->Center(), target->Center(), style, &Library);
        edge->Style.Data = label; // shown in the text box of styles that have one ("Labelled")
        return static_cast<TKVEdge *>(Box->AddObject(std::move(edge), kvInteractive));
    }

    void BuildDiagram()
    {
        TKVVertex *start = AddVertex({200, 40}, "Terminal", {{"Name", "Start"}});
        TKVVertex *read = AddVertex({200, 140}, "Process", {{"Name", "Read"}, {"Description", "the graph file"}});
        TKVVertex *valid = AddVertex({200, 260}, "Decision", {{"Condition", "Valid?"}});
        TKVVertex *draw = AddVertex({200, 380}, "Process", {{"Name", "Draw"}, {"Description", "and print it"}});
        TKVVertex *report = AddVertex({440, 260}, "Document", {{"Name", "errors.log"}});
        TKVVertex *end = AddVertex({200, 480}, "Terminal", {{"Name", "End"}});
        AddEdge(start, read, "Arrow");
        AddEdge(read, valid, "Arrow");
        AddEdge(valid, draw, "Labelled", "yes");
        AddEdge(valid, report, "Labelled", "no");
        AddEdge(draw, end, "Arrow");
        // Ends and bends placed by hand: down from the report, then left into the end.
        TKVEdge *back = AddEdge(report, end, "Dashed");
        back->Handles.front()->MoveTo({report->Center().X, report->Bounds.Bottom});
        back->Handles.back()->MoveTo({end->Bounds.Right, end->Center().Y});
        back->InsertBend({report->Center().X, end->Center().Y});
        back->PlaceLabel();
        Box->DeSelectAll();
        Box->Invalidate();
    }
};

// Graph files hold the styles, the diagram and the box options; loading adds to the diagram.
void SaveAndLoad(DiagramWindow &w, const QString &graphFile)
{
    w.Box->Save(graphFile, &w.Library);
    w.Box->Clear();
    w.Box->Load(graphFile, &w.Library); // also reloads w.Library from the file's styles
}

// The whole diagram cropped to what is drawn, on white, without selection marks or grid.
void ExportPicture(DiagramWindow &w, const QString &pngFile)
{
    if (!w.Box->DiagramImage().save(pngFile))
        throw std::runtime_error("Cannot write " + pngFile.toStdString());
}

// Every page the diagram covers, at the box's print scale, into a PDF file.
void PrintToPdf(DiagramWindow &w, const QString &pdfFile)
{
    QPrinter *printer = w.Box->Printer(); // A4 at 600 dpi unless changed here
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(pdfFile);
    w.Box->Print(false, {}); // or Print(true, pages) for chosen pages
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const bool show = args.removeAll(QStringLiteral("--show")) > 0;
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: guide [--show] STYLES.slb OUTDIR\n");
        return 2;
    }
    // The classes that graph files may name must be registered before the first Load.
    RegisterKVClass(TKVVertex::StaticClass());
    RegisterKVClass(TKVEdge::StaticClass());
    try {
        DiagramWindow w(args[0]);
        w.BuildDiagram();
        const QDir out(args[1]);
        const std::size_t vertices = w.Box->Vertices.size(), edges = w.Box->Edges.size();
        SaveAndLoad(w, out.filePath(QStringLiteral("flow.kvg")));
        std::printf("saved %zu vertices and %zu edges, loaded %zu and %zu\n", vertices, edges,
                    w.Box->Vertices.size(), w.Box->Edges.size());
        ExportPicture(w, out.filePath(QStringLiteral("flow.png")));
        PrintToPdf(w, out.filePath(QStringLiteral("flow.pdf")));
        std::printf("wrote flow.kvg, flow.png and flow.pdf in %s\n", qPrintable(out.path()));
        if (!show)
            return 0;
        w.Window.show();
        return app.exec();
    } catch (const std::exception &e) { // the library reports bad files and failures this way
        std::fprintf(stderr, "guide: %s\n", e.what());
        return 1;
    }
}
