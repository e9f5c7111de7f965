// quillmark-browser: the runtime documentation browser.
#include "browser/app/F_Main.h"
#include "browser/app/F_Statistics.h"
#include "browser/app/U_Application.h"
#include "browser/app/U_QuillmarkBrowserSettings.h"
#include "browser/runtime/L1HelpViewer.h"
#include "browser/runtime/L1Quillmark_RunTimeDatabase.h"
#include "browser/runtime/U_Quillmark_OAWrappersDBus.h"
#include "browser/support/L1UserInterface.h"

#include <QFileInfo>
#include <QIcon>

int main(int argc, char **argv)
{
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
