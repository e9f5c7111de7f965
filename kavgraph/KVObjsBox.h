#pragma once
// The diagram box: the control that shows one diagram (TKVDiagram, which it owns and which
// holds the objects, selection, options and files). The box paints double-buffered at the
// diagram's zoom scale with its grid, background picture and printer-page lines, shows a hint
// for the object under the resting pointer and hands every mouse and key event to its actor.
// Its object, option and file operations are those of its diagram.
//
// Painting: the box keeps a back buffer of its visible part. Paints that the box asks for itself
// (Invalidate) render the buffer again; exposes only copy from it. Drawing outside a paint
// (rubber bands, an object added) goes into the buffer through DrawOnBox, and the screen is then
// updated from it.

#include "kavgraph/kavgraph_export.h"
#include "kavgraph/KVObjs.h"
#include "kavgraph/KVObjsActor.h"
#include "kavgraph/KVObjsDiagram.h"
#include "kavgraph/KVObjsPages.h"
#include "platform/ui/Canvas.h"

#include <QImage>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QPrinter;
class QScrollArea;
class QTimer;

namespace kavgraph {

/// The diagram control: shows a TKVDiagram and edits it through its actor.
/// \n Put it in a QScrollArea. It paints at its zoom scale with grid, background picture and printer
/// page lines, shows hints, hands mouse and key events to its actor, prints, and reads and writes
/// graph and text files. Its object, option and file operations are those of its diagram, made
/// undoable where they change the diagram.
class KAVGRAPH_EXPORT TKVDiagramBox : public QWidget {
    Q_OBJECT
    Q_PROPERTY(TColor Color READ Color WRITE SetColor)
    Q_PROPERTY(int Scale READ Scale WRITE SetScale)
    Q_PROPERTY(int PrintScale READ PrintScale WRITE SetPrintScale)
    Q_PROPERTY(bool ShowGrid READ ShowGrid WRITE SetShowGrid)
    Q_PROPERTY(bool CenterBitmap READ CenterBitmap WRITE SetCenterBitmap)
    Q_PROPERTY(int GridStep READ GridStep WRITE SetGridStep)
    Q_PROPERTY(TColor GridColor READ GridColor WRITE SetGridColor)
    Q_PROPERTY(bool ShowPrinterPage READ ShowPrinterPage WRITE SetShowPrinterPage)
    Q_PROPERTY(bool AutoSize MEMBER AutoSize)
    Q_PROPERTY(int DiagramHintPause MEMBER DiagramHintPause)
    Q_PROPERTY(bool ImmediateRedraw MEMBER ImmediateRedraw)
    Q_PROPERTY(bool ShowDiagramHint MEMBER ShowDiagramHint)
    Q_PROPERTY(bool Antialiased READ Antialiased WRITE SetAntialiased)

    /// Declared first: the public references below are bound to its fields.
    std::unique_ptr<TKVDiagram> fDiagram;

public:
    /// An empty box with an empty diagram and no actor.
    explicit TKVDiagramBox(QWidget *Owner = nullptr);
    /// Frees the diagram and its objects.
    ~TKVDiagramBox() override;

    /// The diagram shown; the box owns it.
    TKVDiagram *Diagram() const { return fDiagram.get(); }
    /// The diagram's undo steps, for an Edit menu.
    QUndoStack *UndoStack() const { return fDiagram->UndoStack(); }

    ///@{
    /// The published properties under the setter names Qt's form compiler calls, so that forms
    /// made in Qt Designer compile.
    void setColor(TColor V) { SetColor(V); }
    void setScale(int V) { SetScale(V); }
    void setPrintScale(int V) { SetPrintScale(V); }
    void setShowGrid(bool V) { SetShowGrid(V); }
    void setCenterBitmap(bool V) { SetCenterBitmap(V); }
    void setGridStep(int V) { SetGridStep(V); }
    void setGridColor(TColor V) { SetGridColor(V); }
    void setShowPrinterPage(bool V) { SetShowPrinterPage(V); }
    void setAutoSize(bool V) { AutoSize = V; }
    void setDiagramHintPause(int V) { DiagramHintPause = V; }
    void setImmediateRedraw(bool V) { ImmediateRedraw = V; }
    void setShowDiagramHint(bool V) { ShowDiagramHint = V; }
    void setAntialiased(bool V) { SetAntialiased(V); }
    ///@}

