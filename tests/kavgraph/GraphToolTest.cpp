// kvgraph graph: files written by an independent encoder read back through dump, the text files
// through import, rendering (PNG and SVG), page counts, printing, standard output, and the errors and
// wrong command lines.

#include "ToolRun.h"

#include <QFile>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString kFixtures = FIXTURE_DIR;
const QString kSample = SAMPLE_DIR "/sample-diagram.kvg";

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
    r = RunTool({"graph", "print", graph, "-o", pdf, "--pages", "1,1", "1,1"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(Read(pdf).startsWith("%PDF"));
    EXPECT_FALSE(QFile::exists(pdf + ".printing"));
}

TEST(GraphTool, FailuresNameTheFileAndTheReason)
{
    QTemporaryDir dir;
    auto write = [&](const char *name, const QByteArray &bytes) { return WriteFile(dir.path(), name, bytes); };
    const QString graph = kFixtures + "/graph-KVF100.kvg";
    const QString mark = write("m.kvg", QByteArray("\x06\x06KVF099\x01\x00", 10));
    const QString cut = write("cut.kvg", Read(graph).left(200));
    const QString kvi = write("t.kvi", "KVI200\r\n");
    const QString missing = dir.filePath("missing.kvg");
    const struct {
        QStringList args;
        QString message; // the whole of stderr
    } cases[] = {
        {{"graph", "dump", mark}, "kvgraph: " + mark + ": Invalid file format\n"},
        {{"graph", "render", cut, "-o", dir.filePath("x.png")}, "kvgraph: " + cut + ": Stream read error\n"},
        {{"graph", "dump", missing}, "kvgraph: " + missing + ": Cannot open file: No such file or directory\n"},
        {{"graph", "dump", graph, "--slb", missing}, "kvgraph: " + missing + ": Cannot open file: No such file or directory\n"},
        {{"graph", "import", kvi, dir.filePath("o.kvg")}, "kvgraph: " + kvi + ": Invalid file format: " + kvi + "\n"},
        {{"graph", "print", graph, "-o", dir.filePath("p.pdf"), "--pages", "1,1", "9,1"},
         "kvgraph: " + graph + ": Page 9,1 is outside the diagram's 1 x 1 pages\n"},
        {{"graph", "export", graph, dir.filePath("no/such/folder.kvi")}, "kvgraph: " + dir.filePath("no/such/folder.kvi") + ": Cannot create file"},
    };
    for (const auto &c : cases) {
        const ToolResult r = RunTool(c.args);
        EXPECT_EQ(r.code, 1) << c.args.join(' ').toStdString();
        EXPECT_TRUE(QString::fromUtf8(r.err).startsWith(c.message)) << r.err.toStdString();
    }
    EXPECT_FALSE(QFile::exists(dir.filePath("x.png")));
    EXPECT_FALSE(QFile::exists(dir.filePath("p.pdf")));
}

TEST(GraphTool, WrongUsageSaysWhatInOneLine)
{
    const QString graph = kFixtures + "/graph-KVF100.kvg";
    const struct {
        QStringList args;
        const char *reason;
    } cases[] = {
        {{}, "no command given"},
        {{"graph"}, "graph: no command given"},
        {{"graph", "frobnicate"}, "unknown command 'graph frobnicate'"},
        {{"frobnicate"}, "unknown command 'frobnicate'"},
        {{"graph", "dump"}, "graph dump: FILE is missing"},
        {{"graph", "export", graph}, "graph export: OUT.kvi is missing"},
        {{"graph", "dump", graph, "extra"}, "graph dump: unexpected argument 'extra'"},
        {{"graph", "dump", graph, "--scale", "50"}, "graph dump: unknown option '--scale'"},
        {{"graph", "render", graph}, "graph render: -o OUT is missing"},
        {{"graph", "render", graph, "-o"}, "graph render: -o needs a file name"},
        {{"graph", "render", graph, "-o", "x.png", "--scale", "0"}, "--scale needs a percentage from 1 to 10000, not '0'"},
        {{"graph", "render", graph, "-o", "x.png", "--scale", "5x"}, "not '5x'"},
        {{"graph", "print", graph, "-o", "x.pdf", "--pages", "0,1"}, "COLUMN,ROW counted from 1, not '0,1'"},
        {{"graph", "print", graph, "-o", "x.pdf", "--pages"}, "--pages needs at least one page"},
        {{"slb", "render", "a.slb", "S"}, "slb render: -o OUT.png is missing"},
        {{"slb", "copy", "a.slb"}, "slb copy: OUT is missing"},
    };
    for (const auto &c : cases) {
        const ToolResult r = RunTool(c.args);
        EXPECT_EQ(r.code, 2) << c.args.join(' ').toStdString();
        EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
        EXPECT_TRUE(r.err.startsWith("kvgraph: ")) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(c.reason)) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains("kvgraph --help")) << r.err.toStdString();
    }
}

