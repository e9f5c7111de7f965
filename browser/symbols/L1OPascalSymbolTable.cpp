// The symbol table: reading, writing, the flat views and the lookups.

#include "browser/symbols/L1OPascalSymbolTable.h"

#include "browser/support/L1DebugWindow.h"
#include "platform/text/Collation.h"

#include <algorithm>
#include <iterator>
#include <unordered_map>
#include <vector>

namespace {

// The first index and the number of entries of a list sorted here that carry the name.
std::pair<int, int> EqualRange(const TStringList &list, std::string_view name)
{
    int first = 0;
    if (!list.Find(name, first))
        return {first, 0};
    int last = first + 1;
    while (last < list.Count() && text::CompareText(list.Strings(last), name) == 0)
        ++last;
    return {first, last - first};
}

TObject *FindInSortedView(const TStringList &list, std::string_view name)
{
    int index = 0;
    return list.Find(name, index) ? list.Objects(index) : nullptr;
}

// A list kept in file order: bisection, and a linear scan confirms a miss.
bool HasInFileOrderList(const TStringList &list, std::string_view name) { return list.IndexOf(name) >= 0; }

// Writes the list's entries in sorted order without changing the list.
void WriteSortedSmallList(TvdStream &stream, const TStringList &list)
{
    TStringList sorted;
    sorted.SetCapacity(list.Count());
    for (const TStringList::Entry &e : list.Items())
        sorted.Add(e.str, e.obj);
    sorted.Sort();
    stream.WriteSmallHomogeneousStringList(&sorted);
}

void AppendAll(TStringList &to, const TStringList &from)
{
    for (const TStringList::Entry &e : from.Items())
        to.Add(e.str, e.obj);
}

using MemberList = TStringList TL1OPascalSymbolTable_Class::*;

// Builds a member view ("Member (Owner)", the owner attached) already in its sorted order, which
// saves sorting hundreds of thousands of long entries. owners: every class and interface, in the
// order of their names. The members are grouped by name (letter case ignored), the groups
// sorted, and each group lists its owners in owner order. For names that are identifiers (letters,
// digits, "_") that is exactly the order of the whole entries; a final pass checks it and sorts
// the view when other characters made the order differ.
void BuildMemberView(TStringList &view, const std::vector<TL1OPascalSymbolTable_Class *> &owners, MemberList members)
{
    struct Member {
        const std::string *name;
        TL1OPascalSymbolTable_Class *owner;
    };
    struct Group {
        const std::string *name; // one of the group's names: they all compare equal
        std::vector<Member> members;
    };
    std::vector<Group> groups;
    std::unordered_map<std::string, size_t> groupOf;
    size_t total = 0;
    for (TL1OPascalSymbolTable_Class *owner : owners) {
        for (const TStringList::Entry &e : (owner->*members).Items()) {
            auto [it, added] = groupOf.try_emplace(text::FoldCase(e.str), groups.size());
            if (added)
                groups.push_back({&e.str, {}});
            groups[it->second].members.push_back({&e.str, owner});
            ++total;
        }
    }
    std::vector<const Group *> order;
    order.reserve(groups.size());
    for (const Group &g : groups)
        order.push_back(&g);
    std::sort(order.begin(), order.end(),
              [](const Group *a, const Group *b) { return text::CompareText(*a->name, *b->name) < 0; });

    view.SetCapacity(view.Count() + static_cast<int>(total));
    for (const Group *g : order) {
        for (const Member &m : g->members) {
            std::string entry;
            entry.reserve(m.name->size() + m.owner->Name.size() + 3);
            entry.append(*m.name).append(" (").append(m.owner->Name).append(")");
            view.Add(std::move(entry), m.owner);
        }
    }
    for (int i = 1; i < view.Count(); ++i) {
        if (text::CompareText(view.Strings(i - 1), view.Strings(i)) > 0) {
            view.Sort();
            return;
        }
    }
}

} // namespace

// ---- Classes and interfaces ------------------------------------------------------------

TL1OPascalSymbolTable_Class::TL1OPascalSymbolTable_Class(std::string name, std::string extraString)
    : TvdNamedPersistentObject(std::move(name)), ExtraString(std::move(extraString))
{
}

void TL1OPascalSymbolTable_Class::ReadFromStream(TvdStream &stream)
{
    TvdNamedPersistentObject::ReadFromStream(stream);
    ExtraString = stream.ReadShortLongString();
    stream.ReadNonObjectShortStrings(&Properties);
    stream.ReadNonObjectShortStrings(&Methods);
    stream.ReadNonObjectShortStrings(&Events);
}