    // ---- Properties ----
    /// The actor that gets the box's mouse and key events, or none.
    TKVActor *Actor() const { return fActor; }
    /// Stores the actor, makes this its box, repaints.
    void SetActor(TKVActor *Actor);
    /// The background colour.
    TColor Color() const { return fDiagram->Color(); }
    /// Sets the background colour and repaints.
    void SetColor(TColor Color) { fDiagram->SetColor(Color); }
    int DiagramHintPause = 1000; ///< stored only: the hint delay is a fixed 1000 ms
    bool &AutoSize; ///< the box grows to the diagram (or its scroll area's viewport)
    TKVSaveOptions &SaveOptions; ///< the sections Save writes
    TKVObjectEvent &OnAddObject; ///< may veto or replace an object about to be added
    TKVObjectEvent &OnDeleteObject; ///< may veto an object about to be deleted
    TKVScaleChangeEvent &OnScaleChange; ///< may change a new scale before it is set
    std::function<void(QObject *Sender)> OnResize; ///< called after the box resized itself (AutoSize)
    /// The zoom scale, percent.
    std::int32_t Scale() const { return fDiagram->Scale(); }
    /// Nothing when V is the current scale; otherwise the scale event may change it. A scale
    /// below 1 percent is taken as 1.
    void SetScale(std::int32_t V) { fDiagram->SetScale(V); }
    /// The zoom scale as a factor (1.0 at 100 percent).
    double ScaleFactor() const { return fDiagram->ScaleFactor(); }
    /// The printing scale, percent: at 100 a diagram as wide as the screen fills one page.
    std::int32_t PrintScale() const { return fDiagram->PrintScale(); }
    /// Sets the printing scale and repaints.
    void SetPrintScale(std::int32_t V) { fDiagram->SetPrintScale(V); }
    /// Whether the grid is drawn.
    bool ShowGrid() const { return fDiagram->ShowGrid(); }
    /// Shows or hides the grid.
    void SetShowGrid(bool V) { fDiagram->SetShowGrid(V); }
    /// The background picture.
    const TBitmap &Bitmap() const { return fDiagram->Bitmap(); }
    /// Sets the background picture and repaints.
    void SetBitmap(const TBitmap &V) { fDiagram->SetBitmap(V); }
    /// Whether the background picture is centred (else at the top-left corner).
    bool CenterBitmap() const { return fDiagram->CenterBitmap(); }
    /// Centres the background picture or puts it at the corner.
    void SetCenterBitmap(bool V) { fDiagram->SetCenterBitmap(V); }
    /// The grid's spacing, world units.
    std::int32_t GridStep() const { return fDiagram->GridStep(); }
    /// Sets the grid's spacing (0 or less: no grid).
    void SetGridStep(std::int32_t V) { fDiagram->SetGridStep(V); }
    /// The grid's colour.
    TColor GridColor() const { return fDiagram->GridColor(); }
    /// Sets the grid's colour.
    void SetGridColor(TColor V) { fDiagram->SetGridColor(V); }
    /// The grid's line style.
    TPenStyle GridStyle() const { return fDiagram->GridStyle(); }
    /// Sets the grid's line style.
    void SetGridStyle(TPenStyle V) { fDiagram->SetGridStyle(V); }
    /// Whether the printer page borders are drawn.
    bool ShowPrinterPage() const { return fDiagram->ShowPrinterPage(); }
    /// Shows or hides the printer page borders.
    void SetShowPrinterPage(bool V) { fDiagram->SetShowPrinterPage(V); }
    bool &ImmediateRedraw; ///< moving the selection draws no rubber-band outlines
    TKVDataUpdateMode &DataUpdate; ///< duAutomatic: texts come from the data provider at each paint
    bool ShowDiagramHint = false; ///< show the hint of the object under the resting pointer

