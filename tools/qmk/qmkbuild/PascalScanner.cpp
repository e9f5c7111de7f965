// Scanning a unit: its source file and include files, tokenized once, read in passes that
// each take one branch of every conditional group, and the passes' findings merged.

#include "tools/qmk/qmkbuild/PascalScanner.h"

#include "tools/qmk/qmkbuild/PascalDirectives.h"
#include "tools/qmk/qmkbuild/PascalParser.h"
#include "tools/qmk/qmkbuild/PascalTokenizer.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <unordered_set>

namespace fs = std::filesystem;

namespace qmkbuild {

struct UnitScanner::SourceFile {
    std::string path; // as shown in warnings
    fs::path folder;
    std::string text;
    std::vector<Token> tokens;
    std::unordered_map<uint32_t, DirectiveInfo> directives; // by token index
    // The file each include directive found (null: none), by token index: every pass reads
    // the same includes, and looking one up costs more than reading its tokens.
    std::unordered_map<uint32_t, SourceFile *> included;
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

namespace {

// Reads the file's bytes; false when it cannot be read.
bool ReadWholeFile(const fs::path &path, std::string &text)
{
    std::unique_ptr<FILE, int (*)(FILE *)> f(std::fopen(path.c_str(), "rb"), std::fclose);
    if (!f)
        return false;
    // Sized from the file's length; a file that grows meanwhile is read to its end all the same.
    text.clear();
    if (std::fseek(f.get(), 0, SEEK_END) == 0) {
        long size = std::ftell(f.get());
        std::rewind(f.get());
        if (size > 0) {
            text.resize(size_t(size));
            text.resize(std::fread(text.data(), 1, text.size(), f.get()));
        }
    }
    char buffer[1 << 16];
    while (size_t n = std::fread(buffer, 1, sizeof buffer, f.get()))
        text.append(buffer, n);
    return !std::ferror(f.get());
}

} // namespace

UnitScanner::SourceFile *UnitScanner::Load(const fs::path &path, std::string text)
{
    if (fFiles.size() >= 0xFFFF)
        return nullptr;
    auto f = std::make_unique<SourceFile>();
    f->path = path.string();
    f->folder = path.parent_path();
    f->text = std::move(text);
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

// Folders are listed once for the whole scan: include files are looked for in the same few
// folders again and again, in every pass of every unit.
const UnitScanner::FolderListing &UnitScanner::Listing(const fs::path &folder)
{
    auto [it, fresh] = fFolders.try_emplace(folder.string());
    if (fresh) {
        std::error_code ec;
        for (fs::directory_iterator entry(folder.empty() ? fs::path(".") : folder, ec), end; !ec && entry != end;
             entry.increment(ec)) {
            std::error_code fileError;
            if (!entry->is_regular_file(fileError))
                continue;
            std::string name = entry->path().filename().string();
            std::string &known = it->second.byLower[Lower(name)];
            if (known.empty() || name < known)
                known = name; // the same choice whatever order the folder lists its files in
            it->second.exact.insert(std::move(name));
        }
    }
    return it->second;
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
            fs::path p = (folder / candidate).lexically_normal();
            const FolderListing &listing = Listing(p.parent_path());
            std::string leaf = p.filename().string();
            if (!listing.exact.count(leaf)) {
                // The sources were written for file systems that ignore letter case.
                auto it = listing.byLower.find(Lower(leaf));
                if (it == listing.byLower.end())
                    continue;
                p.replace_filename(it->second);
            }
            std::string key = p.lexically_normal().string();
            if (auto it = fByPath.find(key); it != fByPath.end())
                return it->second;
            std::string text;
            if (!ReadWholeFile(p, text)) {
                Warn(from, line, "cannot read include file '" + name + "'");
                return nullptr;
            }
            return Load(fs::path(key), std::move(text));
        }
    }
    Warn(from, line, "include file '" + name + "' not found");
    return nullptr;
}

struct UnitScanner::PassResult {
    std::vector<const Token *> tokens;
    int branchesNeeded = 1; // the number of passes this text needs
};

std::optional<UnitDecl> UnitScanner::ScanFile(const fs::path &file)
{
    std::string text;
    if (!ReadWholeFile(file, text)) {
        fWarnings.push_back({file.string(), 0, "cannot read the file"});
        return std::nullopt;
    }
    return ScanOwned(std::move(text), file.string());
}

std::optional<UnitDecl> UnitScanner::Scan(std::string_view source, const std::string &fileName)
{
    return ScanOwned(std::string(source), fileName);
}

std::optional<UnitDecl> UnitScanner::ScanOwned(std::string source, const std::string &fileName)
{
    fFiles.clear();
    fByPath.clear();
    SourceFile *root = Load(fs::path(fileName), std::move(source));
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
    PassResult r;
    for (int pass = 0; pass < passes && pass < kMaxPasses; ++pass) {
        // The tokens of every loaded file are an upper bound of what the pass sees (include
        // files loaded during the pass may add more).
        size_t known = 0;
        for (const auto &f : fFiles)
            known += f->tokens.size();
        r.tokens.clear();
        r.tokens.reserve(std::min(known, kMaxTokensPerPass) + 1);
        r.branchesNeeded = 1;
        struct Frame {
            bool parentActive;
            int chosen;
            int branch;
            bool active;
        };
        std::vector<Frame> conds;
        std::function<void(SourceFile &, int)> splice = [&](SourceFile &f, int depth) {
            // Whether the text is read changes only at directives (an include file's among them),
            // so it is worked out there rather than for every token.
            bool active = conds.empty() || conds.back().active;
            const uint32_t count = uint32_t(f.tokens.size());
            for (uint32_t k = 0; k + 1 < count; ++k) {
                const Token &tok = f.tokens[k];
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
                case DirectiveKind::Include: {
                    if (!active || !fReadIncludes)
                        break;
                    if (depth >= kMaxIncludeDepth) {
                        Warn(f, tok.line, "include files nested too deeply");
                        break;
                    }
                    auto [found, fresh] = f.included.try_emplace(k, nullptr);
                    if (fresh)
                        found->second = FindInclude(f, d.argument, tok.line);
                    if (SourceFile *inc = found->second)
                        splice(*inc, depth + 1);
                    if (tooLong)
                        return;
                    break;
                }
                case DirectiveKind::Other:
                    break;
                }
                active = conds.empty() || conds.back().active;
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
