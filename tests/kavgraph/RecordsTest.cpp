// The binary and text records of vertices and edges, read back through the class registry.

#include "kavgraph/KVObjs.h"

#include <gtest/gtest.h>

using namespace kavgraph;

namespace {

// Application data: one string.
class TNote : public TKVDataObject {
public:
    std::string Note;
    static const TKVDataClass &StaticClass()
    {
        static const TKVDataClass c{"TNote", &TKVDataObject::StaticClass(), &LoadNote, &ImportNote};
        return c;
    }
    const TKVDataClass &ClassType() const override { return StaticClass(); }
    void Save(TKVWriter &w) const override { w.WriteString(Note); }
    void Export(TKVTextWriter &w) const override { w.WriteLine(Note); }
    static std::unique_ptr<TKVDataObject> LoadNote(TKVReader &r)
    {
        auto n = std::make_unique<TNote>();
        n->Note = r.ReadString();
        return n;
    }
    static std::unique_ptr<TKVDataObject> ImportNote(TKVTextReader &r)
    {
        auto n = std::make_unique<TNote>();
        n->Note = r.ReadLine();
        return n;
    }
};

struct Diagram {
    TKVStyleLibrary lib;
    std::vector<std::unique_ptr<TKVObject>> owned;
    TKVObjectList vertices, edges;

    Diagram()
    {
        RegisterKVClass(TKVVertex::StaticClass());
        RegisterKVClass(TKVEdge::StaticClass());
        RegisterDataClass(TNote::StaticClass());
        auto vs = std::make_unique<TKVVertexStyle>();
        vs->Name = "Box";
        for (const char *n : {"Title", "Body"}) {
            auto d = std::make_unique<TKVDataItem>();
            d->Name = n;
            vs->DataItems.push_back(std::move(d));
        }
        vs->DrawItems.push_back(std::make_unique<TKVDrawItem>());
        lib.AddVertexStyle(std::move(vs));
        auto es = std::make_unique<TKVEdgeStyle>();
        es->Name = "Line";
        es->Data = "library data";
        lib.AddEdgeStyle(std::move(es));
    }
    ~Diagram()
    {
        // Edges before the vertices they hang on.
        for (auto &o : owned)
            if (o && o->ObjectType == otEdge)
                o.reset();
    }
    template <typename T> T *Keep(std::unique_ptr<T> o)
    {
        T *p = o.get();
        (o->ObjectType == otEdge ? edges : vertices).push_back(p);
        owned.push_back(std::move(o));
        return p;
    }
    TKVLoadContext Context(std::string_view mark = "KVF100") { return {vertices, edges, &lib, mark}; }

    // Two vertices (ids 1 and 2) and a styled edge with two bends and a note.
    void Build()
    {
        auto *a = Keep(std::make_unique<TKVVertex>(TKVPoint{100, 100}, &lib, "Box"));
        a->Id = 1;
        a->Bounds = {20, 30, 180, 70}; // 160 x 40
        a->AdjustHandles();
        a->Style.DataItems[1]->Text = "body text";
        auto note = std::make_unique<TNote>();
        note->Note = "vertex note";
        a->AdoptDataObject(std::move(note));
        auto *b = Keep(std::make_unique<TKVCustomVertex>(TKVPoint{400, 300}));
        b->Id = 2;
        auto *e = Keep(std::make_unique<TKVEdge>(a, b, TKVPoint{100, 50}, TKVPoint{400, 300}, "Line", &lib));
        e->Id = 3;
        e->AddHandle({200, 133});
        e->Handles[1]->MoveTo({200, 200});
        e->Style.Pen.Width = 3;
        e->Adjacent->Bounds = {-1, -2, 3, 4};
        e->Adjacent->MoveBy({0, -30});
    }
};

struct Fixture : testing::Test, Diagram {};

std::string SaveAll(const TKVObjectList &objects)
{
    TKVWriter w;
    for (TKVObject *o : objects) {
        w.WriteString(o->ClassName());
        o->Save(w);
    }
    return w.Data();
}

std::string ExportAll(const TKVObjectList &objects)
{
    TKVTextWriter w;
    for (TKVObject *o : objects) {
        w.WriteLine(o->ClassName());
        o->Export(w);
    }
    return w.Data();
}

TEST_F(Fixture, BinaryRecordsReadBackTheSameObjects)
{
    Build();
    const std::string bytes = SaveAll(vertices) + SaveAll(edges);
    Diagram copy;
    TKVReader r(bytes);
    for (int i = 0; i < 3; ++i) {
        const TKVClass *c = GetKVClass(r.ReadString());
        ASSERT_NE(c, nullptr);
        copy.Keep(c->Load(r, copy.Context()));
    }
    EXPECT_EQ(r.Remaining(), 0u);
    EXPECT_EQ(SaveAll(copy.vertices) + SaveAll(copy.edges), bytes);

    auto *a = dynamic_cast<TKVVertex *>(copy.vertices[0]);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->Bounds, (TKVRect{20, 30, 180, 70}));
    EXPECT_EQ(a->Style.DataItems[1]->Text, "body text");
    ASSERT_NE(a->DataObject, nullptr);
    EXPECT_EQ(static_cast<TNote *>(a->DataObject)->Note, "vertex note");
    EXPECT_EQ(a->DataObject->Owner, a);
    auto *e = dynamic_cast<TKVEdge *>(copy.edges[0]);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->Source, a);
    EXPECT_EQ(e->Style.Pen.Width, 3);
    ASSERT_EQ(e->Handles.size(), 3u);
    EXPECT_EQ(e->Handles[1]->Position, (TKVPoint{200, 200}));
    EXPECT_EQ(a->Links.size(), 1u);
}

