// quillmark-authoring: owns the "Quillmark.Quillmark_OA_Application" service on the session bus,
// as a writer's editor plug-in would, and prints every call it receives as one line. It answers
// GetEditContext with the edit context given by --unit and --class, changed while it runs by the
// stdin line "context UNIT CLASS", and returns true from every call.

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QObject>
#include <QSocketNotifier>
#include <QTextStream>

#include <cstdio>
#include <unistd.h>

namespace {
const char kService[] = "Quillmark.Quillmark_OA_Application";
}

class AuthoringService : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "Quillmark.Quillmark_OA_Application")

public:
    AuthoringService(QString unit, QString className) : fUnit(std::move(unit)), fClass(std::move(className)) {}

    void SetContext(const QString &unit, const QString &className)
    {
        fUnit = unit;
        fClass = className;
    }

public slots:
    bool InsertSeeTag(const QString &unit, const QString &className, const QString &, const QString &property,
                      const QString &method, const QString &event)
    {
        Print(QStringLiteral("InsertSeeTag unit=%1 class=%2 property=%3 method=%4 event=%5")
                  .arg(unit, className, property, method, event));
        return true;
    }

    bool InsertSeeRoutineTag(const QString &unit, const QString &routine, QString &unitOut)
    {
        Print(QStringLiteral("InsertSeeRoutineTag unit=%1 routine=%2").arg(unit, routine));
        unitOut = unit;
        return true;
    }

    bool GetEditContext(const QString &, const QString &, QString &unitOut, QString &classOut)
    {
        Print(QStringLiteral("GetEditContext"));
        unitOut = fUnit;
        classOut = fClass;
        return true;
    }

private:
    void Print(const QString &line) { fOut << line << Qt::endl; }

    QString fUnit, fClass;
    QTextStream fOut{stdout};
};

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("quillmark-authoring");
    QCommandLineParser parser;
    parser.setApplicationDescription("A reference authoring server: prints the see tags the browser and qmk insert.\n"
                                     "The stdin line \"context UNIT CLASS\" changes the edit context.");
    parser.addHelpOption();
    QCommandLineOption unit("unit", "The unit of the edit context.", "U");
    QCommandLineOption className("class", "The class of the edit context.", "C");
    parser.addOption(unit);
    parser.addOption(className);
    parser.process(app);

    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        std::fprintf(stderr, "quillmark-authoring: no D-Bus session bus\n");
        return 1;
    }
    AuthoringService service(parser.value(unit), parser.value(className));
    if (!bus.registerObject("/", &service, QDBusConnection::ExportAllSlots)) {
        std::fprintf(stderr, "quillmark-authoring: cannot register the automation object\n");
        return 1;
    }
    if (!bus.registerService(kService)) {
        std::fprintf(stderr, "quillmark-authoring: the service %s is already running\n", kService);
        return 1;
    }

    // "context UNIT CLASS" lines; the end of stdin leaves the server running.
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QByteArray pending;
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char buffer[4096];
        const ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (got <= 0) {
            input.setEnabled(false);
            return;
        }
        pending.append(buffer, got);
        qsizetype end;
        while ((end = pending.indexOf('\n')) >= 0) {
            const QString line = QString::fromUtf8(pending.left(end)).trimmed();
            pending.remove(0, end + 1);
            const QStringList words = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
            if (!words.isEmpty() && words[0] == QLatin1String("context"))
                service.SetContext(words.value(1), words.value(2));
            else if (!words.isEmpty())
                std::fprintf(stderr, "quillmark-authoring: unknown command: %s\n", qPrintable(line));
        }
    });
    return app.exec();
}

#include "main.moc"
