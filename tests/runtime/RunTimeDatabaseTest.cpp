#include "browser/runtime/L1Quillmark_RunTimeDatabase.h"
#include "platform/core/Prompts.h"
#include "tests/runtime/RuntimeFixture.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace fixture;

namespace {

std::vector<std::string> Strings(const TStringList &list)
{
    std::vector<std::string> out;
    for (const TStringList::Entry &e : list.Items())
        out.push_back(e.str);
    return out;
}

// Opens the file through a facade of its own and returns the class's diagram the way the
// browser asks for it: attach, read, close.
struct Browser {
    TvdQuillmarkBrowser facade;

    explicit Browser(const std::string &path) { facade.OpenDatabase(path); }
    TL1Quillmark_RunTimeDatabase &Db() { return *facade.RunTimeDb(); }
    TvdTreeDiagram *Diagram(const std::string &className, bool horizontal)
    {
        Db().EnsureAttached(false);
        TvdTreeDiagram *diagram = Db().GetTreeDiagram(className, horizontal);
        Db().Close();
        return diagram;
    }
};

TEST(RunTimeDatabase, AcceptsMajorVersionFiveAndNewer)
{
    TempDir dir;
    for (int32_t major : {4, 5, 6}) {
        std::string path = WriteSample(dir, "v" + std::to_string(major) + ".qmk",
                                       [major](QmkDatabase &db) { db.majorVersion = major; });
        ScriptedPrompts prompts;
        PromptsGuard guard(prompts);
        TvdQuillmarkBrowser browser;
        if (major < 5) {
            EXPECT_THROW(browser.OpenDatabase(path), EAbort);
            ASSERT_EQ(prompts.shown.size(), 1u);
            EXPECT_EQ(prompts.shown[0].text,
                      "This program tried to attach to an old version of database (Quillmark Runtime Database). "
                      "Please rebuild this database with the appropriate tool/application before trying to attach "
                      "to/open it again.");
        } else {
            browser.OpenDatabase(path);
            EXPECT_EQ(browser.GetSymbolTable()->ClassCount(), 4) << major;
            EXPECT_TRUE(prompts.shown.empty());
        }
    }
}

TEST(RunTimeDatabase, MissingFileFailsAndCreatesNothing)
{
    TempDir dir;
    for (std::string path : {dir.File("missing.qmk"), dir.File("no/such/folder/missing.qmk")}) {
        ScriptedPrompts prompts;
        PromptsGuard guard(prompts);
        TvdQuillmarkBrowser browser;
        try {
            browser.OpenDatabase(path);
            ADD_FAILURE() << "opened " << path;
        } catch (const E_VDPersistentObjects &e) {
            EXPECT_EQ(e.Message(),
                      "The Persistent Objects System couldn't attach to the Structured Storage Database file: " + path);
        }
        EXPECT_TRUE(prompts.shown.empty());
        EXPECT_FALSE(Exists(path));
        EXPECT_FALSE(Exists(dir.File("no")));
        EXPECT_FALSE(browser.RunTimeDb()->IsAttached());
    }
}

TEST(RunTimeDatabase, OpenLoadsTheTableAndReleasesTheFile)
{
    TempDir dir;
    std::string path = WriteSample(dir);
    TvdQuillmarkBrowser browser;
    EXPECT_EQ(browser.GetSymbolTable()->UnitCount(), 0);
    browser.OpenDatabase(path);
    EXPECT_FALSE(browser.RunTimeDb()->IsAttached());
    EXPECT_EQ(browser.GetSymbolTable()->Name, "TestLibrary");
    EXPECT_EQ(browser.GetSymbolTable()->RoutineCount(), 5);
    // Closed: another open may take the file read-write.
    EXPECT_NO_THROW(TvdStorage::OpenStorageFile(path, vdModeReadWrite));

    // A failed open leaves a new database without a table, and the file is released too.
    std::string broken = WriteSample(dir, "broken.qmk");
    TvdStorage::OpenStorageFile(broken, vdModeReadWrite)
        ->CreateStream(vdSymbolTableStreamName, vdModeCreateReadWrite)
        ->WriteInteger(5);
    EXPECT_THROW(browser.OpenDatabase(broken), Exception);
    EXPECT_EQ(browser.GetSymbolTable(), nullptr);
    EXPECT_FALSE(browser.RunTimeDb()->IsAttached());
}

TEST(RunTimeDatabase, DiagramCacheIsKeyedByOrientationAndRequestedClass)
{
    TempDir dir;
    Browser b(WriteSample(dir));
    TvdTreeDiagram *button = b.Diagram("TButton", true);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->DiagramName(), "TObject");
    EXPECT_EQ(b.Diagram("tbutton", true), button);

    // TObject's own diagram, not the cached diagram of TButton that shares its root.
    TvdTreeDiagram *object = b.Diagram("TObject", true);
    ASSERT_NE(object, nullptr);
    EXPECT_NE(object, button);
    EXPECT_NE(object->RootNode()->FindSubNode("TShape"), nullptr);
    EXPECT_EQ(button->RootNode()->FindSubNode("TShape"), nullptr);

    TvdTreeDiagram *vertical = b.Diagram("TObject", false);
    ASSERT_NE(vertical, nullptr);
    EXPECT_FALSE(vertical->Horizontal);
    EXPECT_TRUE(object->Horizontal);
    EXPECT_EQ(Strings(b.Db().LoadedSubDiagrams()), (std::vector<std::string>{"H#TButton", "H#TObject", "V#TObject"}));
    EXPECT_EQ(b.Diagram("TUnknown", true), nullptr);
}

