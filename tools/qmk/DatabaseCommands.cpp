// qmk info, list, unit, members, diagram, at: what a runtime database holds, read through the
// browser facade exactly as the browser reads it. Output is UTF-8, one item per line.

#include "tools/qmk/Commands.h"

#include "browser/runtime/L1Quillmark_RunTimeDatabase.h"
#include "platform/text/Collation.h"
#include "platform/text/Windows1252.h"

#include <charconv>
#include <cstdio>
#include <iostream>
#include <optional>

namespace {

std::string Utf8(const std::string &cp1252) { return text::Cp1252ToUtf8(cp1252); }

// A failure with a message of this tool's own (the system's messages come as exceptions).
int Fail(const std::string &message)
{
    std::cerr << message << std::endl;
    return 1;
}

std::string JsonString(const std::string &utf8)
{
    std::string out = "\"";
    for (unsigned char c : utf8) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += char(c);
        } else if (c < 0x20) {
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, "\\u%04x", c);
            out += buffer;
        } else {
            out += char(c);
        }
    }
    return out + "\"";
}

// The command's positional arguments and flags.
struct Parsed {
    std::string command;
    Args positional;
    bool json = false;
    bool vertical = false;
    bool owners = false;
};

// Nothing when an option is not the command's (the usage error is reported).
std::optional<Parsed> Parse(const Args &args)
{
    Parsed parsed;
    parsed.command = args.at(0);
    const std::string &c = parsed.command;
    for (size_t i = 1; i < args.size(); ++i) {
        if (c == "info" && args[i] == "--json")
            parsed.json = true;
        else if ((c == "diagram" || c == "at") && args[i] == "--vertical")
            parsed.vertical = true;
        else if (c == "list" && args[i] == "--owners")
            parsed.owners = true;
        else if (args[i].size() > 2 && args[i].compare(0, 2, "--") == 0) {
            UsageError(c + ": unknown option '" + args[i] + "'");
            return std::nullopt;
        } else
            parsed.positional.push_back(args[i]);
    }
    return parsed;
}

// The usage error for a wrong number of arguments.
int Expected(const Parsed &p, const char *what)
{
    return UsageError(p.command + ": " + what + " expected");
}

// A class's or interface's unit, as "Name (Unit)".
std::string WithUnit(const TL1OPascalSymbolTable_Class &c)
{
    return c.Name + " (" + (c.Unit ? c.Unit->Name : std::string("?")) + ")";
}

std::optional<int32_t> ParseCoordinate(const std::string &s)
{
    int32_t value = 0;
    auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (error != std::errc() || end != s.data() + s.size())
        return std::nullopt;
    return value;
}

TL1OPascalSymbolTable &Open(const std::string &fileName)
{
    RequireFile(fileName);
    QuillmarkBrowser().OpenDatabase(fileName);
    return *QuillmarkBrowser().GetSymbolTable();
}

void PrintList(const TStringList &list)
{
    for (const TStringList::Entry &e : list.Items())
        std::cout << Utf8(e.str) << '\n';
}

int Info(const Parsed &p)
{
    if (p.positional.size() != 1)
        return Expected(p, "FILE");
    TL1OPascalSymbolTable &table = Open(p.positional[0]);
    const std::pair<const char *, int> counts[] = {
        {"units", table.UnitCount()},           {"classes", table.ClassCount()},
        {"interfaces", table.InterfaceCount()}, {"routines", table.RoutineCount()},
        {"properties", table.PropertyCount()},  {"methods", table.MethodCount()},
        {"events", table.EventCount()},
    };
    if (p.json) {
        std::cout << "{\"library\": " << JsonString(Utf8(table.Name));
        for (const auto &[key, count] : counts)
            std::cout << ", \"" << key << "\": " << count;
        std::cout << "}\n";
        return 0;
    }
    std::cout << "Library: " << Utf8(table.Name) << '\n';
    for (auto [key, count] : counts) {
        std::string label = key;
        label[0] = char(label[0] - 'a' + 'A');
        std::cout << label << ": " << count << '\n';
    }
    return 0;
}

