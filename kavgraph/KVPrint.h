#pragma once
// The print preview: a panel that shows a whole diagram shrunk to fit with the printer page grid
// the diagram box prints by, and lets the user mark pages with the left button. The application
// reads the marks and prints the marked pages.
//
// Marks are kept for the first 50 columns and 50 rows; pages beyond them show no mark and
// cannot be marked.

#include "kavgraph/kavgraph_export.h"
#include "kavgraph/KVObjsPages.h"
#include "platform/ui/Canvas.h"

#include <QImage>
#include <QPointer>
#include <QWidget>

#include <array>
#include <vector>

namespace kavgraph {

class TKVDiagramBox;
struct TKVPage;

/// The diagram of a box shrunk to fit, with the printer pages it prints on; a left click marks a page.
/// \n Pass MarkedPages() to TKVDiagramBox::Print to print only the marked pages.
class KAVGRAPH_EXPORT TKVPrintPreview : public QWidget {
    Q_OBJECT
    Q_PROPERTY(TColor Color READ Color WRITE SetColor)

public:
    static constexpr int kMaxPages = 50; ///< the columns and rows that keep marks

    /// A preview without a diagram box and without marks.
    explicit TKVPrintPreview(QWidget *Owner = nullptr);
    /// Leaves the views of its box.
    ~TKVPrintPreview() override;

    /// The published property under the setter name Qt's form compiler calls.
    void setColor(TColor V) { SetColor(V); }

    /// The box shown, or none.
    TKVDiagramBox *DiagramBox() const { return fDiagramBox; }
    /// Leaves the views of the previous box and joins those of Box.
    void SetDiagramBox(TKVDiagramBox *Box);
    TPen Pen; ///< the frame of marked pages
    /// The background colour.
    TColor Color() const { return fColor; }
    /// Sets the background colour and repaints.
    void SetColor(TColor V);

    /// The mark of column X, row Y, both from 1 to 50; false outside the table.
    bool GetPage(int X, int Y) const;
    /// Marks or unmarks column X, row Y (1 to 50 each); outside the table nothing.
    void SetPage(int X, int Y, bool Value);
    /// The marked pages within the diagram's current page count, rows outer and columns inner.
    /// Marks beyond it are kept (they count again when the diagram grows) but not given.
    std::vector<TKVPage> MarkedPages() const;

    /// The scale of the last paint, percent.
    std::int32_t PreviewScale() const { return fScale; }

protected:
    /// Draws the diagram, the page grid and the marked pages.
    void paintEvent(QPaintEvent *event) override;
    /// A left click marks or unmarks the page under the pointer.
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void Render();

    QPointer<TKVDiagramBox> fDiagramBox;
    TColor fColor = clBtnFace;
    std::int32_t fScale = 100;
    QImage fBuffer;
    std::array<std::array<bool, kMaxPages>, kMaxPages> fPages{}; ///< [column - 1][row - 1]
};

} // namespace kavgraph
