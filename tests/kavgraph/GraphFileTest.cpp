// Graph files and text interchange files: the bytes written, what is read back, and every error.

#include "kavgraph/KVObjsDiagram.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>

using namespace kavgraph;

namespace {

// A plain 100 x 50 box whose top-left corner is at (x, y).
TKVCustomVertex *AddVertex(TKVDiagram &d, int x, int y, TKVMode mode = kvInteractive)
{
    return static_cast<TKVCustomVertex *>(d.AddObject(std::make_unique<TKVCustomVertex>(TKVPoint{x + 50, y + 25}), mode));
}

TKVCustomEdge *AddEdge(TKVDiagram &d, TKVCustomVertex *a, TKVCustomVertex *b)
{
    return static_cast<TKVCustomEdge *>(
        d.AddObject(std::make_unique<TKVCustomEdge>(a, b, a->Center(), b->Center()), kvInteractive));
}

std::string Str(const char *s) { return std::string(1, char(0x06)) + char(std::strlen(s)) + s; }
std::string Int8(int v) { return std::string{char(0x02), char(v)}; }
std::string Int16(int v) { return std::string{char(0x03), char(v & 0xFF), char((v >> 8) & 0xFF)}; }
std::string Int32(int v)
{
    return std::string{char(0x04), char(v & 0xFF), char((v >> 8) & 0xFF), char((v >> 16) & 0xFF), char((v >> 24) & 0xFF)};
}

std::string ReadError(const std::function<void()> &f)
{
    try {
        f();
    } catch (const Exception &e) {
        return e.Message();
    }
    return "no error";
}

TEST(GraphFile, EmptySaveOptionsWriteOnlyTheFrame)
{
    TKVDiagram diagram;
    AddVertex(diagram, 0, 0);
    diagram.SaveOptions = {};
    const std::string bytes = diagram.SaveToBytes(nullptr);
    EXPECT_EQ(bytes, Str("KVF100") + "\x01" + std::string(1, '\0'));
    TKVDiagram other;
    other.LoadFromBytes(bytes, nullptr);
    EXPECT_TRUE(other.Vertices.empty());
    EXPECT_EQ(other.Scale(), 100);
}

TEST(GraphFile, DiagramSectionByteForByte)
{
    TKVStyleLibrary library;
    library.setObjectName("Lib1");
    TKVDiagram diagram;
    TKVCustomVertex *a = AddVertex(diagram, 0, 0);     // Id 1: (0, 0, 100, 50)
    TKVCustomVertex *b = AddVertex(diagram, 200, 300); // Id 2: (200, 300, 300, 350)
    TKVCustomEdge *e = AddEdge(diagram, a, b);         // Id 3: (50, 25) -> (250, 325)
    e->SetText("x");
    diagram.SaveOptions = {soDiagram};
    const std::string want =
        Str("KVF100") + "\x01" + Str("KVGRAPH") + Str("Lib1") + Int8(2) + Int8(1) +
        Str("TKVCustomVertex") + Int8(1) + Int8(0) + Int8(0) + Int8(100) + Int8(50) +
        Str("TKVCustomVertex") + Int8(2) + Int16(200) + Int16(300) + Int16(300) + Int16(350) +
        Str("TKVCustomEdge") + Int8(3) + Int8(1) + Int8(2) + Int8(50) + Int8(25) + Int16(250) + Int16(325) +
        Str("x") + Int16(150) + Int16(175) +                                      // label point
        Int16(150) + Int16(150) + Int16(175) + Int16(175) +                      // label rectangle L R T B
        Int16(150) + Int16(175) + Int8(0) + std::string(1, '\0');               // label handle, no bends
    EXPECT_EQ(diagram.SaveToBytes(&library), want);
}

TEST(GraphFile, WritesWhatAnIndependentEncoderWrote)
{
    // All four sections; the fixture names its library component as below.
    QFile f(FIXTURE_DIR "/graph-KVF100.kvg");
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray fixture = f.readAll();
    TKVStyleLibrary library;
    library.setObjectName("Shapes library component");
    TKVDiagram diagram;
    diagram.LoadFromBytes(std::string_view(fixture.constData(), std::size_t(fixture.size())), &library);
    const std::string saved = diagram.SaveToBytes(&library);
    EXPECT_EQ(QByteArray(saved.data(), qsizetype(saved.size())), fixture);
}

TEST(GraphFile, CountsUseTheSmallestIntegerForm)
{
    TKVDiagram diagram;
    for (int i = 0; i < 300; ++i)
        AddVertex(diagram, i, 0, kvProgram);
    diagram.SaveOptions = {soDiagram};
    const std::string bytes = diagram.SaveToBytes(nullptr);
    const std::string head = Str("KVF100") + "\x01" + Str("KVGRAPH") + Str("");
    ASSERT_EQ(bytes.substr(0, head.size()), head);
    EXPECT_EQ(bytes.substr(head.size(), 5), Int16(300) + Int8(0));
}

TEST(GraphFile, EverySectionRoundTrips)
{
    TKVStyleLibrary library;
    auto vs = std::make_unique<TKVVertexStyle>();
    vs->Name = "Wide";
    vs->Width = 160;
    vs->Height = 40;
    library.AddVertexStyle(std::move(vs));
    auto es = std::make_unique<TKVEdgeStyle>();
    es->Name = "Thick";
    es->Pen.Width = 3;
    library.AddEdgeStyle(std::move(es));

    TKVDiagram diagram;
    auto *v = static_cast<TKVVertex *>(
        diagram.AddObject(std::make_unique<TKVVertex>(TKVPoint{100, 100}, &library, "Wide"), kvInteractive));
    TKVCustomVertex *plain = AddVertex(diagram, 400, 400);
    diagram.AddObject(std::make_unique<TKVEdge>(v, plain, v->Center(), plain->Center(), "Thick", &library), kvInteractive);
    TBitmap picture(3, 2);
    picture.SetPixel(2, 1, clRed);
    diagram.SetBitmap(picture);
    diagram.SetShowGrid(true);
    diagram.SetGridStep(20);
    diagram.SetPrintScale(70);
    diagram.SetScale(130);
    diagram.SaveOptions = {soDiagram, soStyles, soBitmap, soBoxOptions};
    const std::string bytes = diagram.SaveToBytes(&library);

    TKVStyleLibrary library2;
    TKVDiagram copy;
    std::vector<int> scales;
    copy.OnScaleChange = [&](TKVScaleChange, int &s) { scales.push_back(s); };
    copy.LoadFromBytes(bytes, &library2);
    EXPECT_EQ(copy.SaveToBytes(&library2), bytes);
    EXPECT_EQ(scales, std::vector<int>{130});
    EXPECT_EQ(library2.VertexStyles.size(), 1u);
    EXPECT_EQ(copy.Bitmap().Pixel(2, 1), clRed);
    EXPECT_TRUE(copy.ShowGrid());
    EXPECT_EQ(copy.GridStep(), 20);
    EXPECT_EQ(copy.PrintScale(), 70);
    ASSERT_EQ(copy.Vertices.size(), 2u);
    EXPECT_EQ(static_cast<TKVCustomVertex *>(copy.Vertices[0])->Bounds, (TKVRect{20, 80, 180, 120}));
    auto *edge = dynamic_cast<TKVEdge *>(copy.Edges.at(0));
    ASSERT_NE(edge, nullptr);
    EXPECT_EQ(edge->Style.Pen.Width, 3);
    EXPECT_EQ(edge->Source, copy.Vertices[0]);
}

TEST(GraphFile, APictureWithASideOfZeroLoadsAsTheEmptyPicture)
{
    // The other side may be as large as an Integer goes: nothing is walked for it.
    for (const auto &[w, h] : {std::pair{0x7FFFFFFF, 0}, std::pair{0, 0x7FFFFFFF}}) {
        TKVDiagram diagram;
        diagram.SetBitmap(TBitmap(2, 2));
        diagram.LoadFromBytes(Str("KVF100") + "\x01" + Str("KVBMP") + Int32(w) + Int32(h) + std::string(1, '\0'), nullptr);
        EXPECT_TRUE(diagram.Bitmap().Empty()) << w << " x " << h;
    }
}

TEST(GraphFile, EdgeEndsStayWhereTheyWereSaved)
{
    // With ends placed on the sides facing the other box, placing a saved end again from where
    // it lies would move it to another side.
    TKVStyleLibrary library;
    auto vs = std::make_unique<TKVVertexStyle>();
    vs->Name = "Sides";
    vs->Width = 100;
    vs->Height = 50;
    vs->ConnMoveMode = cmmCenterBounds;
    library.AddVertexStyle(std::move(vs));
    TKVDiagram diagram;
    auto *a = static_cast<TKVVertex *>(diagram.AddObject(std::make_unique<TKVVertex>(TKVPoint{50, 25}, &library, "Sides"), kvInteractive));
    auto *b = static_cast<TKVVertex *>(diagram.AddObject(std::make_unique<TKVVertex>(TKVPoint{200, 175}, &library, "Sides"), kvInteractive));
    auto *e = static_cast<TKVCustomEdge *>(
        diagram.AddObject(std::make_unique<TKVEdge>(a, b, a->Center(), b->Center(), "", &library), kvInteractive));
    ASSERT_EQ(e->Handles.front()->Position, (TKVPoint{50, 50}));
    ASSERT_EQ(e->Handles.back()->Position, (TKVPoint{150, 175}));

    TKVDiagram loaded, imported;
    loaded.LoadFromBytes(diagram.SaveToBytes(&library), &library);
    imported.ImportFromBytes(diagram.ExportToBytes(&library), &library, "t.kvi");
    for (const TKVDiagram *copy : {&loaded, &imported}) {
        const auto *edge = static_cast<const TKVCustomEdge *>(copy->Edges.at(0));
        EXPECT_EQ(edge->Handles.front()->Position, (TKVPoint{50, 50}));
        EXPECT_EQ(edge->Handles.back()->Position, (TKVPoint{150, 175}));
    }
}

TEST(GraphFile, LoadingKeepsIdsAndLaterObjectsContinueAboveThem)
{
    TKVDiagram diagram;
    AddVertex(diagram, 0, 0, kvProgram)->Id = 17;
    AddVertex(diagram, 0, 0, kvProgram)->Id = 4;
    diagram.SaveOptions = {soDiagram};
    TKVDiagram other;
    other.LoadFromBytes(diagram.SaveToBytes(nullptr), nullptr);
    EXPECT_EQ(other.LastId, 17);
    EXPECT_EQ(AddVertex(other, 0, 0)->Id, 18);
}

TEST(GraphFile, ReadErrorsStopTheReadAndKeepWhatWasRead)
{
    TKVDiagram source;
    TKVCustomVertex *a = AddVertex(source, 0, 0);
    TKVCustomVertex *b = AddVertex(source, 200, 0);
    AddEdge(source, a, b);
    source.SaveOptions = {soDiagram};
    const std::string good = source.SaveToBytes(nullptr);
    std::string missingVertex = good;
    // The edge's target Id 2 becomes 9.
    const std::string edgeHead = Str("TKVCustomEdge") + Int8(3) + Int8(1) + Int8(2);
    missingVertex.replace(missingVertex.find(edgeHead), edgeHead.size(),
                          Str("TKVCustomEdge") + Int8(3) + Int8(1) + Int8(9));
    std::string unknown = good;
    unknown.replace(unknown.find(Str("TKVCustomEdge")), 15, Str("TKVCustomEdgX"));
    const std::string withData = Str("KVF100") + "\x01" + Str("KVGRAPH") + Str("") + Int8(1) + Int8(0) +
                                 Str("TKVVertex") + Int8(1) + Int8(0) + Int8(0) + Int8(10) + Int8(10) + Str("") +
                                 "\x08\x09" + Str("TMyData");
    const std::string hugePicture = Str("KVF100") + "\x01" + Str("KVBMP") + Int32(100000) + Int32(100000) + Int8(0) + Int8(0);

    const struct {
        std::string bytes;
        const char *message;
        std::size_t verticesKept;
    } cases[] = {
        {Str("KVF101") + "\x01" + std::string(1, '\0'), "Invalid file format", 0},
        {missingVertex, "Vertex Id not found", 2},
        {unknown, "Class not registered: TKVCustomEdgX", 2},
        {good.substr(0, good.size() - 6), "Stream read error", 2},
        {withData, "Data class not registered: TMyData", 0},
        {hugePicture, "Stream read error", 0},
        {Str("KVF100") + "\x01" + Str("KVEXTRA") + std::string(1, '\0'), "Unknown section: KVEXTRA", 0},
        {Str("KVF100") + "\x01" + Str("KVGRAPH") + Int8(5), "Invalid property value", 0},
    };
    for (const auto &c : cases) {
        TKVDiagram diagram;
        EXPECT_EQ(ReadError([&] { diagram.LoadFromBytes(c.bytes, nullptr); }), c.message) << &c - cases;
        EXPECT_EQ(diagram.Vertices.size(), c.verticesKept) << c.message;
    }
}

TEST(GraphFile, SavingGoesThroughATemporaryFile)
{
    QTemporaryDir dir;
    const QString name = dir.filePath("d.kvg");
    TKVDiagram diagram;
    AddVertex(diagram, 0, 0);
    diagram.Save(name, nullptr);
    TKVDiagram loaded;
    loaded.Load(name, nullptr);
    EXPECT_EQ(loaded.Vertices.size(), 1u);
    // Nothing is left beside the file; a target that cannot be written is an error.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"d.kvg"});
    EXPECT_EQ(ReadError([&] { diagram.Save(dir.filePath("no/such/folder.kvg"), nullptr); }).rfind("Cannot create file", 0),
              0u);
    EXPECT_EQ(ReadError([&] { loaded.Load(dir.filePath("none.kvg"), nullptr); }).rfind("Cannot open file", 0), 0u);
}

TEST(TextFile, ExportAndImport)
{
    TKVStyleLibrary library;
    library.LibraryName = "Mine";
    library.setObjectName("StyleLib");
    TKVDiagram diagram;
    TKVCustomVertex *a = AddVertex(diagram, 0, 0);
    TKVCustomVertex *b = AddVertex(diagram, 200, 300);
    AddEdge(diagram, a, b)->SetText("go");
    const std::string text = diagram.ExportToBytes(&library);
    EXPECT_EQ(text.substr(0, 22), "KVI101\r\nMine\r\n2 1\r\nTKV");
    EXPECT_NE(text.find("\r\nTKVCustomEdge\r\n3\r\n1 2\r\n50 25\r\n250 325\r\ngo\r\n150 175\r\n"), std::string::npos);

    for (const char *mark : {"KVI095", "KVI100", "KVI101"}) {
        TKVDiagram copy;
        copy.ImportFromBytes(std::string(mark) + text.substr(6), &library, "t.kvi");
        EXPECT_EQ(copy.ExportToBytes(&library), text);
        EXPECT_EQ(copy.LastId, 3);
    }

    TKVDiagram target;
    const struct {
        std::string bytes;
        std::string message;
    } cases[] = {
        {"KVI102" + text.substr(6), "Invalid file format: t.kvi"},
        {"", "Invalid file format: t.kvi"},
        {"KVI101\r\nTheirs\r\n0 0\r\n", "Library name in file (Theirs) does not match library name (StyleLib)"},
        {"KVI101\r\nMine\r\n1 0\r\nTKVNothing\r\n", "Class not registered: TKVNothing"},
        {"KVI101\r\nMine\r\n2 1\r\nTKVCustomVertex\r\n", ""}, // truncated: the reader's own error
    };
    for (const auto &c : cases) {
        const std::string message = ReadError([&] { target.ImportFromBytes(c.bytes, &library, "t.kvi"); });
        if (c.message.empty())
            EXPECT_NE(message, "no error");
        else
            EXPECT_EQ(message, c.message);
    }
}

// A library without the styles the objects name: reading the text file keeps the names, so writing
// it again loses nothing.
TEST(TextFile, StyleNamesTheLibraryLacksSurviveARoundTrip)
{
    TKVStyleLibrary library;
    TKVDiagram diagram;
    auto *a = static_cast<TKVVertex *>(diagram.AddObject(std::make_unique<TKVVertex>(TKVPoint{50, 25}, &library, ""), kvInteractive));
    auto *b = static_cast<TKVVertex *>(diagram.AddObject(std::make_unique<TKVVertex>(TKVPoint{250, 325}, &library, ""), kvInteractive));
    auto *e = static_cast<TKVEdge *>(
        diagram.AddObject(std::make_unique<TKVEdge>(a, b, a->Center(), b->Center(), "", &library), kvInteractive));
    a->Style.Name = b->Style.Name = "Gone box";
    e->Style.Name = "Gone link";
    const std::string text = diagram.ExportToBytes(&library);

    TKVDiagram copy;
    copy.ImportFromBytes(text, &library, "t.kvi");
    ASSERT_EQ(copy.Vertices.size(), 2u);
    ASSERT_EQ(copy.Edges.size(), 1u);
    EXPECT_EQ(static_cast<TKVVertex *>(copy.Vertices[0])->Style.Name, "Gone box");
    EXPECT_EQ(static_cast<TKVEdge *>(copy.Edges[0])->Style.Name, "Gone link");
    EXPECT_EQ(copy.ExportToBytes(&library), text);
}

} // namespace