int List(const Parsed &p)
{
    if (p.positional.size() != 2)
        return Expected(p, "KIND and FILE");
    const std::string &kind = p.positional[0];
    const TStringList *(*view)(const TL1OPascalSymbolTable &) = nullptr;
    if (kind == "units")
        view = [](const TL1OPascalSymbolTable &t) { return &t.Units(); };
    else if (kind == "classes")
        view = [](const TL1OPascalSymbolTable &t) { return &t.Classes(); };
    else if (kind == "interfaces")
        view = [](const TL1OPascalSymbolTable &t) { return &t.Interfaces(); };
    else if (kind == "properties")
        view = [](const TL1OPascalSymbolTable &t) { return &t.Properties(); };
    else if (kind == "methods")
        view = [](const TL1OPascalSymbolTable &t) { return &t.Methods(); };
    else if (kind == "events")
        view = [](const TL1OPascalSymbolTable &t) { return &t.Events(); };
    else if (kind != "routines")
        return UsageError("list: unknown kind '" + kind + "'");
    if (p.owners && kind != "classes" && kind != "interfaces")
        return UsageError("list: --owners applies to classes and interfaces");
    TL1OPascalSymbolTable &table = Open(p.positional[1]);
    if (p.owners) {
        for (const TStringList::Entry &e : view(table)->Items())
            std::cout << Utf8(WithUnit(static_cast<const TL1OPascalSymbolTable_Class &>(*e.obj))) << '\n';
    } else if (view) {
        PrintList(*view(table));
    } else {
        TStringList routines;
        QuillmarkBrowser().FillRoutineList(routines);
        PrintList(routines);
    }
    return 0;
}

int UnitContents(const Parsed &p)
{
    if (p.positional.size() != 2)
        return Expected(p, "FILE and UNIT");
    TL1OPascalSymbolTable &table = Open(p.positional[0]);
    const TL1OPascalSymbolTable_Unit *unit = table.FindUnit(text::Utf8ToCp1252(p.positional[1]));
    if (!unit)
        return Fail("Unknown unit: " + p.positional[1]);
    for (const TStringList::Entry &e : unit->Interfaces().Items())
        std::cout << "interface " << Utf8(e.str) << '\n';
    for (const TStringList::Entry &e : unit->Classes().Items())
        std::cout << "class " << Utf8(e.str) << '\n';
    for (const TStringList::Entry &e : unit->Routines().Items())
        std::cout << "routine " << Utf8(e.str) << '\n';
    return 0;
}

// Every class and interface of that name (letter case ignored), classes first, in unit order.
std::vector<const TL1OPascalSymbolTable_Class *> ClassesNamed(const TL1OPascalSymbolTable &table,
                                                             const std::string &name)
{
    std::vector<const TL1OPascalSymbolTable_Class *> found;
    for (const TStringList *view : {&table.Classes(), &table.Interfaces()})
        for (const TStringList::Entry &e : view->Items())
            if (text::CompareText(e.str, name) == 0)
                found.push_back(static_cast<const TL1OPascalSymbolTable_Class *>(e.obj));
    return found;
}

int Members(const Parsed &p)
{
    if (p.positional.size() != 2)
        return Expected(p, "FILE and NAME");
    TL1OPascalSymbolTable &table = Open(p.positional[0]);
    std::string name = text::Utf8ToCp1252(p.positional[1]);
    std::vector<const TL1OPascalSymbolTable_Class *> found = ClassesNamed(table, name);
    std::string unitName;
    if (size_t dot = name.rfind('.'); found.empty() && dot != std::string::npos) {
        // UNIT.NAME picks one of several classes of the same name.
        unitName = name.substr(0, dot);
        for (const TL1OPascalSymbolTable_Class *c : ClassesNamed(table, name.substr(dot + 1)))
            if (c->Unit && text::CompareText(c->Unit->Name, unitName) == 0)
                found.push_back(c);
    }
    if (found.empty())
        return Fail("Unknown class or interface: " + p.positional[1]);
    const TL1OPascalSymbolTable_Class *owner = found.front();
    if (found.size() > 1) {
        std::string units;
        for (const TL1OPascalSymbolTable_Class *c : found)
            units += (units.empty() ? "" : ", ") + (c->Unit ? c->Unit->Name : std::string("?"));
        std::cerr << "qmk: " << Utf8(owner->Name) << " is declared in " << found.size() << " units (" << Utf8(units)
                  << "); showing the one in " << Utf8(owner->Unit ? owner->Unit->Name : std::string("?"))
                  << " (choose with UNIT." << Utf8(owner->Name) << ")\n";
    }
    std::cout << "extra: " << Utf8(owner->ExtraString) << '\n';
    for (const TStringList::Entry &e : owner->Properties.Items())
        std::cout << "property " << Utf8(e.str) << '\n';
    for (const TStringList::Entry &e : owner->Methods.Items())
        std::cout << "method " << Utf8(e.str) << '\n';
    for (const TStringList::Entry &e : owner->Events.Items())
        std::cout << "event " << Utf8(e.str) << '\n';
    return 0;
}