void TL1OPascalSymbolTable_Class::WriteToStream(TvdStream &stream) const
{
    TvdNamedPersistentObject::WriteToStream(stream);
    stream.WriteShortLongString(ExtraString);
    stream.WriteNonObjectShortStrings(&Properties);
    stream.WriteNonObjectShortStrings(&Methods);
    stream.WriteNonObjectShortStrings(&Events);
}

// ---- Units --------------------------------------------------------------------------

TL1OPascalSymbolTable_Unit::TL1OPascalSymbolTable_Unit() = default;

TL1OPascalSymbolTable_Unit::TL1OPascalSymbolTable_Unit(std::string name) : TvdNamedPersistentObject(std::move(name))
{
}

void TL1OPascalSymbolTable_Unit::ReadFromStream(TvdStream &stream)
{
    TvdNamedPersistentObject::ReadFromStream(stream);
    stream.ReadSmallHomogeneousStringList<TL1OPascalSymbolTable_Interface>(&fInterfaces);
    stream.ReadSmallHomogeneousStringList<TL1OPascalSymbolTable_Class>(&fClasses);
    stream.ReadSmallHomogeneousStringList<TL1OPascalSymbolTable_Routine>(&fRoutines);
    fInterfaces.AssumeSorted();
    fClasses.AssumeSorted();
    fRoutines.AssumeSorted();
    SetUnitPointerInInterfaces();
    SetUnitPointerInClasses();
    SetUnitPointerInRoutines();
}

void TL1OPascalSymbolTable_Unit::WriteToStream(TvdStream &stream) const
{
    TvdNamedPersistentObject::WriteToStream(stream);
    WriteSortedSmallList(stream, fInterfaces);
    WriteSortedSmallList(stream, fClasses);
    WriteSortedSmallList(stream, fRoutines);
}

TL1OPascalSymbolTable_Interface *TL1OPascalSymbolTable_Unit::AddInterface(const std::string &name,
                                                                          const std::string &extraString)
{
    auto *item = new TL1OPascalSymbolTable_Interface(name, extraString);
    item->Unit = this;
    fInterfaces.Add(name, item);
    return item;
}

TL1OPascalSymbolTable_Class *TL1OPascalSymbolTable_Unit::AddClass(const std::string &name,
                                                                  const std::string &extraString)
{
    auto *item = new TL1OPascalSymbolTable_Class(name, extraString);
    item->Unit = this;
    fClasses.Add(name, item);
    return item;
}

TL1OPascalSymbolTable_Routine *TL1OPascalSymbolTable_Unit::AddRoutine(const std::string &name)
{
    auto *item = new TL1OPascalSymbolTable_Routine(name);
    item->Unit = this;
    fRoutines.Add(name, item);
    return item;
}

TL1OPascalSymbolTable_Class *TL1OPascalSymbolTable_Unit::GetClass(int index) const
{
    return static_cast<TL1OPascalSymbolTable_Class *>(fClasses.Objects(index));
}

TL1OPascalSymbolTable_Interface *TL1OPascalSymbolTable_Unit::GetInterface(int index) const
{
    return static_cast<TL1OPascalSymbolTable_Interface *>(fInterfaces.Objects(index));
}

TL1OPascalSymbolTable_Routine *TL1OPascalSymbolTable_Unit::GetRoutine(int index) const
{
    return static_cast<TL1OPascalSymbolTable_Routine *>(fRoutines.Objects(index));
}

bool TL1OPascalSymbolTable_Unit::GetHasClass(std::string_view name) const { return HasInFileOrderList(fClasses, name); }

bool TL1OPascalSymbolTable_Unit::GetHasInterface(std::string_view name) const
{
    return HasInFileOrderList(fInterfaces, name);
}

bool TL1OPascalSymbolTable_Unit::GetHasRoutine(std::string_view name) const
{
    return HasInFileOrderList(fRoutines, name);
}

void TL1OPascalSymbolTable_Unit::SetUnitPointerInClasses()
{
    for (int i = 0; i < fClasses.Count(); ++i)
        GetClass(i)->Unit = this;
}

void TL1OPascalSymbolTable_Unit::SetUnitPointerInInterfaces()
{
    for (int i = 0; i < fInterfaces.Count(); ++i)
        GetInterface(i)->Unit = this;
}

void TL1OPascalSymbolTable_Unit::SetUnitPointerInRoutines()
{
    for (int i = 0; i < fRoutines.Count(); ++i)
        GetRoutine(i)->Unit = this;
}

// ---- The table -------------------------------------------------------------------------

