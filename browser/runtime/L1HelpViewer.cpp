// The help viewer: topic map, page sources (folders and compiled HTML help read with chmlib) and
// the help window.

#include "browser/runtime/L1HelpViewer.h"

#include "platform/core/Exception.h"
#include "platform/text/Windows1252.h"

#include <QAction>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMainWindow>
#include <QTextBrowser>
#include <QToolBar>

#include <chm_lib.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

constexpr qint64 kMaxPageBytes = 64 << 20;
const QString kScheme = QStringLiteral("qmkhelp");

QString FromUtf8(const std::string &s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }

// A page path inside a source: no leading slash, no way out of the source.
std::optional<QString> CleanPath(const QString &path)
{
    QString p = QDir::cleanPath(QStringLiteral("/") + path);
    if (p.startsWith(QStringLiteral("/..")))
        return std::nullopt;
    return p.mid(1);
}

class FolderSource : public THelpSource {
public:
    explicit FolderSource(const QString &root) : fRoot(root) {}

    std::optional<QByteArray> Read(const QString &path) override
    {
        const std::optional<QString> clean = CleanPath(path);
        if (!clean || clean->isEmpty())
            return std::nullopt;
        QFile file(fRoot + QLatin1Char('/') + *clean);
        if (file.size() > kMaxPageBytes || !file.open(QIODevice::ReadOnly))
            return std::nullopt;
        return file.readAll();
    }

    QString HomePage() override
    {
        const QDir dir(fRoot);
        for (const char *name : {"index.html", "index.htm", "default.html", "default.htm"})
            if (dir.exists(QLatin1String(name)))
                return QLatin1String(name);
        const QStringList pages = dir.entryList({QStringLiteral("*.html"), QStringLiteral("*.htm")}, QDir::Files, QDir::Name);
        return pages.isEmpty() ? QString() : pages.front();
    }

private:
    QString fRoot;
};

class ChmSource : public THelpSource {
public:
    explicit ChmSource(chmFile *file) : fFile(file) {}
    ~ChmSource() override { chm_close(fFile); }

    std::optional<QByteArray> Read(const QString &path) override
    {
        const std::optional<QString> clean = CleanPath(path);
        if (!clean)
            return std::nullopt;
        return Object(QStringLiteral("/") + *clean);
    }

    QString HomePage() override
    {
        if (QString home = DefaultTopic(); !home.isEmpty())
            return home;
        for (const char *name : {"/index.html", "/index.htm", "/default.html", "/default.htm"})
            if (Object(QLatin1String(name)))
                return QLatin1String(name).mid(1);
        return {};
    }

private:
    std::optional<QByteArray> Object(const QString &path)
    {
        const QByteArray name = path.toUtf8();
        chmUnitInfo unit{};
        if (chm_resolve_object(fFile, name.constData(), &unit) != CHM_RESOLVE_SUCCESS)
            return std::nullopt;
        if (unit.length > static_cast<LONGUINT64>(kMaxPageBytes))
            return std::nullopt;
        QByteArray data(static_cast<qsizetype>(unit.length), '\0');
        const LONGINT64 got = data.isEmpty() ? 0 : chm_retrieve_object(fFile, &unit, reinterpret_cast<unsigned char *>(data.data()), 0, unit.length);
        if (got < 0)
            return std::nullopt;
        data.truncate(static_cast<qsizetype>(got));
        return data;
    }

    // The default topic recorded in the file's system data: records of (code, length, data),
    // code 2 holding the page name.
    QString DefaultTopic()
    {
        const std::optional<QByteArray> system = Object(QStringLiteral("/#SYSTEM"));
        if (!system || system->size() < 4)
            return {};
        const auto *p = reinterpret_cast<const unsigned char *>(system->constData());
        qsizetype at = 4;
        while (at + 4 <= system->size()) {
            const int code = p[at] | p[at + 1] << 8;
            const int length = p[at + 2] | p[at + 3] << 8;
            at += 4;
            if (at + length > system->size())
                break;
            if (code == 2) {
                const QByteArray value = system->mid(at, length);
                const qsizetype nul = value.indexOf('\0');
                return QString::fromUtf8(nul < 0 ? value : value.left(nul));
            }
            at += length;
        }
        return {};
    }

    chmFile *fFile;
};

bool IsWinHelpFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    char magic[4] = {};
    return in.read(magic, 4) && magic[0] == 0x3F && magic[1] == 0x5F && magic[2] == 0x03 && magic[3] == 0x00;
}

