// The main window: library files and the ask-to-save guard, styles and items from the tree, the
// name counters, the views, zoom limits, undo and the settings store.

#include "OrnamoTestUtil.h"

#include "kavgraph/KVActors.h"
#include "kavgraph/KVObjsBox.h"
#include "ornamo/uLibraryProps.h"
#include "ornamo/uVertexStyleProps.h"
#include "platform/ui/Settings.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QSpinBox>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QUndoStack>

#include <memory>

namespace ornamo {
namespace {

class MainWindowTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(fDir.isValid());
        OpenSettings("Software\\Kavgraph\\Ornamo\\Window")->remove("");
        Main = std::make_unique<TfrmMain>(TemplatePath());
        Main->resize(900, 640);
    }
    void TearDown() override
    {
        // Nothing is left to ask about when the window goes.
        Main->UndoStack->setClean();
    }
    QString Copy(const QString &name)
    {
        const QString to = fDir.filePath(name);
        QFile::remove(to);
        EXPECT_TRUE(QFile::copy(TemplatePath(), to));
        QFile::setPermissions(to, QFile::ReadOwner | QFile::WriteOwner);
        return to;
    }
    QString Path(const QString &name) const { return fDir.filePath(name); }
    QByteArray Bytes(const QString &name) const
    {
        QFile f(name);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        return f.readAll();
    }
    QStringList StyleNames(QTreeWidgetItem *group) const
    {
        QStringList names;
        for (int i = 0; group && i < group->childCount(); ++i)
            names << group->child(i)->text(0);
        return names;
    }

    TScriptedUI UI;
    QTemporaryDir fDir;
    std::unique_ptr<TfrmMain> Main;
};

TEST_F(MainWindowTest, StartsWithoutALibraryAndTheTemplateLoaded)
{
    EXPECT_TRUE(UI.Errors.isEmpty());
    EXPECT_EQ(Main->TemplateLib.LibraryName, "Ornamo templates");
    EXPECT_FALSE(Main->HasLibrary());
    EXPECT_EQ(Main->tvLibrary->topLevelItemCount(), 0);
    for (QAction *a : {Main->acSave, Main->acSaveAs, Main->acClose, Main->acNewVertexStyle, Main->acNewEdgeStyle,
                       Main->acCopyStyle, Main->acDeleteStyle, Main->tbSaveLibrary, Main->tbDeleteStyle})
        EXPECT_FALSE(a->isEnabled()) << a->objectName().toStdString();
    EXPECT_EQ(Main->windowTitle(), "Kavgraph - Style Library Editor V1.00 beta");
}

TEST_F(MainWindowTest, AMissingTemplateIsReportedAndTheEditorGoesOn)
{
    TfrmMain other(Path("nowhere/Template.SLB"));
    ASSERT_EQ(UI.Errors, QStringList{"Template library could not be loaded"});
    EXPECT_TRUE(other.TemplateLib.VertexStyles.empty());
    other.NewLibrary();
    EXPECT_TRUE(other.HasLibrary());
    other.UndoStack->setClean();
}

TEST_F(MainWindowTest, NewOpenCloseSetTheStateAndTheModifiedFlag)
{
    Main->NewLibrary();
    EXPECT_EQ(Main->SL().LibraryName, "<untitled>");
    EXPECT_EQ(Main->StatusFile->text(), "<untitled>");
    EXPECT_TRUE(Main->Modified());
    EXPECT_TRUE(Main->StatusModified->Modified);
    EXPECT_TRUE(Main->acSave->isEnabled());
    EXPECT_FALSE(Main->acCopyStyle->isEnabled());
    EXPECT_EQ(TreeTexts(*Main), (QStringList{"<untitled>", "  Vertex Styles", "  Edge Styles"}));

    UI.Answers = {TAnswer::No};
    const QString file = Copy("lib.slb");
    UI.FileNames = {file};
    Main->OpenLibrary();
    EXPECT_EQ(UI.Questions.size(), 1);
    EXPECT_EQ(Main->SL().LibraryName, "Ornamo templates");
    EXPECT_EQ(Main->StatusFile->text(), file);
    EXPECT_FALSE(Main->Modified());
    EXPECT_EQ(Main->RecentFiles.value(0), file);
    EXPECT_EQ(StyleNames(Main->VertexStylesNode()),
              (QStringList{"Shapes", "Frames", "Texts", "Pictures", "Decision", "Plain"}));

    Main->CloseLibrary();
    EXPECT_FALSE(Main->HasLibrary());
    EXPECT_FALSE(Main->Modified());
    EXPECT_EQ(Main->tvLibrary->topLevelItemCount(), 0);
    EXPECT_TRUE(Main->StatusFile->text().isEmpty());
    EXPECT_FALSE(Main->acNewVertexStyle->isEnabled());
    EXPECT_TRUE(Main->kvbContents->Vertices.empty());
}

