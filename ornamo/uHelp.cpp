// The editor's built-in help: one page with a section per window, shown in a help window.

#include "ornamo/uCommon.h"

#include <QDialog>
#include <QPointer>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace ornamo {

namespace {

const char *const HelpPage = R"(
<h1><a name="contents"></a>Kavgraph Ornamo</h1>
<p>Ornamo builds style libraries (<i>.slb</i> files) for Kavgraph diagrams. The window shows the library
as a tree on the left, a preview of the selected style at the top right and one sample of every style
(the library contents) below it.</p>
<ul>
<li><a href="#library">Library files</a></li>
<li><a href="#tree">The library tree</a></li>
<li><a href="#vertexstyle">Vertex styles</a> and their <a href="#drawitem">draw</a>,
<a href="#dataitem">data</a> and <a href="#bitmapitem">bitmap</a> items</li>
<li><a href="#edgestyle">Edge styles</a></li>
<li><a href="#pen">Pens</a>, <a href="#brush">brushes</a>, <a href="#enterdata">data texts</a>,
<a href="#template">templates</a></li>
<li><a href="#preview">The preview</a>, <a href="#toolbar">the toolbar</a>, <a href="#undo">undo</a></li>
</ul>
<h2><a name="library"></a>Library files</h2>
<p><b>Library &gt; New</b> starts an empty library, <b>Open</b> loads one, <b>Save</b> and <b>Save as</b>
write it, <b>Close</b> puts it away. Before a library with unsaved changes is replaced or the program ends,
Ornamo asks whether to save it. The red field in the status bar shows unsaved changes. A library that
cannot be read leaves the library in the editor untouched. <b>Library Properties</b> (Edit on the tree's
top node) sets the internal library name stored in the file.</p>
<h2><a name="tree"></a>The library tree</h2>
<p>Right-click a node for <b>Edit</b>, <b>Add</b>, <b>Delete</b> and <b>Copy</b>. Add on "Vertex Styles" or
"Edge Styles" makes a new style; on "Draw Items", "Bitmap Items" or "Data Items" a new item. Copy copies the
style the node belongs to. Clicking a sample in the contents view selects its style.</p>
<h2><a name="vertexstyle"></a>Vertex styles</h2>
<p>A vertex style has a name, an initial size, a resize option and a connector placement. It paints its draw
items first, then its bitmap items, then its data items.</p>
<h2><a name="drawitem"></a>Draw items</h2>
<p>A shape with a pen and a brush. Position and size are values or percentages of the vertex; with an
alignment the position (and, when stretched, the size) comes from the vertex. <b>Template</b> takes every
setting but the name from a draw item of the template library.</p>
<h2><a name="dataitem"></a>Data items</h2>
<p>Text that the application supplies for the field named like the item; the data is the sample text. With
<b>Word Wrap</b> the text breaks into lines at every occurrence of the magic marker.</p>
<h2><a name="bitmapitem"></a>Bitmap items</h2>
<p>A picture, stretched into its place, keeping its aspect ratio when locked.</p>
<h2><a name="edgestyle"></a>Edge styles</h2>
<p>The line's pen, the arrow heads at either end and the text box with its text, font and connection line.
<b>Template</b> takes every setting but the name from an edge style of the template library.</p>
<h2><a name="pen"></a>Pens</h2><p>Colour, width and style of a line. Wider lines are always solid.</p>
<h2><a name="brush"></a>Brushes</h2><p>Colour and fill pattern.</p>
<h2><a name="enterdata"></a>Entering data</h2>
<p>With word wrap on, each line becomes one line of the text (joined by the marker); with word wrap off
only the first line is kept.</p>
<h2><a name="template"></a>Templates</h2>
<p>The template library is <i>Template.SLB</i> beside the program.</p>
<h2><a name="preview"></a>The preview</h2>
<p><b>Tools &gt; Zoom In</b> and <b>Zoom Out</b> scale it from 25 to 400 percent; <b>Settings &gt; Preview
Panel</b> sets its background and grid; <b>Tools &gt; Save Preview</b> saves it as a PNG or SVG picture.</p>
<h2><a name="toolbar"></a>The toolbar</h2>
<p><b>Settings &gt; Configure Toolbar</b> chooses the buttons shown and their order.</p>
<h2><a name="undo"></a>Undo</h2>
<p><b>Edit &gt; Undo</b> (Ctrl+Z) and <b>Redo</b> (Ctrl+Shift+Z) take back and repeat every change to the
library. Undoing back to the saved state clears the unsaved mark.</p>
)";

QPointer<QDialog> gHelpWindow;

} // namespace

void ShowHelp(QWidget *Parent, const QString &Topic)
{
    if (!gHelpWindow) {
        gHelpWindow = new QDialog(Parent ? Parent->window() : nullptr);
        gHelpWindow->setAttribute(Qt::WA_DeleteOnClose);
        gHelpWindow->setWindowTitle(QObject::tr("Ornamo Help"));
        gHelpWindow->setAccessibleName(QObject::tr("Ornamo Help"));
        auto *browser = Named(new QTextBrowser, QObject::tr("Help text"));
        browser->setHtml(HelpPage);
        auto *layout = new QVBoxLayout(gHelpWindow);
        layout->addWidget(browser);
        gHelpWindow->resize(560, 520);
    }
    auto *browser = gHelpWindow->findChild<QTextBrowser *>();
    browser->scrollToAnchor(Topic.isEmpty() ? QStringLiteral("contents") : Topic);
    gHelpWindow->show();
    gHelpWindow->raise();
}

} // namespace ornamo
