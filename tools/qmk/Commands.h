#pragma once
// Each group of qmk commands lives in a file of its own; main.cpp dispatches.
// A command returns the exit status: 0 done, 1 failed (message on stderr), 2 wrong usage.

#include <string>
#include <vector>

using Args = std::vector<std::string>;

// "storage ls|cat|put|mkdir ..."; args start after "storage".
int RunStorageCommand(const Args &args);
// "info", "list", "unit", "members", "diagram", "at"; args start with the command name.
int RunDatabaseCommand(const Args &args);
// "build ..."; args start after "build".
int RunBuildCommand(const Args &args);

// Wrong usage: prints "qmk: WHAT (see 'qmk --help')" on stderr and returns 2.
int UsageError(const std::string &what);
// The same without saying more than that the arguments were wrong.
int Usage();

// Raises the error every command gives for a file it reads that is not there, so that
// "qmk info", "qmk storage ls" and the others say the same thing about it.
void RequireFile(const std::string &file);