TEST_F(MainWindowTest, CountersNameNewStylesAndRestartAfterOpenAndNew)
{
    ASSERT_TRUE(Main->OpenFile(Copy("lib.slb")));
    Main->NewVertexStyle();
    Main->NewVertexStyle();
    Main->NewEdgeStyle();
    EXPECT_EQ(StyleNames(Main->VertexStylesNode()).mid(6), (QStringList{"untitled1", "untitled2"}));
    EXPECT_EQ(StyleNames(Main->EdgeStylesNode()).mid(5), QStringList{"untitled1"});
    EXPECT_EQ(Main->CurrentNode()->text(0), "untitled1");
    EXPECT_EQ(Main->CurrentNode()->parent(), Main->EdgeStylesNode());

    UI.Answers = {TAnswer::No};
    Main->NewLibrary();
    Main->NewVertexStyle();
    EXPECT_EQ(StyleNames(Main->VertexStylesNode()), QStringList{"untitled1"});

    UI.Answers = {TAnswer::No};
    ASSERT_TRUE(Main->OpenFile(Path("lib.slb")));
    Main->NewVertexStyle();
    EXPECT_EQ(StyleNames(Main->VertexStylesNode()).last(), "untitled1");
}

TEST_F(MainWindowTest, AddingItemsNamesThemByCountAndMarksTheLibrary)
{
    ASSERT_TRUE(Main->OpenFile(Copy("lib.slb")));
    // "Plain" has no items; adding on the group node and then on the new item node.
    Main->SelectNode(NodeByTexts(*Main, {"Vertex Styles", "Plain", "Draw Items"}));
    Main->AddToNode();
    EXPECT_TRUE(Main->Modified());
    Main->AddToNode();
    Main->SelectNode(NodeByTexts(*Main, {"Vertex Styles", "Plain", "Data Items"}));
    Main->AddToNode();
    Main->SelectNode(NodeByTexts(*Main, {"Vertex Styles", "Plain", "Bitmap Items"}));
    Main->AddToNode();
    const TKVVertexStyle &plain = *Main->SL().VertexStyles[5];
    ASSERT_EQ(plain.DrawItems.size(), 2u);
    EXPECT_EQ(plain.DrawItems[0]->Name, "untitled0");
    EXPECT_EQ(plain.DrawItems[1]->Name, "untitled1");
    EXPECT_EQ(plain.DataItems.at(0)->Name, "untitled0");
    EXPECT_EQ(plain.BitmapItems.at(0)->Name, "untitled0");
    EXPECT_EQ(StyleNames(NodeByTexts(*Main, {"Vertex Styles", "Plain", "Draw Items"})),
              (QStringList{"untitled0", "untitled1"}));
    // The contents sample shows the new items (the vertex holds its own copy of the style).
    auto *sample = dynamic_cast<TKVVertex *>(Main->kvbContents->Vertices.at(5));
    ASSERT_TRUE(sample);
    EXPECT_EQ(sample->Style.DrawItems.size(), 2u);
}

