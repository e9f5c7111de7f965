#pragma once
// Each group of qmk commands lives in a file of its own; main.cpp dispatches.
// A command returns the exit status: 0 done, 1 failed (message on stderr), 2 wrong usage.

#include <string>
#include <vector>

using Args = std::vector<std::string>;

// "storage ls|cat|put|mkdir ..."; args start after "storage".
int RunStorageCommand(const Args &args);
// "info", "list", "unit", "members", "diagram", "at"; args start with the command name.
int RunInspectCommand(const Args &args);
// "build ..."; args start after "build".
int RunBuildCommand(const Args &args);

// Prints the usage text on stderr and returns 2.
int Usage();
