#include "tools/qmk/qmkbuild/PascalScanner.h"

#include "tools/qmk/qmkbuild/PascalTokenizer.h"

#include <algorithm>
#include <fstream>
#include <functional>
#include <sstream>
#include <unordered_set>

namespace fs = std::filesystem;

namespace qmkbuild {

std::string Lower(std::string_view s)
{
    std::string r(s);
    for (char &c : r)
        if (c >= 'A' && c <= 'Z')
            c = char(c + ('a' - 'A'));
    return r;
}

namespace {

bool SameWord(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = char(x + 32);
        if (y >= 'A' && y <= 'Z')
            y = char(y + 32);
        if (x != y)
            return false;
    }
    return true;
}

// Keeps the first of every name, letter case ignored.
void RemoveRepeated(std::vector<std::string> &names)
{
    std::unordered_set<std::string> seen;
    std::erase_if(names, [&](const std::string &n) { return !seen.insert(Lower(n)).second; });
}

// ---- Directives ---------------------------------------------------------------------------

enum class DirectiveKind : uint8_t { Other, If, IfNot, ElseIf, Else, EndIf, Include };

struct DirectiveInfo {
    DirectiveKind kind = DirectiveKind::Other;
    std::string argument; // include file name
    int branches = 1;     // of the group an If or IfNot opens
    bool hasElse = false;
};

DirectiveInfo ParseDirective(std::string_view text)
{
    DirectiveInfo d;
    size_t i = 0;
    while (i < text.size() && (std::isalpha(static_cast<unsigned char>(text[i])) || text[i] == '_'))
        ++i;
    std::string name = Lower(text.substr(0, i));
    std::string_view rest = text.substr(i);
    if (name == "ifdef" || name == "if" || name == "ifopt" || name == "ifc")
        d.kind = DirectiveKind::If;
    else if (name == "ifndef")
        d.kind = DirectiveKind::IfNot;
    else if (name == "elseif" || name == "elifc")
        d.kind = DirectiveKind::ElseIf;
    else if (name == "else" || name == "elsec")
        d.kind = DirectiveKind::Else;
    else if (name == "endif" || name == "ifend" || name == "endc")
        d.kind = DirectiveKind::EndIf;
    else if (name == "i" || name == "include") {
        if (!rest.empty() && (rest[0] == '+' || rest[0] == '-'))
            return d;
        size_t b = rest.find_first_not_of(" \t\r\n");
        if (b == std::string_view::npos)
            return d;
        size_t e = rest.find_last_not_of(" \t\r\n");
        std::string_view arg = rest.substr(b, e - b + 1);
        if (arg.size() >= 2 && arg.front() == '\'' && arg.back() == '\'')
            arg = arg.substr(1, arg.size() - 2);
        if (arg.empty() || arg[0] == '%' || arg.size() > 1024)
            return d;
        d.kind = DirectiveKind::Include;
        d.argument = std::string(arg);
    }
    return d;
}

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

bool IsHintWord(std::string_view w)
{
    return SameWord(w, "deprecated") || SameWord(w, "platform") || SameWord(w, "experimental") ||
           SameWord(w, "unimplemented") || SameWord(w, "library");
}

} // namespace

// ---- Declarations ---------------------------------------------------------------------------

void UnitDecl::Add(TypeDecl decl)
{
    std::string key = Lower(decl.name);
    auto it = fIndex.find(key);
    if (it == fIndex.end()) {
        fIndex.emplace(std::move(key), types.size());
        types.push_back(std::move(decl));
        return;
    }
    TypeDecl &first = types[it->second];
    first.methods.insert(first.methods.end(), std::make_move_iterator(decl.methods.begin()),
                         std::make_move_iterator(decl.methods.end()));
    first.properties.insert(first.properties.end(), std::make_move_iterator(decl.properties.begin()),
                            std::make_move_iterator(decl.properties.end()));
}

void UnitDecl::Merge(UnitDecl other)
{
    for (auto &t : other.types)
        Add(std::move(t));
    routines.insert(routines.end(), std::make_move_iterator(other.routines.begin()),
                    std::make_move_iterator(other.routines.end()));
}