QUrl PageUrl(const QString &page)
{
    const qsizetype hash = page.indexOf(QLatin1Char('#'));
    QUrl url;
    url.setScheme(kScheme);
    url.setPath(QStringLiteral("/") + (hash < 0 ? page : page.left(hash)));
    if (hash >= 0)
        url.setFragment(page.mid(hash + 1));
    return url;
}

} // namespace

std::unique_ptr<THelpSource> OpenHelpSource(const std::string &path)
{
    std::error_code ec;
    if (fs::is_directory(path, ec))
        return std::make_unique<FolderSource>(FromUtf8(path));
    if (!fs::exists(path, ec))
        throw Exception("The help source " + path + " does not exist.");
    chmFile *file = chm_open(path.c_str());
    if (!file)
        throw Exception("The help source " + path + " is neither a folder of HTML pages nor a compiled HTML help file.");
    return std::make_unique<ChmSource>(file);
}

// ---- The window ----------------------------------------------------------------------------

class TL1HelpViewer::PageBrowser : public QTextBrowser {
public:
    explicit PageBrowser(TL1HelpViewer &viewer) : fViewer(viewer) {}

    QVariant loadResource(int type, const QUrl &name) override
    {
        const QUrl url = name.isRelative() ? source().resolved(name) : name;
        if (url.scheme() != kScheme || !fViewer.fSource)
            return QTextBrowser::loadResource(type, url);
        const QString path = url.path();
        if (std::optional<QByteArray> data = fViewer.fSource->Read(path))
            return *data;
        if (type == QTextDocument::HtmlResource)
            return QStringLiteral("<p>The page %1 is missing from the help source.</p>").arg(path.mid(1).toHtmlEscaped());
        return {};
    }

private:
    TL1HelpViewer &fViewer;
};

