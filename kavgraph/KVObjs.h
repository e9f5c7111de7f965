#pragma once
// The diagram object model: handles, labels (adjacents), edges and vertices with their geometry,
// hit tests, moves, connection rules, drawing and storage records; the free geometry routines;
// the registries of object and data classes; and the style library.

#include "kavgraph/kavgraph_export.h"
#include "kavgraph/KVStream.h"
#include "kavgraph/KVStyles.h"
#include "kavgraph/KVTypes.h"

#include <QObject>
#include <QVarLengthArray>
#include <QString>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class TCanvas;

namespace kavgraph {

class TKVObject;
class TKVHandle;
class TKVDataObject;
class TKVStyleLibrary;
class TKVDiagram;

/// A list of diagram objects (owned or not, as its holder says).
using TKVObjectList = std::vector<TKVObject *>;
/// What an object hangs on or holds: one or two entries for nearly every object, kept inline.
using TKVLinkList = QVarLengthArray<TKVObject *, 2>;

// ---- Free routines -------------------------------------------------------------------------------

KAVGRAPH_EXPORT std::int32_t WorldToScreen(std::int32_t V, std::int32_t Scale);     ///< round(V * (Scale * 0.01))
KAVGRAPH_EXPORT std::int32_t WorldToScreenF(std::int32_t V, double Factor);         ///< round(V * Factor)
KAVGRAPH_EXPORT std::int32_t WorldToScreenF64(std::int64_t V, double Factor);       ///< the same for wide intermediates
/// Both coordinates of P at Scale percent.
KAVGRAPH_EXPORT TKVPoint WorldToScreenPt(TKVPoint P, std::int32_t Scale);
/// Both coordinates of P at the factor.
KAVGRAPH_EXPORT TKVPoint WorldToScreenPtF(TKVPoint P, double Factor);
KAVGRAPH_EXPORT std::int32_t ScreenToWorld(std::int32_t V, std::int32_t Scale);     ///< round(100 / Scale * V)
/// Both coordinates of a screen point P back in world units at Scale percent.
KAVGRAPH_EXPORT TKVPoint ScreenToWorldPt(TKVPoint P, std::int32_t Scale);
/// R with Left <= Right and Top <= Bottom.
KAVGRAPH_EXPORT TKVRect NormalizeRect(const TKVRect &R);
KAVGRAPH_EXPORT bool FuzzyMatch(std::int32_t D); ///< |D| <= 3
/// The foot of the perpendicular from P to the line A-B, rounded.
KAVGRAPH_EXPORT TKVPoint PerpendicularPoint(TKVPoint P, TKVPoint A, TKVPoint B);
/// The signed distance of P from the line A-B when the foot of the perpendicular lies strictly
/// inside the segment; 999 otherwise (and for A = B).
KAVGRAPH_EXPORT std::int32_t PointToLineDistance(TKVPoint P, TKVPoint A, TKVPoint B);
/// Exchanges a and b.
void Swap(std::int32_t &a, std::int32_t &b);
/// The point (X, Y).
inline TKVPoint KVPoint(std::int32_t X, std::int32_t Y) { return {X, Y}; }
/// The rectangle (L, T, R, B).
inline TKVRect KVRect(std::int32_t L, std::int32_t T, std::int32_t R, std::int32_t B) { return {L, T, R, B}; }
/// Whether A lies wholly inside B (the sides may touch).
KAVGRAPH_EXPORT bool RectInRect(const TKVRect &A, const TKVRect &B);
/// Whether P lies in R, its sides included.
KAVGRAPH_EXPORT bool PointInRect(TKVPoint P, const TKVRect &R);
KAVGRAPH_EXPORT TKVPoint PointDiff(TKVPoint A, TKVPoint B); ///< B - A
/// The larger of a and b.
inline std::int32_t Max(std::int32_t a, std::int32_t b) { return a > b ? a : b; }
/// The smaller of a and b.
inline std::int32_t Min(std::int32_t a, std::int32_t b) { return a < b ? a : b; }

// A counter that every change of an object's hit area advances (handle moves, vertex moves and
// resizes, label moves, bends inserted or erased, objects freed). The diagram's hit index is
// rebuilt when it differs from the value it was built at. Code that assigns a vertex's Bounds
// directly calls AdjustHandles afterwards, which advances it.

/// Advances the hit-area counter: an object's hit area changed (used inside the library).
void KVGeometryChanged();
/// The hit-area counter's current value (used inside the library).
std::uint64_t KVGeometryStamp();

// ---- Class registries ------------------------------------------------------------------------------

/// The vertices read so far by Id, for the edges read after them: the first vertex of each Id.
class KAVGRAPH_EXPORT TKVVertexIndex {
public:
    /// Makes room for that many vertices.
    void Reserve(std::size_t Count) { fEntries.reserve(Count); }
    /// Adds a vertex under its Id; an Id already present keeps its first vertex.
    void Add(TKVObject *Vertex);
    /// Adds a vertex under that Id.
    void Add(std::int32_t Id, TKVObject *Vertex) { fEntries.emplace_back(Id, Vertex); }
    /// The first vertex added with that Id, or none.
    TKVObject *Find(std::int32_t Id) const;

private:
    // Sorted by Id up to fSorted, in the order added after it; a search sorts what was added since.
    mutable std::vector<std::pair<std::int32_t, TKVObject *>> fEntries;
    mutable std::size_t fSorted = 0;
};

/// What a reader needs to rebuild a stored object: the objects read so far, the style library and
/// the graph file's format mark ("KVF100" or "KVF095").
struct TKVLoadContext {
    const TKVObjectList &Vertices; ///< the vertices read so far
    const TKVObjectList &Edges; ///< the edges read so far
    TKVStyleLibrary *StyleLibrary = nullptr; ///< where stored style names are looked up
    std::string_view FormatMark = "KVF100"; ///< the graph file's format mark
    /// When given: the vertices of Vertices by Id, kept up to date by the caller; edges find their
    /// ends here instead of searching the list.
    const TKVVertexIndex *VertexIndex = nullptr;
};

/// A vertex or an edge as its stored record is written, read or dumped: the object and, while it is
/// read, where from. The field lists of the stored classes (their Fields()) are over this.
template <typename T> struct TKVObjectRecord {
    T &Object; ///< the object written, read or dumped
    const TKVLoadContext *Context = nullptr; ///< while reading: the objects read so far and the library
};

/// A class of diagram objects as the files name it. Load and Import build an object from its binary
/// or text record; they are empty for classes that are not stored.
struct TKVClass {
    const char *Name; ///< the name stored in files
    const TKVClass *Parent; ///< the base class, or none for the root
    /// Builds an object from its binary record; empty for classes that are not stored.
    std::unique_ptr<TKVObject> (*Load)(TKVReader &Reader, const TKVLoadContext &Context);
    /// Builds an object from its text record; empty for classes that are not stored.
    std::unique_ptr<TKVObject> (*Import)(TKVTextReader &Reader, const TKVLoadContext &Context);
};

/// A class of application data as the files name it; Load and Import build an object from its records.
struct TKVDataClass {
    const char *Name; ///< the name stored in files
    const TKVDataClass *Parent; ///< the base class, or none for the root
    /// Builds a data object from its binary record.
    std::unique_ptr<TKVDataObject> (*Load)(TKVReader &Reader);
    /// Builds a data object from its text record.
    std::unique_ptr<TKVDataObject> (*Import)(TKVTextReader &Reader);
};

/// Registers C and its ancestors up to the root (or the first already registered). Raises
/// "Class already registered: NAME" when a different class of that name is registered; the
/// registry is then left as it was.
KAVGRAPH_EXPORT void RegisterKVClass(const TKVClass &C);
/// Registers a data class and its ancestors, as RegisterKVClass does.
KAVGRAPH_EXPORT void RegisterDataClass(const TKVDataClass &C);
KAVGRAPH_EXPORT const TKVClass *GetKVClass(std::string_view Name);        ///< exact, case-sensitive; none when absent
KAVGRAPH_EXPORT const TKVDataClass *GetDataClass(std::string_view Name); ///< exact, case-sensitive; none when absent

// ---- Objects ----------------------------------------------------------------------------------------

/// The base of everything in a diagram that can be hit, moved, drawn and stored.
/// \n Vertices and edges belong to the diagram they are added to; handles and labels to their
/// vertex or edge.
class KAVGRAPH_EXPORT TKVObject {
public:
    /// An object of that kind; Id 0, not selected.
    explicit TKVObject(TKVObjectType type) : ObjectType(type) {}
    /// Tells the diagram it belongs to, so that nothing there keeps a pointer to it.
    virtual ~TKVObject();
    TKVObject(const TKVObject &) = delete;
    TKVObject &operator=(const TKVObject &) = delete;