void UnitDecl::RemoveDuplicates()
{
    RemoveRepeated(routines);
    for (TypeDecl &t : types) {
        RemoveRepeated(t.methods);
        // Keep the first of each property, with the first type any of its declarations gives.
        std::unordered_map<std::string, size_t> at;
        std::vector<PropertyDecl> kept;
        for (PropertyDecl &p : t.properties) {
            auto [it, fresh] = at.emplace(Lower(p.name), kept.size());
            if (fresh)
                kept.push_back(std::move(p));
            else if (kept[it->second].type.empty())
                kept[it->second].type = std::move(p.type);
        }
        t.properties = std::move(kept);
    }
}

TypeCatalog::TypeCatalog()
{
    for (const char *name :
         {"boolean", "bytebool", "wordbool", "longbool", "qwordbool", "integer", "shortint", "smallint", "longint",
          "int64", "byte", "word", "longword", "cardinal", "qword", "nativeint", "nativeuint", "sizeint", "sizeuint",
          "ptrint", "ptruint", "char", "ansichar", "widechar", "unicodechar", "string", "shortstring", "ansistring",
          "widestring", "unicodestring", "rawbytestring", "utf8string", "single", "double", "extended", "real",
          "comp", "currency", "pointer", "variant", "olevariant", "tobject", "tclass", "tdatetime", "iunknown",
          "iinterface"})
        fTypes[name];
}

void TypeCatalog::AddMethodPointer(std::string_view name)
{
    fTypes[Lower(name)].methodPointer = true;
}

void TypeCatalog::AddAlias(std::string_view name, std::string_view target)
{
    fTypes[Lower(name)].aliasOf.push_back(Lower(target));
}

void TypeCatalog::AddOther(std::string_view name)
{
    fTypes[Lower(name)];
}

bool TypeCatalog::IsDeclared(std::string_view name) const
{
    return fTypes.count(Lower(name)) > 0;
}

std::string TypeCatalog::AliasTarget(std::string_view name) const
{
    auto it = fTypes.find(Lower(name));
    return it == fTypes.end() || it->second.aliasOf.empty() ? std::string() : it->second.aliasOf.front();
}

bool TypeCatalog::IsMethodPointer(std::string_view name) const
{
    // Follows aliases breadth first; a cycle of aliases ends when every name has been seen.
    std::vector<std::string> queue{Lower(name)};
    std::unordered_set<std::string> seen{queue[0]};
    for (size_t i = 0; i < queue.size(); ++i) {
        auto it = fTypes.find(queue[i]);
        if (it == fTypes.end())
            continue;
        if (it->second.methodPointer)
            return true;
        for (const std::string &target : it->second.aliasOf)
            if (seen.insert(target).second)
                queue.push_back(target);
    }
    return false;
}

// ---- Source files and passes ---------------------------------------------------------------

struct UnitScanner::SourceFile {
    std::string path; // as shown in warnings
    fs::path folder;
    std::string text;
    std::vector<Token> tokens;
    std::unordered_map<uint32_t, DirectiveInfo> directives; // by token index
    uint16_t index = 0;
};

UnitScanner::UnitScanner(TypeCatalog &catalog, std::vector<Warning> &warnings, std::vector<fs::path> includeDirs)
    : fCatalog(catalog), fWarnings(warnings), fIncludeDirs(std::move(includeDirs))
{
}

UnitScanner::~UnitScanner() = default;

void UnitScanner::Warn(const SourceFile &file, int line, std::string message)
{
    auto key = std::make_tuple(file.path, line, message);
    if (fWarned.insert(key).second)
        fWarnings.push_back({file.path, line, std::move(message)});
}

UnitScanner::SourceFile *UnitScanner::Load(const fs::path &path, std::string_view text)
{
    if (fFiles.size() >= 0xFFFF)
        return nullptr;
    auto f = std::make_unique<SourceFile>();
    f->path = path.string();
    f->folder = path.parent_path();
    f->text = std::string(text);
    f->index = uint16_t(fFiles.size());
    f->tokens = Tokenize(f->text, f->index, true);
    std::vector<uint32_t> open;
    for (uint32_t i = 0; i < f->tokens.size(); ++i) {
        if (f->tokens[i].kind != TokenKind::Directive)
            continue;
        DirectiveInfo d = ParseDirective(f->tokens[i].text);
        switch (d.kind) {
        case DirectiveKind::Other:
            continue;
        case DirectiveKind::If:
        case DirectiveKind::IfNot:
            open.push_back(i);
            break;
        case DirectiveKind::ElseIf:
        case DirectiveKind::Else:
            if (!open.empty()) {
                DirectiveInfo &group = f->directives[open.back()];
                ++group.branches;
                if (d.kind == DirectiveKind::Else)
                    group.hasElse = true;
            }
            break;
        case DirectiveKind::EndIf:
            if (!open.empty())
                open.pop_back();
            break;
        case DirectiveKind::Include:
            break;
        }
        DirectiveInfo &slot = f->directives[i];
        slot.kind = d.kind;
        slot.argument = std::move(d.argument);
    }
    SourceFile *raw = f.get();
    fFiles.push_back(std::move(f));
    fByPath[raw->path] = raw;
    return raw;
}

