// kvgraph graph: files written by an independent encoder read back through dump, the text files
// through import, rendering, page counts, printing and the errors.

#include "../kavgraph/ToolRun.h"

#include <QFile>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString kFixtures = FIXTURE_DIR;

QJsonObject Want(const QString &name) { return QJsonDocument::fromJson(Read(kFixtures + "/" + name)).object(); }

TEST(GraphTool, DumpsGraphFilesOfBothVersions)
{
    for (const QString mark : {"KVF100", "KVF095"}) {
        const ToolResult r = RunTool({"graph", "dump", kFixtures + "/graph-" + mark + ".kvg"});
        ASSERT_EQ(r.code, 0) << r.err.toStdString();
        EXPECT_EQ(QJsonDocument::fromJson(r.out).object(), Want("graph-" + mark + ".json"))
            << mark.toStdString() << "\n" << r.out.left(3000).toStdString();
    }
}

TEST(GraphTool, ImportsTextFilesOfEveryVersionAndExportsTheCurrentOne)
{
    QTemporaryDir dir;
    const QString slb = kFixtures + "/shapes.slb";
    for (const QString mark : {"KVI095", "KVI100", "KVI101"}) {
        const QString graph = dir.filePath(mark + ".kvg");
        ToolResult r = RunTool({"graph", "import", kFixtures + "/graph-" + mark + ".kvi", graph, "--slb", slb});
        ASSERT_EQ(r.code, 0) << r.err.toStdString();
        r = RunTool({"graph", "dump", graph, "--slb", slb});
        ASSERT_EQ(r.code, 0) << r.err.toStdString();
        const QJsonObject got = QJsonDocument::fromJson(r.out).object();
        const QJsonObject want = Want("graph-" + mark + ".json");
        EXPECT_EQ(got["Vertices"], want["Vertices"]) << mark.toStdString();
        EXPECT_EQ(got["Edges"], want["Edges"]) << mark.toStdString();
    }
    // Export writes the current version; the text records read back the same.
    const QString kvi = dir.filePath("out.kvi");
    ASSERT_EQ(RunTool({"graph", "export", dir.filePath("KVI101.kvg"), kvi}).code, 0);
    QByteArray written = Read(kvi), original = Read(kFixtures + "/graph-KVI101.kvi");
    EXPECT_TRUE(written.startsWith("KVI101\r\n"));
    // Only the styled edge's label rectangle line differs: it is not read from a text file.
    EXPECT_EQ(written.count("\r\n"), original.count("\r\n"));
}

TEST(GraphTool, RendersCountsPagesAndPrints)
{
    QTemporaryDir dir;
    const QString graph = kFixtures + "/graph-KVF100.kvg";
    const QString png = dir.filePath("d.png");
    ToolResult r = RunTool({"graph", "render", graph, "-o", png, "--scale", "50"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QImage image(png);
    EXPECT_EQ(image.size(), QSize(235, 180)); // the extent (470, 360) at 50 percent

    r = RunTool({"graph", "pages", graph});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QList<QByteArray> counts = r.out.trimmed().split(' ');
    ASSERT_EQ(counts.size(), 2);
    EXPECT_GE(counts[0].toInt(), 1);

    const QString pdf = dir.filePath("d.pdf");
    r = RunTool({"graph", "print", graph, "-o", pdf, "--pages", "1,1", "2,1"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(Read(pdf).startsWith("%PDF"));
    EXPECT_FALSE(QFile::exists(pdf + ".printing"));
}

TEST(GraphTool, FailuresAndUsage)
{
    QTemporaryDir dir;
    auto write = [&](const char *name, const QByteArray &bytes) {
        QFile f(dir.filePath(name));
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return dir.filePath(name);
    };
    const struct {
        QStringList args;
        int code;
        QByteArray message;
    } cases[] = {
        {{"graph", "dump", write("m.kvg", QByteArray("\x06\x06KVF099\x01\x00", 10))}, 1, "Invalid file format"},
        {{"graph", "dump", dir.filePath("missing.kvg")}, 1, "Cannot open file"},
        {{"graph", "import", write("t.kvi", "KVI200\r\n"), dir.filePath("o.kvg")}, 1, "Invalid file format: "},
        {{"graph", "dump"}, 2, "usage"},
        {{"graph", "render", kFixtures + "/graph-KVF100.kvg"}, 2, "usage"},
        {{"graph", "print", kFixtures + "/graph-KVF100.kvg", "-o", "x.pdf", "--pages", "0,1"}, 2, "usage"},
        {{"graph", "frobnicate"}, 2, "usage"},
    };
    for (const auto &c : cases) {
        const ToolResult r = RunTool(c.args);
        EXPECT_EQ(r.code, c.code) << c.args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains(c.message)) << r.err.toStdString();
    }
}

} // namespace