    /// What the object hangs on or holds: a handle its owner, a vertex the end handles of its
    /// edges, an adjacent its edge. Not owned.
    TKVLinkList Links;
    std::string Hint; ///< shown as the diagram hint while the pointer rests on the object; empty for none
    bool Selected = false; ///< whether the object is in the diagram's selection
    const TKVObjectType ObjectType; ///< handle, vertex, edge or label (adjacent)
    std::int32_t Id = 0; ///< the identity within one diagram, by which files join edges to vertices

    /// The class of TKVObject, for RegisterKVClass.
    static const TKVClass &StaticClass();
    /// The class of this object (as files name it).
    virtual const TKVClass &ClassType() const { return StaticClass(); }
    /// The name of ClassType().
    std::string ClassName() const { return ClassType().Name; }

    /// Paints the object at ScaleFactor, its world coordinates less Offset; pmScreen adds the selection
    /// marks.
    virtual void Draw(TCanvas &Canvas, TKVPaintMode PaintMode, double ScaleFactor, TKVDataUpdateMode DataUpdate,
                      TKVPoint Offset) = 0;
    /// Draws the rubber-band outline in not-XOR: drawing it twice erases it.
    virtual void DrawDrag(TCanvas &Canvas, double ScaleFactor) = 0;
    /// The object or sub-object at P, or none.
    virtual TKVObject *HitAt([[maybe_unused]] TKVPoint P) { return nullptr; }
    /// Moves the object by Delta world units, with the rules of its kind.
    virtual void MoveBy([[maybe_unused]] TKVPoint Delta) {}
    /// Whether a rubber band R selects the object.
    virtual bool IsInRect([[maybe_unused]] const TKVRect &R) const { return false; }
    /// Writes the object's binary record; objects that are not stored raise an error.
    virtual void Save(TKVWriter &Writer) const;
    /// Writes the object's text record.
    virtual void Export(TKVTextWriter &Writer) const;
    /// Where the line P1-P2 meets the object's border (P2 when it has none).
    virtual TKVPoint FindConnectionPoint([[maybe_unused]] TKVPoint P1, TKVPoint P2) { return P2; }
    /// Moves the object by Delta because something it hangs on moved.
    virtual void PassiveMoveBy([[maybe_unused]] TKVPoint Delta) {}
    /// Adjusts Delta, the move of an edge end at HandlePos attached here, to the object's connection rules.
    virtual void ConnectionMoveTo([[maybe_unused]] TKVPoint &Delta, [[maybe_unused]] TKVPoint HandlePos) {}
    /// Adds a bend at P where that lies on the object (edges).
    virtual void AddHandle([[maybe_unused]] TKVPoint P) {}
    /// Removes a bend handle (edges).
    virtual void DeleteHandle([[maybe_unused]] TKVHandle *Handle) {}

