#pragma once
// The diagram object model: handles, labels (adjacents), edges and vertices with their geometry,
// hit tests, moves, connection rules, drawing and storage records; the free geometry routines;
// the registries of object and data classes; and the style library.

#include "kavgraph/kavgraph_export.h"
#include "kavgraph/KVStream.h"
#include "kavgraph/KVStyles.h"
#include "kavgraph/KVTypes.h"

#include <QObject>
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

using TKVObjectList = std::vector<TKVObject *>;

// ---- Free routines -------------------------------------------------------------------------------

KAVGRAPH_EXPORT std::int32_t WorldToScreen(std::int32_t V, std::int32_t Scale);     // round(V * (Scale * 0.01))
KAVGRAPH_EXPORT std::int32_t WorldToScreenF(std::int32_t V, double Factor);         // round(V * Factor)
KAVGRAPH_EXPORT std::int32_t WorldToScreenF64(std::int64_t V, double Factor);       // the same for wide intermediates
KAVGRAPH_EXPORT TKVPoint WorldToScreenPt(TKVPoint P, std::int32_t Scale);
KAVGRAPH_EXPORT TKVPoint WorldToScreenPtF(TKVPoint P, double Factor);
KAVGRAPH_EXPORT std::int32_t ScreenToWorld(std::int32_t V, std::int32_t Scale);     // round(100 / Scale * V)
KAVGRAPH_EXPORT TKVPoint ScreenToWorldPt(TKVPoint P, std::int32_t Scale);
KAVGRAPH_EXPORT TKVRect NormalizeRect(const TKVRect &R);
KAVGRAPH_EXPORT bool FuzzyMatch(std::int32_t D); // |D| <= 3
KAVGRAPH_EXPORT TKVPoint PerpendicularPoint(TKVPoint P, TKVPoint A, TKVPoint B);
// The signed distance of P from the line A-B when the foot of the perpendicular lies strictly
// inside the segment; 999 otherwise (and for A = B).
KAVGRAPH_EXPORT std::int32_t PointToLineDistance(TKVPoint P, TKVPoint A, TKVPoint B);
void Swap(std::int32_t &a, std::int32_t &b);
inline TKVPoint KVPoint(std::int32_t X, std::int32_t Y) { return {X, Y}; }
inline TKVRect KVRect(std::int32_t L, std::int32_t T, std::int32_t R, std::int32_t B) { return {L, T, R, B}; }
KAVGRAPH_EXPORT bool RectInRect(const TKVRect &A, const TKVRect &B);
KAVGRAPH_EXPORT bool PointInRect(TKVPoint P, const TKVRect &R);
KAVGRAPH_EXPORT TKVPoint PointDiff(TKVPoint A, TKVPoint B); // B - A
inline std::int32_t Max(std::int32_t a, std::int32_t b) { return a > b ? a : b; }
inline std::int32_t Min(std::int32_t a, std::int32_t b) { return a < b ? a : b; }

// A counter that every change of an object's hit area advances (handle moves, vertex moves and
// resizes, label moves, bends inserted or erased, objects freed). The diagram's hit index is
// rebuilt when it differs from the value it was built at. Code that assigns a vertex's Bounds
// directly calls AdjustHandles afterwards, which advances it.
void KVGeometryChanged();
std::uint64_t KVGeometryStamp();

// ---- Class registries ------------------------------------------------------------------------------

// What a reader needs to rebuild a stored object: the objects read so far, the style library and
// the graph file's format mark ("KVF100" or "KVF095").
struct TKVLoadContext {
    const TKVObjectList &Vertices;
    const TKVObjectList &Edges;
    TKVStyleLibrary *StyleLibrary = nullptr;
    std::string_view FormatMark = "KVF100";
    // When given: the first of Vertices with each Id, kept up to date by the caller; edges find
    // their ends here instead of searching the list.
    const std::unordered_map<std::int32_t, TKVObject *> *VertexIndex = nullptr;
};

// A class of diagram objects as the files name it. Load and Import build an object from its binary
// or text record; they are empty for classes that are not stored.
struct TKVClass {
    const char *Name;
    const TKVClass *Parent;
    std::unique_ptr<TKVObject> (*Load)(TKVReader &Reader, const TKVLoadContext &Context);
    std::unique_ptr<TKVObject> (*Import)(TKVTextReader &Reader, const TKVLoadContext &Context);
};