TEST_F(MainWindowTest, CopyOnAnyNodeCopiesTheOwningStyle)
{
    ASSERT_TRUE(Main->OpenFile(Copy("lib.slb")));
    Main->SelectNode(NodeByTexts(*Main, {"Vertex Styles", "Texts", "Data Items", "Lines"}));
    Main->CopyStyle();
    ASSERT_EQ(Main->SL().VertexStyles.size(), 7u);
    const TKVVertexStyle &copy = *Main->SL().VertexStyles.back();
    EXPECT_EQ(copy.Name, "Copy of Texts");
    EXPECT_EQ(copy.DataItems.size(), 4u);
    EXPECT_EQ(Main->CurrentNode()->text(0), "Copy of Texts");
    EXPECT_TRUE(Main->Modified());

    Main->SelectNode(NodeByTexts(*Main, {"Edge Styles", "Labelled"}));
    Main->CopyStyleCommand();
    EXPECT_EQ(Main->SL().EdgeStyles.back()->Name, "Copy of Labelled");
    EXPECT_EQ(Main->SL().EdgeStyles.back()->Data, "label");
}

TEST_F(MainWindowTest, DeleteAsksAndRemovesOnlyOnYes)
{
    ASSERT_TRUE(Main->OpenFile(Copy("lib.slb")));
    Main->SelectNode(NodeByTexts(*Main, {"Vertex Styles", "Texts", "Data Items", "Title"}));
    Main->DeleteNode();
    EXPECT_EQ(UI.Questions.last(), "Really delete data item ?");
    EXPECT_EQ(Main->SL().VertexStyles[2]->DataItems.size(), 4u);
    EXPECT_FALSE(Main->Modified());

    UI.Confirmations = {true, true};
    Main->DeleteNode();
    EXPECT_EQ(Main->SL().VertexStyles[2]->DataItems.size(), 3u);
    EXPECT_FALSE(NodeByTexts(*Main, {"Vertex Styles", "Texts", "Data Items", "Title"}));
    EXPECT_TRUE(Main->Modified());

    // "Delete Style" on an item node deletes its style.
    Main->SelectNode(NodeByTexts(*Main, {"Vertex Styles", "Pictures", "Bitmap Items", "Gear"}));
    EXPECT_TRUE(Main->tbDeleteStyle->isEnabled());
    Main->DeleteStyleCommand();
    EXPECT_EQ(UI.Questions.last(), "Really delete vertex style ?");
    EXPECT_EQ(StyleNames(Main->VertexStylesNode()), (QStringList{"Shapes", "Frames", "Texts", "Decision", "Plain"}));
    EXPECT_EQ(Main->kvbContents->Vertices.size(), 5u + 2 * 5);
}

TEST_F(MainWindowTest, SelectionTableSetsCommandsAndPreview)
{
    ASSERT_TRUE(Main->OpenFile(Copy("lib.slb")));
    struct Case {
        QStringList path;
        bool edit, add, deleteCopy, styleCommands;
        std::size_t previewVertices, previewEdges;
    } cases[] = {
        {{}, true, false, false, false, 0, 0},
        {{"Vertex Styles"}, false, true, false, false, 0, 0},
        {{"Edge Styles"}, false, true, false, false, 0, 0},
        {{"Vertex Styles", "Texts"}, true, true, true, true, 1, 0},
        {{"Vertex Styles", "Texts", "Draw Items"}, false, true, false, true, 1, 0},
        {{"Vertex Styles", "Texts", "Draw Items", "Card"}, true, true, true, true, 1, 0},
        {{"Edge Styles", "Dashed"}, true, true, true, true, 2, 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.path.join('/').toStdString());
        Main->SelectNode(NodeByTexts(*Main, c.path));
        EXPECT_EQ(Main->acEdit->isEnabled(), c.edit);
        EXPECT_EQ(Main->acAdd->isEnabled(), c.add);
        EXPECT_EQ(Main->acDelete->isEnabled(), c.deleteCopy);
        EXPECT_EQ(Main->acCopy->isEnabled(), c.deleteCopy);
        EXPECT_EQ(Main->acCopyStyle->isEnabled(), c.styleCommands);
        EXPECT_EQ(Main->acDeleteStyle->isEnabled(), c.styleCommands);
        EXPECT_EQ(Main->KVB->Vertices.size(), c.previewVertices);
        EXPECT_EQ(Main->KVB->Edges.size(), c.previewEdges);
    }
    // The contents view selects the sample of the selected style.
    Main->SelectNode(NodeByTexts(*Main, {"Edge Styles", "Dashed"}));
    ASSERT_EQ(Main->kvbContents->Selection.size(), 1u);
    EXPECT_EQ(static_cast<TKVEdge *>(Main->kvbContents->Selection[0])->Style.Name, "Dashed");
}