    /// The diagram this object or its owner was added to, or none.
    TKVDiagram *Diagram() const { return fDiagram; }

protected:
    friend class TKVDiagram;
    TKVDiagram *fDiagram = nullptr; ///< set and cleared by the diagram
    std::uint64_t fKey = 0; ///< the diagram's lasting name for a vertex or an edge (undo)
};

/// An 8 x 8 drag handle of an edge, a vertex or a label.
class KAVGRAPH_EXPORT TKVHandle : public TKVObject {
public:
    /// A handle of Owner (appended to its Links) of that type at Position.
    TKVHandle(TKVObject *Owner, TKVHandleType Type, TKVPoint Position);

    TKVHandleType HandleType; ///< what dragging the handle does
    TKVPoint Position; ///< the handle's centre
    TKVRect Bounds; ///< Position +- 4

    /// The class of TKVHandle.
    static const TKVClass &StaticClass();
    const TKVClass &ClassType() const override { return StaticClass(); }

    /// The edge, vertex or label the handle belongs to.
    TKVObject *Owner() const { return Links.empty() ? nullptr : Links.front(); }
    /// Puts the handle at P without any rules.
    void MoveTo(TKVPoint P);

    void Draw(TCanvas &Canvas, TKVPaintMode PaintMode, double ScaleFactor, TKVDataUpdateMode DataUpdate,
              TKVPoint Offset) override;
    void DrawDrag(TCanvas &Canvas, double ScaleFactor) override;
    TKVObject *HitAt(TKVPoint P) override;
    void MoveBy(TKVPoint Delta) override;
    void PassiveMoveBy(TKVPoint Delta) override;
};

class TKVCustomEdge;

/// The label point of an edge with its text box.
class KAVGRAPH_EXPORT TKVAdjacent : public TKVObject {
public:
    /// The label of Edge at P, with its handle there.
    TKVAdjacent(TKVCustomEdge *Edge, TKVPoint P);