TEST_F(Fixture, OldGraphEdgesEndAfterTheirBends)
{
    Build();
    const auto &saved = static_cast<const TKVEdge &>(*edges[0]);
    TKVWriter full;
    saved.Save(full);
    TKVWriter flags; // what newer records add behind the bends
    flags.WriteBoolean(true);
    saved.Style.Save(flags);
    flags.WriteBoolean(false);
    const std::string record = full.Data().substr(0, full.Data().size() - flags.Data().size());
    TKVReader r(record);
    auto e = TKVEdge::Load(r, Context("KVF095"));
    EXPECT_EQ(r.Remaining(), 0u);
    EXPECT_EQ(static_cast<TKVEdge &>(*e).Style.Pen.Width, 1) << "the library's style";
    EXPECT_EQ(static_cast<TKVEdge &>(*e).Handles.size(), 3u);
}

TEST_F(Fixture, TextRecordsReadBack)
{
    Build();
    const std::string text = ExportAll(vertices) + ExportAll(edges);
    EXPECT_NE(text.find("\r\nBox\r\n2\r\n\r\nbody text\r\nT\r\nTNote\r\nvertex note\r\n"), std::string::npos);
    Diagram copy;
    TKVTextReader r(text);
    for (int i = 0; i < 3; ++i) {
        const TKVClass *c = GetKVClass(r.ReadLine());
        ASSERT_NE(c, nullptr);
        copy.Keep(c->Import(r, copy.Context()));
    }
    EXPECT_TRUE(r.AtEnd());
    auto *e = static_cast<TKVEdge *>(copy.edges[0]);
    EXPECT_EQ(e->Style.Pen.Width, 1) << "text records name the style only";
    EXPECT_EQ(e->Style.Data, "library data");
    EXPECT_EQ(e->Adjacent->Position, static_cast<TKVEdge *>(edges[0])->Adjacent->Position);
    EXPECT_FALSE(e->Adjacent->Bounds == static_cast<TKVEdge *>(edges[0])->Adjacent->Bounds)
        << "the stored label rectangle is not taken";
    auto *a = static_cast<TKVVertex *>(copy.vertices[0]);
    EXPECT_EQ(a->Style.DataItems[1]->Text, "body text");
    EXPECT_EQ(ExportAll(copy.vertices), ExportAll(vertices));
}

TEST_F(Fixture, MissingVerticesAndUnknownDataClassesStopTheRead)
{
    Build();
    const std::string edge = SaveAll({edges[0]}).substr(9); // without the class name
    Diagram empty;
    TKVReader r(edge);
    try {
        TKVEdge::Load(r, empty.Context());
        FAIL();
    } catch (const Exception &e) {
        EXPECT_EQ(e.Message(), "Vertex Id not found");
    }
    std::string vertex = SaveAll({vertices[0]});
    const std::size_t at = vertex.find("TNote");
    ASSERT_NE(at, std::string::npos);
    vertex[at + 1] = 'X';
    TKVReader rv(vertex);
    rv.ReadString();
    try {
        TKVVertex::Load(rv, Context());
        FAIL();
    } catch (const Exception &e) {
        EXPECT_EQ(e.Message(), "Data class not registered: TXote");
    }
}

TEST_F(Fixture, LoadedStylesGetTheLibrarysCustomPainter)
{
    Build();
    int painted = 0;
    lib.OnDrawCustomDrawItem = [&](TCanvas &, double scale, TKVPaintMode, TKVPoint, const TKVRect &, TKVObject *,
                                   TKVDrawItem *) {
        EXPECT_EQ(scale, 150);
        ++painted;
    };
    static_cast<TKVVertex *>(vertices[0])->Style.DrawItems[0]->Shape = diCustom;
    const std::string bytes = SaveAll({vertices[0]}).substr(11);
    TKVReader r(bytes);
    auto v = TKVVertex::Load(r, Context());
    QImage image(50, 50, QImage::Format_RGB32);
    TCanvas canvas(&image);
    v->Draw(canvas, pmScreen, 1.5, duManual, {0, 0});
    EXPECT_EQ(painted, 1);
}

// Edges find their ends by Id: the first vertex of each Id, whatever the order and gaps, and
// vertices added after a search are found too.
TEST(VertexIndex, FindsTheFirstVertexOfEachId)
{
    TKVCustomVertex v[6]{TKVCustomVertex{{0, 0}}, TKVCustomVertex{{0, 0}}, TKVCustomVertex{{0, 0}},
                         TKVCustomVertex{{0, 0}}, TKVCustomVertex{{0, 0}}, TKVCustomVertex{{0, 0}}};
    const std::int32_t ids[6] = {5, 3, 3, 9, 1, 2};
    TKVVertexIndex index;
    for (int i = 0; i < 4; ++i) {
        v[i].Id = ids[i];
        index.Add(&v[i]);
    }
    EXPECT_EQ(index.Find(3), &v[1]);
    EXPECT_EQ(index.Find(5), &v[0]);
    EXPECT_EQ(index.Find(9), &v[3]);
    for (std::int32_t missing : {0, 4, 10, -1})
        EXPECT_EQ(index.Find(missing), nullptr) << missing;
    for (int i = 4; i < 6; ++i) {
        v[i].Id = ids[i];
        index.Add(&v[i]);
    }
    EXPECT_EQ(index.Find(1), &v[4]);
    EXPECT_EQ(index.Find(2), &v[5]);
    EXPECT_EQ(index.Find(3), &v[1]);
    index.Add(7, &v[2]); // under another Id than its own
    EXPECT_EQ(index.Find(7), &v[2]);
}

} // namespace
