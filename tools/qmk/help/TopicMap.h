#pragma once
// The topic map of a database from a documentation content file: every help identifier the
// browser can ask for (units, classes, interfaces, their members by owner, global routines by
// unit) with the page that documents it.

#include "tools/qmk/help/XctReader.h"

#include <string>
#include <utility>
#include <vector>

class TL1OPascalSymbolTable;

namespace qmkhelp {

struct DatabaseTopics {
    std::vector<std::pair<std::string, std::string>> topics; // context (UTF-8), page
    int identifiers = 0; // distinct identifiers of the database
    int found = 0;       // of them with a page
};

DatabaseTopics MapDatabaseTopics(const TL1OPascalSymbolTable &table, const XctContents &xct);

} // namespace qmkhelp
