// The parser of the interface section: type sections, class bodies, routine headings, and the
// resynchronisation after text that is no declaration.

#include "tools/qmk/qmkbuild/PascalParser.h"

#include "platform/text/Ascii.h"

#include <algorithm>
#include <unordered_set>

namespace qmkbuild {

namespace {

bool SameWord(std::string_view a, std::string_view b) { return text::AsciiSameText(a, b); }

// Words that may follow a routine or a procedural type without starting a declaration.
bool IsDirectiveWord(std::string_view w)
{
    static const std::unordered_set<std::string> words = {
        "cdecl", "stdcall", "register", "pascal", "safecall", "winapi", "mwpascal", "hardfloat",
        "vectorcall", "varargs", "deprecated", "platform", "experimental", "unimplemented", "far",
        "near", "oldfpccall", "softfloat", "syscall", "cppdecl", "ms_abi_default", "ms_abi_cdecl",
        "sysv_abi_default", "sysv_abi_cdecl", "inline", "overload", "is", "nested", "local",
        "noreturn", "iocheck"};
    return words.count(Lower(w)) > 0;
}

bool IsVisibility(Keyword k)
{
    return k == Keyword::Private || k == Keyword::Protected || k == Keyword::Public ||
           k == Keyword::Published || k == Keyword::Automated;
}

// A visibility word opening a section of a class body. "package" is one only where it names
// nothing (a field, a type or a constant may be called Package).
bool OpensSection(const Token &k, const Token &next)
{
    if (k.kind != TokenKind::Identifier)
        return false;
    if (k.keyword == Keyword::Package)
        return !(next.kind == TokenKind::Symbol && (next.text[0] == ':' || next.text[0] == ',' ||
                                                      next.text[0] == '=' || next.text[0] == '<'));
    return IsVisibility(k.keyword) || k.keyword == Keyword::Strict;
}

bool IsHintWord(std::string_view w)
{
    return SameWord(w, "deprecated") || SameWord(w, "platform") || SameWord(w, "experimental") ||
           SameWord(w, "unimplemented") || SameWord(w, "library");
}


// "optional" and "required" open sections of an Objective-C protocol; elsewhere they are
// names like any other.
bool IsProtocolSection(const Token &k, const Token &next)
{
    if (!SameWord(k.text, "optional") && !SameWord(k.text, "required"))
        return false;
    switch (next.kind == TokenKind::Identifier ? next.keyword : Keyword::None) {
    case Keyword::Procedure:
    case Keyword::Function:
    case Keyword::Property:
    case Keyword::Class:
    case Keyword::End:
        return true;
    default:
        return SameWord(next.text, "optional") || SameWord(next.text, "required");
    }
}

// Words that open a section of declarations at unit level.
bool StartsSection(Keyword k)
{
    switch (k) {
    case Keyword::Type:
    case Keyword::Const:
    case Keyword::ResourceString:
    case Keyword::Var:
    case Keyword::ThreadVar:
    case Keyword::Uses:
    case Keyword::Label:
    case Keyword::Exports:
        return true;
    default:
        return false;
    }
}

} // namespace

// Skips to the ";" that ends the current declaration, over brackets and record bodies.
// Stops before that ";", before an "end" that closes an enclosing block, and at the end of
// the interface section.
void Parser::SkipToSemicolon()
{
    int brackets = 0, blocks = 0;
    const Token *prev = nullptr;
    while (!AtEnd()) {
        const Token &k = Cur();
        if (k.kind == TokenKind::Symbol) {
            char c = k.text[0];
            if (c == ';' && brackets == 0 && blocks == 0)
                return;
            if (c == '(' || c == '[')
                ++brackets;
            else if ((c == ')' || c == ']') && brackets > 0)
                --brackets;
        } else if (k.kind == TokenKind::Identifier) {
            if (k.keyword == Keyword::Record || (k.keyword == Keyword::Object && !(prev && IsKw(*prev, Keyword::Of))))
                ++blocks;
            else if (k.keyword == Keyword::End) {
                if (blocks == 0)
                    return;
                --blocks;
            }
        }
        prev = &k;
        Advance();
    }
}

void Parser::SkipBalanced(char open, char close)
{
    int depth = 0;
    while (!AtEnd()) {
        if (IsSym(Cur(), open))
            ++depth;
        else if (IsSym(Cur(), close) && --depth <= 0) {
            Advance();
            return;
        }
        else if (IsKw(Cur(), Keyword::End) || (open == '<' && IsSym(Cur(), '=')))
            return; // unbalanced: leave the rest to the declaration it belongs to
        Advance();
    }
}

// Whether the class-like word at `at` (class, object, interface, record, ...) opens a body
// that an "end" closes.
bool Parser::OpensBody(size_t at) const
{
    const Token &k = *t[std::min(at, t.size() - 1)];
    if (k.keyword == Keyword::Record)
        return true;
    if (k.keyword == Keyword::Object)
        return !(at > 0 && IsKw(*t[at - 1], Keyword::Of));
    const Token &next = *t[std::min(SkipClassModifiers(at + 1), t.size() - 1)];
    if (IsSym(next, ';') || IsKw(next, Keyword::Of))
        return false;
    if (k.keyword == Keyword::Class) {
        // "class procedure", "class var" ... inside bodies; a body only after "=".
        bool afterEquals = at > 0 && (IsSym(*t[at - 1], '=') || IsKw(*t[at - 1], Keyword::Packed));
        if (!afterEquals)
            return false;
    }
    if (IsSym(next, '(')) {
        // "class(TBase);" declares a class without a body.
        int depth = 0;
        for (size_t j = SkipClassModifiers(at + 1); j < t.size(); ++j) {
            const Token &x = *t[j];
            if (IsSym(x, '('))
                ++depth;
            else if (IsSym(x, ')') && --depth == 0)
                return !IsSym(*t[std::min(j + 1, t.size() - 1)], ';');
            else if (x.kind == TokenKind::End || IsSym(x, ';'))
                return true;
        }
    }
    return true;
}

// Past "sealed", "abstract" and the external clause of the other targets' classes
// ("external 'java.lang' name 'Object'", "external name 'NSFoo'", "external"), from `at`.
size_t Parser::SkipClassModifiers(size_t at) const
{
    auto token = [&](size_t k) -> const Token & { return *t[std::min(k, t.size() - 1)]; };
    auto skipString = [&](size_t k) {
        while (token(k).kind == TokenKind::String || (IsSym(token(k), '+') && token(k + 1).kind == TokenKind::String))
            ++k;
        return k;
    };
    while (true) {
        const Token &k = token(at);
        if (IsKw(k, Keyword::Sealed) || IsKw(k, Keyword::Abstract)) {
            ++at;
        } else if (IsName(k) && SameWord(k.text, "external")) {
            at = skipString(at + 1);
            if (IsName(token(at)) && SameWord(token(at).text, "name") && token(at + 1).kind == TokenKind::String)
                at = skipString(at + 1);
        } else {
            return at;
        }
    }
}

// Skips a body from the word that opens it to the matching "end" (inclusive).
void Parser::SkipBody(int blocks)
{
    while (!AtEnd()) {
        const Token &k = Cur();
        if (k.kind == TokenKind::Identifier) {
            switch (k.keyword) {
            case Keyword::Record:
            case Keyword::Object:
            case Keyword::Class:
            case Keyword::Interface:
            case Keyword::DispInterface:
            case Keyword::ObjcClass:
            case Keyword::ObjcProtocol:
            case Keyword::ObjcCategory:
            case Keyword::CppClass:
            case Keyword::JavaClass:
            case Keyword::JavaInterface:
                if (OpensBody(i))
                    ++blocks;
                break;
            case Keyword::End:
                if (--blocks <= 0) {
                    Advance();
                    return;
                }
                break;
            default:
                break;
            }
        }
        Advance();
    }
}

// Name or Unit.Name: the text as written, dots included.
std::string Parser::DottedName()
{
    std::string name;
    if (Cur().kind != TokenKind::Identifier)
        return name;
    name = std::string(Cur().text);
    Advance();
    while (IsSym(Cur(), '.') && At(1).kind == TokenKind::Identifier) {
        name += '.';
        name += At(1).text;
        Advance();
        Advance();
    }
    return name;
}

// The name of a type reference without unit prefix and type arguments:
// "Classes.TNotifyEvent" gives TNotifyEvent, "specialize TFPGList<T>" gives TFPGList.
std::string Parser::BareTypeName()
{
    if (IsKw(Cur(), Keyword::Specialize))
        Advance();
    std::string name;
    while (Cur().kind == TokenKind::Identifier) {
        name = std::string(Cur().text);
        Advance();
        if (IsSym(Cur(), '.') && At(1).kind == TokenKind::Identifier)
            Advance();
        else
            break;
    }
    return name;
}

std::optional<UnitDecl> Parser::ParseUnit()
{
    if (!IsKw(Cur(), Keyword::Unit))
        return std::nullopt;
    const Token &unitWord = Cur();
    Advance();
    UnitDecl unit;
    unit.name = DottedName();
    if (unit.name.empty()) {
        Warn(unitWord, "unit name expected");
        return std::nullopt;
    }
    SkipPastSemicolon();
    if (!IsKw(Cur(), Keyword::Interface)) {
        Warn(Cur(), "'interface' expected but " + Describe(Cur()) + " found");
        return unit;
    }
    Advance();
    while (!AtEnd()) {
        const Token &k = Cur();
        if (k.kind == TokenKind::Identifier && StartsSection(k.keyword))
            fLost = false;
        switch (k.kind == TokenKind::Identifier ? k.keyword : Keyword::None) {
        case Keyword::Type:
            Advance();
            ParseTypeSection(&unit);
            continue;
        case Keyword::Const:
        case Keyword::ResourceString:
        case Keyword::Var:
        case Keyword::ThreadVar:
            Advance();
            while (IsName(Cur()) && Cur().keyword != Keyword::Generic)
                SkipPastSemicolon();
            continue;
        case Keyword::Generic:
            Advance();
            continue;
        case Keyword::Procedure:
        case Keyword::Function: {
            std::string name = ParseRoutineHeading();
            if (!name.empty())
                unit.routines.push_back(std::move(name));
            SkipRoutineDirectives();
            continue;
        }
        case Keyword::Unit: // the header of a unit embedded through an include file
            SkipPastSemicolon();
            continue;
        case Keyword::Interface:
            Advance();
            continue;
        case Keyword::Operator:
            SkipPastSemicolon();
            SkipRoutineDirectives();
            continue;
        case Keyword::Uses:
        case Keyword::Property:
        case Keyword::Label:
        case Keyword::Exports:
            SkipPastSemicolon();
            continue;
        case Keyword::Initialization:
        case Keyword::Finalization:
        case Keyword::Begin:
            return unit;
        case Keyword::End:
            if (IsSym(At(1), '.'))
                return unit;
            WarnLost(k, "declaration expected but " + Describe(k) + " found");
            Advance();
            continue;
        default:
            break;
        }
        if (IsSym(k, ';')) {
            Advance();
            continue;
        }
        WarnLost(k, "declaration expected but " + Describe(k) + " found");
        SkipJunk(false);
    }
    return unit;
}

// procedure Name(...); / function Name(...): T; up to and including the ";".
// Gives the routine's name, or nothing for a method implementation heading "T.Name".
std::string Parser::ParseRoutineHeading()
{
    Advance(); // procedure / function
    if (!IsName(Cur())) {
        Warn(Cur(), "routine name expected but " + Describe(Cur()) + " found");
        SkipPastSemicolon();
        return {};
    }
    std::string name(Cur().text);
    Advance();
    if (IsSym(Cur(), '<'))
        SkipBalanced('<', '>');
    bool qualified = IsSym(Cur(), '.');
    SkipPastSemicolon();
    return qualified ? std::string() : name;
}

// Skips text that is no declaration (such as the deliberate error of a branch for another
// compiler) up to and including a ";", or up to the next section word or, in a type section,
// the next "Name =".
void Parser::SkipJunk(bool typeSection)
{
    Advance();
    while (!AtEnd()) {
        const Token &k = Cur();
        if (IsSym(k, ';')) {
            Advance();
            return;
        }
        if (k.kind == TokenKind::Identifier && IsReserved(k.keyword) && k.keyword != Keyword::Of &&
            k.keyword != Keyword::Set && k.keyword != Keyword::Array && k.keyword != Keyword::To &&
            k.keyword != Keyword::Then && k.keyword != Keyword::Specialize)
            return;
        if (typeSection && IsName(k) && IsSym(At(1), '='))
            return;
        Advance();
    }
}

// Directives after a routine heading: at unit level they are the only plain words there
// can be ("overload;", "external 'lib' name 'x';", "[internproc: ...];").
void Parser::SkipRoutineDirectives()
{
    while (true) {
        if (IsName(Cur())) {
            SkipPastSemicolon();
        } else if (IsSym(Cur(), '[')) {
            SkipBalanced('[', ']');
            if (IsSym(Cur(), ';'))
                Advance();
        } else {
            return;
        }
    }
}

void Parser::ParseTypeSection(UnitDecl *unit)
{
    while (!AtEnd()) {
        const Token &k = Cur();
        if (IsKw(k, Keyword::Generic) && At(1).kind == TokenKind::Identifier) {
            Advance();
            continue;
        }
        if (k.kind == TokenKind::Identifier && (!IsName(k) || OpensSection(k, At(1))))
            return;
        if (IsSym(k, ';')) {
            Advance();
            continue;
        }
        if (IsSym(k, '[')) { // attributes
            SkipBalanced('[', ']');
            continue;
        }
        if (k.kind != TokenKind::Identifier && !unit)
            return;
        const Token &next = At(1);
        if (IsSym(next, '=') || IsSym(next, '<')) {
            fLost = false;
            ParseTypeDecl(unit);
            continue;
        }
        if (!unit && (IsSym(next, ':') || (next.kind == TokenKind::Identifier && IsReserved(next.keyword))))
            return; // a field or a member after nested types: the class body goes on
        // A directive after a procedural type; a lone word may be a macro for one.
        if (IsDirectiveWord(k.text) || IsSym(next, ';')) {
            SkipPastSemicolon();
            continue;
        }
        WarnLost(k, "type declaration expected but " + Describe(k) + " found");
        SkipJunk(true);
    }
}

// Name [<params>] = ...;  Classes, objects and interfaces of the unit (unit != nullptr) are
// collected; nested ones only enter the type catalog.
void Parser::ParseTypeDecl(UnitDecl *unit)
{
    const Token &nameToken = Cur();
    std::string name(nameToken.text);
    Advance();
    if (IsSym(Cur(), '<'))
        SkipBalanced('<', '>');
    if (!IsSym(Cur(), '=')) {
        Warn(Cur(), "'=' expected but " + Describe(Cur()) + " found");
        SkipPastSemicolon();
        return;
    }
    Advance();
    if (IsKw(Cur(), Keyword::Type) && !IsKw(At(1), Keyword::Helper))
        Advance();
    bool packed = false;
    while (IsKw(Cur(), Keyword::Packed) || IsKw(Cur(), Keyword::BitPacked)) {
        packed = true;
        Advance();
    }
    const Token &k = Cur();
    const Token &next = At(1);
    TypeDecl decl;
    decl.name = name;
    decl.line = nameToken.line;
    decl.file = fFiles[nameToken.file];
    switch (k.kind == TokenKind::Identifier ? k.keyword : Keyword::None) {
    case Keyword::Class:
        if (IsKw(next, Keyword::Of) || IsSym(next, ';') || IsKw(next, Keyword::Helper)) {
            fCatalog.AddOther(name);
            if (IsKw(next, Keyword::Helper))
                SkipBody();
            SkipPastSemicolon();
            return;
        }
        decl.kind = TypeKind::Class;
        break;
    case Keyword::Object:
        decl.kind = TypeKind::Object;
        break;
    case Keyword::Interface:
    case Keyword::DispInterface:
        fCatalog.AddOther(name);
        if (IsSym(next, ';')) {
            SkipPastSemicolon();
            return;
        }
        decl.kind = k.keyword == Keyword::Interface ? TypeKind::Interface : TypeKind::DispInterface;
        break;
    case Keyword::ObjcClass:
    case Keyword::CppClass:
        decl.kind = TypeKind::Class;
        decl.foreign = true;
        break;
    case Keyword::ObjcProtocol:
        decl.kind = TypeKind::Interface;
        decl.foreign = true;
        break;
    case Keyword::Record:
    case Keyword::ObjcCategory: // adds to a class declared elsewhere, as a helper does
    case Keyword::JavaClass:
    case Keyword::JavaInterface:
        fCatalog.AddOther(name);
        if (OpensBody(i))
            SkipBody();
        SkipPastSemicolon();
        return;
    case Keyword::Type: // type helper for ...
        fCatalog.AddOther(name);
        Advance();
        SkipBody(1);
        SkipPastSemicolon();
        return;
    case Keyword::Procedure:
    case Keyword::Function:
    case Keyword::Reference: {
        bool methodPointer = k.keyword == Keyword::Reference && IsKw(next, Keyword::To);
        const Token *prev = nullptr;
        int brackets = 0;
        while (!AtEnd() && !(IsSym(Cur(), ';') && brackets == 0) && !IsKw(Cur(), Keyword::End)) {
            if (IsSym(Cur(), '('))
                ++brackets;
            else if (IsSym(Cur(), ')') && brackets > 0)
                --brackets;
            else if (prev && IsKw(*prev, Keyword::Of) && IsKw(Cur(), Keyword::Object) && brackets == 0)
                methodPointer = true;
            prev = &Cur();
            Advance();
        }
        if (IsSym(Cur(), ';'))
            Advance();
        if (methodPointer)
            fCatalog.AddMethodPointer(name);
        else
            fCatalog.AddOther(name);
        return;
    }
    default:
        if (IsName(k) || IsKw(k, Keyword::Specialize)) {
            size_t start = i;
            std::string target = BareTypeName();
            if (IsSym(Cur(), '<'))
                SkipBalanced('<', '>');
            if (IsSym(Cur(), ';') && !packed) {
                fCatalog.AddAlias(name, target);
                Advance();
                return;
            }
            i = start;
        }
        fCatalog.AddOther(name);
        SkipPastSemicolon();
        return;
    }
    fCatalog.AddOther(name);
    if (ParseClassLike(decl) && unit && !decl.name.empty())
        unit->Add(std::move(decl));
}

// From the word class/object/interface/... to the ";" after the body. False for a forward
// declaration of a class of another target ("class external 'java.lang' name 'Object';",
// "objcclass external;"), which declares nothing yet.
bool Parser::ParseClassLike(TypeDecl &decl)
{
    if (fNesting >= kMaxNesting) {
        Warn(Cur(), "types nested too deeply");
        SkipBody();
        SkipPastSemicolon();
        return true;
    }
    struct Nest {
        int &n;
        explicit Nest(int &count) : n(++count) {}
        ~Nest() { --n; }
    } nest(fNesting);
    Advance();
    for (size_t end = SkipClassModifiers(i); i < end; Advance())
        if (IsName(Cur()) && SameWord(Cur().text, "external"))
            decl.foreign = true; // a class of the JVM target, or an imported one
    if (IsSym(Cur(), ';') && decl.foreign) {
        Advance();
        return false;
    }
    if (IsSym(Cur(), '(')) {
        Advance();
        size_t start = i;
        int depth = 1;
        // A reserved word (other than "specialize") ends a list that lacks its ")".
        while (!AtEnd() && !IsSym(Cur(), ';') &&
               !(IsReserved(Cur().keyword) && Cur().kind == TokenKind::Identifier && Cur().keyword != Keyword::Specialize)) {
            if (IsSym(Cur(), '('))
                ++depth;
            else if (IsSym(Cur(), ')') && --depth == 0)
                break;
            Advance();
        }
        size_t stop = i;
        for (size_t j = start; j < stop; ++j) {
            if (j > start && t[j]->spaceBefore)
                decl.ancestors += ' ';
            decl.ancestors += t[j]->text;
        }
        i = start;
        decl.ancestor = BareTypeName();
        i = stop;
        if (IsSym(Cur(), ')'))
            Advance();
        else
            Warn(Cur(), "')' expected but " + Describe(Cur()) + " found");
    }
    if (IsSym(Cur(), ';')) { // no body
        Advance();
        return true;
    }
    if (!ParseMembers(decl))
        return true;
    if (IsSym(Cur(), ';'))
        Advance();
    else if (IsName(Cur()) && IsHintWord(Cur().text))
        SkipPastSemicolon();
    else if (IsKw(Cur(), Keyword::Library))
        SkipPastSemicolon();
    else
        Warn(Cur(), "';' expected but " + Describe(Cur()) + " found");
    return true;
}

// The members up to and including the body's "end". False when the body is not closed:
// the section ended, or a type declaration shows that its "end" is missing.
bool Parser::ParseMembers(TypeDecl &decl)
{
    while (true) {
        const Token &k = Cur();
        if (AtEnd()) {
            Warn(k, "'end' of " + decl.name + " expected but " + Describe(k) + " found");
            return false;
        }
        if (k.kind == TokenKind::Symbol) {
            if (k.text[0] == '[')
                SkipBalanced('[', ']'); // interface GUID, attributes
            else
                Advance();
            continue;
        }
        if (k.kind != TokenKind::Identifier) {
            Warn(k, "member expected but " + Describe(k) + " found");
            SkipPastSemicolon();
            continue;
        }
        switch (k.keyword) {
        case Keyword::End:
            Advance();
            return true;
        case Keyword::Private:
        case Keyword::Protected:
        case Keyword::Public:
        case Keyword::Published:
        case Keyword::Automated:
            Advance();
            continue;
        case Keyword::Package:
            if (OpensSection(k, At(1))) {
                Advance();
                continue;
            }
            break;
        case Keyword::Strict:
            if (IsVisibility(At(1).keyword)) {
                Advance();
                Advance();
                continue;
            }
            break;
        case Keyword::Generic:
            Advance();
            continue;
        case Keyword::Procedure:
        case Keyword::Function:
        case Keyword::Constructor:
        case Keyword::Destructor:
            ParseMethod(decl);
            continue;
        case Keyword::Property:
            ParseProperty(decl);
            continue;
        case Keyword::Class: {
            Keyword w = At(1).kind == TokenKind::Identifier ? At(1).keyword : Keyword::None;
            Advance();
            if (w == Keyword::Procedure || w == Keyword::Function || w == Keyword::Constructor ||
                w == Keyword::Destructor)
                ParseMethod(decl);
            else if (w == Keyword::Property)
                ParseProperty(decl);
            else if (w == Keyword::Var || w == Keyword::ThreadVar)
                Advance();
            else
                SkipPastSemicolon();
            continue;
        }
        case Keyword::Operator:
            SkipPastSemicolon();
            continue;
        case Keyword::Type:
            Advance();
            ParseTypeSection(nullptr);
            continue;
        case Keyword::Const:
            Advance();
            SkipConstSection();
            continue;
        case Keyword::Var:
        case Keyword::ThreadVar:
            Advance();
            continue;
        default:
            break;
        }
        if (IsName(k)) {
            if (IsProtocolSection(k, At(1)) ||
                (SameWord(k.text, "final") && (IsKw(At(1), Keyword::Class) || IsKw(At(1), Keyword::Var)))) {
                Advance();
                continue;
            }
            if (IsSym(At(1), '=')) {
                // A type declaration where members belong: this body has lost its "end".
                Warn(k, "'end' of " + decl.name + " expected but " + Describe(k) + " found");
                return false;
            }
            SkipPastSemicolon(); // field
            continue;
        }
        Warn(k, "member expected but " + Describe(k) + " found");
        size_t before = i;
        SkipPastSemicolon();
        if (i == before)
            Advance();
    }
}

// procedure/function/constructor/destructor Name[<T>][(...)][: T]; (directives follow as
// "fields" and are skipped by the caller).
void Parser::ParseMethod(TypeDecl &decl)
{
    Advance();
    if (!IsName(Cur())) {
        Warn(Cur(), "method name expected but " + Describe(Cur()) + " found");
        SkipPastSemicolon();
        return;
    }
    std::string name(Cur().text);
    Advance();
    if (IsSym(Cur(), '<'))
        SkipBalanced('<', '>');
    // "procedure IFoo.Bar = Baz;" maps an interface method; it declares nothing.
    bool mapping = IsSym(Cur(), '.') || IsSym(Cur(), '=');
    SkipPastSemicolon();
    if (!mapping)
        decl.methods.push_back(std::move(name));
}

// property Name[[...]][: Type] ...; [default;]
void Parser::ParseProperty(TypeDecl &decl)
{
    Advance();
    if (!IsName(Cur())) {
        Warn(Cur(), "property name expected but " + Describe(Cur()) + " found");
        SkipPastSemicolon();
        return;
    }
    PropertyDecl p;
    p.name = std::string(Cur().text);
    Advance();
    if (IsSym(Cur(), '['))
        SkipBalanced('[', ']');
    if (IsSym(Cur(), ':')) {
        Advance();
        p.type = BareTypeName();
    }
    SkipPastSemicolon();
    if (IsKw(Cur(), Keyword::Default) && IsSym(At(1), ';')) {
        Advance();
        Advance();
    }
    decl.properties.push_back(std::move(p));
}

// Constants of a class: "Name = value;" or "Name: Type = value;" until the next member word.
void Parser::SkipConstSection()
{
    while (IsName(Cur()) && !OpensSection(Cur(), At(1)) &&
           Cur().keyword != Keyword::Generic)
        SkipPastSemicolon();
}

} // namespace qmkbuild