// The class's diagram as the browser loads it: attach, read through the cache, close.
TvdTreeDiagram *LoadDiagram(const std::string &fileName, const std::string &className, bool horizontal)
{
    Open(fileName);
    TL1Quillmark_RunTimeDatabase &db = *QuillmarkBrowser().RunTimeDb();
    TvdTreeDiagram *diagram = nullptr;
    try {
        db.EnsureAttached(false);
        diagram = db.GetTreeDiagram(className, horizontal);
    } catch (...) {
        db.Close();
        throw;
    }
    db.Close();
    return diagram;
}

void PrintNode(const TvdTreeDiagramNode &node, int depth)
{
    std::cout << std::string(size_t(depth) * 2, ' ') << Utf8(node.Name) << ' ' << node.Left << ',' << node.Top << ','
              << node.Right << ',' << node.Bottom << '\n';
    for (int i = 0; i < node.SubNodeCount(); ++i)
        PrintNode(static_cast<const TvdTreeDiagramNode &>(*node.GetSubNode(i)), depth + 1);
}

int Diagram(const Parsed &p)
{
    if (p.positional.size() != 2)
        return Expected(p, "FILE and CLASS");
    std::string className = text::Utf8ToCp1252(p.positional[1]);
    TvdTreeDiagram *diagram = LoadDiagram(p.positional[0], className, !p.vertical);
    if (!diagram)
        return Fail("No diagram for " + p.positional[1]);
    std::cout << "Diagram: " << Utf8(diagram->DiagramName()) << ' '
              << (diagram->Horizontal ? "horizontal" : "vertical") << " header " << diagram->Header1() << ' '
              << diagram->Header2() << '\n';
    PrintNode(*diagram->RootNode(), 0);
    TRect bounds;
    diagram->BoundsRect(bounds);
    std::cout << "Bounds: " << bounds.Left << ',' << bounds.Top << ',' << bounds.Right << ',' << bounds.Bottom
              << '\n';
    return 0;
}

int At(const Parsed &p)
{
    if (p.positional.size() != 4)
        return Expected(p, "FILE, CLASS, X and Y");
    std::optional<int32_t> x = ParseCoordinate(p.positional[2]);
    std::optional<int32_t> y = ParseCoordinate(p.positional[3]);
    if (!x || !y)
        return UsageError("at: X and Y must be whole numbers");
    std::string className = text::Utf8ToCp1252(p.positional[1]);
    TvdTreeDiagram *diagram = LoadDiagram(p.positional[0], className, !p.vertical);
    if (!diagram)
        return Fail("No diagram for " + p.positional[1]);
    diagram->AttachNodes();
    const TvdTreeDiagramNode *hit = diagram->RootNode()->NodeAt(*x, *y);
    std::cout << (hit ? Utf8(hit->Name) : "none") << '\n';
    return 0;
}

} // namespace

int RunDatabaseCommand(const Args &args)
{
    const std::string &command = args.at(0);
    std::optional<Parsed> parsed = Parse(args);
    if (!parsed)
        return 2;
    if (command == "info")
        return Info(*parsed);
    if (command == "list")
        return List(*parsed);
    if (command == "unit")
        return UnitContents(*parsed);
    if (command == "members")
        return Members(*parsed);
    if (command == "diagram")
        return Diagram(*parsed);
    if (command == "at")
        return At(*parsed);
    return Usage();
}
