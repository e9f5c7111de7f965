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

    // Declared first: the public references below are bound to its fields.
    std::unique_ptr<TKVDiagram> fDiagram;

public:
    explicit TKVDiagramBox(QWidget *Owner = nullptr);
    ~TKVDiagramBox() override;

    // The diagram shown; the box owns it.
    TKVDiagram *Diagram() const { return fDiagram.get(); }
    QUndoStack *UndoStack() const { return fDiagram->UndoStack(); }

    // The published properties under the setter names Qt's form compiler calls, so that forms
    // made in Qt Designer compile.
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

    // ---- Properties ----
    TKVActor *Actor() const { return fActor; }
    // Stores the actor, makes this its box, repaints.
    void SetActor(TKVActor *Actor);
    TColor Color() const { return fDiagram->Color(); }
    void SetColor(TColor Color) { fDiagram->SetColor(Color); }
    int DiagramHintPause = 1000; // stored only: the hint delay is a fixed 1000 ms
    bool &AutoSize;
    TKVSaveOptions &SaveOptions;
    TKVObjectEvent &OnAddObject;
    TKVObjectEvent &OnDeleteObject;
    TKVScaleChangeEvent &OnScaleChange;
    std::function<void(QObject *Sender)> OnResize;
    std::int32_t Scale() const { return fDiagram->Scale(); }
    // Nothing when V is the current scale; otherwise the scale event may change it. A scale
    // below 1 percent is taken as 1.
    void SetScale(std::int32_t V) { fDiagram->SetScale(V); }
    double ScaleFactor() const { return fDiagram->ScaleFactor(); }
    std::int32_t PrintScale() const { return fDiagram->PrintScale(); }
    void SetPrintScale(std::int32_t V) { fDiagram->SetPrintScale(V); }
    bool ShowGrid() const { return fDiagram->ShowGrid(); }
    void SetShowGrid(bool V) { fDiagram->SetShowGrid(V); }
    const TBitmap &Bitmap() const { return fDiagram->Bitmap(); }
    void SetBitmap(const TBitmap &V) { fDiagram->SetBitmap(V); }
    bool CenterBitmap() const { return fDiagram->CenterBitmap(); }
    void SetCenterBitmap(bool V) { fDiagram->SetCenterBitmap(V); }
    std::int32_t GridStep() const { return fDiagram->GridStep(); }
    void SetGridStep(std::int32_t V) { fDiagram->SetGridStep(V); }
    TColor GridColor() const { return fDiagram->GridColor(); }
    void SetGridColor(TColor V) { fDiagram->SetGridColor(V); }
    TPenStyle GridStyle() const { return fDiagram->GridStyle(); }
    void SetGridStyle(TPenStyle V) { fDiagram->SetGridStyle(V); }
    bool ShowPrinterPage() const { return fDiagram->ShowPrinterPage(); }
    void SetShowPrinterPage(bool V) { fDiagram->SetShowPrinterPage(V); }
    bool &ImmediateRedraw; // moving the selection draws no rubber-band outlines
    TKVDataUpdateMode &DataUpdate;
    bool ShowDiagramHint = false;

    // ---- State ----
    std::vector<QPointer<QWidget>> Views; // repainted after each paint of the box; not owned
    TKVPoint Origin{0, 0};                // offset for an object drawn on its own
    std::int32_t &ParentWidth;            // the container's client size taken by Resize
    std::int32_t &ParentHeight;
    TKVPoint CursorPos{0, 0}; // world position of the last mouse move
    TKVObjectList &Vertices;  // owned by the diagram, in drawing order
    TKVObjectList &Edges;     // owned by the diagram, in drawing order
    TKVObjectList &Selection; // not owned
    std::int32_t &LastId;     // the largest Id given out or loaded

    // ---- Objects ----
    // Each one an undoable step when made through the box.
    TKVObject *AddObject(std::unique_ptr<TKVObject> Obj, TKVMode Mode);
    TKVObject *AddObject(TKVObject *Obj, TKVMode Mode) { return AddObject(std::unique_ptr<TKVObject>(Obj), Mode); }
    void DeleteObject(TKVObject *Obj, TKVMode Mode);
    void DeleteSelectedObjects(TKVMode Mode);
    void Clear();
    TKVObject *FindObject(TKVPoint P) const { return fDiagram->FindObject(P); }
    TKVObject *FindObjectByID(std::int32_t Id) const { return fDiagram->FindObjectByID(Id); }
    void ToFront(TKVObject *V);
    void ToBack(TKVObject *V);
    void ToFrontOne(TKVObject *V);
    void ToBackOne(TKVObject *V);
    TKVRect GetDiagramExtents() const { return fDiagram->GetDiagramExtents(); }
    void GetDiagramData() { fDiagram->GetDiagramData(); }
    // Removes a bend handle of an edge; end handles stay.
    void DeleteHandle(TKVHandle *Handle);
    // Takes the bend handles of Edge out of the selection and the actor. Bends freed by the
    // edge's operations leave them by themselves.
    void ForgetBends(TKVCustomEdge *Edge) { fDiagram->ForgetBends(Edge); }

    // ---- Selection ----
    void AddToSelection(TKVObject *Obj, bool Add) { fDiagram->AddToSelection(Obj, Add); }
    void DeSelectAll() { fDiagram->DeSelectAll(); }
    void SelectAll() { fDiagram->SelectAll(); }
    void SelectByRect(const TKVRect &R, bool Add) { fDiagram->SelectByRect(R, Add); }
    void MoveSelectionBy(TKVPoint Delta);
    // A rubber-band rectangle in not-XOR (client coordinates).
    void DrawDrag(const TKVRect &R);

    // ---- Painting and output ----
    // Renders the picture again and updates the screen.
    void Invalidate();
    // Runs Draw on the box's picture (outside a paint) and updates the screen.
    void DrawOnBox(const std::function<void(TCanvas &Canvas)> &Draw);
    void PaintGrid(TCanvas &Canvas, TKVPoint Offset) { fDiagram->PaintGrid(Canvas, Offset, size()); }
    void PaintPrinterPage(TCanvas &Canvas, TKVPoint Offset) { fDiagram->PaintPrinterPage(Canvas, Offset, size()); }
    void PaintObjects(TCanvas &Canvas, TKVPaintMode PaintMode, TKVPoint Offset)
    {
        fDiagram->PaintObjects(Canvas, PaintMode, Offset);
    }
    // A picture of the box's size as painted, saved as a BMP file (through a temporary file).
    void SaveBitmap(const QString &FileName);
    // The same picture.
    QImage RenderImage();
    // The same picture into Image, which is resized only when its size differs.
    void RenderImage(QImage &Image);
    TKVPageCount GetPageCount() { return fDiagram->GetPageCount(); }
    // Every page (rows outer, columns inner), or the listed ones in list order. More than
    // MaxPrintedPages pages are refused ("Too many pages: N") before the printer starts.
    void Print(bool PageList, const std::vector<TKVPage> &Pages) { fDiagram->Print(PageList, Pages); }
    static constexpr std::int64_t MaxPrintedPages = TKVDiagram::MaxPrintedPages;

    // The printer used by Print (created on first use; A4 at 600 dpi unless the application
    // changes it) and the page sizes taken from it and the screen, unless set.
    QPrinter *Printer() { return fDiagram->Printer(); }
    TKVPrinterMetrics PrinterMetrics() { return fDiagram->PrinterMetrics(); }
    void SetPrinterMetrics(const std::optional<TKVPrinterMetrics> &Metrics) { fDiagram->SetPrinterMetrics(Metrics); }

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
    std::function<void(const std::string &Section, const TKVReader &Reader)> &OnLoadSection;
    // The graph file as bytes (what Save writes, what Load reads).
    std::string SaveToBytes(TKVStyleLibrary *StyleLibrary) { return fDiagram->SaveToBytes(StyleLibrary); }
    void LoadFromBytes(std::string_view Bytes, TKVStyleLibrary *StyleLibrary);
    // The text file as bytes.
    std::string ExportToBytes(TKVStyleLibrary *StyleLibrary) { return fDiagram->ExportToBytes(StyleLibrary); }
    void ImportFromBytes(std::string_view Bytes, TKVStyleLibrary *StyleLibrary, const QString &FileName);
    // clpBitmap: a picture of the selected part; clpObjects: nothing.
    void CopyToClipboard(TKVClipMode Mode);
    // The picture CopyToClipboard puts on the clipboard (null when nothing is selected).
    QImage SelectionPicture() { return fDiagram->SelectionPicture(); }

    // ---- Pictures ----
    // Smooth lines, shapes and text on screen and in pictures. Off by default, so that the
    // drawing stays pixel for pixel as the styles describe it; rubber bands and other not-XOR
    // figures are never smoothed.
    bool Antialiased() const { return fDiagram->Antialiased(); }
    void SetAntialiased(bool V) { fDiagram->SetAntialiased(V); }
    // The picture RenderImage gives, as SVG (vector shapes and text); SaveSvg writes it to a file
    // through a temporary file.
    QByteArray SvgBytes() { return fDiagram->SvgBytes(size()); }
    void SaveSvg(const QString &FileName);
    // The whole diagram cropped to what it covers at Scale, on white, without selection marks,
    // grid or page lines (what a document would include); null or empty when the diagram is.
    TKVRect PictureArea(const TKVObjectList &Objects) { return fDiagram->PictureArea(Objects); }
    QImage DiagramImage() { return fDiagram->DiagramImage(); }
    QByteArray DiagramSvg() { return fDiagram->DiagramSvg(); }

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
    void leaveEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void RestartHintTimer();
    void HintTimerFired();
    void HideHint();
    void ObjectRemoved(TKVObject *Obj);
    void ObjectAdded(TKVObject *Obj);
    void PaintHint(TCanvas &Canvas, const QRect &Clip);
    QRect VisibleRect() const;
    // The pointer's position in client coordinates, or none when it is outside the box.
    std::optional<QPoint> PointerPos() const;

    QPointer<TKVActor> fActor;

    // The back buffer of the visible part.
    QImage fBuffer;
    QRect fBufferRect;
    bool fBufferValid = false;

    QTimer *fHintTimer = nullptr;
    std::string fHintText;
    TKVObject *fHintObject = nullptr;
    bool fHintShowing = false;
    QPoint fMousePos{-1, -1}; // client position of the last mouse event
    QPoint fHintPos{-1, -1};  // where the hint's object was found
    bool fPointerInside = false;
    bool fClickPending = false;
};

} // namespace kavgraph