TL1OPascalSymbolTable::TL1OPascalSymbolTable() = default;

TL1OPascalSymbolTable::TL1OPascalSymbolTable(std::string name) : TvdNamedPersistentObject(std::move(name)) {}

void TL1OPascalSymbolTable::ReadFromStream(TvdStream &stream)
{
    TraceSection trace("TL1OPascalSymbolTable.ReadFromStream");
    TvdNamedPersistentObject::ReadFromStream(stream);
    stream.ReadHomogeneousStringList<TL1OPascalSymbolTable_Unit>(&fUnits);
    fUnits.AssumeSorted();
    EnsureDenormalized();
}

void TL1OPascalSymbolTable::WriteToStream(TvdStream &stream) const
{
    TStringList sorted;
    sorted.SetCapacity(fUnits.Count());
    AppendAll(sorted, fUnits);
    sorted.Sort();
    TvdNamedPersistentObject::WriteToStream(stream);
    stream.WriteHomogeneousStringList(&sorted);
}

TL1OPascalSymbolTable_Unit *TL1OPascalSymbolTable::AddUnit(const std::string &name)
{
    auto *unit = new TL1OPascalSymbolTable_Unit(name);
    fUnits.Add(name, unit);
    return unit;
}

void TL1OPascalSymbolTable::EnsureDenormalized()
{
    if (!fIsDenormalized)
        Denormalize();
}

void TL1OPascalSymbolTable::Denormalize()
{
    int interfaces = 0, classes = 0, routines = 0;
    for (int u = 0; u < fUnits.Count(); ++u) {
        const TL1OPascalSymbolTable_Unit *unit = GetUnit(u);
        interfaces += unit->Interfaces().Count();
        classes += unit->Classes().Count();
        routines += unit->Routines().Count();
    }
    fInterfaces.SetCapacity(fInterfaces.Count() + interfaces);
    fClasses.SetCapacity(fClasses.Count() + classes);
    fRoutines.SetCapacity(fRoutines.Count() + routines);
    for (int u = 0; u < fUnits.Count(); ++u) {
        const TL1OPascalSymbolTable_Unit *unit = GetUnit(u);
        AppendAll(fInterfaces, unit->Interfaces());
        AppendAll(fClasses, unit->Classes());
        AppendAll(fRoutines, unit->Routines());
    }
    fInterfaces.Sort();
    fClasses.Sort();
    fRoutines.Sort();
    fIsDenormalized = true;

    // Every class and interface in the order of their names: the two sorted views merged.
    auto objects = [](const TStringList &list) {
        std::vector<TL1OPascalSymbolTable_Class *> out;
        out.reserve(static_cast<size_t>(list.Count()));
        for (const TStringList::Entry &e : list.Items())
            out.push_back(static_cast<TL1OPascalSymbolTable_Class *>(e.obj));
        return out;
    };
    std::vector<TL1OPascalSymbolTable_Class *> classViews = objects(fClasses), interfaceViews = objects(fInterfaces);
    std::vector<TL1OPascalSymbolTable_Class *> owners;
    owners.reserve(classViews.size() + interfaceViews.size());
    std::merge(classViews.begin(), classViews.end(), interfaceViews.begin(), interfaceViews.end(), std::back_inserter(owners),
               [](const TL1OPascalSymbolTable_Class *a, const TL1OPascalSymbolTable_Class *b) {
                   return text::CompareText(a->Name, b->Name) < 0;
               });
    BuildMemberView(fProperties, owners, &TL1OPascalSymbolTable_Class::Properties);
    BuildMemberView(fMethods, owners, &TL1OPascalSymbolTable_Class::Methods);
    BuildMemberView(fEvents, owners, &TL1OPascalSymbolTable_Class::Events);
}

int TL1OPascalSymbolTable::InterfaceCount() const
{
    CheckPrecondition(fIsDenormalized, "TL1OPascalSymbolTable.GetInterfaceCount", "fIsDenormalized");
    return fInterfaces.Count();
}

int TL1OPascalSymbolTable::ClassCount() const
{
    CheckPrecondition(fIsDenormalized, "TL1OPascalSymbolTable.GetClassCount", "fIsDenormalized");
    return fClasses.Count();
}

int TL1OPascalSymbolTable::RoutineCount() const
{
    CheckPrecondition(fIsDenormalized, "TL1OPascalSymbolTable.GetRoutineCount", "fIsDenormalized");
    return fRoutines.Count();
}

int TL1OPascalSymbolTable::PropertyCount() const
{
    CheckPrecondition(fIsDenormalized, "TL1OPascalSymbolTable.GetPropertyCount", "fIsDenormalized");
    return fProperties.Count();
}

