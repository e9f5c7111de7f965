// The automation link: the calls sent for each see tag (omission rules, argument positions,
// by-reference arguments), failures, and the real thing over D-Bus with the reference server.

#include "browser/runtime/U_Quillmark_OAWrappers.h"
#include "browser/runtime/U_Quillmark_OAWrappersDBus.h"
#include "browser/symbols/L1OPascalSymbolTable.h"
#include "platform/core/Exception.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>

namespace {

struct Server {
    std::string editUnit, editClass;
    std::vector<std::string> calls; // "Method a|b|c"
    int created = 0;
};

class RecordingObject : public IAutomationObject {
public:
    explicit RecordingObject(Server &server) : fServer(server) {}
    bool Invoke(const std::string &method, std::vector<TAutomationArgument> &arguments) override
    {
        std::string line = method;
        for (size_t i = 0; i < arguments.size(); ++i)
            line += (i ? "|" : " ") + std::string(arguments[i].byReference ? "&" : "") + arguments[i].value;
        fServer.calls.push_back(line);
        if (method == "GetEditContext") {
            arguments[0].value = fServer.editUnit;
            arguments[1].value = fServer.editClass;
        }
        return false; // never looked at
    }

private:
    Server &fServer;
};

struct Link : ::testing::Test {
    Server server;
    TL1OPascalSymbolTable table{"Lib"};
    TQMK_OA_Application link;
    AutomationObjectFactory previous;

    void SetUp() override
    {
        auto *classes = table.AddUnit("Classes");
        classes->AddClass("TList");
        classes->AddClass("TPersistent");
        classes->AddRoutine("FreeAndNil");
        auto *contnrs = table.AddUnit("Contnrs");
        contnrs->AddClass("TList"); // declared twice: not unique
        contnrs->AddRoutine("FreeAndNil");
        contnrs->AddRoutine("Sort");
        table.EnsureDenormalized();
        link.SetSymbolTable(&table);
        previous = SetAutomationObjectFactory([this](const std::string &id) {
            EXPECT_EQ(id, "Quillmark.Quillmark_OA_Application");
            ++server.created;
            return std::make_unique<RecordingObject>(server);
        });
    }
    void TearDown() override { SetAutomationObjectFactory(previous); }
};

TEST_F(Link, ClassTagsLeaveOutTheUnitWhenTheClassIsUniqueOrInTheEditedUnit)
{
    server.editUnit = "Forms";
    link.InsertClassSeeTag("Classes", "TPersistent"); // unique
    link.InsertClassSeeTag("Classes", "TList");       // twice in the library
    server.editUnit = "classes";
    link.InsertClassSeeTag("Classes", "TList");       // the edited unit, ignoring case
    link.InsertUnitSeeTag("Contnrs");
    EXPECT_EQ(server.calls, (std::vector<std::string>{
                                "GetEditContext &|&", "InsertSeeTag |TPersistent||||",
                                "GetEditContext &|&", "InsertSeeTag Classes|TList||||",
                                "GetEditContext &|&", "InsertSeeTag |TList||||",
                                "InsertSeeTag Contnrs|||||"}));
    EXPECT_EQ(link.EditUnit(), "classes");
    // Every operation reaches the server afresh.
    EXPECT_EQ(server.created, 7);
}

TEST_F(Link, RoutineTagsSendTheUnitByReference)
{
    server.editUnit = "Forms";
    link.InsertRoutineSeeTag("Contnrs", "FreeAndNil"); // in two units
    link.InsertRoutineSeeTag("Contnrs", "Sort");       // unique
    server.editUnit = "Contnrs";
    link.InsertRoutineSeeTag("Contnrs", "FreeAndNil");
    EXPECT_EQ(server.calls, (std::vector<std::string>{"GetEditContext &|&", "InsertSeeRoutineTag &Contnrs|FreeAndNil",
                                                      "GetEditContext &|&", "InsertSeeRoutineTag &|Sort",
                                                      "GetEditContext &|&", "InsertSeeRoutineTag &|FreeAndNil"}));
}

TEST_F(Link, MemberTagsNameTheClassOnlyOutsideTheEditedClassAndNeverTheUnit)
{
    server.editClass = "TPersistent";
    link.InsertMethodSeeTag("Classes", "tpersistent", "Assign");
    link.InsertPropertySeeTag("Classes", "TList", "Count");
    link.InsertEventSeeTag("Classes", "TList", "OnChange");
    EXPECT_EQ(server.calls, (std::vector<std::string>{"GetEditContext &|&", "InsertSeeTag ||||Assign|",
                                                      "GetEditContext &|&", "InsertSeeTag |TList||Count||",
                                                      "GetEditContext &|&", "InsertSeeTag |TList||||OnChange"}));
}

TEST_F(Link, FailuresReachTheCallerOnceAndNothingIsSent)
{
    SetAutomationObjectFactory([this](const std::string &) -> std::unique_ptr<IAutomationObject> {
        ++server.created;
        throw Exception("The name is not activatable");
    });
    EXPECT_THROW(link.InsertClassSeeTag("Classes", "TList"), Exception);
    EXPECT_EQ(server.created, 1);
    SetAutomationObjectFactory(nullptr);
    EXPECT_THROW(link.InsertUnitSeeTag("Classes"), Exception);
    EXPECT_TRUE(server.calls.empty());
}

// ---- Over the session bus ------------------------------------------------------------------

// The application object lives in main: one destroyed after main returns crashes on exit.
QCoreApplication &App() { return *static_cast<QCoreApplication *>(QCoreApplication::instance()); }

struct OverDBus : Link {
    QProcess authoring;