struct TKVDataClass {
    const char *Name;
    const TKVDataClass *Parent;
    std::unique_ptr<TKVDataObject> (*Load)(TKVReader &Reader);
    std::unique_ptr<TKVDataObject> (*Import)(TKVTextReader &Reader);
};

// Registers C and its ancestors up to the root (or the first already registered). Raises
// "Class already registered: NAME" when a different class of that name is registered; the
// registry is then left as it was.
KAVGRAPH_EXPORT void RegisterKVClass(const TKVClass &C);
KAVGRAPH_EXPORT void RegisterDataClass(const TKVDataClass &C);
KAVGRAPH_EXPORT const TKVClass *GetKVClass(std::string_view Name);        // exact, case-sensitive; none when absent
KAVGRAPH_EXPORT const TKVDataClass *GetDataClass(std::string_view Name);

// ---- Objects ----------------------------------------------------------------------------------------

class KAVGRAPH_EXPORT TKVObject {
public:
    explicit TKVObject(TKVObjectType type) : ObjectType(type) {}
    // Tells the diagram it belongs to, so that nothing there keeps a pointer to it.
    virtual ~TKVObject();
    TKVObject(const TKVObject &) = delete;
    TKVObject &operator=(const TKVObject &) = delete;

    // A handle: its owner; a vertex: the end handles of its edges; an adjacent: its edge. Not owned.
    TKVObjectList Links;
    std::string Hint;
    bool Selected = false;
    const TKVObjectType ObjectType;
    std::int32_t Id = 0;

    static const TKVClass &StaticClass();
    virtual const TKVClass &ClassType() const { return StaticClass(); }
    std::string ClassName() const { return ClassType().Name; }

    virtual void Draw(TCanvas &Canvas, TKVPaintMode PaintMode, double ScaleFactor, TKVDataUpdateMode DataUpdate,
                      TKVPoint Offset) = 0;
    // The rubber-band outline in not-XOR: drawing it twice erases it.
    virtual void DrawDrag(TCanvas &Canvas, double ScaleFactor) = 0;
    // The object or sub-object at P, or none.
    virtual TKVObject *HitAt(TKVPoint P) { return nullptr; }
    virtual void MoveBy(TKVPoint Delta) {}
    virtual bool IsInRect(const TKVRect &R) const { return false; }
    // The binary and text records; objects that are not stored raise an error.
    virtual void Save(TKVWriter &Writer) const;
    virtual void Export(TKVTextWriter &Writer) const;
    virtual TKVPoint FindConnectionPoint(TKVPoint P1, TKVPoint P2) { return P2; }
    virtual void PassiveMoveBy(TKVPoint Delta) {}
    virtual void ConnectionMoveTo(TKVPoint &Delta, TKVPoint HandlePos) {}
    virtual void AddHandle(TKVPoint P) {}
    virtual void DeleteHandle(TKVHandle *Handle) {}

    // The diagram this object or its owner was added to, or none.
    TKVDiagram *Diagram() const { return fDiagram; }

protected:
    friend class TKVDiagram;
    TKVDiagram *fDiagram = nullptr;
    std::uint64_t fKey = 0; // the diagram's lasting name for a vertex or an edge (undo)
};

// An 8 x 8 drag handle of an edge, a vertex or a label.
class KAVGRAPH_EXPORT TKVHandle : public TKVObject {
public:
    TKVHandle(TKVObject *Owner, TKVHandleType Type, TKVPoint Position);

    TKVHandleType HandleType;
    TKVPoint Position;
    TKVRect Bounds; // Position +- 4

    static const TKVClass &StaticClass();
    const TKVClass &ClassType() const override { return StaticClass(); }

    TKVObject *Owner() const { return Links.empty() ? nullptr : Links.front(); }
    void MoveTo(TKVPoint P);

    void Draw(TCanvas &Canvas, TKVPaintMode PaintMode, double ScaleFactor, TKVDataUpdateMode DataUpdate,
              TKVPoint Offset) override;
    void DrawDrag(TCanvas &Canvas, double ScaleFactor) override;
    TKVObject *HitAt(TKVPoint P) override;
    void MoveBy(TKVPoint Delta) override;
    void PassiveMoveBy(TKVPoint Delta) override;
};

