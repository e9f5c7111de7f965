#pragma once
// The diagram box: the control that holds one diagram. It owns the vertices and edges, keeps the
// selection, paints double-buffered at a zoom scale with an optional grid, background picture and
// printer-page lines, shows a hint for the object under the resting pointer, hands every mouse
// and key event to its actor, prints, and stores the diagram in graph files and text files.
//
// Painting: the box keeps a back buffer of its visible part. Paints that the box asks for itself
// (Invalidate) render the buffer again; exposes only copy from it. Drawing outside a paint
// (rubber bands, an object added) goes into the buffer through DrawOnBox, and the screen is then
// updated from it.

#include "kavgraph/kavgraph_export.h"
#include "kavgraph/KVObjs.h"
#include "kavgraph/KVObjsActor.h"
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

// A printer page by column and row, both from 1.
struct TKVPage {
    std::int32_t Column = 1;
    std::int32_t Row = 1;
};

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

public:
    explicit TKVDiagramBox(QWidget *Owner = nullptr);
    ~TKVDiagramBox() override;

    // ---- Properties ----
    TKVActor *Actor() const { return fActor; }
    // Stores the actor, makes this its box, repaints.
    void SetActor(TKVActor *Actor);
    TColor Color() const { return fColor; }
    void SetColor(TColor Color);
    int DiagramHintPause = 1000; // stored only: the hint delay is a fixed 1000 ms
    bool AutoSize = false;
    TKVSaveOptions SaveOptions{soDiagram, soStyles};
    TKVObjectEvent OnAddObject;
    TKVObjectEvent OnDeleteObject;
    TKVScaleChangeEvent OnScaleChange;
    std::function<void(QObject *Sender)> OnResize;
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
    bool ImmediateRedraw = false; // moving the selection draws no rubber-band outlines
    TKVDataUpdateMode DataUpdate = duAutomatic;
    bool ShowDiagramHint = false;

    // ---- State ----
    std::vector<QPointer<QWidget>> Views; // repainted after each paint of the box; not owned
    TKVPoint Origin{0, 0};                // offset for an object drawn on its own
    std::int32_t ParentWidth = 100;       // the container's client size taken by Resize
    std::int32_t ParentHeight = 100;
    TKVPoint CursorPos{0, 0}; // world position of the last mouse move
    TKVObjectList Vertices;   // owned, in drawing order
    TKVObjectList Edges;      // owned, in drawing order
    TKVObjectList Selection;  // not owned
    std::int32_t LastId = 0;  // the largest Id given out or loaded

    // ---- Objects ----
    // Takes Obj. The add event may veto (Obj is freed) or replace it. A vertex joins Vertices,
    // an edge Edges; with kvInteractive it gets the next Id and becomes the only selected
    // object. Returns the object added, or none. Objects of other kinds are refused and freed.
    TKVObject *AddObject(std::unique_ptr<TKVObject> Obj, TKVMode Mode);
    TKVObject *AddObject(TKVObject *Obj, TKVMode Mode) { return AddObject(std::unique_ptr<TKVObject>(Obj), Mode); }
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
    // Removes a bend handle of an edge (after taking it out of the selection and the actor);
    // end handles stay.
    void DeleteHandle(TKVHandle *Handle);
    // Takes the bend handles of Edge out of the selection and the actor; call it before an
    // operation that frees them (Straighten, ToOrthogonal).
    void ForgetBends(TKVCustomEdge *Edge);

    // ---- Selection ----
    void AddToSelection(TKVObject *Obj, bool Add);
    void DeSelectAll();
    void SelectAll();
    void SelectByRect(const TKVRect &R, bool Add);
    void MoveSelectionBy(TKVPoint Delta);
    // A rubber-band rectangle in not-XOR (client coordinates).
    void DrawDrag(const TKVRect &R);

    // ---- Painting and output ----
    // Renders the picture again and updates the screen.
    void Invalidate();
    // Runs Draw on the box's picture (outside a paint) and updates the screen.
    void DrawOnBox(const std::function<void(TCanvas &Canvas)> &Draw);
    void PaintGrid(TCanvas &Canvas, TKVPoint Offset);
    void PaintPrinterPage(TCanvas &Canvas, TKVPoint Offset);
    void PaintObjects(TCanvas &Canvas, TKVPaintMode PaintMode, TKVPoint Offset);
    // A picture of the box's size as painted, saved as a BMP file (through a temporary file).
    void SaveBitmap(const QString &FileName);
    // The same picture.
    QImage RenderImage();
    // The same picture into Image, which is resized only when its size differs.
    void RenderImage(QImage &Image);
    TKVPageCount GetPageCount();
    // Every page (rows outer, columns inner), or the listed ones in list order. More than
    // MaxPrintedPages pages are refused ("Too many pages: N") before the printer starts.
    void Print(bool PageList, const std::vector<TKVPage> &Pages);
    static constexpr std::int64_t MaxPrintedPages = 10000;

    // The printer used by Print (created on first use; A4 at 600 dpi unless the application
    // changes it) and the page sizes taken from it and the screen, unless set.
    QPrinter *Printer();
    TKVPrinterMetrics PrinterMetrics();
    void SetPrinterMetrics(const std::optional<TKVPrinterMetrics> &Metrics) { fPrinterMetrics = Metrics; }

    // The scroll area whose viewport holds the box, or none.
    QScrollArea *ScrollContainer() const;
    // The control's resize notification (AutoSize).
    void Resize();

    // ---- Files ----
    virtual void Load(const QString &FileName, TKVStyleLibrary *StyleLibrary);
    virtual void Save(const QString &FileName, TKVStyleLibrary *StyleLibrary);
    virtual void DoLoad(TKVReader &Reader, TKVStyleLibrary *StyleLibrary, std::string_view FormatMark);
    virtual void DoSave(TKVWriter &Writer, TKVStyleLibrary *StyleLibrary);
    virtual void Import(const QString &FileName, TKVStyleLibrary *StyleLibrary);
    virtual void Export(const QString &FileName, TKVStyleLibrary *StyleLibrary);
    // Called by Load before each section of a graph file is read, with the reader at its body.
    std::function<void(const std::string &Section, const TKVReader &Reader)> OnLoadSection;
    // The graph file as bytes (what Save writes, what Load reads).
    std::string SaveToBytes(TKVStyleLibrary *StyleLibrary);
    void LoadFromBytes(std::string_view Bytes, TKVStyleLibrary *StyleLibrary);
    // The text file as bytes.
    std::string ExportToBytes(TKVStyleLibrary *StyleLibrary);
    void ImportFromBytes(std::string_view Bytes, TKVStyleLibrary *StyleLibrary, const QString &FileName);
    // clpBitmap: a picture of the selected part; clpObjects: nothing.
    void CopyToClipboard(TKVClipMode Mode);
    // The picture CopyToClipboard puts on the clipboard (null when nothing is selected).
    QImage SelectionPicture();

    // ---- Pictures ----
    // Smooth lines, shapes and text on screen and in pictures. Off by default, so that the
    // drawing stays pixel for pixel as the styles describe it; rubber bands and other not-XOR
    // figures are never smoothed.
    bool Antialiased() const { return fAntialiased; }
    void SetAntialiased(bool V);
    // The picture RenderImage gives, as SVG (vector shapes and text); SaveSvg writes it to a file
    // through a temporary file.
    QByteArray SvgBytes();
    void SaveSvg(const QString &FileName);
    // The world rectangle that shows Objects whole, data texts included, grown by 10 on each side;
    // empty (Left >= Right) when there is nothing to show.
    TKVRect PictureArea(const TKVObjectList &Objects);
    // The whole diagram cropped to its PictureArea at Scale, on white, without selection marks,
    // grid or page lines (what a document would include); null or empty when the diagram is.
    QImage DiagramImage();
    QByteArray DiagramSvg();

    // The hint text showing, or empty.
    const std::string &HintText() const { return fHintText; }
    bool HintShowing() const { return fHintShowing; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;

private:
    void Changed(); // repaint after a property change
    void RestartHintTimer();
    void HintTimerFired();
    void Forget(TKVObject *Obj); // takes Obj and its parts out of the selection and the actor
    void FreeObjects();
    void RenderInto(QImage &Image, const QRect &Clip);
    void RenderInto(TCanvas &Canvas, const QRect &Clip);
    void PaintBackground(TCanvas &Canvas, const QRect &Clip, const QSize &Control);
    void PaintHint(TCanvas &Canvas, const QRect &Clip);
    QRect VisibleRect() const;
    void ReadOptions(TKVReader &Reader);
    void WriteOptions(TKVWriter &Writer) const;
    void ReadBitmap(TKVReader &Reader);
    void WriteBitmap(TKVWriter &Writer) const;

    QPointer<TKVActor> fActor;
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
    bool fAntialiased = false;

    // The back buffer of the visible part.
    QImage fBuffer;
    QRect fBufferRect;
    bool fBufferValid = false;

    QTimer *fHintTimer = nullptr;
    std::string fHintText;
    bool fHintShowing = false;
    QPoint fMousePos{-1, -1}; // client position of the last mouse event
    bool fClickPending = false;

    std::unique_ptr<QPrinter> fPrinter;
    std::optional<TKVPrinterMetrics> fPrinterMetrics;
};

} // namespace kavgraph
