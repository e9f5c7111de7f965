#pragma once
// Tokens of Object Pascal source text, as far as the interface-section scanner needs them:
// identifiers (with their keyword, if any), numbers, strings, one-character symbols and
// compiler directives. Comments are dropped. Token texts point into the source buffer.

#include <cstdint>
#include <string_view>
#include <vector>

namespace qmkbuild {

enum class TokenKind : uint8_t { End, Identifier, Number, String, Symbol, Directive };

// Words the scanner acts on. Only some are reserved words of the language; the others
// ("private", "helper", "default", ...) are ordinary identifiers that mean something in
// certain places.
enum class Keyword : uint8_t {
    None,
    // reserved
    Array, Begin, BitPacked, Case, Class, Const, Constructor, Destructor, DispInterface, End,
    Exports, File, Finalization, Function, Generic, Implementation, Initialization, Interface,
    Label, Library, Object, Of, Operator, Packed, Procedure, Program, Property, Record,
    ResourceString, Set, Specialize, Then, ThreadVar, To, Type, Unit, Uses, Var,
    // not reserved
    Package, Private, Protected, Public, Published, Automated, Strict, Helper, Sealed, Abstract, Default,
    Reference, ObjcClass, ObjcProtocol, ObjcCategory, CppClass, JavaClass, JavaInterface,
};

// True for the reserved words of the list above.
bool IsReserved(Keyword k);

struct Token {
    std::string_view text; // identifier without "&"; directive text without "{$" and "}"
    int line = 0;          // 1-based
    uint16_t file = 0;     // the tokenizer's caller numbers the files
    TokenKind kind = TokenKind::End;
    Keyword keyword = Keyword::None; // identifiers only; escaped ones ("&type") have none
    bool spaceBefore = false;        // blank, line break or comment before this token
};

// Tokenizes `source`. With stopAtImplementation the tokens end after the first identifier
// "implementation". The last token is always of kind End. Never fails: stray bytes become
// symbols, an unterminated comment or string ends at the end of the text (or line).
std::vector<Token> Tokenize(std::string_view source, uint16_t file, bool stopAtImplementation);

} // namespace qmkbuild
