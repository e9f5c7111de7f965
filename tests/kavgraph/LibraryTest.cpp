// The style library: its stream, version check, partial loads, lookups and files.

#include "kavgraph/KVObjs.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kavgraph;

namespace {

std::string Stream(const TKVStyleLibrary &lib)
{
    TKVWriter w;
    lib.DoSave(w);
    return w.Data();
}

std::string LoadError(TKVStyleLibrary &lib, const std::string &bytes)
{
    TKVReader r(bytes);
    try {
        lib.DoLoad(r);
    } catch (const Exception &e) {
        return e.Message();
    }
    return "no error";
}

void AddStyles(TKVStyleLibrary &lib)
{
    for (const char *name : {"A", "B", "A", ""}) {
        auto v = std::make_unique<TKVVertexStyle>();
        v->Name = name;
        v->Width = int(lib.VertexStyles.size()) + 10;
        v->DrawItems.push_back(std::make_unique<TKVDrawItem>());
        lib.AddVertexStyle(std::move(v));
    }
    auto e = std::make_unique<TKVEdgeStyle>();
    e->Name = "E";
    e->SourceArrow = true;
    lib.AddEdgeStyle(std::move(e));
}

TEST(StyleLibrary, EmptyLibraryStream)
{
    TKVStyleLibrary lib;
    EXPECT_EQ(lib.LibraryName, "untitled");
    lib.LibraryName = "N";
    EXPECT_EQ(Stream(lib), std::string("\x06\x06SL1.03\x06\x01N\x01\x00\x01\x00", 15));
}

TEST(StyleLibrary, SavedFileLoadsEqualStylesInOrder)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("lib.slb");
    TKVStyleLibrary lib;
    lib.LibraryName = "Shapes";
    AddStyles(lib);
    lib.Save(file);
    EXPECT_EQ(lib.LibFile(), file);

    std::string seen;
    TKVStyleLibrary loaded;
    loaded.OnGetData = [&](std::int32_t, const std::string &field, TKVDataObject *) { return seen = field; };
    int customPaints = 0;
    loaded.OnDrawCustomDrawItem = [&](TCanvas &, double, TKVPaintMode, TKVPoint, const TKVRect &, TKVObject *,
                                      TKVDrawItem *) { ++customPaints; };
    loaded.Load(file);
    EXPECT_TRUE(loaded.LibFile().isEmpty()) << "Load leaves LibFile";
    EXPECT_EQ(Stream(loaded), Stream(lib));
    EXPECT_EQ(loaded.LibraryName, "Shapes");
    ASSERT_EQ(loaded.VertexStyles.size(), 4u);
    EXPECT_EQ(loaded.GetVertexStyle("A"), loaded.VertexStyles[0].get()) << "the first of the same name";
    EXPECT_EQ(loaded.GetVertexStyle(""), nullptr) << "an empty name finds nothing";
    EXPECT_EQ(loaded.GetVertexStyle("a"), nullptr);
    EXPECT_NE(loaded.GetEdgeStyle("E"), nullptr);
    // The library's handlers reach the loaded styles and items.
    loaded.VertexStyles[1]->OnGetData(1, "Field", nullptr);
    EXPECT_EQ(seen, "Field");
    QImage image(4, 4, QImage::Format_RGB32);
    TCanvas canvas(&image);
    loaded.VertexStyles[0]->DrawItems[0]->Shape = diCustom;
    loaded.VertexStyles[0]->DrawItems[0]->Draw({0, 0, 4, 4}, canvas, 1.0, pmScreen, {0, 0}, nullptr);
    EXPECT_EQ(customPaints, 1);
}

TEST(StyleLibrary, UnknownVersionEmptiesTheLibraryAndKeepsItsName)
{
    TKVStyleLibrary lib;
    AddStyles(lib);
    lib.LibraryName = "kept";
    for (const char *version : {"SL1.04", "sl1.03", "SL1.0", ""}) {
        TKVWriter w;
        w.WriteString(version);
        w.WriteString("other");
        EXPECT_EQ(LoadError(lib, w.Data()), "Invalid File Format") << version;
    }
    EXPECT_TRUE(lib.VertexStyles.empty());
    EXPECT_TRUE(lib.EdgeStyles.empty());
    EXPECT_EQ(lib.LibraryName, "kept");
}

TEST(StyleLibrary, ABrokenStyleKeepsTheStylesReadBeforeIt)
{
    TKVStyleLibrary source;
    AddStyles(source);
    const std::string bytes = Stream(source);
    TKVStyleLibrary lib;
    // Cut inside the third vertex style.
    TKVWriter firstTwo;
    firstTwo.WriteString("SL1.03");
    firstTwo.WriteString("untitled");
    firstTwo.WriteListBegin();
    source.VertexStyles[0]->Save(firstTwo);
    source.VertexStyles[1]->Save(firstTwo);
    EXPECT_EQ(LoadError(lib, bytes.substr(0, firstTwo.Data().size() + 5)), "Stream read error");
    ASSERT_EQ(lib.VertexStyles.size(), 2u);
    EXPECT_EQ(lib.VertexStyles[1]->Name, "B");
    // A wrong tag where a style's integer belongs.
    std::string wrong = bytes;
    wrong[firstTwo.Data().size() + 3] = 0x06;
    EXPECT_EQ(LoadError(lib, wrong), "Invalid property value");
}

TEST(StyleLibrary, LibFileAndFileErrors)
{
    QTemporaryDir dir;
    TKVStyleLibrary lib;
    AddStyles(lib);
    lib.SetLibFile("");
    EXPECT_EQ(lib.VertexStyles.size(), 4u);
    const QString missing = dir.filePath("missing.slb");
    try {
        lib.SetLibFile(missing);
        FAIL();
    } catch (const Exception &e) {
        EXPECT_EQ(e.Message(), "Libfile " + missing.toStdString() + " not found");
    }
    EXPECT_EQ(lib.LibFile(), missing) << "the name is stored first";
    EXPECT_EQ(lib.VertexStyles.size(), 4u) << "the styles stay";

    const QString file = dir.filePath("lib.slb");
    lib.Save(file);
    TKVStyleLibrary other;
    other.SetLibFile(file);
    EXPECT_EQ(Stream(other), Stream(lib));

    // A save that cannot complete leaves the file that was there.
    const QString blocked = dir.filePath("sub");
    QDir().mkpath(blocked);
    EXPECT_THROW(lib.Save(blocked), Exception);
    EXPECT_TRUE(QFileInfo(blocked).isDir());
    EXPECT_THROW(lib.Load(dir.filePath("nothing.slb")), Exception);
}

TEST(StyleLibrary, DeleteStyleHandsTheStyleBack)
{
    TKVStyleLibrary lib;
    AddStyles(lib);
    TKVVertexStyle *b = lib.VertexStyles[1].get();
    std::unique_ptr<TKVVertexStyle> taken = lib.DeleteStyle(b);
    EXPECT_EQ(taken.get(), b);
    EXPECT_EQ(lib.VertexStyles.size(), 3u);
    EXPECT_EQ(lib.VertexStyles[1]->Name, "A");
    EXPECT_EQ(lib.DeleteStyle(b), nullptr);
    EXPECT_NE(lib.DeleteStyle(lib.EdgeStyles[0].get()), nullptr);
    EXPECT_TRUE(lib.EdgeStyles.empty());
}

} // namespace