    TKVPoint Position;               ///< the label point
    std::unique_ptr<TKVHandle> Handle; ///< the label handle on the edge's first segment
    TKVRect Bounds;                  ///< the label rectangle, world units
    std::string Text; ///< the label's text
    double Ratio = 0;                ///< the label handle's place along the first segment

    /// The class of TKVAdjacent.
    static const TKVClass &StaticClass();
    const TKVClass &ClassType() const override { return StaticClass(); }

    /// The edge the label belongs to.
    TKVCustomEdge *Edge() const;
    /// The offset by which the label handle at P may move for Delta: onto the foot of the
    /// perpendicular when that lies strictly inside the edge's first segment, else (0, 0).
    TKVPoint GetAdjacentPoint(TKVPoint P, TKVPoint Delta) const;

    void Draw(TCanvas &Canvas, TKVPaintMode PaintMode, double ScaleFactor, TKVDataUpdateMode DataUpdate,
              TKVPoint Offset) override;
    void DrawDrag(TCanvas &Canvas, double ScaleFactor) override;
    TKVObject *HitAt(TKVPoint P) override;
    void MoveBy(TKVPoint Delta) override;

private:
    static void DrawConnector(TCanvas &Canvas, TKVPoint handle, TKVPoint label);
};

/// An edge without style: a polyline of handles from a source to a target, with a label.
class KAVGRAPH_EXPORT TKVCustomEdge : public TKVObject {
public:
    /// Hooks the end handles into Source's and Target's Links; vertices may move the end points
    /// (their connection rules).
    TKVCustomEdge(TKVObject *Source, TKVObject *Target, TKVPoint StartP, TKVPoint EndP);
    /// Takes its end handles out of the vertices' Links.
    ~TKVCustomEdge() override;

    /// The handles along the edge: 0 the source end, the last the target end, bend points between.
    std::vector<std::unique_ptr<TKVHandle>> Handles;
    TKVObject *Source = nullptr; ///< where the edge starts (not owned)
    TKVObject *Target = nullptr; ///< where the edge ends (not owned)
    std::unique_ptr<TKVAdjacent> Adjacent; ///< the label

    /// The class of TKVCustomEdge.
    static const TKVClass &StaticClass();
    const TKVClass &ClassType() const override { return StaticClass(); }

    /// The label's text.
    const std::string &Text() const { return Adjacent->Text; }
    /// Sets the label's text.
    void SetText(const std::string &Text) { Adjacent->Text = Text; }
    /// The place of Handle in Handles, or -1.
    int IndexOfHandle(const TKVHandle *Handle) const;
    /// Puts the label handle back onto the first segment at its ratio; the label follows it.
    void PlaceLabel();

    void Draw(TCanvas &Canvas, TKVPaintMode PaintMode, double ScaleFactor, TKVDataUpdateMode DataUpdate,
              TKVPoint Offset) override;
    /// Paints the handles of the edge (the selection marks).
    void DrawHandles(TCanvas &Canvas, TKVPaintMode PaintMode, double ScaleFactor, TKVDataUpdateMode DataUpdate,
                     TKVPoint Offset);
    void DrawDrag(TCanvas &Canvas, double ScaleFactor) override;
    /// The one or two segments that meet at Handle, in not-XOR.
    virtual void DrawSegmentDrag(TCanvas &Canvas, TKVHandle *Handle, double ScaleFactor);
    TKVObject *HitAt(TKVPoint P) override;
    void AddHandle(TKVPoint P) override;
    void DeleteHandle(TKVHandle *Handle) override;
    /// Removes every bend.
    void Straighten();
    /// Straightens the edge, then bends it once at a right angle.
    virtual void ToOrthogonal();
    /// A new bend point just before the target end.
    void InsertBend(TKVPoint P);
    /// Writes the edge's binary record.
    void Save(TKVWriter &Writer) const override;
    void Export(TKVTextWriter &Writer) const override;