TEST(GraphTool, HelpAndVersion)
{
    ToolResult r = RunTool({"--help"});
    EXPECT_EQ(r.code, 0);
    EXPECT_TRUE(r.out.startsWith("usage: kvgraph")) << r.out.toStdString();
    EXPECT_TRUE(r.err.isEmpty());
    r = RunTool({"graph", "render", "--help"});
    EXPECT_EQ(r.code, 0);
    EXPECT_TRUE(r.out.contains("graph render IN -o"));
    r = RunTool({"--version"});
    EXPECT_EQ(r.code, 0);
    EXPECT_TRUE(QRegularExpression("^kvgraph \\d+\\.\\d+(\\.\\d+)*\n$").match(QString::fromUtf8(r.out)).hasMatch())
        << r.out.toStdString();
}

// Runs the tool with its standard output going to Out.
ToolResult RunToolInto(const QStringList &args, const QString &out)
{
    QProcess p;
    p.setStandardOutputFile(out);
    p.start(KVGRAPH_EXE, args);
    p.waitForFinished(60000);
    return {p.exitCode(), {}, p.readAllStandardError()};
}

TEST(GraphTool, DashWritesToStandardOutput)
{
    QTemporaryDir dir;
    const QString graph = kFixtures + "/graph-KVF100.kvg";
    const QString png = dir.filePath("d.png");
    ASSERT_EQ(RunTool({"graph", "render", graph, "-o", png}).code, 0);
    ToolResult r = RunTool({"graph", "render", graph, "-o", "-"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, Read(png));

    r = RunTool({"graph", "print", graph, "-o", "-", "--pages", "1,1"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.startsWith("%PDF"));
    EXPECT_TRUE(r.out.trimmed().endsWith("%%EOF"));

    r = RunTool({"graph", "export", graph, "-"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.startsWith("KVI101\r\n"));
}

// A disk that is full: what cannot be written completely is a failure, never a success.
TEST(GraphTool, AFullDiskIsAnError)
{
    if (!QFile::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full";
    const QString graph = kFixtures + "/graph-KVF100.kvg";
    const QStringList commands[] = {
        {"graph", "dump", graph},
        {"graph", "render", graph, "-o", "-"},
        {"graph", "print", graph, "-o", "-"},
        {"graph", "pages", graph},
        {"slb", "dump", kFixtures + "/shapes.slb"},
        {"--help"},
    };
    for (const QStringList &args : commands) {
        const ToolResult r = RunToolInto(args, "/dev/full");
        EXPECT_EQ(r.code, 1) << args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains("No space left on device")) << r.err.toStdString();
    }
}

TEST(GraphTool, ImportWarnsAboutStylesTheLibraryLacks)
{
    QTemporaryDir dir;
    QByteArray text = Read(kFixtures + "/graph-KVI101.kvi");
    text.replace("\r\nBox\r\n", "\r\nBoks\r\n").replace("\r\nLink\r\n", "\r\nLnk\r\n");
    const QString kvi = dir.filePath("w.kvi");
    {
        QFile f(kvi);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    const QString graph = dir.filePath("w.kvg");
    ToolResult r = RunTool({"graph", "import", kvi, graph, "--slb", kFixtures + "/shapes.slb"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(QString::fromUtf8(r.err), "kvgraph: " + kvi + ": warning: the style library has no style 'Boks'\n"
                                        "kvgraph: " + kvi + ": warning: the style library has no style 'Lnk'\n");
    EXPECT_TRUE(QFile::exists(graph));

    // The library's own names give no warning.
    r = RunTool({"graph", "import", kFixtures + "/graph-KVI101.kvi", graph, "--slb", kFixtures + "/shapes.slb"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
}

// The printed pages carry the vertices' data texts and the edges' labels, as the rendered picture does.
TEST(GraphTool, PrintHasTheDataTexts)
{
    const QString pdftotext = QStandardPaths::findExecutable("pdftotext");
    if (pdftotext.isEmpty())
        GTEST_SKIP() << "pdftotext is not installed";
    QTemporaryDir dir;
    const QString pdf = dir.filePath("d.pdf");
    ToolResult r = RunTool({"graph", "print", kSample, "-o", pdf});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    QProcess p;
    p.start(pdftotext, {pdf, "-"});
    ASSERT_TRUE(p.waitForFinished(60000));
    const QByteArray printed = p.readAllStandardOutput();
    for (const char *text : {"Start", "Checked daily", "Ship goods", "yes"})
        EXPECT_TRUE(printed.contains(text)) << text << " in\n" << printed.toStdString();
}

TEST(GraphTool, RendersSvgThatAnotherRendererReads)
{
    QTemporaryDir dir;
    const QString svg = dir.filePath("d.svg"), png = dir.filePath("d.png");
    ToolResult r = RunTool({"graph", "render", kSample, "-o", svg, "--scale", "50"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    ASSERT_EQ(RunTool({"graph", "render", kSample, "-o", png, "--scale", "50"}).code, 0);
    const QImage raster(png);
    const QByteArray bytes = Read(svg);
    EXPECT_TRUE(bytes.contains(QString("<svg width=\"%1\" height=\"%2\"").arg(raster.width()).arg(raster.height()).toUtf8()))
        << "the size of the PNG render\n" << bytes.left(300).toStdString();
    for (const char *text : {">Start<", ">Ship goods<", ">yes<"})
        EXPECT_TRUE(bytes.contains(text)) << text << ": texts stay text";

    const QString rsvg = QStandardPaths::findExecutable("rsvg-convert");
    if (rsvg.isEmpty())
        GTEST_SKIP() << "rsvg-convert is not installed";
    const QString back = dir.filePath("back.png");
    QProcess p;
    p.start(rsvg, {svg, "-o", back});
    ASSERT_TRUE(p.waitForFinished(60000));
    ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    const QImage image(back);
    ASSERT_EQ(image.size(), raster.size());
    // Drawn where the PNG is drawn: most pixels agree.
    const QImage a = image.convertToFormat(QImage::Format_RGB32), b = raster.convertToFormat(QImage::Format_RGB32);
    int same = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            same += qGray(a.pixel(x, y)) / 64 == qGray(b.pixel(x, y)) / 64;
    EXPECT_GT(same, a.width() * a.height() * 9 / 10);
}

TEST(GraphTool, AntialiasSmoothsTheRender)
{
    QTemporaryDir dir;
    const QString graph = kSample;
    const auto colours = [&](const QStringList &extra) {
        const QString png = dir.filePath("a.png");
        const ToolResult r = RunTool(QStringList{"graph", "render", graph, "-o", png} + extra);
        EXPECT_EQ(r.code, 0) << r.err.toStdString();
        QSet<QRgb> set;
        const QImage image(png);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                set.insert(image.pixel(x, y));
        return set.size();
    };
    const qsizetype plain = colours({}), smooth = colours({"--antialias"});
    EXPECT_GT(smooth, plain + 10) << "edge shades between ink and paper";
}

// A script may run kvgraph where a display platform is set but there is no display.
TEST(GraphTool, NeedsNoDisplayWhateverThePlatform)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    env.insert("QT_QPA_PLATFORM", "xcb");
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(KVGRAPH_EXE, {"graph", "render", kSample, "-o", "-"});
    p.waitForFinished(60000);
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    EXPECT_TRUE(p.readAllStandardOutput().startsWith("\x89PNG"));
}

} // namespace
