// Ornamo, the style library editor: starts the main window and opens the library named on the
// command line once the window shows.

#include "ornamo/uMain.h"
#include "platform/core/CommandLine.h"

#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <QTimer>

namespace {

const char kUsage[] =
    "usage: ornamo [FILE.SLB]\n"
    "\n"
    "Opens, builds, previews and saves Kavgraph style libraries.\n"
    "\n"
    "  FILE.SLB     a style library to open once the window shows\n"
    "  -h, --help   this text\n"
    "  --version    the program's version\n";

} // namespace

int main(int argc, char **argv)
{
    // Answered before the application starts, so that they need no display.
    if (int status = cmdline::AnswerHelpOrVersion(argc, argv, kUsage, "ornamo", ORNAMO_VERSION); status >= 0)
        return status;
    QApplication app(argc, argv);
    QApplication::setApplicationName("Ornamo");
    QApplication::setOrganizationName("Kavgraph");
    QApplication::setApplicationDisplayName(QObject::tr("Kavgraph Ornamo"));
    QApplication::setDesktopFileName("ornamo");
    // The icon beside the program (build tree) or in the installed icon theme folder.
    QIcon icon;
    for (const QString &file : {QApplication::applicationDirPath() + "/ornamo.svg",
                                QApplication::applicationDirPath() + "/../share/icons/hicolor/scalable/apps/ornamo.svg"})
        if (icon.isNull() && QFileInfo::exists(file))
            icon = QIcon(file);
    QApplication::setWindowIcon(QIcon::fromTheme("ornamo", icon));

    ornamo::TfrmMain window;
    window.show();
    const QStringList args = QApplication::arguments();
    if (args.size() > 1) {
        const QString file = args[1];
        QTimer::singleShot(0, &window, [&window, file] { window.OpenFromCommandLine(file); });
    }
    return app.exec();
}
