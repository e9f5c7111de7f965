#pragma once
// Each group of kvgraph commands lives in a file of its own; main.cpp dispatches.
// A command returns the exit status: 0 done, 1 failed (message on stderr), 2 wrong usage.

#include <string>
#include <vector>

using Args = std::vector<std::string>;

// "slb dump|copy|render ..."; args start after "slb".
int RunSlbCommand(const Args &args);
// "graph dump|export|import|render|pages|print ..."; args start after "graph".
int RunGraphCommand(const Args &args);

// Prints the usage text on stderr and returns 2.
int Usage();
