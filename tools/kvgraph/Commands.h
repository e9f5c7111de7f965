#pragma once
// Each group of kvgraph commands lives in a file of its own; main.cpp dispatches.
// A command returns the exit status (0) or throws: UsageError for a wrong command line, FileError
// or the library's Exception for a failure.

#include <string>
#include <vector>

using Args = std::vector<std::string>;

// "slb dump|copy|render ..."; args start after "slb".
int RunSlbCommand(const Args &args);
// "graph dump|export|import|render|pages|print ..."; args start after "graph".
int RunGraphCommand(const Args &args);
