#pragma once
// The automation link to the authoring application: inserts cross-reference ("see") tags into
// the document being edited there, qualified only as far as the reader needs (see the omission
// rules in the .cpp). Every operation reaches the server afresh and waits for it; the server's
// failures reach the caller as exceptions and nothing is retried.
//
// A window calls, for the command "Insert <See> tag in editor":
//
//     TQMK_OA_Application &link = QMK_OA_Application();
//     link.SetSymbolTable(table);                         // after each database is opened
//     link.InsertClassSeeTag(unitName, className);        // or another Insert...SeeTag

#include "browser/runtime/L1AutomationObjectWrapper.h"

class TL1OPascalSymbolTable;

extern const char kQuillmarkAutomationId[]; // "Quillmark.Quillmark_OA_Application"

class TQMK_OA_Application : public TL1AutomationObjectWrapper {
public:
    TQMK_OA_Application();

    // The symbol table that decides which names are unique (not owned; may be nullptr).
    void SetSymbolTable(TL1OPascalSymbolTable *table) { fSymbolTable = table; }

    // Asks where the writer's cursor stands and keeps it as edit unit and edit class.
    void GetEditContext();
    void InsertUnitSeeTag(const std::string &unit);
    void InsertClassSeeTag(const std::string &unit, const std::string &className);
    void InsertRoutineSeeTag(const std::string &unit, const std::string &routine);
    void InsertPropertySeeTag(const std::string &unit, const std::string &className, const std::string &member);
    void InsertMethodSeeTag(const std::string &unit, const std::string &className, const std::string &member);
    void InsertEventSeeTag(const std::string &unit, const std::string &className, const std::string &member);

    const std::string &EditUnit() const { return fEditUnit; }
    const std::string &EditClass() const { return fEditClass; }

private:
    enum MemberKind { Property, Method, Event };
    void InsertMemberSeeTag(const std::string &className, const std::string &member, MemberKind kind);
    bool Call(const std::string &method, std::vector<TAutomationArgument> &arguments);

    std::string fEditUnit;
    std::string fEditClass;
    TL1OPascalSymbolTable *fSymbolTable = nullptr;
};

// The program's single link, created on first use.
TQMK_OA_Application &QMK_OA_Application();

// Reaches automation servers over the D-Bus session bus from now on. Defined by the Qt-side
// target browser_automation_dbus (QtCore and QtDBus only), which a program links to call it.
void UseDBusAutomation();
