#pragma once
// The diagram: the vertices and edges of one drawing with their ids, selection, z-order and
// add/delete events, the options stored with it, painting onto any canvas, printing, and the
// graph and text files. It is not a widget: tools and tests use it with a QGuiApplication, and a
// diagram box shows it on screen and turns input into calls on it.
//
// Every object that leaves the diagram or is freed while it belongs to it (deleted, cleared, a
// bend freed by an edge operation) is announced once through ObjectRemoved before its memory
// goes, after the diagram itself has taken it out of the selection.

#include "kavgraph/kavgraph_export.h"
#include "kavgraph/KVFields.h"
#include "kavgraph/KVObjs.h"
#include "kavgraph/KVObjsPages.h"
#include "platform/ui/Canvas.h"

#include <QImage>
#include <QObject>

#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <unordered_map>
#include <vector>

class QPrinter;
class QUndoStack;

namespace kavgraph {

/// A printer page by column and row, both from 1.
struct TKVPage {
    std::int32_t Column = 1; ///< from 1, left to right
    std::int32_t Row = 1; ///< from 1, top to bottom
};

/// One diagram without a widget: its vertices and edges, selection, options, files and printing.
/// \n A TKVDiagramBox shows one on screen; tools use it alone with a QGuiApplication.
class KAVGRAPH_EXPORT TKVDiagram : public QObject {
    Q_OBJECT

public:
    /// An empty diagram.
    explicit TKVDiagram(QObject *Owner = nullptr);
    /// Frees every object.
    ~TKVDiagram() override;

    // ---- Objects ----
    TKVObjectList Vertices;  ///< owned, in drawing order
    TKVObjectList Edges;     ///< owned, in drawing order
    TKVObjectList Selection; ///< not owned
    std::int32_t LastId = 0; ///< the largest Id given out or loaded
    TKVObjectEvent OnAddObject; ///< may veto or replace an object about to be added
    TKVObjectEvent OnDeleteObject; ///< may veto an object about to be deleted

    /// Takes Obj. The add event may veto (Obj is freed) or replace it. A vertex joins Vertices,
    /// an edge Edges; with kvInteractive it gets the next Id and becomes the only selected
    /// object. Returns the object added, or none. Objects of other kinds are refused and freed.
    TKVObject *AddObject(std::unique_ptr<TKVObject> Obj, TKVMode Mode);
    /// Unless the delete event vetoes: a vertex first takes its edges with it (kvProgram); the
    /// object is freed. A bend handle is removed through its edge's DeleteHandle; other handles
    /// and labels only leave the selection.
    void DeleteObject(TKVObject *Obj, TKVMode Mode);
    /// Deletes every selected object (those vetoed stay selected).
    void DeleteSelectedObjects(TKVMode Mode);
    /// Frees every object without asking the delete event; LastId starts again at 0 and the undo
    /// steps go too.
    void Clear();
    /// Edges from last to first, then vertices from last to first; the first hit.
    TKVObject *FindObject(TKVPoint P) const;
    /// The vertex or edge of that Id, or none.
    TKVObject *FindObjectByID(std::int32_t Id) const;
    /// Draws V last (on top of everything).
    void ToFront(TKVObject *V);
    /// Draws V first (below everything).
    void ToBack(TKVObject *V);
    /// Draws V one place later.
    void ToFrontOne(TKVObject *V);
    /// Draws V one place earlier.
    void ToBackOne(TKVObject *V);
    /// Vertices, bend handles and label points, grown by 10; (0, 0, 0, 0) when empty.
    TKVRect GetDiagramExtents() const;
    /// Asks the data provider for every text of every vertex and edge.
    void GetDiagramData();
    /// Removes a bend handle of an edge; end handles stay.
    void DeleteHandle(TKVHandle *Handle);
    /// Takes the bend handles of Edge out of the selection and announces them as leaving. Freed
    /// bends do that by themselves; this is for callers about to free them another way.
    void ForgetBends(TKVCustomEdge *Edge);
    /// Whether Obj is a vertex or an edge of this diagram, or a part of one.
    bool Owns(const TKVObject *Obj) const;

    // ---- Selection ----
    /// Selects Obj, keeping the selection when Add, else alone.
    void AddToSelection(TKVObject *Obj, bool Add);
    /// Takes Obj out of the selection.
    void RemoveFromSelection(TKVObject *Obj);
    /// Empties the selection.
    void DeSelectAll();
    /// Selects every vertex and edge.
    void SelectAll();
    /// Selects the vertices and bend handles inside R (edges never), keeping the selection when Add.
    void SelectByRect(const TKVRect &R, bool Add);
    /// Moves every selected object (no drawing).
    void MoveSelectionBy(TKVPoint Delta);

