// qmk build: a runtime database from the interface sections of Object Pascal sources.
// On a terminal the scan shows its progress on stderr; warnings follow the scan, one line each
// (or, with --quiet, a count per kind), and the new database's counts go to stdout.

#include "tools/qmk/Commands.h"
#include "tools/qmk/HelpCommands.h"

#include "browser/support/L1basis.h"
#include "platform/text/Windows1252.h"
#include "tools/qmk/qmkbuild/DatabaseBuilder.h"

#include <chrono>
#include <filesystem>
#include <iostream>
#include <map>
#include <unistd.h>

namespace {

struct BuildArgs {
    std::string output, name;
    bool named = false;
    bool quiet = false;
    std::vector<std::string> includeDirs, paths;
};

// Nothing after a usage error (reported).
std::optional<BuildArgs> ParseBuildArgs(const Args &args)
{
    BuildArgs b;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string &a = args[i];
        if (a == "-o" || a == "--name" || a == "-I") {
            if (i + 1 >= args.size()) {
                UsageError("build: " + a + " needs a value");
                return std::nullopt;
            }
            const std::string &value = args[++i];
            if (a == "-o")
                b.output = value;
            else if (a == "-I")
                b.includeDirs.push_back(value);
            else
                b.name = value, b.named = true;
        } else if (a.size() > 2 && a.compare(0, 2, "-I") == 0) {
            b.includeDirs.push_back(a.substr(2));
        } else if (a == "--quiet" || a == "-q") {
            b.quiet = true;
        } else if (!a.empty() && a[0] == '-') {
            UsageError("build: unknown option '" + a + "'");
            return std::nullopt;
        } else {
            b.paths.push_back(a);
        }
    }
    if (b.output.empty()) {
        UsageError("build: -o OUT.QMK expected");
        return std::nullopt;
    }
    if (b.paths.empty()) {
        UsageError("build: no source file or folder given");
        return std::nullopt;
    }
    return b;
}

// The kind of a warning, for counting: its text with quoted parts and the names it mentions
// left out ("include file '…' not found", "'…' of … expected but '…' found").
std::string WarningKind(const std::string &message)
{
    std::string kind;
    bool nameFollows = true; // a leading "TFoo: ..." names a class
    for (size_t i = 0; i < message.size();) {
        if (message[i] == '\'') {
            size_t close = message.find('\'', i + 1);
            kind += "'…'";
            i = close == std::string::npos ? message.size() : close + 1;
            nameFollows = false;
            continue;
        }
        size_t end = message.find(' ', i);
        if (end == std::string::npos)
            end = message.size();
        std::string word = message.substr(i, end - i);
        bool isName = false;
        for (char c : word)
            isName = isName || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '.';
        if (nameFollows && isName)
            kind += word.back() == ':' || word.back() == ';' ? "…" + std::string(1, word.back()) : "…";
        else
            kind += word;
        nameFollows = word == "of" || word == "unit" || word == "through" || word == "cut:";
        i = end;
        if (i < message.size())
            kind += ' ', ++i;
    }
    return kind;
}

// The progress line on a terminal: rewritten in place, at most ten times a second.
class ProgressLine {
public:
    explicit ProgressLine(bool shown) : fShown(shown) {}
    ~ProgressLine() { Clear(); }

    void Show(const std::string &text, bool force = false)
    {
        if (!fShown)
            return;
        auto now = std::chrono::steady_clock::now();
        if (!force && now - fLast < std::chrono::milliseconds(100))
            return;
        fLast = now;
        std::string line = text.size() > 100 ? "…" + text.substr(text.size() - 99) : text;
        std::cerr << "\r\033[K" << line << std::flush;
        fDirty = true;
    }
    void Clear()
    {
        if (fDirty)
            std::cerr << "\r\033[K" << std::flush;
        fDirty = false;
    }

private:
    bool fShown;
    bool fDirty = false;
    std::chrono::steady_clock::time_point fLast{};
};

void ReportWarnings(const std::vector<qmkbuild::Warning> &warnings, bool quiet)
{
    if (!quiet) {
        for (const qmkbuild::Warning &w : warnings) {
            if (!w.file.empty())
                std::cerr << w.file << (w.line > 0 ? ":" + std::to_string(w.line) : std::string()) << ": ";
            std::cerr << "warning: " << text::Cp1252ToUtf8(w.message) << '\n';
        }
        return;
    }
    if (warnings.empty())
        return;
    std::map<std::string, size_t> counts;
    for (const qmkbuild::Warning &w : warnings)
        ++counts[WarningKind(text::Cp1252ToUtf8(w.message))];
    std::vector<std::pair<size_t, std::string>> byCount;
    for (const auto &[kind, count] : counts)
        byCount.push_back({count, kind});
    std::stable_sort(byCount.begin(), byCount.end(), [](const auto &a, const auto &b) { return a.first > b.first; });
    std::cerr << warnings.size() << (warnings.size() == 1 ? " warning:\n" : " warnings:\n");
    for (const auto &[count, kind] : byCount)
        std::cerr << "  " << count << ' ' << kind << '\n';
}

} // namespace

int RunBuildCommand(const Args &allArgs)
{
    HelpTopicOptions help;
    const Args args = TakeHelpTopicOptions(allArgs, help);
    if (help.bad)
        return UsageError("build: --help-from and --help-source go together, each with a value");
    std::optional<BuildArgs> b = ParseBuildArgs(args);
    if (!b)
        return 2;
    // Every path must be there before anything is written.
    for (const std::vector<std::string> *list : {&b->paths, &b->includeDirs})
        for (const std::string &path : *list) {
            std::error_code ec;
            if (!std::filesystem::exists(path, ec)) {
                std::cerr << "qmk build: " << path << ": no such file or folder\n";
                return 1;
            }
            if (list == &b->includeDirs && !std::filesystem::is_directory(path, ec)) {
                std::cerr << "qmk build: " << path << ": not a folder (-I takes a folder)\n";
                return 1;
            }
        }

    ProgressLine progress(!b->quiet && ::isatty(STDERR_FILENO));
    qmkbuild::SourceLibrary library;
    library.SetScanProgress([&](size_t done, size_t total, const std::string &file) {
        progress.Show("scanning " + std::to_string(done + 1) + " of " + std::to_string(total) + ": " + file,
                      done == 0);
    });
    library.Scan(b->paths, b->includeDirs);
    std::string libraryName = text::Utf8ToCp1252(b->named ? b->name : FileTitle(b->output));
    try {
        qmkbuild::WriteRuntimeDatabase(library, libraryName, b->output, [&](size_t done, size_t total) {
            progress.Show("diagrams " + std::to_string(done) + " of " + std::to_string(total), done == total);
        });
    } catch (...) {
        progress.Clear();
        ReportWarnings(library.Warnings(), b->quiet);
        throw;
    }
    progress.Clear();
    ReportWarnings(library.Warnings(), b->quiet);
    // The counts, read back from the new database.
    const int status = RunDatabaseCommand({"info", b->output});
    if (status == 0 && help.Wanted())
        WriteHelpTopics(b->output, help);
    return status;
}
