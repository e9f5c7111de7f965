// A small diagram editor built only from the Kavgraph components: a diagram box in a scroll area,
// the edit, add-vertex, add-edge and zoom actors on a tool bar, an overview, a print preview,
// graph files, text interchange files and a style library.
//
// Usage: diagram-editor [--slb LIBRARY] [FILE.kvg | FILE.kvi]

#include "kavgraph/KVActors.h"
#include "kavgraph/KVObjsBox.h"
#include "kavgraph/KVPrint.h"
#include "kavgraph/KVView.h"
#include "platform/text/Windows1252.h"

#include <QActionGroup>
#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDockWidget>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScrollArea>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>

using namespace kavgraph;

namespace {

QString ToQt(const std::string &cp1252) { return QString::fromStdString(text::Cp1252ToUtf8(cp1252)); }
std::string FromQt(const QString &s) { return text::Utf8ToCp1252(s.toStdString()); }

// The style library that ships in samples/, found beside the program or in the source tree.
QString SampleLibrary()
{
    for (const QString &candidate : {QApplication::applicationDirPath() + "/kavgraph-sample.slb",
                                     QStringLiteral(VD_SOURCE_DIR "/samples/kavgraph-sample.slb")})
        if (QFileInfo::exists(candidate))
            return candidate;
    return {};
}

// The texts of one object: the data items of a vertex's own style, the text box of an edge.
class TextsDialog : public QDialog {
public:
    TextsDialog(QWidget *parent, TKVObject *obj) : QDialog(parent)
    {
        setWindowTitle(tr("Texts"));
        auto *form = new QFormLayout;
        if (auto *v = dynamic_cast<TKVVertex *>(obj)) {
            for (const auto &item : v->Style.DataItems)
                Add(form, ToQt(item->Name), &item->Text);
        } else if (auto *e = dynamic_cast<TKVEdge *>(obj)) {
            Add(form, tr("Label"), &e->Style.Data);
        } else if (auto *c = dynamic_cast<TKVCustomEdge *>(obj)) {
            Add(form, tr("Label"), &c->Adjacent->Text);
        }
        Add(form, tr("Hint"), &obj->Hint);
        auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
        connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
        auto *layout = new QVBoxLayout(this);
        layout->addLayout(form);
        layout->addWidget(buttons);
    }
    void Apply()
    {
        for (auto &[edit, target] : fFields)
            *target = FromQt(edit->text());
    }

private:
    void Add(QFormLayout *form, const QString &label, std::string *target)
    {
        auto *edit = new QLineEdit(ToQt(*target));
        form->addRow(label, edit);
        fFields.emplace_back(edit, target);
    }
    std::vector<std::pair<QLineEdit *, std::string *>> fFields;
};

// Marks pages in the preview and prints them.
class PreviewWindow : public QDialog {
public:
    PreviewWindow(QWidget *parent, TKVDiagramBox *box) : QDialog(parent), fBox(box)
    {
        setWindowTitle(tr("Print Preview"));
        resize(520, 600);
        fPreview = new TKVPrintPreview(this);
        fPreview->SetColor(clWhite);
        fPreview->Pen = TPen{clRed, psSolid, 3};
        fPreview->SetDiagramBox(box);
        auto *hint = new QLabel(tr("Click pages to mark them for printing."));
        auto *buttons = new QDialogButtonBox;
        QPushButton *marked = buttons->addButton(tr("Print marked pages..."), QDialogButtonBox::ActionRole);
        QPushButton *all = buttons->addButton(tr("Print all..."), QDialogButtonBox::ActionRole);
        buttons->addButton(QDialogButtonBox::Close);
        connect(marked, &QPushButton::clicked, this, [this] { PrintPages(true); });
        connect(all, &QPushButton::clicked, this, [this] { PrintPages(false); });
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
        auto *layout = new QVBoxLayout(this);
        layout->addWidget(hint);
        layout->addWidget(fPreview, 1);
        layout->addWidget(buttons);
    }

private:
    void PrintPages(bool marked)
    {
        const std::vector<TKVPage> pages = fPreview->MarkedPages();
        if (marked && pages.empty()) {
            QMessageBox::information(this, windowTitle(), tr("No page is marked."));
            return;
        }
        QPrintDialog dialog(fBox->Printer(), this);
        if (dialog.exec() != QDialog::Accepted)
            return;
        try {
            fBox->Print(marked, pages);
        } catch (const Exception &e) {
            QMessageBox::critical(this, windowTitle(), ToQt(e.Message()));
        }
    }
    TKVDiagramBox *fBox;
    TKVPrintPreview *fPreview;
};

class EditorWindow : public QMainWindow {
public:
    EditorWindow()
    {
        resize(1180, 780);
        fScroll = new QScrollArea;
        fBox = new TKVDiagramBox;
        fBox->SetColor(clWhite);
        fBox->AutoSize = true;
        fBox->DataUpdate = duManual; // the texts live in each object's own style
        fBox->ShowDiagramHint = true;
        fBox->SaveOptions = {soDiagram, soStyles, soBoxOptions};
        fScroll->setWidget(fBox);
        fScroll->setBackgroundRole(QPalette::Dark);
        setCentralWidget(fScroll);
        fBox->OnScaleChange = [this](TKVScaleChange, int &) { QMetaObject::invokeMethod(this, [this] { ShowStatus(); }, Qt::QueuedConnection); };
        fBox->OnAddObject = [this](TKVObject *&, TKVMode) {
            Modified();
            return true;
        };
        fBox->OnDeleteObject = [this](TKVObject *&, TKVMode) {
            Modified();
            return true;
        };

        MakeActors();
        MakeDocks();
        MakeMenus();
        statusBar()->addPermanentWidget(fStatus = new QLabel);
        fActors[0]->trigger();
        ShowStatus();
    }

