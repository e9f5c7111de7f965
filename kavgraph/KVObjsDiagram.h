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

// A printer page by column and row, both from 1.
struct TKVPage {
    std::int32_t Column = 1;
    std::int32_t Row = 1;
};

class KAVGRAPH_EXPORT TKVDiagram : public QObject {
    Q_OBJECT

public:
    explicit TKVDiagram(QObject *Owner = nullptr);
    ~TKVDiagram() override;

    // ---- Objects ----
    TKVObjectList Vertices;  // owned, in drawing order
    TKVObjectList Edges;     // owned, in drawing order
    TKVObjectList Selection; // not owned
    std::int32_t LastId = 0; // the largest Id given out or loaded
    TKVObjectEvent OnAddObject;
    TKVObjectEvent OnDeleteObject;

    // Takes Obj. The add event may veto (Obj is freed) or replace it. A vertex joins Vertices,
    // an edge Edges; with kvInteractive it gets the next Id and becomes the only selected
    // object. Returns the object added, or none. Objects of other kinds are refused and freed.
    TKVObject *AddObject(std::unique_ptr<TKVObject> Obj, TKVMode Mode);
    // Unless the delete event vetoes: a vertex first takes its edges with it (kvProgram); the
    // object is freed. A bend handle is removed through its edge's DeleteHandle; other handles
    // and labels only leave the selection.
    void DeleteObject(TKVObject *Obj, TKVMode Mode);
    void DeleteSelectedObjects(TKVMode Mode);
    void Clear();
    // Edges from last to first, then vertices from last to first; the first hit.
    TKVObject *FindObject(TKVPoint P) const;
    TKVObject *FindObjectByID(std::int32_t Id) const;
    void ToFront(TKVObject *V);
    void ToBack(TKVObject *V);
    void ToFrontOne(TKVObject *V);
    void ToBackOne(TKVObject *V);
    // Vertices, bend handles and label points, grown by 10; (0, 0, 0, 0) when empty.
    TKVRect GetDiagramExtents() const;
    void GetDiagramData();
    // Removes a bend handle of an edge; end handles stay.
    void DeleteHandle(TKVHandle *Handle);
    // Takes the bend handles of Edge out of the selection and announces them as leaving. Freed
    // bends do that by themselves; this is for callers about to free them another way.
    void ForgetBends(TKVCustomEdge *Edge);
    // Whether Obj is a vertex or an edge of this diagram, or a part of one.
    bool Owns(const TKVObject *Obj) const;

    // ---- Selection ----
    void AddToSelection(TKVObject *Obj, bool Add);
    void RemoveFromSelection(TKVObject *Obj);
    void DeSelectAll();
    void SelectAll();
    void SelectByRect(const TKVRect &R, bool Add);
    // Moves every selected object (no drawing).
    void MoveSelectionBy(TKVPoint Delta);

    // ---- Options stored with the diagram ----
    TColor Color() const { return fColor; }
    void SetColor(TColor V);
    TKVScaleChangeEvent OnScaleChange;
    std::int32_t Scale() const { return fScale; }
    // Nothing when V is the current scale; otherwise the scale event may change it. A scale
    // below 1 percent is taken as 1.
    void SetScale(std::int32_t V);
    double ScaleFactor() const { return fScaleFactor; }
    std::int32_t PrintScale() const { return fPrintScale; }
    void SetPrintScale(std::int32_t V);
    bool ShowGrid() const { return fShowGrid; }
    void SetShowGrid(bool V);
    const TBitmap &Bitmap() const { return fBitmap; }
    void SetBitmap(const TBitmap &V);
    bool CenterBitmap() const { return fCenterBitmap; }
    void SetCenterBitmap(bool V);
    std::int32_t GridStep() const { return fGridStep; }
    void SetGridStep(std::int32_t V);
    TColor GridColor() const { return fGridColor; }
    void SetGridColor(TColor V);
    TPenStyle GridStyle() const { return fGridStyle; }
    void SetGridStyle(TPenStyle V);
    bool ShowPrinterPage() const { return fShowPrinterPage; }
    void SetShowPrinterPage(bool V);
    bool AutoSize = false;
    bool ImmediateRedraw = false;
    TKVDataUpdateMode DataUpdate = duAutomatic;
    std::int32_t ParentWidth = 100;
    std::int32_t ParentHeight = 100;
    TKVSaveOptions SaveOptions{soDiagram, soStyles};

