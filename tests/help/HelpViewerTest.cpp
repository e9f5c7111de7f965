// The help viewer (offscreen): pages from a folder and from a compiled help file, links, history,
// and its own failures shown in its window.

#include "browser/runtime/L1HelpViewer.h"

#include <QApplication>
#include <QLineEdit>
#include <QMainWindow>
#include <QTemporaryDir>
#include <QTextBrowser>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

// The application object lives in main: one destroyed after main returns crashes on exit.
QApplication &App() { return *static_cast<QApplication *>(QCoreApplication::instance()); }

void Write(const std::string &path, const std::string &text)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

struct Viewer : ::testing::Test {
    QTemporaryDir dir;
    std::string root;
    TL1HelpViewer viewer;
    TL1HelpDisplayer help;
    IHelpEngine *previous = nullptr;

    void SetUp() override
    {
        App();
        root = dir.path().toStdString();
        Write(root + "/Lib.topics", "source\thtml\nIDH_Unit_A\ta.html\nIDH_Class_TB\tsub/b.html#second\n"
                                    "IDH_Escape\t../../secret.html\n");
        Write(root + "/html/index.html", "<h1>Contents</h1>");
        Write(root + "/html/a.html", "<h1>Unit A</h1><p><a href=\"sub/b.html\">to b</a> banana</p>"
                                     "<p>banana again</p><img src=\"pic.png\">");
        Write(root + "/html/sub/b.html", "<h1>Class TB</h1><p><a name=\"second\">x</a><a href=\"../a.html\">back to a</a></p>");
        Write(root + "/secret.html", "TOPSECRET");
        help.SetHelpFile(0, root + "/Lib.HLP");
        previous = InstallHelpEngine(&viewer);
    }
    void TearDown() override { InstallHelpEngine(previous); }

    std::string Text() const { return viewer.Browser()->toPlainText().toStdString(); }
};

TEST_F(Viewer, JumpsShowTheMappedPageInOneReusedWindow)
{
    help.JumpToTopic("IDH_Unit_A");
    ASSERT_NE(viewer.Window(), nullptr);
    QMainWindow *window = viewer.Window();
    EXPECT_EQ(window->windowTitle(), QString("Quillmark Help - Lib"));
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(viewer.CurrentPage(), QString("a.html"));
    EXPECT_NE(Text().find("Unit A"), std::string::npos);

    help.JumpToTopic("IDH_Class_TB");
    EXPECT_EQ(viewer.Window(), window);
    EXPECT_EQ(viewer.CurrentPage(), QString("sub/b.html#second"));
    EXPECT_NE(Text().find("Class TB"), std::string::npos);
}

TEST_F(Viewer, LinksHistoryHomeAndFind)
{
    help.JumpToTopic("IDH_Unit_A");
    emit viewer.Browser()->anchorClicked(QUrl("sub/b.html"));
    EXPECT_EQ(viewer.CurrentPage(), QString("sub/b.html"));
    emit viewer.Browser()->anchorClicked(QUrl("../a.html"));
    EXPECT_EQ(viewer.CurrentPage(), QString("a.html"));
    viewer.Browser()->backward();
    EXPECT_EQ(viewer.CurrentPage(), QString("sub/b.html"));
    viewer.Browser()->forward();
    EXPECT_EQ(viewer.CurrentPage(), QString("a.html"));

    viewer.FindBox()->setText("banana");
    emit viewer.FindBox()->returnPressed();
    EXPECT_EQ(viewer.Browser()->textCursor().selectedText(), QString("banana"));

    for (QAction *a : viewer.Window()->findChildren<QAction *>())
        if (a->text() == "Home")
            a->trigger();
    EXPECT_EQ(viewer.CurrentPage(), QString("index.html"));
}

TEST_F(Viewer, ItsOwnFailuresAreShownInTheWindow)
{
    help.JumpToTopic("IDH_Unit_Nowhere");
    EXPECT_NE(Text().find("The topic IDH_Unit_Nowhere does not exist in Lib."), std::string::npos);
    EXPECT_EQ(viewer.CurrentPage(), QString());

    // A page path cannot leave the source.
    help.JumpToTopic("IDH_Escape");
    EXPECT_EQ(Text().find("TOPSECRET"), std::string::npos);
    EXPECT_NE(Text().find("is missing from the help source"), std::string::npos);

    help.SetHelpFile(0, root + "/Missing.HLP");
    help.JumpToTopic("IDH_Unit_A");
    EXPECT_NE(Text().find("The help file " + root + "/Missing.HLP is not available on this system."), std::string::npos);
    EXPECT_NE(Text().find(root + "/Missing.topics"), std::string::npos);

    Write(root + "/Old.HLP", std::string("\x3F\x5F\x03\x00rest", 8));
    help.SetHelpFile(0, root + "/Old.HLP");
    help.JumpToTopic("IDH_Unit_A");
    EXPECT_NE(Text().find("is a Windows help file"), std::string::npos);

    Write(root + "/NoSource.topics", "source\tgone.chm\nIDH_Unit_A\ta.html\n");
    help.SetHelpFile(0, root + "/NoSource.HLP");
    help.JumpToTopic("IDH_Unit_A");
    EXPECT_NE(Text().find("is not available on this system"), std::string::npos);
    EXPECT_NE(Text().find("gone.chm does not exist"), std::string::npos);

    Write(root + "/Bad.topics", "IDH_Unit_A\ta.html\n");
    help.SetHelpFile(0, root + "/Bad.HLP");
    help.JumpToTopic("IDH_Unit_A");
    EXPECT_NE(Text().find("line 1 does not name the help source"), std::string::npos);
    EXPECT_EQ(viewer.Window()->windowTitle(), QString("Quillmark Help - Bad"));
}

TEST_F(Viewer, CompiledHelpPagesOpen)
{
    std::string chm;
    std::error_code ec;
    for (const auto &d : std::filesystem::directory_iterator("/usr/share/doc/lazarus", ec))
        if (std::filesystem::exists(d.path() / "lcl.chm"))
            chm = (d.path() / "lcl.chm").string();
    if (chm.empty())
        GTEST_SKIP() << "lazarus-doc is not installed";
    Write(root + "/Lcl.topics", "source\t" + chm + "\nIDH_Unit_Forms\tforms/index.html\n");
    help.SetHelpFile(0, root + "/Lcl.HLP");
    help.JumpToTopic("IDH_Unit_Forms");
    EXPECT_NE(Text().find("Forms"), std::string::npos);
    EXPECT_GT(Text().size(), 200u);
    for (QAction *a : viewer.Window()->findChildren<QAction *>())
        if (a->text() == "Home")
            a->trigger();
    EXPECT_EQ(viewer.CurrentPage(), QString("index.html"));
}

TEST(SampleTopics, EveryPageOfTheSampleMapIsInTheInstalledHelp)
{
    const std::string mapPath = VD_SOURCE_DIR "/samples/lcl.topics";
    const THelpTopicMap map = ReadHelpTopicMap(mapPath);
    const std::string source = ResolveHelpSource(mapPath, map.source);
    if (!std::filesystem::exists(source))
        GTEST_SKIP() << source << " is not installed";
    const std::unique_ptr<THelpSource> help = OpenHelpSource(source);
    ASSERT_GT(map.topics.size(), 10000u);
    int missing = 0;
    for (const auto &[context, page] : map.topics) {
        const std::string file = page.substr(0, page.find('#'));
        if (!help->Read(QString::fromStdString(file)))
            ++missing;
    }
    EXPECT_EQ(missing, 0);
    EXPECT_EQ(help->HomePage(), QString("index.html"));
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
