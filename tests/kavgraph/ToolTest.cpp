// kvgraph slb: libraries written by an independent encoder in every version, the bytes written by
// copy, errors and exit codes, and a rendered preview.

#include "kavgraph/KVStream.h"

#include "ToolRun.h"

#include <QFile>
#include <QImage>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString kFixtures = FIXTURE_DIR;
const QStringList kVersions = {"SL0.95", "SL1.00", "SL1.01", "SL1.02", "SL1.03"};

TEST(Tool, DumpsLibrariesOfEveryVersion)
{
    for (const QString &v : kVersions) {
        const ToolResult r = RunTool({"slb", "dump", kFixtures + "/lib-" + v + ".slb"});
        ASSERT_EQ(r.code, 0) << r.err.toStdString();
        const QJsonDocument got = QJsonDocument::fromJson(r.out);
        const QJsonDocument want = QJsonDocument::fromJson(Read(kFixtures + "/lib-" + v + ".json"));
        ASSERT_FALSE(want.isNull());
        EXPECT_EQ(got, want) << v.toStdString() << "\n" << r.out.left(2000).toStdString();
    }
}

TEST(Tool, CopyWritesTheCurrentVersionByteForByte)
{
    QTemporaryDir dir;
    for (const QString &v : kVersions) {
        const QString out = dir.filePath("copy-" + v + ".slb");
        const ToolResult r = RunTool({"slb", "copy", kFixtures + "/lib-" + v + ".slb", out});
        ASSERT_EQ(r.code, 0) << r.err.toStdString();
        EXPECT_EQ(Read(out), Read(kFixtures + "/lib-" + v + ".copy.slb")) << v.toStdString();
    }
}

TEST(Tool, FailuresAndUsage)
{
    QTemporaryDir dir;
    auto write = [&](const char *name, const QByteArray &bytes) { return WriteFile(dir.path(), name, bytes); };
    const QByteArray good = Read(kFixtures + "/lib-SL1.03.slb");
    const struct {
        QStringList args;
        int code;
        const char *message;
    } cases[] = {
        {{"slb", "dump", write("v.slb", QByteArray("\x06\x06SL1.04\x06\x00\x01\x00\x01\x00", 14))}, 1,
         "Invalid File Format"},
        {{"slb", "dump", write("t.slb", good.left(good.size() / 2))}, 1, "Stream read error"},
        {{"slb", "dump", write("w.slb", QByteArray("\x06\x06SL1.03\x06\x00\x02\x00", 12))}, 1,
         "Invalid property value"},
        {{"slb", "render", kFixtures + "/lib-SL1.03.slb", "Nothing", "-o", dir.filePath("x.png")}, 1,
         "Style not found: Nothing"},
        {{"slb", "dump"}, 2, "slb dump: FILE is missing"},
        {{"slb", "render", "a.slb", "S"}, 2, "slb render: -o OUT.png is missing"},
        {{"slb", "frobnicate"}, 2, "unknown command 'slb frobnicate'"},
    };
    for (const auto &c : cases) {
        const ToolResult r = RunTool(c.args);
        EXPECT_EQ(r.code, c.code) << c.args.join(' ').toStdString();
        // A failure names its file; a wrong command line says what was wrong.
        const QString file = c.code == 1 ? c.args[2] + ": " : QString();
        EXPECT_TRUE(QString::fromUtf8(r.err).startsWith("kvgraph: " + file + c.message)) << r.err.toStdString();
    }
}

TEST(Tool, RendersPreviewsOfVertexAndEdgeStyles)
{
    QTemporaryDir dir;
    for (auto [style, scale] : {std::pair{"Process", "100"}, std::pair{"Flow", "200"}}) {
        const QString png = dir.filePath(QString(style) + ".png");
        const ToolResult r = RunTool({"slb", "render", kFixtures + "/lib-SL1.03.slb", style, "-o", png, "--scale", scale});
        ASSERT_EQ(r.code, 0) << r.err.toStdString();
        const QImage image(png);
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.pixel(0, 0), 0xFFFFFFFFu) << "white margin";
        EXPECT_GT(image.width(), 100) << style;
        EXPECT_LT(image.width(), 1000) << style;
    }
}

} // namespace