    /// Builds an edge from its binary record.
    static std::unique_ptr<TKVObject> Load(TKVReader &Reader, const TKVLoadContext &Context);
    /// Builds an edge from its text record.
    static std::unique_ptr<TKVObject> Import(TKVTextReader &Reader, const TKVLoadContext &Context);
    /// The fields of the edge's records, in stream order.
    static std::span<const TKVField<TKVObjectRecord<TKVCustomEdge>>> Fields();

protected:
    friend struct TKVEdgeRecord;
    /// An edge without ends, its handles and label at the origin: the readers join it to its
    /// vertices once they have read them.
    TKVCustomEdge();
    /// Paints the polyline with the canvas's pen.
    void DrawLine(TCanvas &Canvas, double ScaleFactor, TKVPoint Offset);
    /// Joins an edge without ends to Source and Target: their connection rules place StartP and
    /// EndP, the label goes midway, and the end handles go there and hook into the vertices.
    void Connect(TKVObject *Source, TKVObject *Target, TKVPoint StartP, TKVPoint EndP);
};

/// A vertex without style: a box with four resize handles.
class KAVGRAPH_EXPORT TKVCustomVertex : public TKVObject {
public:
    /// A 100 x 50 box centred on P.
    explicit TKVCustomVertex(TKVPoint P);
    /// Edges still attached forget the vertex.
    ~TKVCustomVertex() override;

    TKVRect Bounds; ///< the box, world units
    /// The resize handles at the corners: htTopLeft, htTopRight, htBottomRight, htBottomLeft.
    std::vector<std::unique_ptr<TKVHandle>> ResizeHandles;

    /// The class of TKVCustomVertex.
    static const TKVClass &StaticClass();
    const TKVClass &ClassType() const override { return StaticClass(); }

    void Draw(TCanvas &Canvas, TKVPaintMode PaintMode, double ScaleFactor, TKVDataUpdateMode DataUpdate,
              TKVPoint Offset) override;
    /// Paints the resize handles (the selection marks).
    void DrawHandles(TCanvas &Canvas, TKVPaintMode PaintMode, double ScaleFactor, TKVDataUpdateMode DataUpdate,
                     TKVPoint Offset);
    void DrawDrag(TCanvas &Canvas, double ScaleFactor) override;
    TKVObject *HitAt(TKVPoint P) override;
    void MoveBy(TKVPoint Delta) override;
    bool IsInRect(const TKVRect &R) const override;
    /// Where the segment P1-P2 crosses the border (sides examined top, right, bottom, left; the
    /// last crossing wins); (0, 0) when it does not cross.
    TKVPoint FindConnectionPoint(TKVPoint P1, TKVPoint P2) override;
    /// Where the segment P1-P2 crosses the border, or none.
    std::optional<TKVPoint> BorderCrossing(TKVPoint P1, TKVPoint P2) const;
    void ConnectionMoveTo(TKVPoint &Delta, TKVPoint HandlePos) override;
    /// Moves P, the end of an edge towards Other, to where the vertex takes edges.
    virtual void SetConnectionPoint([[maybe_unused]] TKVPoint &P, [[maybe_unused]] TKVObject *Other) {}
    /// Puts the resize handles on the corners and the end handles inside the box.
    virtual void AdjustHandles();
    /// Resizes the vertex by Delta as dragging the resize handle of that type does.
    virtual void ResizeBy(TKVPoint Delta, TKVHandleType HandleType);
    /// Writes the vertex's binary record.
    void Save(TKVWriter &Writer) const override;
    void Export(TKVTextWriter &Writer) const override;

    /// Builds a vertex from its binary record.
    static std::unique_ptr<TKVObject> Load(TKVReader &Reader, const TKVLoadContext &Context);
    /// Builds a vertex from its text record.
    static std::unique_ptr<TKVObject> Import(TKVTextReader &Reader, const TKVLoadContext &Context);
    /// The fields of the vertex's records, in stream order.
    static std::span<const TKVField<TKVObjectRecord<TKVCustomVertex>>> Fields();

