#pragma once
// The browser's own help viewer, the help engine behind the displayers on Linux. For the help
// file DIR/NAME.HLP it reads the topic map DIR/NAME.topics and shows the page of a JumpID
// context string from the map's source (a folder of HTML pages or a compiled HTML help file) in
// one reused window: a text browser with Back, Forward, Home and find-in-page. Its own failures
// (no map, no source, an unknown topic) are shown in that window, never raised.
//
// A program installs it once at start, in main() after the application object (its window must
// go before the application does):
//
//     QApplication app(argc, argv);
//     TL1HelpViewer helpViewer;
//     InstallHelpEngine(&helpViewer);

#include "browser/runtime/L1HelpDisplayer.h"
#include "browser/runtime/L1HelpTopicMap.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>
#include <string>

class QMainWindow;
class QTextBrowser;
class QLineEdit;

// Where the pages of a help file come from.
class THelpSource {
public:
    virtual ~THelpSource() = default;
    // The bytes of a page or picture by its path inside the source ("dir/page.html").
    virtual std::optional<QByteArray> Read(const QString &path) = 0;
    // The source's first page.
    virtual QString HomePage() = 0;
};

// Opens a folder of HTML pages or a .chm file; throws Exception saying why it cannot.
std::unique_ptr<THelpSource> OpenHelpSource(const std::string &path);

class TL1HelpViewer : public IHelpEngine {
public:
    TL1HelpViewer();
    ~TL1HelpViewer() override;

    bool WinHelp(THelpWindowHandle window, const std::string &helpFile, std::uint32_t command,
                 std::uintptr_t data) override;

    // The help window; nullptr until something was shown.
    QMainWindow *Window() const;
    QTextBrowser *Browser() const;
    QLineEdit *FindBox() const;
    // The page shown ("dir/page.html#anchor"), empty while a message is shown.
    QString CurrentPage() const;

private:
    class HelpWindow;
    class PageBrowser;
    bool Load(const std::string &helpFile);
    void EnsureWindow();
    void ShowMessage(const std::string &text);
    void ShowPage(const QString &page);

    std::unique_ptr<HelpWindow> fWindow;
    std::string fHelpFile;
    std::string fName;
    std::string fError; // why the forced file cannot be shown
    THelpTopicMap fMap;
    std::unique_ptr<THelpSource> fSource;
};