TEST_F(MainWindowTest, ContentsViewHasASamplePerStyleAndClicksSelectTheStyle)
{
    ASSERT_TRUE(Main->OpenFile(Copy("lib.slb")));
    // A vertex per vertex style left to right, two plain vertices and an edge per edge style.
    ASSERT_EQ(Main->kvbContents->Vertices.size(), 6u + 2 * 5);
    ASSERT_EQ(Main->kvbContents->Edges.size(), 5u);
    auto *first = static_cast<TKVVertex *>(Main->kvbContents->Vertices[0]);
    EXPECT_EQ(first->Style.Name, "Shapes");
    EXPECT_EQ(first->Bounds.Left, 30);
    EXPECT_EQ(first->Bounds.Top, 50 - 40);
    auto *second = static_cast<TKVVertex *>(Main->kvbContents->Vertices[1]);
    EXPECT_EQ(second->Bounds.Left, first->Bounds.Right + 10 + 30);

    // Two styles of the same name: a click selects the one its sample shows.
    Main->SL().VertexStyles[4]->Name = "Texts";
    Main->Rebuild();
    Main->ContentsActor->Current = Main->kvbContents->Vertices[4];
    Main->ContentsClicked();
    EXPECT_EQ(Main->CurrentNode(), Main->VertexStylesNode()->child(4));
    Main->ContentsActor->Current = Main->kvbContents->Edges[3];
    Main->ContentsClicked();
    EXPECT_EQ(Main->CurrentNode()->text(0), "Labelled");
    EXPECT_EQ(Main->KVB->Edges.size(), 1u);
    // An end vertex of an edge sample selects that edge's style.
    Main->ContentsActor->Current = static_cast<TKVCustomEdge *>(Main->kvbContents->Edges[1])->Source;
    Main->ContentsClicked();
    EXPECT_EQ(Main->CurrentNode()->text(0), "Two-way");
}

TEST_F(MainWindowTest, ZoomStaysBetween25And400)
{
    Main->KVB->SetScale(375);
    Main->ZoomIn();
    EXPECT_EQ(Main->KVB->Scale(), 400);
    Main->ZoomIn();
    EXPECT_EQ(Main->KVB->Scale(), 400);
    for (int i = 0; i < 20; ++i)
        Main->ZoomOut();
    EXPECT_EQ(Main->KVB->Scale(), 25);
}

TEST_F(MainWindowTest, AskToSaveGuardsQuitAndTheWindowsCloseButton)
{
    Main->show();
    Main->NewLibrary();
    // Cancel: the program stays open.
    EXPECT_FALSE(Main->close());
    EXPECT_TRUE(Main->isVisible());
    EXPECT_EQ(UI.Questions.last(), "Current library has changed.\nDo you want to save changes first?");
    Main->Quit();
    EXPECT_TRUE(Main->isVisible());
    EXPECT_EQ(UI.Questions.size(), 2);

    // Yes on a library without a file name runs Save as; cancelling it keeps the program open.
    UI.Answers = {TAnswer::Yes};
    EXPECT_FALSE(Main->close());
    EXPECT_TRUE(Main->Modified());

    UI.Answers = {TAnswer::Yes};
    UI.FileNames = {Path("saved.slb")};
    EXPECT_TRUE(Main->close());
    EXPECT_FALSE(Main->Modified());
    EXPECT_TRUE(QFile::exists(Path("saved.slb")));
}

