#pragma once
// The parser of one pass over a unit: the tokens the pass sees (include files spliced in, one
// branch of every conditional group) to the unit's declarations. Broken declarations give
// warnings and the parser resynchronises; it never throws on bad input.

#include "tools/qmk/qmkbuild/PascalDeclarations.h"
#include "tools/qmk/qmkbuild/PascalTokenizer.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace qmkbuild {

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
    // Text that is no declaration: one warning for a run of it, not one per line.
    void WarnLost(const Token &at, std::string message)
    {
        if (!fLost)
            Warn(at, std::move(message));
        fLost = true;
    }
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
    size_t SkipClassModifiers(size_t at) const;
    bool OpensBody(size_t at) const;
    void SkipBody(int blocks = 0);
    std::string DottedName();
    std::string BareTypeName();

    void ParseTypeSection(UnitDecl *unit);
    void ParseTypeDecl(UnitDecl *unit);
    bool ParseClassLike(TypeDecl &decl);
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
    bool fLost = false; // since the last warning about text that is no declaration
    TypeCatalog &fCatalog;
    WarnFn fWarn;
};

} // namespace qmkbuild