    // ---- Painting ----
    // Control: the size of the whole drawing surface in pixels (grid and page lines span it).
    void PaintBackground(TCanvas &Canvas, const QRect &Clip, const QSize &Control);
    void PaintGrid(TCanvas &Canvas, TKVPoint Offset, const QSize &Control);
    void PaintPrinterPage(TCanvas &Canvas, TKVPoint Offset, const QSize &Control);
    void PaintObjects(TCanvas &Canvas, TKVPaintMode PaintMode, TKVPoint Offset);
    // Background, grid, page lines and objects of the part Clip of a surface of size Control.
    void RenderInto(QImage &Image, const QRect &Clip, const QSize &Control);
    // The whole surface of that size as painted on screen; "Picture too large" beyond 32767
    // pixels a side or 2^28 pixels.
    void RenderImage(QImage &Image, const QSize &Control);
    QImage RenderImage(const QSize &Control);
    // The same on any canvas (an SVG generator, a printer).
    void RenderInto(TCanvas &Canvas, const QRect &Clip, const QSize &Control);
    // The picture of the selected part (null when nothing is selected).
    QImage SelectionPicture();

    // ---- Pictures (KVObjsDiagramExport.cpp) ----
    // Smooth lines, shapes and text in every picture painted. Off by default, so that the drawing
    // stays pixel for pixel as the styles describe it; not stored. Not-XOR figures never smooth.
    bool Antialiased() const { return fAntialiased; }
    void SetAntialiased(bool V);
    // The surface of size Control as RenderImage paints it, as SVG (vector shapes and text).
    QByteArray SvgBytes(const QSize &Control);
    // The world rectangle that shows Objects whole, data texts included, grown by 10 on each side;
    // empty (Left >= Right) when there is nothing to show.
    TKVRect PictureArea(const TKVObjectList &Objects);
    // The whole diagram cropped to its PictureArea at Scale, on white, without selection marks,
    // grid or page lines (what a document would include); null, or "Picture is empty", when the
    // diagram is empty.
    QImage DiagramImage();
    QByteArray DiagramSvg();

    // ---- Printing ----
    // The printer used by Print (created on first use; A4 at 600 dpi unless the application
    // changes it) and the page sizes taken from it and the screen, unless set.
    QPrinter *Printer();
    TKVPrinterMetrics PrinterMetrics();
    void SetPrinterMetrics(const std::optional<TKVPrinterMetrics> &Metrics) { fPrinterMetrics = Metrics; }
    TKVPageCount GetPageCount();
    // Every page (rows outer, columns inner), or the listed ones in list order. More than
    // MaxPrintedPages pages are refused ("Too many pages: N") before the printer starts.
    void Print(bool PageList, const std::vector<TKVPage> &Pages);
    static constexpr std::int64_t MaxPrintedPages = 10000;

    // ---- Files ----
    void Load(const QString &FileName, TKVStyleLibrary *StyleLibrary);
    void Save(const QString &FileName, TKVStyleLibrary *StyleLibrary);
    void DoLoad(TKVReader &Reader, TKVStyleLibrary *StyleLibrary, std::string_view FormatMark);
    void DoSave(TKVWriter &Writer, TKVStyleLibrary *StyleLibrary);
    void Import(const QString &FileName, TKVStyleLibrary *StyleLibrary);
    void Export(const QString &FileName, TKVStyleLibrary *StyleLibrary);
    // Called by Load before each section of a graph file is read, with the reader at its body.
    std::function<void(const std::string &Section, const TKVReader &Reader)> OnLoadSection;
    std::string SaveToBytes(TKVStyleLibrary *StyleLibrary);
    void LoadFromBytes(std::string_view Bytes, TKVStyleLibrary *StyleLibrary);
    std::string ExportToBytes(TKVStyleLibrary *StyleLibrary);
    void ImportFromBytes(std::string_view Bytes, TKVStyleLibrary *StyleLibrary, const QString &FileName);
    void ReadOptions(TKVReader &Reader);
    void WriteOptions(TKVWriter &Writer) const;
    // The box options record ("KVOPT"), field by field in stream order.
    static std::span<const TKVField<TKVDiagram>> OptionFields();

