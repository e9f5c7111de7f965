#include "browser/support/L1DebugWindowDBus.h"

#include "platform/core/Exception.h"
#include "platform/ui/QtPrompts.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>

const char kDebugWindowService[] = "Vardelin.DebugWindow";

namespace {

class DBusDebugWindow : public IDebugWindow {
public:
    explicit DBusDebugWindow(QDBusConnection bus) : fBus(std::move(bus)) {}

    void WriteLine(const std::string &text) override { Send("WriteLine", text); }
    void WriteError(const std::string &text) override { Send("WriteError", text); }
    void BeginSection(const std::string &text) override { Send("BeginSection", text); }
    void EndSection(const std::string &text) override { Send("EndSection", text); }

    int MajorVersion() override
    {
        QDBusMessage reply = fBus.call(Message("MajorVersion"), QDBus::Block, 2000);
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() != 1)
            throw Exception(reply.errorMessage().toStdString());
        return reply.arguments().front().toInt();
    }

private:
    static QDBusMessage Message(const char *method)
    {
        QDBusMessage m = QDBusMessage::createMethodCall(kDebugWindowService, "/", kDebugWindowService, method);
        m.setAutoStartService(false);
        return m;
    }

    // Lines go without waiting for an answer; the bus keeps their order.
    void Send(const char *method, const std::string &text)
    {
        QDBusMessage m = Message(method);
        m << FromCp1252(text);
        if (!fBus.send(m))
            throw Exception("The trace service cannot be reached.");
    }

    QDBusConnection fBus;
};

} // namespace

std::unique_ptr<IDebugWindow> ConnectDebugWindowService()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface())
        return nullptr;
    if (!bus.interface()->isServiceRegistered(kDebugWindowService).value())
        return nullptr;
    return std::make_unique<DBusDebugWindow>(bus);
}

void UseDebugWindowService() { SetDebugWindowFactory(ConnectDebugWindowService); }