class TKVCustomEdge;

// The label point of an edge with its text box.
class KAVGRAPH_EXPORT TKVAdjacent : public TKVObject {
public:
    TKVAdjacent(TKVCustomEdge *Edge, TKVPoint P);

    TKVPoint Position;               // the label point
    std::unique_ptr<TKVHandle> Handle; // the label handle on the edge's first segment
    TKVRect Bounds;                  // the label rectangle, world units
    std::string Text;
    double Ratio = 0;                // the label handle's place along the first segment

    static const TKVClass &StaticClass();
    const TKVClass &ClassType() const override { return StaticClass(); }

    TKVCustomEdge *Edge() const;
    // The offset by which the label handle at P may move for Delta: onto the foot of the
    // perpendicular when that lies strictly inside the edge's first segment, else (0, 0).
    TKVPoint GetAdjacentPoint(TKVPoint P, TKVPoint Delta) const;

    void Draw(TCanvas &Canvas, TKVPaintMode PaintMode, double ScaleFactor, TKVDataUpdateMode DataUpdate,
              TKVPoint Offset) override;
    void DrawDrag(TCanvas &Canvas, double ScaleFactor) override;
    TKVObject *HitAt(TKVPoint P) override;
    void MoveBy(TKVPoint Delta) override;

private:
    static void DrawConnector(TCanvas &Canvas, TKVPoint handle, TKVPoint label);
};

class KAVGRAPH_EXPORT TKVCustomEdge : public TKVObject {
public:
    // Hooks the end handles into Source's and Target's Links; vertices may move the end points
    // (their connection rules).
    TKVCustomEdge(TKVObject *Source, TKVObject *Target, TKVPoint StartP, TKVPoint EndP);
    ~TKVCustomEdge() override;

    // 0: the source end; last: the target end; between: bend points.
    std::vector<std::unique_ptr<TKVHandle>> Handles;
    TKVObject *Source = nullptr;
    TKVObject *Target = nullptr;
    std::unique_ptr<TKVAdjacent> Adjacent;

    static const TKVClass &StaticClass();
    const TKVClass &ClassType() const override { return StaticClass(); }

    const std::string &Text() const { return Adjacent->Text; }
    void SetText(const std::string &Text) { Adjacent->Text = Text; }
    int IndexOfHandle(const TKVHandle *Handle) const;
    // Puts the label handle back onto the first segment at its ratio; the label follows it.
    void PlaceLabel();

    void Draw(TCanvas &Canvas, TKVPaintMode PaintMode, double ScaleFactor, TKVDataUpdateMode DataUpdate,
              TKVPoint Offset) override;
    void DrawHandles(TCanvas &Canvas, TKVPaintMode PaintMode, double ScaleFactor, TKVDataUpdateMode DataUpdate,
                     TKVPoint Offset);
    void DrawDrag(TCanvas &Canvas, double ScaleFactor) override;
    // The one or two segments that meet at Handle, in not-XOR.
    virtual void DrawSegmentDrag(TCanvas &Canvas, TKVHandle *Handle, double ScaleFactor);
    TKVObject *HitAt(TKVPoint P) override;
    void AddHandle(TKVPoint P) override;
    void DeleteHandle(TKVHandle *Handle) override;
    void Straighten();
    virtual void ToOrthogonal();
    // A new bend point just before the target end.
    void InsertBend(TKVPoint P);
    void Save(TKVWriter &Writer) const override;
    void Export(TKVTextWriter &Writer) const override;

    static std::unique_ptr<TKVObject> Load(TKVReader &Reader, const TKVLoadContext &Context);
    static std::unique_ptr<TKVObject> Import(TKVTextReader &Reader, const TKVLoadContext &Context);

protected:
    void DrawLine(TCanvas &Canvas, double ScaleFactor, TKVPoint Offset);
    void SaveEnds(TKVWriter &Writer) const;
    void SaveLabelAndBends(TKVWriter &Writer) const;
    void ExportEnds(TKVTextWriter &Writer) const;
    void ExportLabelAndBends(TKVTextWriter &Writer, bool withText) const;
};