UnitScanner::SourceFile *UnitScanner::FindInclude(const SourceFile &from, const std::string &name, int line)
{
    std::string fileName = name;
    std::replace(fileName.begin(), fileName.end(), '\\', '/');
    std::vector<fs::path> folders{from.folder};
    folders.insert(folders.end(), fIncludeDirs.begin(), fIncludeDirs.end());
    std::vector<std::string> candidates{fileName};
    if (fs::path(fileName).extension().empty())
        for (const char *ext : {".inc", ".pp", ".pas"})
            candidates.push_back(fileName + ext);
    for (const fs::path &folder : folders) {
        for (const std::string &candidate : candidates) {
            fs::path p = folder / candidate;
            std::error_code ec;
            if (!fs::is_regular_file(p, ec)) {
                // The sources were written for file systems that ignore letter case.
                fs::path dir = p.parent_path();
                std::string want = Lower(p.filename().string());
                p.clear();
                for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec))
                    if (Lower(it->path().filename().string()) == want && it->is_regular_file(ec)) {
                        p = it->path();
                        break;
                    }
                if (p.empty())
                    continue;
            }
            std::string key = p.lexically_normal().string();
            if (auto it = fByPath.find(key); it != fByPath.end())
                return it->second;
            std::ifstream in(p, std::ios::binary);
            std::ostringstream text;
            text << in.rdbuf();
            if (!in && !in.eof()) {
                Warn(from, line, "cannot read include file '" + name + "'");
                return nullptr;
            }
            return Load(fs::path(key), text.str());
        }
    }
    Warn(from, line, "include file '" + name + "' not found");
    return nullptr;
}

namespace {

// Which branch of a conditional group a pass reads: pass 0 takes the first branch of every
// {$IF...} group (the {$ELSE} of an {$IFNDEF}), pass 1 the other side, and pass k >= 2 the
// k-th branch of groups with {$ELSEIF} chains. Every branch is read by some pass, and each
// pass sees text the compiler could see.
int ChooseBranch(int pass, const DirectiveInfo &group)
{
    bool negated = group.kind == DirectiveKind::IfNot;
    if (pass == 0)
        return negated ? 1 : 0;
    if (pass == 1)
        return negated ? 0 : (group.hasElse ? group.branches - 1 : -1);
    return pass - 1 < group.branches ? pass - 1 : ChooseBranch(0, group);
}

} // namespace

struct UnitScanner::PassResult {
    std::vector<const Token *> tokens;
    int branchesNeeded = 1; // the number of passes this text needs
};

// ---- The parser -----------------------------------------------------------------------------

namespace {

class Parser {
public:
    using WarnFn = std::function<void(const Token &, std::string)>;

    Parser(const std::vector<const Token *> &tokens, const std::vector<std::string> &files,
           TypeCatalog &catalog, WarnFn warn)
        : t(tokens), fFiles(files), fCatalog(catalog), fWarn(std::move(warn))
    {
    }

    // Nothing when the text is no unit.
    std::optional<UnitDecl> ParseUnit();

private:
    const Token &Cur() const { return *t[i]; }
    const Token &At(size_t k) const { return *t[std::min(i + k, t.size() - 1)]; }
    void Advance()
    {
        if (i + 1 < t.size())
            ++i;
    }
    bool AtEnd() const { return Cur().kind == TokenKind::End || Cur().keyword == Keyword::Implementation; }
    static bool IsSym(const Token &k, char c) { return k.kind == TokenKind::Symbol && k.text[0] == c; }
    static bool IsKw(const Token &k, Keyword w) { return k.kind == TokenKind::Identifier && k.keyword == w; }
    // An identifier that can name something here (not a reserved word).
    static bool IsName(const Token &k) { return k.kind == TokenKind::Identifier && !IsReserved(k.keyword); }