    // ---- Options stored with the diagram ----
    /// The background colour.
    TColor Color() const { return fColor; }
    /// Sets the background colour.
    void SetColor(TColor V);
    TKVScaleChangeEvent OnScaleChange; ///< may change a new scale before it is set
    /// The zoom scale, percent.
    std::int32_t Scale() const { return fScale; }
    /// Nothing when V is the current scale; otherwise the scale event may change it. A scale
    /// below 1 percent is taken as 1.
    void SetScale(std::int32_t V);
    /// The zoom scale as a factor (1.0 at 100 percent).
    double ScaleFactor() const { return fScaleFactor; }
    /// The printing scale, percent: at 100 a diagram as wide as the screen fills one page.
    std::int32_t PrintScale() const { return fPrintScale; }
    /// Sets the printing scale.
    void SetPrintScale(std::int32_t V);
    /// Whether the grid is drawn.
    bool ShowGrid() const { return fShowGrid; }
    /// Shows or hides the grid.
    void SetShowGrid(bool V);
    /// The background picture.
    const TBitmap &Bitmap() const { return fBitmap; }
    /// Sets the background picture.
    void SetBitmap(const TBitmap &V);
    /// Whether the background picture is centred (else at the top-left corner).
    bool CenterBitmap() const { return fCenterBitmap; }
    /// Centres the background picture or puts it at the corner.
    void SetCenterBitmap(bool V);
    /// The grid's spacing, world units.
    std::int32_t GridStep() const { return fGridStep; }
    /// Sets the grid's spacing (0 or less: no grid).
    void SetGridStep(std::int32_t V);
    /// The grid's colour.
    TColor GridColor() const { return fGridColor; }
    /// Sets the grid's colour.
    void SetGridColor(TColor V);
    /// The grid's line style.
    TPenStyle GridStyle() const { return fGridStyle; }
    /// Sets the grid's line style.
    void SetGridStyle(TPenStyle V);
    /// Whether the printer page borders are drawn.
    bool ShowPrinterPage() const { return fShowPrinterPage; }
    /// Shows or hides the printer page borders.
    void SetShowPrinterPage(bool V);
    bool AutoSize = false; ///< the box grows to the diagram (or its scroll area's viewport)
    bool ImmediateRedraw = false; ///< repaint while dragging instead of drawing outlines
    TKVDataUpdateMode DataUpdate = duAutomatic; ///< duAutomatic: texts come from the data provider at each paint
    std::int32_t ParentWidth = 100; ///< the scroll area's client width, as stored
    std::int32_t ParentHeight = 100; ///< the scroll area's client height, as stored
    TKVSaveOptions SaveOptions{soDiagram, soStyles}; ///< the sections Save writes

    // ---- Painting ----
    /// Control: the size of the whole drawing surface in pixels (grid and page lines span it).
    void PaintBackground(TCanvas &Canvas, const QRect &Clip, const QSize &Control);
    /// Draws the grid lines that fall on the surface.
    void PaintGrid(TCanvas &Canvas, TKVPoint Offset, const QSize &Control);
    /// Draws the printer page borders that fall on the surface.
    void PaintPrinterPage(TCanvas &Canvas, TKVPoint Offset, const QSize &Control);
    /// Draws the edges and then the vertices, world coordinates less Offset.
    void PaintObjects(TCanvas &Canvas, TKVPaintMode PaintMode, TKVPoint Offset);
    /// Background, grid, page lines and objects of the part Clip of a surface of size Control.
    void RenderInto(QImage &Image, const QRect &Clip, const QSize &Control);
    /// The whole surface of that size as painted on screen; "Picture too large" beyond 32767
    /// pixels a side or 2^28 pixels.
    void RenderImage(QImage &Image, const QSize &Control);
    /// The whole surface of that size as painted on screen.
    QImage RenderImage(const QSize &Control);
    /// The same on any canvas (an SVG generator, a printer).
    void RenderInto(TCanvas &Canvas, const QRect &Clip, const QSize &Control);
    /// The picture of the selected part (null when nothing is selected).
    QImage SelectionPicture();

    // ---- Pictures (KVObjsDiagramExport.cpp) ----
    /// Smooth lines, shapes and text in every picture painted. Off by default, so that the drawing
    /// stays pixel for pixel as the styles describe it; not stored. Not-XOR figures never smooth.
    bool Antialiased() const { return fAntialiased; }
    /// Turns smoothing on or off.
    void SetAntialiased(bool V);
    /// The surface of size Control as RenderImage paints it, as SVG (vector shapes and text).
    QByteArray SvgBytes(const QSize &Control);
    /// The world rectangle that shows Objects whole, data texts included, grown by 10 on each side;
    /// empty (Left >= Right) when there is nothing to show.
    TKVRect PictureArea(const TKVObjectList &Objects);
    /// The whole diagram cropped to its PictureArea at Scale, on white, without selection marks,
    /// grid or page lines (what a document would include); null, or "Picture is empty", when the
    /// diagram is empty.
    QImage DiagramImage();
    /// The same picture as SVG.
    QByteArray DiagramSvg();