class TL1HelpViewer::HelpWindow : public QMainWindow {
public:
    explicit HelpWindow(TL1HelpViewer &viewer) : browser(new PageBrowser(viewer))
    {
        setAccessibleName(QStringLiteral("Help window"));
        browser->setAccessibleName(QStringLiteral("Help page"));
        browser->setOpenLinks(false);
        setCentralWidget(browser);
        QToolBar *bar = addToolBar(QStringLiteral("Navigation"));
        bar->setAccessibleName(QStringLiteral("Help navigation"));
        bar->setMovable(false);
        back = bar->addAction(QStringLiteral("Back"), browser, &QTextBrowser::backward);
        back->setToolTip(QStringLiteral("Back to the previous page"));
        back->setShortcut(QKeySequence::Back);
        forward = bar->addAction(QStringLiteral("Forward"), browser, &QTextBrowser::forward);
        forward->setToolTip(QStringLiteral("Forward to the next page"));
        forward->setShortcut(QKeySequence::Forward);
        home = bar->addAction(QStringLiteral("Home"));
        home->setToolTip(QStringLiteral("The first page of this help"));
        back->setEnabled(false);
        forward->setEnabled(false);
        QObject::connect(browser, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
        QObject::connect(browser, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);
        bar->addSeparator();
        find = new QLineEdit;
        find->setPlaceholderText(QStringLiteral("Find in page"));
        find->setAccessibleName(QStringLiteral("Find in page"));
        find->setToolTip(QStringLiteral("Type a word and press Enter to find it on this page"));
        find->setClearButtonEnabled(true);
        find->setMaximumWidth(240);
        bar->addWidget(find);
        QAction *next = bar->addAction(QStringLiteral("Find next"), [this] { FindNext(); });
        next->setToolTip(QStringLiteral("Find the next place of the word on this page"));
        QObject::connect(find, &QLineEdit::returnPressed, [this] { FindNext(); });
        QAction *focusFind = new QAction(this);
        focusFind->setShortcut(QKeySequence::Find);
        QObject::connect(focusFind, &QAction::triggered, [this] { find->setFocus(); });
        addAction(focusFind);
        QObject::connect(browser, &QTextBrowser::anchorClicked, [this](const QUrl &link) { Follow(link); });
        resize(900, 700);
    }

    void FindNext()
    {
        const QString word = find->text();
        if (word.isEmpty())
            return;
        if (!browser->find(word)) {
            // From the top again.
            browser->moveCursor(QTextCursor::Start);
            browser->find(word);
        }
    }

    void Follow(const QUrl &link)
    {
        const QUrl url = link.isRelative() ? browser->source().resolved(link) : link;
        if (url.scheme() == kScheme)
            browser->setSource(url);
        else
            QDesktopServices::openUrl(url); // web and mail links belong to the desktop
    }

    PageBrowser *browser;
    QAction *back, *forward, *home;
    QLineEdit *find;
};

// ---- TL1HelpViewer -------------------------------------------------------------------------

TL1HelpViewer::TL1HelpViewer() = default;
TL1HelpViewer::~TL1HelpViewer() = default;

QMainWindow *TL1HelpViewer::Window() const { return fWindow.get(); }
QTextBrowser *TL1HelpViewer::Browser() const { return fWindow ? fWindow->browser : nullptr; }
QLineEdit *TL1HelpViewer::FindBox() const { return fWindow ? fWindow->find : nullptr; }

QString TL1HelpViewer::CurrentPage() const
{
    if (!fWindow || fWindow->browser->source().scheme() != kScheme)
        return {};
    const QUrl url = fWindow->browser->source();
    return url.path().mid(1) + (url.hasFragment() ? QStringLiteral("#") + url.fragment() : QString());
}

void TL1HelpViewer::EnsureWindow()
{
    if (!fWindow) {
        fWindow = std::make_unique<HelpWindow>(*this);
        QObject::connect(fWindow->home, &QAction::triggered, [this] {
            if (fSource)
                ShowPage(fSource->HomePage());
        });
    }
    fWindow->setWindowTitle(FromUtf8("Quillmark Help - " + fName));
    fWindow->show();
    fWindow->raise();
    fWindow->activateWindow();
}

void TL1HelpViewer::ShowMessage(const std::string &text)
{
    EnsureWindow();
    QString html;
    for (const QString &paragraph : FromUtf8(text).split(QStringLiteral("\n\n")))
        html += QStringLiteral("<p>") + paragraph.toHtmlEscaped() + QStringLiteral("</p>");
    fWindow->browser->setSource(QUrl());
    fWindow->browser->setHtml(html);
}

void TL1HelpViewer::ShowPage(const QString &page)
{
    EnsureWindow();
    fWindow->browser->setSource(PageUrl(page));
}

bool TL1HelpViewer::Load(const std::string &helpFile)
{
    fHelpFile = helpFile;
    fName = fs::path(helpFile).stem().string();
    fError.clear();
    fSource.reset();
    fMap = THelpTopicMap();
    const std::string mapPath = TopicMapPathFor(helpFile);
    const std::string unavailable = "The help file " + helpFile + " is not available on this system.";
    std::error_code ec;
    if (!fs::exists(mapPath, ec)) {
        if (IsWinHelpFile(helpFile))
            fError = helpFile + " is a Windows help file. This help viewer does not show that format; it shows "
                                "the pages named by a topic map " + mapPath + ".";
        else
            fError = unavailable + "\n\nLooked for its topic map " + mapPath + ".";
        return false;
    }
    try {
        fMap = ReadHelpTopicMap(mapPath);
    } catch (const Exception &e) {
        fError = unavailable + "\n\n" + e.Message();
        return false;
    }
    const std::string source = ResolveHelpSource(mapPath, fMap.source);
    try {
        fSource = OpenHelpSource(source);
    } catch (const Exception &e) {
        fError = unavailable + "\n\nIts topic map " + mapPath + " names the help source " + source + ". " + e.Message();
        return false;
    }
    return true;
}

bool TL1HelpViewer::WinHelp(THelpWindowHandle, const std::string &helpFile, std::uint32_t command, std::uintptr_t data)
{
    switch (command) {
    case HELP_FORCEFILE:
        if (helpFile != fHelpFile || !fError.empty() || !fSource)
            return Load(helpFile);
        return true;
    case HELP_COMMAND: {
        if (helpFile != fHelpFile)
            Load(helpFile);
        // Macros come in the browser's 8-bit code page; the map and the window speak UTF-8.
        const std::string macro = text::Cp1252ToUtf8(data ? reinterpret_cast<const char *>(data) : "");
        const std::string context = ContextOfJumpIdMacro(macro);
        if (!fError.empty()) {
            ShowMessage(fError);
            return false;
        }
        if (context.empty()) {
            ShowMessage("The help command " + macro + " is not supported.");
            return false;
        }
        const std::string *page = fMap.PageOf(context);
        if (!page) {
            ShowMessage("The topic " + context + " does not exist in " + fName + ".");
            return false;
        }
        ShowPage(FromUtf8(*page));
        return true;
    }
    case HELP_CONTENTS:
        if (helpFile != fHelpFile || !fSource)
            Load(helpFile);
        if (!fError.empty()) {
            ShowMessage(fError);
            return false;
        }
        ShowPage(fSource->HomePage());
        return true;
    case HELP_QUIT:
        if (fWindow)
            fWindow->close();
        return true;
    default:
        return false;
    }
}
