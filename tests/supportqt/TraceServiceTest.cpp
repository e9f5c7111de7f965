#include "browser/support/L1DebugWindowDBus.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>

namespace {

bool HaveSessionBus() { return QDBusConnection::sessionBus().isConnected(); }

bool ServiceRegistered()
{
    return QDBusConnection::sessionBus().interface()->isServiceRegistered(kDebugWindowService).value();
}

// Runs quillmark-trace for the duration of a test.
class TraceProcess {
public:
    explicit TraceProcess(QStringList args = {})
    {
        fProcess.start(QUILLMARK_TRACE, args);
        QElapsedTimer t;
        t.start();
        while (!ServiceRegistered() && t.elapsed() < 10000)
            QThread::msleep(20);
    }
    ~TraceProcess() { Stop(); }
    // Everything sent before this has been printed once it returns: the bus keeps the order.
    std::string Stop()
    {
        QDBusMessage sync = QDBusMessage::createMethodCall(kDebugWindowService, "/", kDebugWindowService, "MajorVersion");
        QDBusConnection::sessionBus().call(sync, QDBus::Block, 2000);
        if (fProcess.state() != QProcess::NotRunning) {
            fProcess.terminate();
            fProcess.waitForFinished(5000);
        }
        return fProcess.readAllStandardOutput().toStdString();
    }

private:
    QProcess fProcess;
};

TEST(TraceService, LinesErrorsAndSectionsReachTheReceiver)
{
    if (!HaveSessionBus())
        GTEST_SKIP() << "no session bus";
    TraceProcess receiver;
    ASSERT_TRUE(ServiceRegistered());
    TL1DebugWindow trace(ConnectDebugWindowService());
    ASSERT_TRUE(trace.Enabled());
    trace.SetApplicationName("TestApp");
    trace.BeginSection("TvdStorageDatabase.AttachTo(x.qmk)");
    trace.WriteLine("inner \xE6");  // Windows-1252 text arrives as Unicode
    trace.EndSection("TvdStorageDatabase.AttachTo(x.qmk)");
    trace.WriteError("bad");
    EXPECT_EQ(trace.GetMajorVersion(), 5);  // a round trip: everything before it has arrived
    std::string out = receiver.Stop();
    EXPECT_EQ(out, std::string("Service running...\n"
                                     "begin TvdStorageDatabase.AttachTo(x.qmk)\n"
                                     "  inner \xC3\xA6\n"
                                     "end TvdStorageDatabase.AttachTo(x.qmk)\n"
                                     "error: bad   [TestApp]\n"));
}

TEST(TraceService, OldReceiverDisablesTheClient)
{
    if (!HaveSessionBus())
        GTEST_SKIP() << "no session bus";
    TraceProcess receiver({"--major-version", "4"});
    TL1DebugWindow trace(ConnectDebugWindowService());
    EXPECT_FALSE(trace.Enabled());
    trace.WriteLine("not sent");
    std::string out = receiver.Stop();
    const std::string warning = "This version requires major version 5 of DebugWindow (or newer version).";
    EXPECT_EQ(out, "Service running...\n" + warning + "\nerror: " + warning + "\n");
}

TEST(TraceService, WithoutReceiverTracingIsSilent)
{
    if (HaveSessionBus() && ServiceRegistered())
        GTEST_SKIP() << "a receiver is running";
    TL1DebugWindow trace(ConnectDebugWindowService());
    EXPECT_FALSE(trace.Enabled());
    trace.WriteLine("x");
    trace.BeginSection("y");
    trace.EndSection("y");
    trace.WriteError("z");
    EXPECT_EQ(trace.GetMajorVersion(), 0);
}

} // namespace
