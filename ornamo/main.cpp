// Ornamo, the style library editor: starts the main window and opens the library named on the
// command line once the window shows.

#include "ornamo/uMain.h"

#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <QTimer>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName("Ornamo");
    QApplication::setOrganizationName("Kavgraph");
    QApplication::setApplicationDisplayName(QObject::tr("Kavgraph Ornamo"));
    QApplication::setDesktopFileName("ornamo");
    const QString besideProgram = QApplication::applicationDirPath() + "/ornamo.svg";
    QApplication::setWindowIcon(QIcon::fromTheme("ornamo", QIcon(besideProgram)));

    ornamo::TfrmMain window;
    window.show();
    const QStringList args = QApplication::arguments();
    if (args.size() > 1) {
        const QString file = args[1];
        QTimer::singleShot(0, &window, [&window, file] { window.OpenFromCommandLine(file); });
    }
    return app.exec();
}