    // ---- State ----
    std::vector<QPointer<QWidget>> Views; ///< repainted after each paint of the box; not owned
    TKVPoint Origin{0, 0};                ///< offset for an object drawn on its own
    std::int32_t &ParentWidth;            ///< the container's client size taken by Resize
    std::int32_t &ParentHeight; ///< the container's client height taken by Resize
    TKVPoint CursorPos{0, 0}; ///< world position of the last mouse move
    TKVObjectList &Vertices;  ///< owned by the diagram, in drawing order
    TKVObjectList &Edges;     ///< owned by the diagram, in drawing order
    TKVObjectList &Selection; ///< not owned
    std::int32_t &LastId;     ///< the largest Id given out or loaded

    // ---- Objects ----
    /// Takes Obj as TKVDiagram::AddObject does; each add, delete and move through the box is one
    /// undoable step.
    TKVObject *AddObject(std::unique_ptr<TKVObject> Obj, TKVMode Mode);
    /// The same for an object handed over as a plain pointer.
    TKVObject *AddObject(TKVObject *Obj, TKVMode Mode) { return AddObject(std::unique_ptr<TKVObject>(Obj), Mode); }
    /// Deletes Obj unless the delete event vetoes (a vertex takes its edges along).
    void DeleteObject(TKVObject *Obj, TKVMode Mode);
    /// Deletes every selected object (those vetoed stay selected).
    void DeleteSelectedObjects(TKVMode Mode);
    /// Frees every object without asking the delete event and repaints; LastId starts again at 0
    /// and the undo steps go too.
    void Clear();
    /// The object at world point P: edges from last to first, then vertices; none when nothing is there.
    TKVObject *FindObject(TKVPoint P) const { return fDiagram->FindObject(P); }
    /// The vertex or edge of that Id, or none.
    TKVObject *FindObjectByID(std::int32_t Id) const { return fDiagram->FindObjectByID(Id); }
    /// Draws V last (on top of everything).
    void ToFront(TKVObject *V);
    /// Draws V first (below everything).
    void ToBack(TKVObject *V);
    /// Draws V one place later.
    void ToFrontOne(TKVObject *V);
    /// Draws V one place earlier.
    void ToBackOne(TKVObject *V);
    /// Vertices, bend handles and label points, grown by 10; (0, 0, 0, 0) when empty.
    TKVRect GetDiagramExtents() const { return fDiagram->GetDiagramExtents(); }
    /// Asks the data provider for every text of every vertex and edge.
    void GetDiagramData() { fDiagram->GetDiagramData(); }
    /// Removes a bend handle of an edge; end handles stay.
    void DeleteHandle(TKVHandle *Handle);
    /// Takes the bend handles of Edge out of the selection and the actor. Bends freed by the
    /// edge's operations leave them by themselves.
    void ForgetBends(TKVCustomEdge *Edge) { fDiagram->ForgetBends(Edge); }

    // ---- Selection ----
    /// Selects Obj, keeping the selection when Add, else alone.
    void AddToSelection(TKVObject *Obj, bool Add) { fDiagram->AddToSelection(Obj, Add); }
    /// Empties the selection.
    void DeSelectAll() { fDiagram->DeSelectAll(); }
    /// Selects every vertex and edge.
    void SelectAll() { fDiagram->SelectAll(); }
    /// Selects the vertices and bend handles inside R (edges never), keeping the selection when Add.
    void SelectByRect(const TKVRect &R, bool Add) { fDiagram->SelectByRect(R, Add); }
    /// Moves every selected object by Delta world units, as one undoable step.
    void MoveSelectionBy(TKVPoint Delta);
    /// A rubber-band rectangle in not-XOR (client coordinates).
    void DrawDrag(const TKVRect &R);

