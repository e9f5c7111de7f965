// The see-tag operations and their omission rules: the unit is left out when the reference
// points into the unit being edited or the name alone is unambiguous in the library; the class
// of a member is left out when the member belongs to the class being edited. The edit context is
// fetched fresh before every class, routine and member tag, so the rule follows the cursor.

#include "browser/runtime/U_Quillmark_OAWrappers.h"

#include "browser/support/L1DebugWindow.h"
#include "browser/support/L1basis.h"
#include "browser/symbols/L1OPascalSymbolTable.h"

const char kQuillmarkAutomationId[] = "Quillmark.Quillmark_OA_Application";

namespace {

std::vector<TAutomationArgument> ByValue(std::initializer_list<std::string> values)
{
    std::vector<TAutomationArgument> arguments;
    for (const std::string &v : values)
        arguments.push_back({v, false});
    return arguments;
}

} // namespace

TQMK_OA_Application::TQMK_OA_Application() : TL1AutomationObjectWrapper(kQuillmarkAutomationId) {}

bool TQMK_OA_Application::Call(const std::string &method, std::vector<TAutomationArgument> &arguments)
{
    return fDispatch->Invoke(method, arguments);
}

void TQMK_OA_Application::GetEditContext()
{
    EnsureServer();
    std::vector<TAutomationArgument> arguments{{"", true}, {"", true}};
    Call("GetEditContext", arguments);
    fEditUnit = arguments[0].value;
    fEditClass = arguments[1].value;
    DebugWindow().WriteLine("EditContext: Unit=" + fEditUnit + " Class= " + fEditClass);
}

void TQMK_OA_Application::InsertUnitSeeTag(const std::string &unit)
{
    EnsureServer();
    auto arguments = ByValue({unit, "", "", "", "", ""});
    Call("InsertSeeTag", arguments);
}

void TQMK_OA_Application::InsertClassSeeTag(const std::string &unit, const std::string &className)
{
    EnsureServer();
    GetEditContext();
    const bool omit = SameText(unit, fEditUnit) || (fSymbolTable && fSymbolTable->IsUniqueClassName(className));
    auto arguments = ByValue({omit ? "" : unit, className, "", "", "", ""});
    Call("InsertSeeTag", arguments);
}

void TQMK_OA_Application::InsertRoutineSeeTag(const std::string &unit, const std::string &routine)
{
    EnsureServer();
    GetEditContext();
    const bool omit = SameText(unit, fEditUnit) || (fSymbolTable && fSymbolTable->IsUniqueRoutineName(routine));
    std::vector<TAutomationArgument> arguments{{omit ? "" : unit, true}, {routine, false}};
    Call("InsertSeeRoutineTag", arguments);
}

void TQMK_OA_Application::InsertMemberSeeTag(const std::string &className, const std::string &member, MemberKind kind)
{
    EnsureServer();
    GetEditContext();
    auto arguments = ByValue({"", SameText(className, fEditClass) ? "" : className, "", "", "", ""});
    arguments[3 + kind].value = member;
    Call("InsertSeeTag", arguments);
}

void TQMK_OA_Application::InsertPropertySeeTag(const std::string &, const std::string &className, const std::string &member)
{
    InsertMemberSeeTag(className, member, Property);
}

void TQMK_OA_Application::InsertMethodSeeTag(const std::string &, const std::string &className, const std::string &member)
{
    InsertMemberSeeTag(className, member, Method);
}

void TQMK_OA_Application::InsertEventSeeTag(const std::string &, const std::string &className, const std::string &member)
{
    InsertMemberSeeTag(className, member, Event);
}

TQMK_OA_Application &QMK_OA_Application()
{
    static TQMK_OA_Application link;
    return link;
}