    void LoadLibrary(const QString &name)
    {
        if (name.isEmpty())
            return;
        Try([&] {
            fLibrary.Load(name);
            fLibraryFile = name;
        });
        FillStyles();
    }

    void Open(const QString &name)
    {
        Try([&] {
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
        FillStyles();
        fModified = false;
        ShowStatus();
    }

private:
    // ---- Building the window ----

    void MakeActors()
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
        fEdit->OnClick = [this](QObject *) { ShowStatus(); };

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
        fZoom->ZoomInkrement = 25;
        fZoom->MinZoom = 25;
        fZoom->MaxZoom = 400;

        auto *tools = addToolBar(tr("Tools"));
        tools->setObjectName("tools");
        auto *group = new QActionGroup(this);
        const std::pair<QString, TKVActor *> modes[] = {
            {tr("Edit"), fEdit}, {tr("Add vertex"), fAddVertex}, {tr("Add edge"), fAddEdge}, {tr("Zoom"), fZoom}};
        for (const auto &[label, actor] : modes) {
            QAction *a = tools->addAction(label);
            a->setCheckable(true);
            group->addAction(a);
            connect(a, &QAction::triggered, this, [this, actor = actor] {
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
        tools->addAction(tr("Actual size"), this, [this] { fBox->SetScale(100); });
        tools->addAction(tr("Delete"), this, [this] { DeleteSelection(); });
        tools->addAction(tr("Texts..."), this, [this] { EditTexts(); });
        tools->addAction(tr("Print preview..."), this, [this] { ShowPreview(); });
    }

    void MakeDocks()
    {
        auto *overviewDock = new QDockWidget(tr("Overview"), this);
        overviewDock->setObjectName("overview");
        fOverview = new TKVOverviewBox;
        fOverview->SetColor(clWhite);
        fOverview->setMinimumSize(220, 180);
        fOverview->MinZoom = 25;
        fOverview->MaxZoom = 400;
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
        layout->addWidget(new QLabel(tr("New edges:")));
        layout->addWidget(fEdgeStyles = new QListWidget);
        layout->addWidget(fLibraryLabel = new QLabel);
        fLibraryLabel->setWordWrap(true);
        stylesDock->setWidget(panel);
        addDockWidget(Qt::RightDockWidgetArea, stylesDock);
        // Picking a style switches to the actor that uses it.
        connect(fVertexStyles, &QListWidget::itemClicked, this, [this] { fActors[1]->trigger(); });
        connect(fEdgeStyles, &QListWidget::itemClicked, this, [this] { fActors[2]->trigger(); });
    }

    void MakeMenus()
    {
        QMenu *file = menuBar()->addMenu(tr("&File"));
        file->addAction(tr("&New"), QKeySequence::New, this, [this] {
            fBox->Clear();
            fFileName.clear();
            fModified = false;
            ShowStatus();
        });
        file->addAction(tr("&Open..."), QKeySequence::Open, this, [this] {
            const QString name = QFileDialog::getOpenFileName(this, tr("Open"), {},
                                                              tr("Graph files (*.kvg);;Text files (*.kvi)"));
            if (!name.isEmpty())
                Open(name);
        });
        file->addAction(tr("&Save"), QKeySequence::Save, this, [this] { Save(false); });
        file->addAction(tr("Save &as..."), QKeySequence::SaveAs, this, [this] { Save(true); });
        file->addSeparator();
        file->addAction(tr("&Import text file..."), this, [this] {
            const QString name = QFileDialog::getOpenFileName(this, tr("Import"), {}, tr("Text files (*.kvi)"));
            if (name.isEmpty())
                return;
            Try([&] { fBox->Import(name, &fLibrary); });
            fBox->Invalidate();
            ShowStatus();
        });
        file->addAction(tr("&Export text file..."), this, [this] {
            const QString name = QFileDialog::getSaveFileName(this, tr("Export"), {}, tr("Text files (*.kvi)"));
            if (!name.isEmpty())
                Try([&] { fBox->Export(name, &fLibrary); });
        });
        file->addAction(tr("Export &picture..."), this, [this] {
            const QString name = QFileDialog::getSaveFileName(this, tr("Export picture"), {}, tr("Bitmaps (*.bmp)"));
            if (!name.isEmpty())
                Try([&] { fBox->SaveBitmap(name); });
        });
        file->addAction(tr("&Load style library..."), this, [this] {
            const QString name =
                QFileDialog::getOpenFileName(this, tr("Style library"), {}, tr("Style Libraries (*.slb)"));
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
        edit->addAction(tr("Select &all"), QKeySequence::SelectAll, this, [this] { fBox->SelectAll(); });
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
        view->addAction(tr("Zoom &in"), QKeySequence::ZoomIn, this, [this] { fBox->SetScale(std::min(fBox->Scale() + 25, 400)); });
        view->addAction(tr("Zoom &out"), QKeySequence::ZoomOut, this, [this] { fBox->SetScale(std::max(fBox->Scale() - 25, 25)); });
        view->addAction(tr("&Actual size"), this, [this] { fBox->SetScale(100); });
    }

    // ---- Commands ----

    void Try(const std::function<void()> &f)
    {
        try {
            f();
        } catch (const EAbort &) {
        } catch (const Exception &e) {
            QMessageBox::critical(this, windowTitle(), ToQt(e.Message()));
        }
    }

    void Save(bool ask)
    {
        QString name = fFileName;
        if (ask || name.isEmpty())
            name = QFileDialog::getSaveFileName(this, tr("Save"), name, tr("Graph files (*.kvg)"));
        if (name.isEmpty())
            return;
        if (QFileInfo(name).suffix().isEmpty())
            name += ".kvg";
        Try([&] {
            fBox->Save(name, &fLibrary);
            fFileName = name;
            fModified = false;
        });
        ShowStatus();
    }

    void DeleteSelection()
    {
        fBox->DeleteSelectedObjects(kvInteractive);
        ShowStatus();
    }

    // The texts of the object right-clicked, or of the one selected object.
    void EditTexts()
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
        dialog.Apply();
        Modified();
        fBox->Invalidate();
    }

    void Reorder(void (TKVDiagramBox::*op)(TKVObject *))
    {
        const TKVObjectList selection = fBox->Selection;
        for (TKVObject *o : selection)
            (fBox->*op)(o);
        fBox->Invalidate();
    }

    void ForSelectedEdges(void (TKVCustomEdge::*op)())
    {
        // The bends these operations free must not stay selected.
        std::vector<TKVCustomEdge *> edges;
        for (TKVObject *o : fBox->Selection)
            if (auto *e = dynamic_cast<TKVCustomEdge *>(o))
                edges.push_back(e);
        for (TKVCustomEdge *e : edges) {
            fBox->ForgetBends(e);
            (e->*op)();
        }
        Modified();
        fBox->Invalidate();
    }

    void ShowPreview()
    {
        PreviewWindow preview(this, fBox);
        preview.exec();
    }

    void FillStyles()
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
    std::string CurrentStyle(QListWidget *list) const
    {
        const int row = list->currentRow();
        if (row < 0 || row == list->count() - 1)
            return {};
        return FromQt(list->item(row)->text());
    }

    void Modified()
    {
        fModified = true;
        QMetaObject::invokeMethod(this, [this] { ShowStatus(); }, Qt::QueuedConnection);
    }

    void ShowStatus()
    {
        const QString name = fFileName.isEmpty() ? tr("Untitled") : QFileInfo(fFileName).fileName();
        setWindowTitle(tr("%1%2 - Kavgraph Diagram Editor").arg(name, fModified ? "*" : ""));
        fStatus->setText(tr("%1 vertices, %2 edges, %3 selected   Scale %4%")
                             .arg(fBox->Vertices.size())
                             .arg(fBox->Edges.size())
                             .arg(fBox->Selection.size())
                             .arg(fBox->Scale()));
    }

    TKVStyleLibrary fLibrary;
    QString fLibraryFile;
    QString fFileName;
    bool fModified = false;
    QScrollArea *fScroll;
    TKVDiagramBox *fBox;
    TKVOverviewBox *fOverview;
    TKVEditActor *fEdit;
    TKVAddVertexActor *fAddVertex;
    TKVAddEdgeActor *fAddEdge;
    TKVZoomActor *fZoom;
    std::vector<QAction *> fActors;
    QListWidget *fVertexStyles;
    QListWidget *fEdgeStyles;
    QLabel *fLibraryLabel;
    QLabel *fStatus;
};

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName("Kavgraph Diagram Editor");
    RegisterKVClass(TKVVertex::StaticClass());
    RegisterKVClass(TKVEdge::StaticClass());

    QString library = SampleLibrary(), file;
    const QStringList args = QApplication::arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == "--slb" && i + 1 < args.size())
            library = args[++i];
        else
            file = args[i];
    }
    EditorWindow window;
    window.LoadLibrary(library);
    if (!file.isEmpty())
        window.Open(file);
    window.show();
    return app.exec();
}