    // ---- Painting and output ----
    /// Renders the picture again and updates the screen.
    void Invalidate();
    /// Runs Draw on the box's picture (outside a paint) and updates the screen.
    void DrawOnBox(const std::function<void(TCanvas &Canvas)> &Draw);
    /// Draws the grid lines that fall on the box.
    void PaintGrid(TCanvas &Canvas, TKVPoint Offset) { fDiagram->PaintGrid(Canvas, Offset, size()); }
    /// Draws the printer page borders that fall on the box.
    void PaintPrinterPage(TCanvas &Canvas, TKVPoint Offset) { fDiagram->PaintPrinterPage(Canvas, Offset, size()); }
    /// Draws the edges and then the vertices, world coordinates less Offset.
    void PaintObjects(TCanvas &Canvas, TKVPaintMode PaintMode, TKVPoint Offset)
    {
        fDiagram->PaintObjects(Canvas, PaintMode, Offset);
    }
    /// A picture of the box's size as painted, saved as a BMP file (through a temporary file).
    void SaveBitmap(const QString &FileName);
    /// The box as painted, as a picture.
    QImage RenderImage();
    /// The box as painted, into Image, which is resized only when its size differs.
    void RenderImage(QImage &Image);
    /// The columns and rows of printer pages the diagram covers from the world origin.
    TKVPageCount GetPageCount() { return fDiagram->GetPageCount(); }
    /// Every page (rows outer, columns inner), or the listed ones in list order. More than
    /// MaxPrintedPages pages are refused ("Too many pages: N") before the printer starts.
    void Print(bool PageList, const std::vector<TKVPage> &Pages) { fDiagram->Print(PageList, Pages); }
    static constexpr std::int64_t MaxPrintedPages = TKVDiagram::MaxPrintedPages; ///< the most pages Print prints

    /// The printer used by Print (created on first use; A4 at 600 dpi unless the application
    /// changes it) and the page sizes taken from it and the screen, unless set.
    QPrinter *Printer() { return fDiagram->Printer(); }
    /// The printer page and screen width that pages are measured by.
    TKVPrinterMetrics PrinterMetrics() { return fDiagram->PrinterMetrics(); }
    /// Fixes the metrics (tests, tools); none takes them from the printer and screen again.
    void SetPrinterMetrics(const std::optional<TKVPrinterMetrics> &Metrics) { fDiagram->SetPrinterMetrics(Metrics); }

    /// The scroll area whose viewport holds the box, or none.
    QScrollArea *ScrollContainer() const;
    /// Fits an auto-sized box to the diagram and its scroll area.
    void Resize();

    // ---- Files ----
    /// Reads a graph file, adding its objects; the styles section reloads StyleLibrary.
    virtual void Load(const QString &FileName, TKVStyleLibrary *StyleLibrary);
    /// Writes a graph file with the sections of SaveOptions (through a temporary file).
    virtual void Save(const QString &FileName, TKVStyleLibrary *StyleLibrary);
    /// Reads the diagram section of a graph file.
    virtual void DoLoad(TKVReader &Reader, TKVStyleLibrary *StyleLibrary, std::string_view FormatMark);
    /// Writes the diagram section of a graph file.
    virtual void DoSave(TKVWriter &Writer, TKVStyleLibrary *StyleLibrary);
    /// Reads a text file, adding its objects; its library name must be StyleLibrary's.
    virtual void Import(const QString &FileName, TKVStyleLibrary *StyleLibrary);
    /// Writes the diagram as a text file.
    virtual void Export(const QString &FileName, TKVStyleLibrary *StyleLibrary);
    /// Called by Load before each section of a graph file is read, with the reader at its body.
    std::function<void(const std::string &Section, const TKVReader &Reader)> &OnLoadSection;
    /// The graph file as bytes (what Save writes, what Load reads).
    std::string SaveToBytes(TKVStyleLibrary *StyleLibrary) { return fDiagram->SaveToBytes(StyleLibrary); }
    /// Reads a graph file from bytes (as Load does).
    void LoadFromBytes(std::string_view Bytes, TKVStyleLibrary *StyleLibrary);
    /// The text file as bytes (what Export writes).
    std::string ExportToBytes(TKVStyleLibrary *StyleLibrary) { return fDiagram->ExportToBytes(StyleLibrary); }
    /// Reads a text file from bytes (as Import does); FileName is for the messages.
    void ImportFromBytes(std::string_view Bytes, TKVStyleLibrary *StyleLibrary, const QString &FileName);
    /// Puts a picture of the selected part on the clipboard (clpBitmap); clpObjects does nothing.
    void CopyToClipboard(TKVClipMode Mode);
    /// The picture CopyToClipboard puts on the clipboard (null when nothing is selected).
    QImage SelectionPicture() { return fDiagram->SelectionPicture(); }