TEST_F(MainWindowTest, AFailedOpenKeepsTheLibraryAsItWas)
{
    ASSERT_TRUE(Main->OpenFile(Copy("lib.slb")));
    Main->NewVertexStyle();
    const std::string before = Main->Snapshot();
    const QStringList tree = TreeTexts(*Main);
    const std::size_t samples = Main->kvbContents->Vertices.size();

    QFile bad(Path("bad.slb"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    QByteArray truncated = Bytes(TemplatePath()).left(700);
    bad.write(truncated);
    bad.close();
    const QStringList failing[] = {{Path("bad.slb")}, {Path("missing.slb")}};
    for (const QStringList &names : failing) {
        UI.Answers = {TAnswer::No};
        UI.FileNames = {names[0]};
        UI.Errors.clear();
        Main->OpenLibrary();
        EXPECT_EQ(UI.Errors.size(), 1);
        EXPECT_EQ(Main->Snapshot(), before);
        EXPECT_EQ(TreeTexts(*Main), tree);
        EXPECT_EQ(Main->kvbContents->Vertices.size(), samples);
        EXPECT_EQ(Main->SL().LibFile(), Path("lib.slb"));
        EXPECT_EQ(Main->StatusFile->text(), Path("lib.slb"));
        EXPECT_TRUE(Main->Modified());
        EXPECT_EQ(Main->RecentFiles.size(), 1);
    }
    EXPECT_EQ(UI.Errors.last(), "Libfile " + Path("missing.slb") + " not found");
}

TEST_F(MainWindowTest, SaveWithoutAFileNameRunsSaveAsAndWritesWhatTheToolReads)
{
    Main->NewLibrary();
    Main->NewVertexStyle();
    Main->SelectNode(NodeByTexts(*Main, {"Vertex Styles", "untitled1", "Data Items"}));
    Main->AddToNode();
    UI.FileNames = {Path("new.slb")};
    EXPECT_TRUE(Main->Save());
    EXPECT_TRUE(UI.Errors.isEmpty());
    EXPECT_FALSE(Main->Modified());
    EXPECT_EQ(Main->SL().LibFile(), Path("new.slb"));
    EXPECT_EQ(Main->StatusFile->text(), Path("new.slb"));

    QProcess tool;
    tool.start(KVGRAPH_EXE, {"slb", "dump", Path("new.slb")});
    ASSERT_TRUE(tool.waitForFinished(60000));
    EXPECT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
    const QByteArray dump = tool.readAllStandardOutput();
    EXPECT_TRUE(dump.contains("\"LibraryName\": \"<untitled>\""));
    EXPECT_TRUE(dump.contains("\"Name\": \"untitled0\""));

    // A library opened and saved again is byte for byte what the independent encoder wrote.
    ASSERT_TRUE(Main->OpenFile(Copy("again.slb")));
    Main->NewVertexStyle();
    UI.Confirmations = {true};
    Main->SelectNode(Main->VertexStylesNode()->child(6));
    Main->DeleteNode();
    EXPECT_TRUE(Main->Save());
    EXPECT_EQ(Bytes(Path("again.slb")), Bytes(TemplatePath()));
}

TEST_F(MainWindowTest, AFailedSaveKeepsTheChangesMarked)
{
    ASSERT_TRUE(Main->OpenFile(Copy("lib.slb")));
    Main->NewEdgeStyle();
    QDir().mkdir(Path("dir"));
    UI.FileNames = {Path("dir")};
    EXPECT_FALSE(Main->SaveAs());
    EXPECT_EQ(UI.Errors.size(), 1);
    EXPECT_TRUE(Main->Modified());
    EXPECT_EQ(Main->SL().LibFile(), Path("lib.slb"));
}

TEST_F(MainWindowTest, UndoAndRedoEveryChangeAndUndoToTheSavedStateClearsTheMark)
{
    ASSERT_TRUE(Main->OpenFile(Copy("lib.slb")));
    const std::string opened = Main->Snapshot();
    Main->NewVertexStyle();
    Main->SelectNode(NodeByTexts(*Main, {"Vertex Styles", "untitled1", "Draw Items"}));
    Main->AddToNode();
    UI.Confirmations = {true};
    Main->SelectNode(NodeByTexts(*Main, {"Edge Styles", "Arrow"}));
    Main->DeleteNode();
    // Library name through its dialog.
    UI.OnExec = [](QDialog &d) {
        static_cast<TfrmLibraryProps &>(d).edName->setText("Renamed");
        return QDialog::Accepted;
    };
    Main->SelectNode(Main->tvLibrary->topLevelItem(0));
    Main->EditNode();
    EXPECT_EQ(Main->tvLibrary->topLevelItem(0)->text(0), "Renamed");
    const std::string changed = Main->Snapshot();
    EXPECT_EQ(Main->UndoStack->count(), 4);

    for (int i = 0; i < 4; ++i)
        Main->UndoStack->undo();
    EXPECT_EQ(Main->Snapshot(), opened);
    EXPECT_FALSE(Main->Modified());
    EXPECT_EQ(Main->tvLibrary->topLevelItem(0)->text(0), "Ornamo templates");
    EXPECT_EQ(StyleNames(Main->EdgeStylesNode()).first(), "Arrow");

    for (int i = 0; i < 4; ++i)
        Main->UndoStack->redo();
    EXPECT_EQ(Main->Snapshot(), changed);
    EXPECT_TRUE(Main->Modified());

    EXPECT_TRUE(Main->Save());
    Main->UndoStack->undo();
    EXPECT_TRUE(Main->Modified());
    Main->UndoStack->redo();
    EXPECT_FALSE(Main->Modified());
}

TEST_F(MainWindowTest, AcceptedEditsReachTheTreeTheViewsAndTheFlag)
{
    ASSERT_TRUE(Main->OpenFile(Copy("lib.slb")));
    Main->SelectNode(NodeByTexts(*Main, {"Vertex Styles", "Decision"}));
    UI.OnExec = [](QDialog &d) {
        auto &dialog = static_cast<TfrmVertexStyleProps &>(d);
        dialog.edName->setText("Choice");
        dialog.edWidth->setValue(200);
        return QDialog::Accepted;
    };
    Main->EditNode();
    EXPECT_EQ(Main->SL().VertexStyles[4]->Name, "Choice");
    EXPECT_EQ(Main->CurrentNode()->text(0), "Choice");
    EXPECT_TRUE(Main->Modified());
    auto *preview = static_cast<TKVVertex *>(Main->KVB->Vertices.at(0));
    EXPECT_EQ(preview->Style.Width, 200);
    auto *sample = static_cast<TKVVertex *>(Main->kvbContents->Vertices.at(4));
    EXPECT_EQ(sample->Style.Name, "Choice");
}

TEST_F(MainWindowTest, SavePreviewWritesPngOrSvgByExtension)
{
    ASSERT_TRUE(Main->OpenFile(Copy("lib.slb")));
    Main->SelectNode(NodeByTexts(*Main, {"Vertex Styles", "Shapes"}));
    ASSERT_TRUE(Main->SavePreviewTo(Path("p.png")));
    ASSERT_TRUE(Main->SavePreviewTo(Path("p.svg")));
    EXPECT_TRUE(Bytes(Path("p.png")).startsWith("\x89PNG"));
    EXPECT_TRUE(Bytes(Path("p.svg")).contains("<svg"));
    QImage picture(Path("p.png"));
    EXPECT_EQ(picture.size(), Main->KVB->size());
}

TEST_F(MainWindowTest, WindowStateAndRecentFilesPersist)
{
    const QString file = Copy("recent.slb");
    ASSERT_TRUE(Main->OpenFile(file));
    Main->acShowContents->setChecked(false);
    Main->SetShownButtons({Main->tbOpenLibrary, Main->tbAbout});
    Main->SaveSettings();

    TfrmMain again(TemplatePath());
    EXPECT_EQ(again.RecentFiles.value(0), file);
    EXPECT_FALSE(again.acShowContents->isChecked());
    EXPECT_EQ(again.ShownButtons(), (QList<QAction *>{again.tbOpenLibrary, again.tbAbout}));
    // A recent entry opens its file.
    again.mnRecent->actions().at(0)->trigger();
    EXPECT_EQ(again.SL().LibraryName, "Ornamo templates");
    again.UndoStack->setClean();
}

} // namespace
} // namespace ornamo
