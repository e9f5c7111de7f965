// quillmark-trace: owns the "Vardelin.DebugWindow" service on the session bus and prints the
// lines, error lines and sections that programs send to it, indenting sections.

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QObject>
#include <QTextStream>

#include <cstdio>

namespace {
const char kService[] = "Vardelin.DebugWindow";
}

class TraceService : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "Vardelin.DebugWindow")

public:
    explicit TraceService(int majorVersion) : fMajorVersion(majorVersion) {}

public slots:
    void WriteLine(const QString &text) { Print(QString(), text); }
    void WriteError(const QString &text) { Print(QStringLiteral("error: "), text); }
    void BeginSection(const QString &text)
    {
        Print(QStringLiteral("begin "), text);
        ++fDepth;
    }
    void EndSection(const QString &text)
    {
        if (fDepth > 0)
            --fDepth;
        Print(QStringLiteral("end "), text);
    }
    int MajorVersion() { return fMajorVersion; }

private:
    void Print(const QString &prefix, const QString &text)
    {
        QString indent(fDepth * 2, QLatin1Char(' '));
        QString body = text;
        body.remove(QLatin1Char('\r'));
        body.replace(QLatin1Char('\n'), QLatin1Char('\n') + indent + QString(prefix.size(), QLatin1Char(' ')));
        fOut << indent << prefix << body << Qt::endl;
    }

    int fMajorVersion;
    int fDepth = 0;
    QTextStream fOut{stdout};
};

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("quillmark-trace");
    QCommandLineParser parser;
    parser.setApplicationDescription("Prints what programs send to the Vardelin.DebugWindow trace service.");
    parser.addHelpOption();
    QCommandLineOption major("major-version", "The major version the service reports (default 5).", "N", "5");
    parser.addOption(major);
    parser.process(app);

    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        std::fprintf(stderr, "quillmark-trace: no D-Bus session bus\n");
        return 1;
    }
    TraceService service(parser.value(major).toInt());
    if (!bus.registerObject("/", &service, QDBusConnection::ExportAllSlots)) {
        std::fprintf(stderr, "quillmark-trace: cannot register the trace object\n");
        return 1;
    }
    if (!bus.registerService(kService)) {
        std::fprintf(stderr, "quillmark-trace: the service %s is already running\n", kService);
        return 1;
    }
    return app.exec();
}

#include "main.moc"
