// Late-bound method calls over the D-Bus session bus.

#include "browser/runtime/U_Quillmark_OAWrappersDBus.h"

#include "platform/core/Exception.h"
#include "platform/text/Windows1252.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>

#include <climits>

namespace {

QString ToQString(const std::string &cp1252)
{
    const std::u16string u = text::Cp1252ToUtf16(cp1252);
    return QString::fromUtf16(u.data(), static_cast<qsizetype>(u.size()));
}

std::string FromQString(const QString &s)
{
    return text::Utf16ToCp1252(std::u16string(reinterpret_cast<const char16_t *>(s.utf16()), s.size()));
}

class DBusAutomationObject : public IAutomationObject {
public:
    explicit DBusAutomationObject(QString id) : fId(std::move(id)) {}

    bool Invoke(const std::string &method, std::vector<TAutomationArgument> &arguments) override
    {
        QDBusMessage call = QDBusMessage::createMethodCall(fId, QStringLiteral("/"), fId, QString::fromStdString(method));
        for (const TAutomationArgument &a : arguments)
            call << ToQString(a.value);
        // Waits for the server however long it takes to answer, as the writer's editor may ask
        // its user first.
        const QDBusMessage reply = QDBusConnection::sessionBus().call(call, QDBus::Block, INT_MAX);
        if (reply.type() != QDBusMessage::ReplyMessage)
            throw Exception(FromQString(reply.errorMessage().isEmpty() ? reply.errorName() : reply.errorMessage()));
        const QList<QVariant> out = reply.arguments();
        int next = 1;
        for (TAutomationArgument &a : arguments)
            if (a.byReference && next < out.size())
                a.value = FromQString(out[next++].toString());
        return !out.isEmpty() && out.front().toBool();
    }

private:
    // No connection is kept: the program's single link may outlive the application object.
    QString fId;
};

} // namespace

std::unique_ptr<IAutomationObject> ConnectAutomationObject(const std::string &programmaticId)
{
    // The bus connection needs an application object; a command-line tool has none of its own.
    if (!QCoreApplication::instance()) {
        static int argc = 1;
        static char name[] = "quillmark";
        static char *argv[] = {name, nullptr};
        new QCoreApplication(argc, argv); // lives until the process ends
    }
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        throw Exception(FromQString(bus.lastError().message().isEmpty() ? QStringLiteral("The D-Bus session bus cannot be reached.")
                                                                        : bus.lastError().message()));
    return std::make_unique<DBusAutomationObject>(QString::fromStdString(programmaticId));
}

void UseDBusAutomation() { SetAutomationObjectFactory(ConnectAutomationObject); }
