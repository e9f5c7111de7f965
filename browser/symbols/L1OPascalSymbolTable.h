#pragma once
// The symbol table of a documented Object Pascal library: its units, per unit the interfaces,
// classes and routines it declares, and per class or interface the names of its properties,
// methods and events. Read in one pass from "_symboltable", then denormalised into flat,
// sorted views across all units; immutable afterwards.
//
// Every list is ordered and searched with text::CompareText (case-insensitive). Lists kept in
// file order (the units and each unit's lists, sorted by the writer) are searched by bisection
// and a miss is confirmed by a linear scan, since the writer may have sorted them under
// another collation. The flat views are sorted here and searched by bisection alone.

#include "browser/store/L1PersistentObjects.h"

#include <memory>
#include <string>
#include <string_view>

class TL1OPascalSymbolTable_Unit;

class TL1OPascalSymbolTable_Routine : public TvdNamedPersistentObject {
public:
    using TvdNamedPersistentObject::TvdNamedPersistentObject;

    // The owning unit; not stored, set after the unit is read.
    TL1OPascalSymbolTable_Unit *Unit = nullptr;
};

class TL1OPascalSymbolTable_Class : public TvdNamedPersistentObject {
public:
    TL1OPascalSymbolTable_Class() = default;
    explicit TL1OPascalSymbolTable_Class(std::string name, std::string extraString = {});

    // Name, ExtraString, then the property, method and event names as stored.
    void ReadFromStream(TvdStream &stream) override;
    void WriteToStream(TvdStream &stream) const override;

    // The owning unit; not stored.
    TL1OPascalSymbolTable_Unit *Unit = nullptr;
    // Carried through unchanged; never interpreted.
    std::string ExtraString;
    // Plain member names (no objects), in stored order.
    TStringList Methods;
    TStringList Properties;
    TStringList Events;
};

class TL1OPascalSymbolTable_Interface : public TL1OPascalSymbolTable_Class {
public:
    using TL1OPascalSymbolTable_Class::TL1OPascalSymbolTable_Class;
};

class TL1OPascalSymbolTable_Unit : public TvdNamedPersistentObject {
public:
    TL1OPascalSymbolTable_Unit();
    explicit TL1OPascalSymbolTable_Unit(std::string name);

    void ReadFromStream(TvdStream &stream) override;
    // Writes the three lists in sorted order.
    void WriteToStream(TvdStream &stream) const override;

    // Owned lists; entry = name, object = the interface, class or routine.
    TStringList &Interfaces() { return fInterfaces; }
    TStringList &Classes() { return fClasses; }
    TStringList &Routines() { return fRoutines; }
    const TStringList &Interfaces() const { return fInterfaces; }
    const TStringList &Classes() const { return fClasses; }
    const TStringList &Routines() const { return fRoutines; }

    // For writers: append a new element (owned by the unit) and return it.
    TL1OPascalSymbolTable_Interface *AddInterface(const std::string &name, const std::string &extraString = {});
    TL1OPascalSymbolTable_Class *AddClass(const std::string &name, const std::string &extraString = {});
    TL1OPascalSymbolTable_Routine *AddRoutine(const std::string &name);

    TL1OPascalSymbolTable_Class *GetClass(int index) const;
    TL1OPascalSymbolTable_Interface *GetInterface(int index) const;
    TL1OPascalSymbolTable_Routine *GetRoutine(int index) const;

    bool GetHasClass(std::string_view name) const;
    bool GetHasInterface(std::string_view name) const;
    bool GetHasRoutine(std::string_view name) const;

    void SetUnitPointerInClasses();
    void SetUnitPointerInInterfaces();
    void SetUnitPointerInRoutines();

private:
    TStringList fInterfaces{true};
    TStringList fClasses{true};
    TStringList fRoutines{true};
};

class TL1OPascalSymbolTable : public TvdNamedPersistentObject {
public:
    TL1OPascalSymbolTable();
    explicit TL1OPascalSymbolTable(std::string name);

    // Reads the name and the units, then denormalises.
    void ReadFromStream(TvdStream &stream) override;
    // Writes the name and the units in sorted order.
    void WriteToStream(TvdStream &stream) const override;

    // Owned units, in stored order; entry = unit name.
    TStringList &Units() { return fUnits; }
    const TStringList &Units() const { return fUnits; }
    // Flat views over all units, sorted; they do not own their objects.
    const TStringList &Interfaces() const { return fInterfaces; }
    const TStringList &Classes() const { return fClasses; }
    const TStringList &Routines() const { return fRoutines; }
    // Flat member views: "Member (Owner)" with the owning class or interface attached.
    const TStringList &Properties() const { return fProperties; }
    const TStringList &Methods() const { return fMethods; }
    const TStringList &Events() const { return fEvents; }

    // For writers: append a new unit (owned by the table) and return it.
    TL1OPascalSymbolTable_Unit *AddUnit(const std::string &name);

    bool IsDenormalized() const { return fIsDenormalized; }

    int UnitCount() const { return fUnits.Count(); }
    int InterfaceCount() const;
    int ClassCount() const;
    int RoutineCount() const;
    int PropertyCount() const;
    int MethodCount() const;
    int EventCount() const;

    TL1OPascalSymbolTable_Unit *GetUnit(int index) const;
    TL1OPascalSymbolTable_Unit *FindUnit(std::string_view name) const;
    TL1OPascalSymbolTable_Class *GetClass(int index) const;
    TL1OPascalSymbolTable_Interface *GetInterface(int index) const;
    bool GetHasClass(std::string_view name) const;
    bool GetHasInterface(std::string_view name) const;
    TL1OPascalSymbolTable_Class *FindClass(std::string_view name) const;
    TL1OPascalSymbolTable_Interface *FindInterface(std::string_view name) const;
    bool IsUniqueClassName(std::string_view name);
    bool IsUniqueRoutineName(std::string_view name);
    // The name of the first unit, in unit order, that declares the routine; empty if none.
    std::string FindUnitOfRoutine(std::string_view routineName) const;
    // Appends "Routine (Unit)" for every unit that declares the routine, sorted; returns how many.
    int ListRoutineOwners(std::string_view routineName, TStringList &output) const;
    void EnsureDenormalized();

private:
    void Denormalize();

    TStringList fUnits{true};
    TStringList fInterfaces;
    TStringList fClasses;
    TStringList fRoutines;
    TStringList fProperties;
    TStringList fMethods;
    TStringList fEvents;
    bool fIsDenormalized = false;
};