class KAVGRAPH_EXPORT TKVCustomVertex : public TKVObject {
public:
    // A 100 x 50 box centred on P.
    explicit TKVCustomVertex(TKVPoint P);
    ~TKVCustomVertex() override;

    TKVRect Bounds;
    // htTopLeft, htTopRight, htBottomRight, htBottomLeft at the corners.
    std::vector<std::unique_ptr<TKVHandle>> ResizeHandles;

    static const TKVClass &StaticClass();
    const TKVClass &ClassType() const override { return StaticClass(); }

    void Draw(TCanvas &Canvas, TKVPaintMode PaintMode, double ScaleFactor, TKVDataUpdateMode DataUpdate,
              TKVPoint Offset) override;
    void DrawHandles(TCanvas &Canvas, TKVPaintMode PaintMode, double ScaleFactor, TKVDataUpdateMode DataUpdate,
                     TKVPoint Offset);
    void DrawDrag(TCanvas &Canvas, double ScaleFactor) override;
    TKVObject *HitAt(TKVPoint P) override;
    void MoveBy(TKVPoint Delta) override;
    bool IsInRect(const TKVRect &R) const override;
    // Where the segment P1-P2 crosses the border (sides examined top, right, bottom, left; the
    // last crossing wins); (0, 0) when it does not cross.
    TKVPoint FindConnectionPoint(TKVPoint P1, TKVPoint P2) override;
    std::optional<TKVPoint> BorderCrossing(TKVPoint P1, TKVPoint P2) const;
    void ConnectionMoveTo(TKVPoint &Delta, TKVPoint HandlePos) override;
    virtual void SetConnectionPoint(TKVPoint &P, TKVObject *Other) {}
    // Puts the resize handles on the corners and the end handles inside the box.
    virtual void AdjustHandles();
    virtual void ResizeBy(TKVPoint Delta, TKVHandleType HandleType);
    void Save(TKVWriter &Writer) const override;
    void Export(TKVTextWriter &Writer) const override;

    static std::unique_ptr<TKVObject> Load(TKVReader &Reader, const TKVLoadContext &Context);
    static std::unique_ptr<TKVObject> Import(TKVTextReader &Reader, const TKVLoadContext &Context);

    TKVPoint Center() const;
};

// Application data attached to a vertex or an edge. Subclasses store themselves and register a
// TKVDataClass whose Load and Import build them.
class KAVGRAPH_EXPORT TKVDataObject {
public:
    virtual ~TKVDataObject() = default;

    TKVObject *Owner = nullptr;

    static const TKVDataClass &StaticClass();
    virtual const TKVDataClass &ClassType() const { return StaticClass(); }

    virtual void Export(TKVTextWriter &Writer) const = 0;
    virtual void Save(TKVWriter &Writer) const = 0;

    // Hands FieldName to the data provider of the owner's style.
    void PropertyChanged(const std::string &FieldName);
};

class KAVGRAPH_EXPORT TKVEdge : public TKVCustomEdge {
public:
    // An edge of the library's edge style of that name (default looks when there is none).
    TKVEdge(TKVObject *Source, TKVObject *Target, TKVPoint StartP, TKVPoint EndP, std::string_view StyleName,
            TKVStyleLibrary *StyleLibrary);

    TKVEdgeStyle Style;
    TKVDataObject *DataObject = nullptr; // not owned (see AdoptDataObject)

    static const TKVClass &StaticClass();
    const TKVClass &ClassType() const override { return StaticClass(); }

    // Attaches a data object that this edge frees (the readers use it).
    void AdoptDataObject(std::unique_ptr<TKVDataObject> Data);

    void Draw(TCanvas &Canvas, TKVPaintMode PaintMode, double ScaleFactor, TKVDataUpdateMode DataUpdate,
              TKVPoint Offset) override;
    void Save(TKVWriter &Writer) const override;
    void Export(TKVTextWriter &Writer) const override;

    static std::unique_ptr<TKVObject> Load(TKVReader &Reader, const TKVLoadContext &Context);
    static std::unique_ptr<TKVObject> Import(TKVTextReader &Reader, const TKVLoadContext &Context);

private:
    void DrawEnd(TCanvas &Canvas, TKVPaintMode PaintMode, double ScaleFactor, TKVDataUpdateMode DataUpdate,
                 TKVPoint Offset, TKVObject *EndObject, TKVPoint Inner, TKVPoint Outer);
    std::unique_ptr<TKVDataObject> fOwnedData;
};