    // ---- Printing ----
    /// The printer used by Print (created on first use; A4 at 600 dpi unless the application
    /// changes it) and the page sizes taken from it and the screen, unless set.
    QPrinter *Printer();
    /// The printer page and screen width that pages are measured by.
    TKVPrinterMetrics PrinterMetrics();
    /// Fixes the metrics (tests, tools); none takes them from the printer and screen again.
    void SetPrinterMetrics(const std::optional<TKVPrinterMetrics> &Metrics) { fPrinterMetrics = Metrics; }
    /// The columns and rows of printer pages the diagram covers from the world origin.
    TKVPageCount GetPageCount();
    /// Every page (rows outer, columns inner), or the listed ones in list order. More than
    /// MaxPrintedPages pages are refused ("Too many pages: N") before the printer starts.
    void Print(bool PageList, const std::vector<TKVPage> &Pages);
    static constexpr std::int64_t MaxPrintedPages = 10000; ///< the most pages Print prints

    // ---- Files ----
    /// Reads a graph file, adding its objects; the styles section reloads StyleLibrary.
    void Load(const QString &FileName, TKVStyleLibrary *StyleLibrary);
    /// Writes a graph file with the sections of SaveOptions (through a temporary file).
    void Save(const QString &FileName, TKVStyleLibrary *StyleLibrary);
    /// Reads the diagram section of a graph file.
    void DoLoad(TKVReader &Reader, TKVStyleLibrary *StyleLibrary, std::string_view FormatMark);
    /// Writes the diagram section of a graph file.
    void DoSave(TKVWriter &Writer, TKVStyleLibrary *StyleLibrary);
    /// Reads a text file, adding its objects; its library name must be StyleLibrary's.
    void Import(const QString &FileName, TKVStyleLibrary *StyleLibrary);
    /// Writes the diagram as a text file.
    void Export(const QString &FileName, TKVStyleLibrary *StyleLibrary);
    /// Called by Load before each section of a graph file is read, with the reader at its body.
    std::function<void(const std::string &Section, const TKVReader &Reader)> OnLoadSection;
    /// The graph file as bytes (what Save writes).
    std::string SaveToBytes(TKVStyleLibrary *StyleLibrary);
    /// Reads a graph file from bytes (as Load does).
    void LoadFromBytes(std::string_view Bytes, TKVStyleLibrary *StyleLibrary);
    /// The text file as bytes (what Export writes).
    std::string ExportToBytes(TKVStyleLibrary *StyleLibrary);
    /// Reads a text file from bytes (as Import does); FileName is for the messages.
    void ImportFromBytes(std::string_view Bytes, TKVStyleLibrary *StyleLibrary, const QString &FileName);
    /// Reads the box options section.
    void ReadOptions(TKVReader &Reader);
    /// Writes the box options section.
    void WriteOptions(TKVWriter &Writer) const;
    /// The box options record ("KVOPT"), field by field in stream order.
    static std::span<const TKVField<TKVDiagram>> OptionFields();

    // ---- Undo ----
    /// Every change made through the actors and the box's editing operations is one step here.
    /// Clear, Load and Import empty it.
    QUndoStack *UndoStack() const { return fUndoStack; }
    /// Brackets a change of the objects (with their edges, and the owners of handles and
    /// labels): the change becomes one undoable step named Text, when anything changed. With
    /// Styles, the styles, texts and hints are kept too. Brackets nest; the outermost counts.
    void BeginChange(const TKVObjectList &Objects, bool Styles = false);
    /// Closes the bracket BeginChange opened.
    void EndChange(const QString &Text);
    /// The add and delete operations of the box: each one undoable step.
    TKVObject *AddObjectUndoable(std::unique_ptr<TKVObject> Obj, TKVMode Mode);
    /// DeleteObject as one undoable step.
    void DeleteObjectUndoable(TKVObject *Obj, TKVMode Mode);
    /// DeleteSelectedObjects as one undoable step.
    void DeleteSelectedUndoable(TKVMode Mode);
    /// MoveSelectionBy as one undoable step.
    void MoveSelectionUndoable(TKVPoint Delta);
    /// The library that objects brought back by undo take their styles' events from; the last
    /// one a file was read or written with, unless set.
    TKVStyleLibrary *UndoStyleLibrary = nullptr;

    /// The lasting name of a vertex or an edge, and the object of that name now (none when gone).
    std::uint64_t KeyOf(const TKVObject *Obj) const { return Obj ? Obj->fKey : 0; }
    /// The object of that lasting name now, or none when it is gone.
    TKVObject *ObjectOfKey(std::uint64_t Key) const;