    /// The centre of the box.
    TKVPoint Center() const;
};

/// Application data attached to a vertex or an edge. Subclasses store themselves and register a
/// TKVDataClass whose Load and Import build them.
class KAVGRAPH_EXPORT TKVDataObject {
public:
    /// Frees the data object.
    virtual ~TKVDataObject() = default;

    TKVObject *Owner = nullptr; ///< the vertex or edge the data belongs to

    /// The class of TKVDataObject, for RegisterDataClass.
    static const TKVDataClass &StaticClass();
    /// The class of this data object (as files name it).
    virtual const TKVDataClass &ClassType() const { return StaticClass(); }

    /// Writes the data's text record.
    virtual void Export(TKVTextWriter &Writer) const = 0;
    /// Writes the data's binary record.
    virtual void Save(TKVWriter &Writer) const = 0;

    /// Hands FieldName to the data provider of the owner's style.
    void PropertyChanged(const std::string &FieldName);
};

/// An edge with a style of its own (copied from a library) and optional application data.
class KAVGRAPH_EXPORT TKVEdge : public TKVCustomEdge {
public:
    /// An edge of the library's edge style of that name (default looks when there is none).
    TKVEdge(TKVObject *Source, TKVObject *Target, TKVPoint StartP, TKVPoint EndP, std::string_view StyleName,
            TKVStyleLibrary *StyleLibrary);

    TKVEdgeStyle Style; ///< the edge's own copy of its style
    TKVDataObject *DataObject = nullptr; ///< not owned (see AdoptDataObject)

    /// The class of TKVEdge, for RegisterKVClass.
    static const TKVClass &StaticClass();
    const TKVClass &ClassType() const override { return StaticClass(); }

    /// Attaches a data object that this edge frees (the readers use it).
    void AdoptDataObject(std::unique_ptr<TKVDataObject> Data);

    void Draw(TCanvas &Canvas, TKVPaintMode PaintMode, double ScaleFactor, TKVDataUpdateMode DataUpdate,
              TKVPoint Offset) override;
    /// Writes the edge's binary record with its style and data.
    void Save(TKVWriter &Writer) const override;
    void Export(TKVTextWriter &Writer) const override;

    /// Builds a styled edge from its binary record.
    static std::unique_ptr<TKVObject> Load(TKVReader &Reader, const TKVLoadContext &Context);
    /// Builds a styled edge from its text record.
    static std::unique_ptr<TKVObject> Import(TKVTextReader &Reader, const TKVLoadContext &Context);
    /// The fields of the edge's records, in stream order.
    static std::span<const TKVField<TKVObjectRecord<TKVEdge>>> Fields();

protected:
    /// An edge without ends and with the default style, for the readers.
    TKVEdge() = default;

private:
    void DrawEnd(TCanvas &Canvas, TKVPaintMode PaintMode, double ScaleFactor, TKVDataUpdateMode DataUpdate,
                 TKVPoint Offset, TKVObject *EndObject, TKVPoint Inner, TKVPoint Outer);
    std::unique_ptr<TKVDataObject> fOwnedData;
};

/// A vertex with a style of its own (copied from a library) and optional application data.
class KAVGRAPH_EXPORT TKVVertex : public TKVCustomVertex {
public:
    /// A vertex of the library's vertex style of that name, sized by it, centred on P.
    TKVVertex(TKVPoint P, TKVStyleLibrary *StyleLibrary, std::string_view StyleName);

    TKVVertexStyle Style; ///< the vertex's own copy of its style
    TKVDataObject *DataObject = nullptr; ///< not owned (see AdoptDataObject)

    /// The class of TKVVertex, for RegisterKVClass.
    static const TKVClass &StaticClass();
    const TKVClass &ClassType() const override { return StaticClass(); }

    /// Copies S into this vertex's own style and fits the box to it.
    void SetStyle(const TKVVertexStyle &S);
    /// Attaches a data object that this vertex frees (the readers use it).
    void AdoptDataObject(std::unique_ptr<TKVDataObject> Data);