    // ---- Pictures ----
    /// Smooth lines, shapes and text on screen and in pictures. Off by default, so that the
    /// drawing stays pixel for pixel as the styles describe it; rubber bands and other not-XOR
    /// figures are never smoothed.
    bool Antialiased() const { return fDiagram->Antialiased(); }
    /// Turns smoothing on or off and repaints.
    void SetAntialiased(bool V) { fDiagram->SetAntialiased(V); }
    /// The picture RenderImage gives, as SVG (vector shapes and text); SaveSvg writes it to a file
    /// through a temporary file.
    QByteArray SvgBytes() { return fDiagram->SvgBytes(size()); }
    /// Writes SvgBytes() to FileName.
    void SaveSvg(const QString &FileName);
    /// The world rectangle that shows Objects whole, data texts included, grown by 10 on each side;
    /// empty (Left >= Right) when there is nothing to show.
    TKVRect PictureArea(const TKVObjectList &Objects) { return fDiagram->PictureArea(Objects); }
    /// The whole diagram cropped to what it covers at Scale, on white, without selection marks,
    /// grid or page lines (what a document would include); null or empty when the diagram is.
    QImage DiagramImage() { return fDiagram->DiagramImage(); }
    /// The same picture as SVG.
    QByteArray DiagramSvg() { return fDiagram->DiagramSvg(); }

    /// The hint text showing, or empty.
    const std::string &HintText() const { return fHintText; }
    /// Whether a hint is showing.
    bool HintShowing() const { return fHintShowing; }

protected:
    /// Copies the picture from the back buffer, rendering what it lacks.
    void paintEvent(QPaintEvent *event) override;
    /// Renders the picture at the new size.
    void resizeEvent(QResizeEvent *event) override;
    /// Hands the press to the actor.
    void mousePressEvent(QMouseEvent *event) override;
    /// Records CursorPos and hands the move to the actor.
    void mouseMoveEvent(QMouseEvent *event) override;
    /// Hands the release (and a click) to the actor.
    void mouseReleaseEvent(QMouseEvent *event) override;
    /// Hands the double click to the actor.
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    /// Hands the key to the actor.
    void keyReleaseEvent(QKeyEvent *event) override;
    /// Hides the hint.
    void leaveEvent(QEvent *event) override;
    /// Fits an auto-sized box to its scroll area.
    void showEvent(QShowEvent *event) override;

private:
    void RestartHintTimer();
    void HintTimerFired();
    void HideHint();
    void ObjectRemoved(TKVObject *Obj);
    void ObjectAdded(TKVObject *Obj);
    void PaintHint(TCanvas &Canvas, const QRect &Clip);
    QRect VisibleRect() const;
    /// The pointer's position in client coordinates, or none when it is outside the box.
    std::optional<QPoint> PointerPos() const;

    QPointer<TKVActor> fActor;

    /// The back buffer of the visible part.
    QImage fBuffer;
    QRect fBufferRect;
    bool fBufferValid = false;

    QTimer *fHintTimer = nullptr;
    std::string fHintText;
    TKVObject *fHintObject = nullptr;
    bool fHintShowing = false;
    QPoint fMousePos{-1, -1}; ///< client position of the last mouse event
    QPoint fHintPos{-1, -1};  ///< where the hint's object was found
    bool fPointerInside = false;
    bool fClickPending = false;
};

} // namespace kavgraph