    /// What a change may alter of one vertex or edge, kept in place so that pointers stay.
    struct State {
        std::uint64_t Key = 0; ///< the object's lasting name
        TKVRect Bounds;                ///< a vertex
        std::vector<TKVPoint> Handles; ///< a vertex's resize handles; an edge's handles
        ///@{
        /// An edge's label point and label handle.
        TKVPoint LabelPosition, LabelHandle;
        ///@}
        TKVRect LabelBounds; ///< an edge's label rectangle
        double LabelRatio = 0; ///< an edge's label handle place
        ///@{
        /// An edge's label text; the object's hint.
        std::string Text, Hint;
        ///@}
        std::shared_ptr<const TKVVertexStyle> VertexStyle; ///< kept with Styles only
        std::shared_ptr<const TKVEdgeStyle> EdgeStyle; ///< kept with Styles only
        /// Whether O has the same places and sizes.
        bool SameGeometry(const State &O) const;
    };
    /// A vertex or an edge as stored, to bring it back after it was freed.
    struct Record {
        std::uint64_t Key = 0; ///< the object's lasting name
        bool Vertex = false; ///< a vertex, else an edge
        std::size_t Index = 0; ///< its place in the drawing order
        std::string ClassName; ///< the stored class
        std::string Bytes; ///< the object's binary record
        ///@{
        /// An edge's ends by lasting name.
        std::uint64_t SourceKey = 0, TargetKey = 0;
        ///@}
        ///@{
        /// An edge's ends by Id, as the record has them.
        std::int32_t SourceId = 0, TargetId = 0;
        ///@}
    };
    /// The states of the objects of those names.
    std::vector<State> CaptureStates(const std::vector<std::uint64_t> &Keys, bool Styles) const;
    /// Puts the objects back in those states.
    void ApplyStates(const std::vector<State> &States);
    /// The records of Objects.
    std::vector<Record> CaptureRecords(const TKVObjectList &Objects) const;
    /// Brings back the objects of Records, in their places.
    void Recreate(const std::vector<Record> &Records);
    /// Frees the objects of Records.
    void Discard(const std::vector<Record> &Records);

    /// Called by a dying object that belongs to this diagram.
    void ObjectFreed(TKVObject *Obj);

Q_SIGNALS:
    /// Obj (a vertex, an edge, or a handle or label of one) is leaving or being freed; it is no
    /// longer selected. Views drop every pointer to it.
    void ObjectRemoved(kavgraph::TKVObject *Obj);
    /// Obj joined the diagram and may be drawn on its own.
    void ObjectAdded(kavgraph::TKVObject *Obj);
    /// Something shown changed: views repaint.
    void Changed();

private:
    void Adopt(TKVObject *Obj);
    void FreeObjects();
    void ReadBitmap(TKVReader &Reader);
    void WriteBitmap(TKVWriter &Writer) const;

    bool fAntialiased = false;
    TColor fColor = clBtnFace;
    std::int32_t fScale = 100;
    double fScaleFactor = 1.0;
    std::int32_t fPrintScale = 100;
    bool fShowGrid = false;
    TBitmap fBitmap;
    bool fCenterBitmap = false;
    std::int32_t fGridStep = 50;
    TColor fGridColor = clBlack;
    TPenStyle fGridStyle = psSolid;
    bool fShowPrinterPage = false;
    bool fDying = false;

    std::uint64_t fNextKey = 0;
    std::vector<TKVObject *> fByKey; ///< by key - 1; none where the object left
    int fChangeDepth = 0;
    bool fChangeStyles = false;
    std::vector<std::uint64_t> fChangeKeys;
    std::vector<State> fChangeBefore;

    // FindObject's index: a uniform grid over the objects' hit areas holding painting ranks
    // (vertices first, then edges, each in list order). It is rebuilt on the next hit test after
    // any geometry change (KVGeometryStamp) or a change of the object lists.
    struct HitIndex {
        bool Valid = false;
        std::uint64_t Stamp = 0;
        std::size_t VertexCount = 0, EdgeCount = 0;
        std::int64_t Left = 0, Top = 0, Cell = 1;
        std::int32_t Columns = 0, Rows = 0;
        std::vector<std::int32_t> Start;      // per cell, into Entries; one more than the cells
        std::vector<std::int32_t> Entries;    // ranks, ascending within a cell
        std::vector<std::int32_t> Everywhere; // ranks tested at every point, ascending
    };
    void UpdateHitIndex() const;
    TKVObject *ObjectOfRank(std::int32_t Rank) const;
    mutable HitIndex fHitIndex;

    std::unique_ptr<QPrinter> fPrinter;
    std::optional<TKVPrinterMetrics> fPrinterMetrics;
    QUndoStack *fUndoStack = nullptr;
};

} // namespace kavgraph
