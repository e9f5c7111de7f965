// The box's own file and clipboard operations: they read and write its diagram, what is read
// shows at once, and the picture of the selection reaches the clipboard.

#include "BoxTestUtil.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>

using namespace kavgraph;

namespace {

// Every way in reads into the box's diagram, and an auto-sized box grows to a graph file read,
// also when the read stops at an error.
TEST(BoxFile, ReadsAndWritesItsDiagramAndFitsWhatItRead)
{
    TKVStyleLibrary library;
    TKVDiagramBox source;
    AddEdge(source, AddVertex(source, 0, 0), AddVertex(source, 500, 500));
    source.SaveOptions = {soDiagram};
    const std::string graph = source.SaveToBytes(&library), text = source.ExportToBytes(&library);
    EXPECT_EQ(graph, source.Diagram()->SaveToBytes(&library));
    EXPECT_EQ(text, source.Diagram()->ExportToBytes(&library));
    QTemporaryDir dir;
    source.Save(dir.filePath("d.kvg"), &library);
    source.Export(dir.filePath("d.kvi"), &library);

    const struct {
        std::function<void(TKVDiagramBox &)> read;
        bool graphFile;
    } reads[] = {
        {[&](TKVDiagramBox &b) { b.LoadFromBytes(graph, &library); }, true},
        {[&](TKVDiagramBox &b) { b.Load(dir.filePath("d.kvg"), &library); }, true},
        {[&](TKVDiagramBox &b) { EXPECT_THROW(b.LoadFromBytes(graph.substr(0, graph.size() - 6), &library), Exception); }, true},
        {[&](TKVDiagramBox &b) { b.ImportFromBytes(text, &library, "d.kvi"); }, false},
        {[&](TKVDiagramBox &b) { b.Import(dir.filePath("d.kvi"), &library); }, false},
    };
    for (const auto &c : reads) {
        TKVDiagramBox box;
        box.AutoSize = true;
        c.read(box);
        EXPECT_EQ(box.Diagram()->Vertices.size(), 2u) << &c - reads;
        if (c.graphFile) {
            EXPECT_EQ(box.size(), QSize(610, 560)) << &c - reads; // the extent (0, 0)-(610, 560)
        }
    }
}

TEST(Clipboard, PictureCoversTheSelectionWithAMargin)
{
    TKVDiagramBox box;
    AddVertex(box, 0, 0);
    AddVertex(box, 500, 500, kvProgram);
    box.SetScale(200);
    const QImage picture = box.SelectionPicture();
    EXPECT_EQ(picture.size(), QSize(240, 140)); // (-10, -10)-(110, 60) at 200 percent
    EXPECT_EQ(picture.pixel(20, 20), qRgb(0, 0, 0));   // the frame's corner
    EXPECT_EQ(picture.pixel(5, 5), qRgb(255, 255, 255)); // no selection handles

    box.CopyToClipboard(clpBitmap);
    EXPECT_EQ(QGuiApplication::clipboard()->image().size(), QSize(240, 140));
    box.DeSelectAll();
    EXPECT_TRUE(box.SelectionPicture().isNull());
}

} // namespace