    void Draw(TCanvas &Canvas, TKVPaintMode PaintMode, double ScaleFactor, TKVDataUpdateMode DataUpdate,
              TKVPoint Offset) override;
    void AdjustHandles() override;
    void ResizeBy(TKVPoint Delta, TKVHandleType HandleType) override;
    void ConnectionMoveTo(TKVPoint &Delta, TKVPoint HandlePos) override;
    void SetConnectionPoint(TKVPoint &P, TKVObject *Other) override;
    /// Writes the vertex's binary record with its style and data.
    void Save(TKVWriter &Writer) const override;
    void Export(TKVTextWriter &Writer) const override;

    /// Builds a styled vertex from its binary record.
    static std::unique_ptr<TKVObject> Load(TKVReader &Reader, const TKVLoadContext &Context);
    /// Builds a styled vertex from its text record.
    static std::unique_ptr<TKVObject> Import(TKVTextReader &Reader, const TKVLoadContext &Context);
    /// The fields of the vertex's records, in stream order.
    static std::span<const TKVField<TKVObjectRecord<TKVVertex>>> Fields();

private:
    std::unique_ptr<TKVDataObject> fOwnedData;
};

// ---- Style library -------------------------------------------------------------------------------

/// The named vertex and edge styles of an application, stored as a style library file (".slb").
/// Its component name is the QObject's objectName.
class KAVGRAPH_EXPORT TKVStyleLibrary : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString LibFile READ LibFile WRITE SetLibFile)

public:
    /// An empty library named "untitled".
    explicit TKVStyleLibrary(QObject *Owner = nullptr);
    /// Frees every style.
    ~TKVStyleLibrary() override;

    std::vector<std::unique_ptr<TKVVertexStyle>> VertexStyles; ///< in the order added or loaded
    std::vector<std::unique_ptr<TKVEdgeStyle>> EdgeStyles; ///< in the order added or loaded
    std::string LibraryName = "untitled"; ///< the name stored in the file; text files must name the same
    TKVGetDataEvent OnGetData;                       ///< handed to styles when added or loaded
    TKVDrawCustomEndEvent OnDrawCustomEnd;           ///< handed to edge styles when loaded
    TKVDrawCustomDrawItemEvent OnDrawCustomDrawItem; ///< handed to draw items when loaded

    /// The library takes the style and hands it the data provider.
    TKVVertexStyle *AddVertexStyle(std::unique_ptr<TKVVertexStyle> Style);
    /// The library takes the style and hands it the data provider.
    TKVEdgeStyle *AddEdgeStyle(std::unique_ptr<TKVEdgeStyle> Style);
    /// Takes the style out of the library and gives it to the caller.
    std::unique_ptr<TKVVertexStyle> DeleteStyle(TKVVertexStyle *Style);
    /// Takes the style out of the library and gives it to the caller.
    std::unique_ptr<TKVEdgeStyle> DeleteStyle(TKVEdgeStyle *Style);
    /// The first vertex style of that exact name; none for an empty name.
    TKVVertexStyle *GetVertexStyle(std::string_view Name) const;
    /// The first edge style of that exact name; none for an empty name.
    TKVEdgeStyle *GetEdgeStyle(std::string_view Name) const;

    /// The file last loaded or saved.
    const QString &LibFile() const { return fLibFile; }
    /// Stores the name; loads the file unless the name is empty; "Libfile NAME not found" when the
    /// file does not exist.
    void SetLibFile(const QString &FileName);
    /// Reads a style library file, replacing every style (LibFile stays).
    void Load(const QString &FileName);
    /// Writes a temporary file beside FileName and renames it over FileName when complete, so a
    /// failed save leaves the old file.
    void Save(const QString &FileName);

    /// Reads the library stream (as a graph file embeds it), replacing every style.
    virtual void DoLoad(TKVReader &Reader);
    /// Writes the library stream.
    virtual void DoSave(TKVWriter &Writer) const;

    /// The library's objectName, as graph files store it.
    std::string ComponentName() const;

private:
    QString fLibFile;
};

/// The versions of the library stream that are read; the first is the one written.
extern KAVGRAPH_EXPORT const char *const KVLibraryVersions[5]; ///< "SL1.03", "SL1.02", "SL1.01", "SL1.00", "SL0.95"

} // namespace kavgraph
