// Matching a database's identifiers to the pages of a content file.

#include "tools/qmk/help/TopicMap.h"

#include "browser/runtime/L1HelpDisplayer.h"
#include "browser/symbols/L1OPascalSymbolTable.h"
#include "platform/text/Windows1252.h"

#include <unordered_set>

namespace qmkhelp {

namespace {

class Collector {
public:
    explicit Collector(DatabaseTopics &out) : fOut(out) {}

    // One identifier; the first page found for it wins.
    void Add(const std::string &context, const std::string *page)
    {
        if (!fSeen.insert(context).second)
            return;
        ++fOut.identifiers;
        if (!page)
            return;
        ++fOut.found;
        fOut.topics.emplace_back(text::Cp1252ToUtf8(context), *page);
    }

private:
    DatabaseTopics &fOut;
    std::unordered_set<std::string> fSeen;
};

void AddMembers(Collector &collector, const TL1OPascalSymbolTable_Class &owner, const XctElement *element)
{
    for (const TStringList *list : {&owner.Properties, &owner.Methods, &owner.Events})
        for (const TStringList::Entry &member : list->Items())
            collector.Add(MemberTopicId(owner.Name, member.str), element ? element->MemberPage(member.str) : nullptr);
}

} // namespace

DatabaseTopics MapDatabaseTopics(const TL1OPascalSymbolTable &table, const XctContents &xct)
{
    DatabaseTopics out;
    Collector collector(out);
    for (const TStringList::Entry &u : table.Units().Items()) {
        const auto &unit = *static_cast<const TL1OPascalSymbolTable_Unit *>(u.obj);
        const XctModule *module = xct.Module(unit.Name);
        collector.Add(UnitTopicId(unit.Name), module && !module->page.empty() ? &module->page : nullptr);
        // A class is documented with its unit; one the content file puts elsewhere is still found.
        auto element = [&](const std::string &name) {
            const XctElement *e = module ? module->Element(name) : nullptr;
            return e ? e : xct.AnyElement(name);
        };
        for (const TStringList::Entry &c : unit.Classes().Items()) {
            const auto &cls = *static_cast<const TL1OPascalSymbolTable_Class *>(c.obj);
            const XctElement *e = element(cls.Name);
            collector.Add(ClassTopicId(cls.Name), e && !e->page.empty() ? &e->page : nullptr);
            AddMembers(collector, cls, e);
        }
        for (const TStringList::Entry &i : unit.Interfaces().Items()) {
            const auto &intf = *static_cast<const TL1OPascalSymbolTable_Class *>(i.obj);
            const XctElement *e = element(intf.Name);
            collector.Add(InterfaceTopicId(intf.Name), e && !e->page.empty() ? &e->page : nullptr);
            AddMembers(collector, intf, e);
        }
        for (const TStringList::Entry &r : unit.Routines().Items()) {
            const XctElement *e = module ? module->Element(r.str) : nullptr;
            collector.Add(RoutineTopicId(unit.Name, r.str), e && !e->page.empty() ? &e->page : nullptr);
        }
    }
    return out;
}

} // namespace qmkhelp