    void Warn(const Token &at, std::string message) { fWarn(at, std::move(message)); }
    std::string Describe(const Token &k) const
    {
        if (k.kind == TokenKind::End)
            return "end of file";
        return "'" + std::string(k.text.substr(0, 40)) + "'";
    }

    void SkipToSemicolon();
    void SkipPastSemicolon()
    {
        SkipToSemicolon();
        if (IsSym(Cur(), ';'))
            Advance();
    }
    void SkipBalanced(char open, char close);
    bool OpensBody(size_t at) const;
    void SkipBody(int blocks = 0);
    std::string DottedName();
    std::string BareTypeName();

    void ParseTypeSection(UnitDecl *unit);
    void ParseTypeDecl(UnitDecl *unit);
    void ParseClassLike(TypeDecl &decl);
    bool ParseMembers(TypeDecl &decl);
    void ParseMethod(TypeDecl &decl);
    void ParseProperty(TypeDecl &decl);
    void SkipConstSection();
    std::string ParseRoutineHeading();
    void SkipRoutineDirectives();
    void SkipJunk(bool typeSection);

    const std::vector<const Token *> &t;
    const std::vector<std::string> &fFiles; // by Token::file
    size_t i = 0;
    // Classes declared inside classes, against unbounded recursion.
    static constexpr int kMaxNesting = 32;
    int fNesting = 0;
    TypeCatalog &fCatalog;
    WarnFn fWarn;
};

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
    const Token &next = *t[std::min(at + 1, t.size() - 1)];
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
        for (size_t j = at + 1; j < t.size(); ++j) {
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
            Warn(k, "declaration expected but " + Describe(k) + " found");
            Advance();
            continue;
        default:
            break;
        }
        if (IsSym(k, ';')) {
            Advance();
            continue;
        }
        Warn(k, "declaration expected but " + Describe(k) + " found");
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
        if (k.kind == TokenKind::Identifier && (!IsName(k) || IsVisibility(k.keyword) || k.keyword == Keyword::Strict))
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
            ParseTypeDecl(unit);
            continue;
        }
        if (!unit && IsSym(next, ':'))
            return; // a field after nested types: the class body goes on
        // A directive after a procedural type; a lone word may be a macro for one.
        if (IsDirectiveWord(k.text) || IsSym(next, ';')) {
            SkipPastSemicolon();
            continue;
        }
        Warn(k, "type declaration expected but " + Describe(k) + " found");
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
    case Keyword::Record:
    case Keyword::ObjcClass:
    case Keyword::ObjcProtocol:
    case Keyword::ObjcCategory:
    case Keyword::CppClass:
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
    ParseClassLike(decl);
    if (unit && !decl.name.empty())
        unit->Add(std::move(decl));
}

// From the word class/object/interface/dispinterface to the ";" after the body.
void Parser::ParseClassLike(TypeDecl &decl)
{
    if (fNesting >= kMaxNesting) {
        Warn(Cur(), "types nested too deeply");
        SkipBody();
        SkipPastSemicolon();
        return;
    }
    struct Nest {
        int &n;
        explicit Nest(int &count) : n(++count) {}
        ~Nest() { --n; }
    } nest(fNesting);
    Advance();
    while (IsKw(Cur(), Keyword::Sealed) || IsKw(Cur(), Keyword::Abstract))
        Advance();
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
        return;
    }
    if (!ParseMembers(decl))
        return;
    if (IsSym(Cur(), ';'))
        Advance();
    else if (IsName(Cur()) && IsHintWord(Cur().text))
        SkipPastSemicolon();
    else if (IsKw(Cur(), Keyword::Library))
        SkipPastSemicolon();
    else
        Warn(Cur(), "';' expected but " + Describe(Cur()) + " found");
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
    while (IsName(Cur()) && !IsVisibility(Cur().keyword) && Cur().keyword != Keyword::Strict &&
           Cur().keyword != Keyword::Generic)
        SkipPastSemicolon();
}

} // namespace

// ---- Scanning ---------------------------------------------------------------------------------