TEST(RunTimeDatabase, LongClassNamesNeedTheNameList)
{
    TempDir dir;
    std::string path = WriteSample(dir);
    {
        Browser b(path);
        TvdTreeDiagram *diagram = b.Diagram(kLongClass, false);
        ASSERT_NE(diagram, nullptr);
        EXPECT_NE(diagram->RootNode()->FindSubNode(kLongClass), nullptr);
    }
    {
        auto root = TvdStorage::OpenStorageFile(path, vdModeReadWrite);
        root->OpenSubStorage(vdVerticalDiagramsStorageName, vdModeReadWrite)->ComStorage()->DestroyElement(
            u"_sys__SubItemsList");
    }
    Browser b(path);
    EXPECT_EQ(b.Diagram(kLongClass, false), nullptr);
    EXPECT_NE(b.Diagram(kLongClass, true), nullptr);
    EXPECT_NE(b.Diagram("TButton", false), nullptr);
}

TEST(RunTimeDatabase, MissingDiagramStoragesAreCreatedOnFirstRequest)
{
    TempDir dir;
    std::string path = WriteSample(dir, "bare.qmk", [](QmkDatabase &db) { db.diagramStorages = false; });
    Browser b(path);
    EXPECT_EQ(b.Diagram("TButton", true), nullptr);
    auto root = TvdStorage::OpenStorageFile(path, vdModeReadWrite);
    EXPECT_TRUE(root->SubStorageExists(vdHorizontalDiagramsStorageName));
    EXPECT_FALSE(root->SubStorageExists(vdVerticalDiagramsStorageName));
}

TEST(RunTimeDatabase, UnreadableDiagramGivesNothing)
{
    TempDir dir;
    std::string path = WriteSample(dir);
    {
        auto root = TvdStorage::OpenStorageFile(path, vdModeReadWrite);
        auto stream = root->OpenSubStorage(vdHorizontalDiagramsStorageName, vdModeReadWrite)
                          ->CreateStream("TButton", vdModeCreateReadWrite);
        stream->WriteInteger(2);
    }
    Browser b(path);
    EXPECT_EQ(b.Diagram("TButton", true), nullptr);
    EXPECT_NE(b.Diagram("TButton", false), nullptr);
}

TEST(RunTimeDatabase, ReadOnlyFileOpensReadOnlyAndStaysUntouched)
{
    TempDir dir;
    std::string full = WriteSample(dir);
    std::string bare = WriteSample(dir, "bare.qmk", [](QmkDatabase &db) { db.diagramStorages = false; });
    std::string bareBytes = FileBytes(bare);
    {
        ReadOnlyAccess readOnly(dir.Path(), full);
        Browser b(full);
        EXPECT_TRUE(b.Db().IsReadOnly());
        EXPECT_EQ(b.facade.GetSymbolTable()->ClassCount(), 4);
        EXPECT_NE(b.Diagram("TButton", true), nullptr);
        EXPECT_NE(b.Diagram(kLongClass, false), nullptr);
    }
    {
        ReadOnlyAccess readOnly(dir.Path(), bare);
        Browser b(bare);
        EXPECT_EQ(b.Diagram("TButton", true), nullptr);
        EXPECT_EQ(b.Diagram("TButton", false), nullptr);
    }
    EXPECT_EQ(FileBytes(bare), bareBytes);
}

TEST(RunTimeDatabase, NoCallThroughTheStoreDatabaseCreatesAFile)
{
    TempDir dir;
    ScriptedPrompts prompts;
    prompts.answers = {PromptAnswer::Yes, PromptAnswer::Yes};
    PromptsGuard guard(prompts);
    TL1Quillmark_RunTimeDatabase runtime;
    TvdStorageDatabase &db = runtime;
    const std::string missing = dir / "folder/missing.qmk";
    const std::string refused =
        "The Persistent Objects System couldn't attach to the Structured Storage Database file: " + missing;
    auto messageOf = [](auto f) {
        try {
            f();
        } catch (const Exception &e) {
            return e.Message();
        }
        return std::string("(nothing raised)");
    };
    EXPECT_EQ(messageOf([&] { db.AttachTo(missing, true); }), refused);
    EXPECT_EQ(messageOf([&] { db.GetRootStorage(); }), refused);
    EXPECT_EQ(messageOf([&] { db.EnsureAttached(true); }), refused);
    EXPECT_NE(messageOf([&] { db.BuildNew(missing); }).find("AttachMode=vdWriter"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir / "folder"));
    EXPECT_TRUE(prompts.shown.empty());

    // A file this process may not write is attached read-only, whoever asks.
    std::string path = WriteSample(dir);
    std::string bytes = FileBytes(path);
    {
        ReadOnlyAccess readOnly(dir.Path(), path);
        db.AttachTo(path, true);
        EXPECT_TRUE(db.IsReadOnly());
        EXPECT_TRUE(db.GetRootStorage()->IsReadOnly());
        EXPECT_NE(runtime.GetTreeDiagram("TButton", true), nullptr);
        db.Close();
        EXPECT_NE(db.GetRootStorage(), nullptr);
        db.Close();
    }
    EXPECT_EQ(FileBytes(path), bytes);
}

TEST(Facade, RoutineListQualifiesNamesDeclaredTwice)
{
    TempDir dir;
    TvdQuillmarkBrowser browser;
    browser.OpenDatabase(WriteSample(dir));
    TStringList routines;
    browser.FillRoutineList(routines);
    EXPECT_EQ(Strings(routines),
              (std::vector<std::string>{"Beep", "FindControl", "Shared (Controls)", "Shared (Graphics)", "Zap"}));
    EXPECT_EQ(&QuillmarkBrowser(), &QuillmarkBrowser());
}

} // namespace
