// qmk build: a runtime database from the interface sections of Object Pascal sources.

#include "tools/qmk/Commands.h"

#include "browser/support/L1basis.h"
#include "platform/text/Windows1252.h"
#include "tools/qmk/qmkbuild/DatabaseBuilder.h"

#include <iostream>

int RunBuildCommand(const Args &args)
{
    std::string output, name;
    bool named = false;
    std::vector<std::string> paths;
    for (size_t i = 0; i < args.size(); ++i) {
        if ((args[i] == "-o" || args[i] == "--name") && i + 1 < args.size()) {
            (args[i] == "-o" ? output : name) = args[i + 1];
            named = named || args[i] == "--name";
            ++i;
        } else if (!args[i].empty() && args[i][0] == '-') {
            return Usage();
        } else {
            paths.push_back(args[i]);
        }
    }
    if (output.empty() || paths.empty())
        return Usage();

    qmkbuild::SourceLibrary library;
    library.Scan(paths);
    std::string libraryName = text::Utf8ToCp1252(named ? name : FileTitle(output));
    auto reportWarnings = [&library] {
        for (const qmkbuild::Warning &w : library.Warnings()) {
            if (!w.file.empty())
                std::cerr << w.file << (w.line > 0 ? ":" + std::to_string(w.line) : std::string()) << ": ";
            std::cerr << "warning: " << text::Cp1252ToUtf8(w.message) << '\n';
        }
    };
    try {
        qmkbuild::WriteRuntimeDatabase(library, libraryName, output);
    } catch (...) {
        reportWarnings();
        throw;
    }
    reportWarnings();
    // The counts, read back from the new database.
    return RunInspectCommand({"info", output});
}