    void SetUp() override
    {
        App();
        if (!QDBusConnection::sessionBus().isConnected())
            GTEST_SKIP() << "no D-Bus session bus";
        Link::SetUp();
        UseDBusAutomation();
    }
    void TearDown() override
    {
        if (authoring.state() != QProcess::NotRunning) {
            authoring.kill();
            authoring.waitForFinished();
        }
        Link::TearDown();
    }

    void Start()
    {
        authoring.start(VD_BINARY_DIR "/tools/quillmark-authoring/quillmark-authoring",
                        {"--unit", "Forms", "--class", "TForm"});
        ASSERT_TRUE(authoring.waitForStarted());
        auto *bus = QDBusConnection::sessionBus().interface();
        for (int i = 0; i < 200 && !bus->isServiceRegistered(kQuillmarkAutomationId).value(); ++i)
            QThread::msleep(20);
        ASSERT_TRUE(bus->isServiceRegistered(kQuillmarkAutomationId).value());
    }

    std::vector<std::string> Lines(size_t count)
    {
        std::vector<std::string> lines;
        while (lines.size() < count) {
            if (!authoring.canReadLine() && !authoring.waitForReadyRead(5000))
                break;
            while (authoring.canReadLine())
                lines.push_back(authoring.readLine().trimmed().toStdString());
        }
        return lines;
    }
};

TEST_F(OverDBus, TheReferenceServerReceivesEveryCall)
{
    Start();
    link.InsertClassSeeTag("Classes", "TList");
    EXPECT_EQ(link.EditUnit(), "Forms");
    EXPECT_EQ(link.EditClass(), "TForm");
    link.InsertRoutineSeeTag("Forms", "FreeAndNil");
    authoring.write("context Classes TList\n");
    authoring.waitForBytesWritten();
    QThread::msleep(100);
    link.InsertMethodSeeTag("", "TList", "Add");
    link.InsertUnitSeeTag("\xDCnits"); // Windows-1252 "Ü"
    EXPECT_EQ(Lines(7), (std::vector<std::string>{
                            "GetEditContext", "InsertSeeTag unit=Classes class=TList property= method= event=",
                            "GetEditContext", "InsertSeeRoutineTag unit= routine=FreeAndNil", "GetEditContext",
                            "InsertSeeTag unit= class= property= method=Add event=",
                            "InsertSeeTag unit=\xC3\x9Cnits class= property= method= event="}));
    EXPECT_EQ(link.EditClass(), "TList");
}

TEST_F(OverDBus, WithoutTheServiceTheBusErrorReachesTheCaller)
{
    try {
        link.InsertClassSeeTag("Classes", "TList");
        FAIL();
    } catch (const Exception &e) {
        EXPECT_NE(e.Message().find("Quillmark.Quillmark_OA_Application"), std::string::npos) << e.Message();
    }
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
