// qmk topic, qmk see, and the help topics of qmk build: the help identifiers and see tags the
// browser would use, through the browser's own help displayer and automation link.

#include "tools/qmk/HelpCommands.h"

#include "browser/runtime/L1HelpDisplayer.h"
#include "browser/runtime/L1HelpTopicMap.h"
#include "browser/runtime/L1Quillmark_RunTimeDatabase.h"
#include "browser/runtime/U_Quillmark_OAWrappers.h"
#include "browser/symbols/L1OPascalSymbolTable.h"
#include "platform/core/Exception.h"
#include "platform/core/Prompts.h"
#include "platform/text/Windows1252.h"
#include "tools/qmk/help/TopicMap.h"

#include <filesystem>
#include <iostream>

namespace fs = std::filesystem;

namespace {

std::string Cp(const std::string &utf8) { return text::Utf8ToCp1252(utf8); }

std::string ForConsole(const std::string &cp1252)
{
    std::string s = text::Cp1252ToUtf8(cp1252);
    std::string out;
    for (char c : s)
        if (c != '\r')
            out += c;
    return out;
}

TL1OPascalSymbolTable &OpenTable(const std::string &fileName)
{
    QuillmarkBrowser().OpenDatabase(fileName);
    return *QuillmarkBrowser().GetSymbolTable();
}

} // namespace

int RunTopicCommand(const Args &args)
{
    // topic FILE KIND NAME...
    if (args.size() < 3)
        return UsageError("topic: FILE and what to look up expected");
    const std::string &file = args[0], &kind = args[1];
    const size_t names = args.size() - 2;
    const bool two = kind == "routine" || kind == "member";
    if (!(two || kind == "unit" || kind == "class" || kind == "interface"))
        return UsageError("topic: unknown kind '" + kind + "'");
    if (!(two ? names == 2 : names == 1))
        return UsageError("topic " + kind + ": " + (two ? "two names" : "one name") + " expected");

    TL1OPascalSymbolTable &table = OpenTable(file);
    TL1HelpDisplayer help;
    help.SetSymbolTable(&table);
    help.SetHelpFile(0, fs::path(file).replace_extension(".HLP").string());
    TRecordingHelpEngine engine;
    IHelpEngine *previousEngine = InstallHelpEngine(&engine);
    ScriptedPrompts prompts;
    {
        PromptsGuard guard(prompts);
        const std::string a = Cp(args[2]), b = names == 2 ? Cp(args[3]) : std::string();
        if (kind == "unit")
            help.ShowUnitTopic(a);
        else if (kind == "class")
            help.ShowClassTopic(a);
        else if (kind == "interface")
            help.ShowInterfaceTopic(a);
        else if (kind == "routine")
            help.ShowRoutineTopic(a, b);
        else
            help.ShowPropertyTopic(true, a, b);
    }
    InstallHelpEngine(previousEngine);
    if (!prompts.shown.empty()) {
        for (const auto &shown : prompts.shown)
            std::cerr << ForConsole(shown.text) << '\n';
        return 1;
    }
    std::string context;
    for (const auto &call : engine.calls)
        if (call.command == HELP_COMMAND)
            context = ContextOfJumpIdMacro(call.macro);
    std::cout << ForConsole(context);
    const std::string mapPath = TopicMapPathFor(help.HelpFile());
    std::error_code ec;
    if (fs::exists(mapPath, ec)) {
        const THelpTopicMap map = ReadHelpTopicMap(mapPath);
        if (const std::string *page = map.PageOf(text::Cp1252ToUtf8(context)))
            std::cout << '\t' << *page;
    }
    std::cout << '\n';
    return 0;
}

int RunSeeCommand(const Args &args)
{
    // see FILE KIND NAME...
    if (args.size() < 3)
        return UsageError("see: FILE and what to tag expected");
    const std::string &file = args[0], &kind = args[1];
    const size_t names = args.size() - 2;
    const size_t wanted = kind == "unit" ? 1 : kind == "class" || kind == "routine" ? 2
                          : kind == "property" || kind == "method" || kind == "event" ? 3 : 0;
    if (wanted == 0)
        return UsageError("see: unknown kind '" + kind + "'");
    if (names != wanted)
        return UsageError("see " + kind + ": " + std::to_string(wanted) + (wanted == 1 ? " name" : " names") +
                          " expected");
    std::vector<std::string> n;
    for (size_t i = 2; i < args.size(); ++i)
        n.push_back(Cp(args[i]));

    TL1OPascalSymbolTable &table = OpenTable(file);
    UseDBusAutomation();
    TQMK_OA_Application link;
    link.SetSymbolTable(&table);
    if (kind == "unit")
        link.InsertUnitSeeTag(n[0]);
    else if (kind == "class")
        link.InsertClassSeeTag(n[0], n[1]);
    else if (kind == "routine")
        link.InsertRoutineSeeTag(n[0], n[1]);
    else if (kind == "property")
        link.InsertPropertySeeTag(n[0], n[1], n[2]);
    else if (kind == "method")
        link.InsertMethodSeeTag(n[0], n[1], n[2]);
    else
        link.InsertEventSeeTag(n[0], n[1], n[2]);
    return 0;
}

Args TakeHelpTopicOptions(const Args &args, HelpTopicOptions &options)
{
    Args rest;
    for (size_t i = 0; i < args.size(); ++i) {
        if ((args[i] == "--help-from" || args[i] == "--help-source") && i + 1 < args.size()) {
            (args[i] == "--help-from" ? options.contentFile : options.source) = args[i + 1];
            ++i;
        } else if (args[i] == "--help-from" || args[i] == "--help-source") {
            options.bad = true;
        } else {
            rest.push_back(args[i]);
        }
    }
    if (options.contentFile.empty() != options.source.empty())
        options.bad = true;
    return rest;
}

void WriteHelpTopics(const std::string &database, const HelpTopicOptions &options)
{
    const qmkhelp::XctContents xct = qmkhelp::ReadXct(options.contentFile);
    TL1OPascalSymbolTable &table = OpenTable(database);
    const qmkhelp::DatabaseTopics topics = qmkhelp::MapDatabaseTopics(table, xct);
    const std::string mapPath = TopicMapPathFor(database);
    // A relative source is kept relative to the map's folder, so the two can move together.
    fs::path source(options.source);
    if (source.is_relative())
        source = fs::absolute(source).lexically_relative(fs::absolute(mapPath).parent_path());
    WriteHelpTopicMap(mapPath, source.string(), topics.topics);
    std::cout << "Help topics: " << topics.found << " of " << topics.identifiers
              << " identifiers found a page; written to " << mapPath << '\n';
}