std::optional<UnitDecl> UnitScanner::ScanFile(const fs::path &file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    if (in)
        text << in.rdbuf();
    if (!in) {
        fWarnings.push_back({file.string(), 0, "cannot read the file"});
        return std::nullopt;
    }
    return Scan(text.str(), file.string());
}

std::optional<UnitDecl> UnitScanner::Scan(std::string_view source, const std::string &fileName)
{
    fFiles.clear();
    fByPath.clear();
    SourceFile *root = Load(fs::path(fileName), source);
    std::optional<UnitDecl> unit = ScanLoaded(*root);
    fFiles.clear();
    fByPath.clear();
    return unit;
}

std::optional<UnitDecl> UnitScanner::ScanLoaded(SourceFile &root)
{
    // Programs, libraries and fragments are not read, nor are their include files. (A file of
    // directives alone may take its unit from an include file.)
    auto first = std::find_if(root.tokens.begin(), root.tokens.end(),
                              [](const Token &k) { return k.kind != TokenKind::Directive; });
    if (first->kind != TokenKind::End && first->keyword != Keyword::Unit)
        return std::nullopt;

    std::optional<UnitDecl> unit;
    int passes = 1;
    bool tooLong = false;
    for (int pass = 0; pass < passes && pass < kMaxPasses; ++pass) {
        PassResult r;
        struct Frame {
            bool parentActive;
            int chosen;
            int branch;
            bool active;
        };
        std::vector<Frame> conds;
        std::function<void(SourceFile &, int)> splice = [&](SourceFile &f, int depth) {
            for (uint32_t k = 0; k + 1 < f.tokens.size(); ++k) {
                const Token &tok = f.tokens[k];
                bool active = conds.empty() || conds.back().active;
                if (tok.kind != TokenKind::Directive) {
                    if (active) {
                        if (r.tokens.size() >= kMaxTokensPerPass) {
                            tooLong = true;
                            return;
                        }
                        r.tokens.push_back(&tok);
                    }
                    continue;
                }
                auto it = f.directives.find(k);
                if (it == f.directives.end())
                    continue;
                const DirectiveInfo &d = it->second;
                switch (d.kind) {
                case DirectiveKind::If:
                case DirectiveKind::IfNot: {
                    int chosen = ChooseBranch(pass, d);
                    conds.push_back({active, chosen, 0, active && chosen == 0});
                    r.branchesNeeded = std::max({r.branchesNeeded, 2, d.branches});
                    break;
                }
                case DirectiveKind::ElseIf:
                case DirectiveKind::Else:
                    if (!conds.empty()) {
                        Frame &fr = conds.back();
                        ++fr.branch;
                        fr.active = fr.parentActive && fr.branch == fr.chosen;
                    }
                    break;
                case DirectiveKind::EndIf:
                    if (!conds.empty())
                        conds.pop_back();
                    break;
                case DirectiveKind::Include:
                    if (!active || !fReadIncludes)
                        break;
                    if (depth >= kMaxIncludeDepth) {
                        Warn(f, tok.line, "include files nested too deeply");
                        break;
                    }
                    if (SourceFile *inc = FindInclude(f, d.argument, tok.line))
                        splice(*inc, depth + 1);
                    if (tooLong)
                        return;
                    break;
                case DirectiveKind::Other:
                    break;
                }
            }
        };
        splice(root, 0);
        if (tooLong)
            Warn(root, 0, "too much text after including files; the rest is not read");
        r.tokens.push_back(&root.tokens.back());
        if (r.branchesNeeded > kMaxPasses && pass == 0)
            Warn(root, 0, "conditional with more than " + std::to_string(kMaxPasses) +
                              " branches; the later ones are not read");
        passes = std::max(passes, r.branchesNeeded);

        std::vector<std::string> paths;
        for (const auto &f : fFiles)
            paths.push_back(f->path);
        Parser parser(r.tokens, paths, fCatalog, [&](const Token &at, std::string message) {
            Warn(*fFiles[at.file], at.line, std::move(message));
        });
        std::optional<UnitDecl> scanned = parser.ParseUnit();
        if (!scanned)
            continue;
        if (!unit) {
            unit = std::move(scanned);
            unit->file = root.path;
        } else {
            unit->Merge(std::move(*scanned));
        }
        if (tooLong)
            break;
    }
    if (unit)
        unit->RemoveDuplicates();
    return unit;
}

} // namespace qmkbuild