class KAVGRAPH_EXPORT TKVVertex : public TKVCustomVertex {
public:
    // A vertex of the library's vertex style of that name, sized by it, centred on P.
    TKVVertex(TKVPoint P, TKVStyleLibrary *StyleLibrary, std::string_view StyleName);

    TKVVertexStyle Style;
    TKVDataObject *DataObject = nullptr; // not owned (see AdoptDataObject)

    static const TKVClass &StaticClass();
    const TKVClass &ClassType() const override { return StaticClass(); }

    // Copies S into this vertex's own style and fits the box to it.
    void SetStyle(const TKVVertexStyle &S);
    void AdoptDataObject(std::unique_ptr<TKVDataObject> Data);

    void Draw(TCanvas &Canvas, TKVPaintMode PaintMode, double ScaleFactor, TKVDataUpdateMode DataUpdate,
              TKVPoint Offset) override;
    void AdjustHandles() override;
    void ResizeBy(TKVPoint Delta, TKVHandleType HandleType) override;
    void ConnectionMoveTo(TKVPoint &Delta, TKVPoint HandlePos) override;
    void SetConnectionPoint(TKVPoint &P, TKVObject *Other) override;
    void Save(TKVWriter &Writer) const override;
    void Export(TKVTextWriter &Writer) const override;

    static std::unique_ptr<TKVObject> Load(TKVReader &Reader, const TKVLoadContext &Context);
    static std::unique_ptr<TKVObject> Import(TKVTextReader &Reader, const TKVLoadContext &Context);

private:
    std::unique_ptr<TKVDataObject> fOwnedData;
};

// ---- Style library -------------------------------------------------------------------------------

// The named vertex and edge styles of an application, stored as a style library file (".slb").
// Its component name is the QObject's objectName.
class KAVGRAPH_EXPORT TKVStyleLibrary : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString LibFile READ LibFile WRITE SetLibFile)

public:
    explicit TKVStyleLibrary(QObject *Owner = nullptr);
    ~TKVStyleLibrary() override;

    std::vector<std::unique_ptr<TKVVertexStyle>> VertexStyles;
    std::vector<std::unique_ptr<TKVEdgeStyle>> EdgeStyles;
    std::string LibraryName = "untitled";
    TKVGetDataEvent OnGetData;                       // handed to styles when added or loaded
    TKVDrawCustomEndEvent OnDrawCustomEnd;           // handed to edge styles when loaded
    TKVDrawCustomDrawItemEvent OnDrawCustomDrawItem; // handed to draw items when loaded

    // The library takes the style and hands it the data provider.
    TKVVertexStyle *AddVertexStyle(std::unique_ptr<TKVVertexStyle> Style);
    TKVEdgeStyle *AddEdgeStyle(std::unique_ptr<TKVEdgeStyle> Style);
    // Takes the style out of the library and gives it to the caller.
    std::unique_ptr<TKVVertexStyle> DeleteStyle(TKVVertexStyle *Style);
    std::unique_ptr<TKVEdgeStyle> DeleteStyle(TKVEdgeStyle *Style);
    // The first style of that exact name; none for an empty name.
    TKVVertexStyle *GetVertexStyle(std::string_view Name) const;
    TKVEdgeStyle *GetEdgeStyle(std::string_view Name) const;

    const QString &LibFile() const { return fLibFile; }
    // Stores the name; loads the file unless the name is empty; "Libfile NAME not found" when the
    // file does not exist.
    void SetLibFile(const QString &FileName);
    void Load(const QString &FileName);
    // Writes a temporary file beside FileName and renames it over FileName when complete, so a
    // failed save leaves the old file.
    void Save(const QString &FileName);

    virtual void DoLoad(TKVReader &Reader);
    virtual void DoSave(TKVWriter &Writer) const;

    std::string ComponentName() const;

private:
    QString fLibFile;
};

// The versions of the library stream that are read; the first is the one written.
extern KAVGRAPH_EXPORT const char *const KVLibraryVersions[5]; // "SL1.03", "SL1.02", "SL1.01", "SL1.00", "SL0.95"

} // namespace kavgraph