    // ---- Undo ----
    // Every change made through the actors and the box's editing operations is one step here.
    // Clear, Load and Import empty it.
    QUndoStack *UndoStack() const { return fUndoStack; }
    // Brackets a change of the objects (with their edges, and the owners of handles and
    // labels): the change becomes one undoable step named Text, when anything changed. With
    // Styles, the styles, texts and hints are kept too. Brackets nest; the outermost counts.
    void BeginChange(const TKVObjectList &Objects, bool Styles = false);
    void EndChange(const QString &Text);
    // The add and delete operations of the box: each one undoable step.
    TKVObject *AddObjectUndoable(std::unique_ptr<TKVObject> Obj, TKVMode Mode);
    void DeleteObjectUndoable(TKVObject *Obj, TKVMode Mode);
    void DeleteSelectedUndoable(TKVMode Mode);
    void MoveSelectionUndoable(TKVPoint Delta);
    // The library that objects brought back by undo take their styles' events from; the last
    // one a file was read or written with, unless set.
    TKVStyleLibrary *UndoStyleLibrary = nullptr;

    // The lasting name of a vertex or an edge, and the object of that name now (none when gone).
    std::uint64_t KeyOf(const TKVObject *Obj) const { return Obj ? Obj->fKey : 0; }
    TKVObject *ObjectOfKey(std::uint64_t Key) const;

    // What a change may alter of one vertex or edge, kept in place so that pointers stay.
    struct State {
        std::uint64_t Key = 0;
        TKVRect Bounds;                // a vertex
        std::vector<TKVPoint> Handles; // a vertex's resize handles; an edge's handles
        TKVPoint LabelPosition, LabelHandle;
        TKVRect LabelBounds;
        double LabelRatio = 0;
        std::string Text, Hint;
        std::shared_ptr<const TKVVertexStyle> VertexStyle; // kept with Styles only
        std::shared_ptr<const TKVEdgeStyle> EdgeStyle;
        bool SameGeometry(const State &O) const;
    };
    // A vertex or an edge as stored, to bring it back after it was freed.
    struct Record {
        std::uint64_t Key = 0;
        bool Vertex = false;
        std::size_t Index = 0; // its place in the drawing order
        std::string ClassName;
        std::string Bytes;
        std::uint64_t SourceKey = 0, TargetKey = 0;
        std::int32_t SourceId = 0, TargetId = 0;
    };
    std::vector<State> CaptureStates(const std::vector<std::uint64_t> &Keys, bool Styles) const;
    void ApplyStates(const std::vector<State> &States);
    std::vector<Record> CaptureRecords(const TKVObjectList &Objects) const;
    void Recreate(const std::vector<Record> &Records);
    void Discard(const std::vector<Record> &Records);

    // Called by a dying object that belongs to this diagram.
    void ObjectFreed(TKVObject *Obj);

Q_SIGNALS:
    // Obj (a vertex, an edge, or a handle or label of one) is leaving or being freed; it is no
    // longer selected. Views drop every pointer to it.
    void ObjectRemoved(kavgraph::TKVObject *Obj);
    // Obj joined the diagram and may be drawn on its own.
    void ObjectAdded(kavgraph::TKVObject *Obj);
    // Something shown changed: views repaint.
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
    std::unordered_map<std::uint64_t, TKVObject *> fByKey;
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
