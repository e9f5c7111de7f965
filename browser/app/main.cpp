// quillmark-browser: the runtime documentation browser.
#include "browser/app/F_Main.h"
#include "browser/app/F_Statistics.h"
#include "browser/app/U_Application.h"
#include "browser/app/U_QuillmarkBrowserSettings.h"
#include "browser/runtime/L1HelpViewer.h"
#include "browser/runtime/L1Quillmark_RunTimeDatabase.h"
#include "browser/runtime/U_Quillmark_OAWrappersDBus.h"
#include "browser/support/L1UserInterface.h"
#include "platform/core/CommandLine.h"

#include <QFileInfo>
#include <QIcon>

namespace {

const char kUsage[] =
    "usage: quillmark-browser [FILE.QMK]\n"
    "\n"
    "Shows the Object Pascal class library documented in a runtime database: units, classes,\n"
    "interfaces, routines and members, inheritance diagrams, help topics and name search.\n"
    "\n"
    "  FILE.QMK     the database to open (further arguments are ignored)\n"
    "  -h, --help   this text\n"
    "  --version    the program's version\n";

} // namespace

int main(int argc, char **argv)
{
    // Answered before the application starts, so that they need no display.
    if (int status = cmdline::AnswerHelpOrVersion(argc, argv, kUsage, "quillmark-browser", QUILLMARK_VERSION); status >= 0)
        return status;
    TQuillmarkApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quillmark-browser"));
    QApplication::setApplicationVersion(QStringLiteral(QUILLMARK_VERSION));
    QApplication::setApplicationDisplayName(QStringLiteral("Quillmark Runtime Browser"));
    QApplication::setDesktopFileName(QStringLiteral("quillmark-browser"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/quillmark-browser.svg")));
    L1InstallQtServices();
    TL1HelpViewer helpViewer;
    InstallHelpEngine(&helpViewer);
    UseDBusAutomation();

    TQuillmarkBrowserSettings settings;
    QuillmarkBrowser();

    TfrmMain mainWindow;
    TfrmStatistics statistics(&mainWindow);
    statistics.setWindowFlag(Qt::Window);
    mainWindow.SetStatisticsWindow(&statistics);
    mainWindow.show();

    QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1) {
        // Recent-file entries must work from any folder: the path is made absolute.
        std::string fileName = QFileInfo(arguments[1]).absoluteFilePath().toStdString();
        RunGuarded([&] { mainWindow.OpenDocument(fileName); });
    }
    return app.exec();
}