int TL1OPascalSymbolTable::MethodCount() const
{
    CheckPrecondition(fIsDenormalized, "TL1OPascalSymbolTable.GetMethodCount", "fIsDenormalized");
    return fMethods.Count();
}

int TL1OPascalSymbolTable::EventCount() const
{
    CheckPrecondition(fIsDenormalized, "TL1OPascalSymbolTable.GetEventCount", "fIsDenormalized");
    return fEvents.Count();
}

TL1OPascalSymbolTable_Unit *TL1OPascalSymbolTable::GetUnit(int index) const
{
    return static_cast<TL1OPascalSymbolTable_Unit *>(fUnits.Objects(index));
}

TL1OPascalSymbolTable_Unit *TL1OPascalSymbolTable::FindUnit(std::string_view name) const
{
    int index = fUnits.IndexOf(name);
    return index >= 0 ? GetUnit(index) : nullptr;
}

TL1OPascalSymbolTable_Class *TL1OPascalSymbolTable::GetClass(int index) const
{
    CheckPrecondition(fIsDenormalized, "TL1OPascalSymbolTable.GetClass", "fIsDenormalized=True");
    return static_cast<TL1OPascalSymbolTable_Class *>(fClasses.Objects(index));
}

TL1OPascalSymbolTable_Interface *TL1OPascalSymbolTable::GetInterface(int index) const
{
    CheckPrecondition(fIsDenormalized, "TL1OPascalSymbolTable.GetInterface", "fIsDenormalized=True");
    return static_cast<TL1OPascalSymbolTable_Interface *>(fInterfaces.Objects(index));
}

bool TL1OPascalSymbolTable::GetHasClass(std::string_view name) const
{
    CheckPrecondition(fIsDenormalized, "TL1OPascalSymbolTable.GetHasClass", "fIsDenormalized=True");
    return FindInSortedView(fClasses, name) != nullptr;
}

bool TL1OPascalSymbolTable::GetHasInterface(std::string_view name) const
{
    CheckPrecondition(fIsDenormalized, "TL1OPascalSymbolTable.GetHasInterface", "fIsDenormalized=True");
    return FindInSortedView(fInterfaces, name) != nullptr;
}

TL1OPascalSymbolTable_Class *TL1OPascalSymbolTable::FindClass(std::string_view name) const
{
    return static_cast<TL1OPascalSymbolTable_Class *>(FindInSortedView(fClasses, name));
}

TL1OPascalSymbolTable_Interface *TL1OPascalSymbolTable::FindInterface(std::string_view name) const
{
    return static_cast<TL1OPascalSymbolTable_Interface *>(FindInSortedView(fInterfaces, name));
}

bool TL1OPascalSymbolTable::IsUniqueClassName(std::string_view name)
{
    EnsureDenormalized();
    return EqualRange(fClasses, name).second == 1;
}

bool TL1OPascalSymbolTable::IsUniqueRoutineName(std::string_view name)
{
    EnsureDenormalized();
    return EqualRange(fRoutines, name).second == 1;
}

std::string TL1OPascalSymbolTable::FindUnitOfRoutine(std::string_view routineName) const
{
    for (int u = 0; u < fUnits.Count(); ++u)
        if (GetUnit(u)->GetHasRoutine(routineName))
            return GetUnit(u)->Name;
    return {};
}

int TL1OPascalSymbolTable::ListRoutineOwners(std::string_view routineName, TStringList &output) const
{
    // The units that declare the routine: once denormalised, exactly the units of the entries
    // that carry the name in the flat view (they lie next to each other there).
    std::vector<const TL1OPascalSymbolTable_Unit *> owners;
    if (fIsDenormalized) {
        auto [first, count] = EqualRange(fRoutines, routineName);
        for (int i = first; i < first + count; ++i) {
            const auto *unit = static_cast<TL1OPascalSymbolTable_Routine *>(fRoutines.Objects(i))->Unit;
            if (std::find(owners.begin(), owners.end(), unit) == owners.end())
                owners.push_back(unit);
        }
    } else {
        for (int u = 0; u < fUnits.Count(); ++u)
            if (GetUnit(u)->GetHasRoutine(routineName))
                owners.push_back(GetUnit(u));
    }
    TStringList lines;
    for (const TL1OPascalSymbolTable_Unit *unit : owners)
        lines.Add(std::string(routineName) + " (" + unit->Name + ")");
    lines.Sort();
    for (const TStringList::Entry &e : lines.Items())
        output.Add(e.str);
    return lines.Count();
}
