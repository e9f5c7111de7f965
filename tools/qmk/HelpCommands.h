#pragma once
// qmk topic and qmk see, and the --help-from / --help-source options of qmk build.

#include "tools/qmk/Commands.h"

// "topic FILE unit U | class C | interface I | routine U R | member OWNER M"; args start after "topic".
int RunTopicCommand(const Args &args);
// "see FILE unit U | class U C | routine U R | property|method|event U C M"; args start after "see".
int RunSeeCommand(const Args &args);

struct HelpTopicOptions {
    std::string contentFile; // --help-from FILE.xct
    std::string source;      // --help-source PATH
    bool bad = false;        // only one of them, or one without its value
    bool Wanted() const { return !contentFile.empty(); }
};
// Takes the two options out of build's arguments.
Args TakeHelpTopicOptions(const Args &args, HelpTopicOptions &options);
// Writes DATABASE's topic map (OUT.topics beside it) and reports how many identifiers found a page.
void WriteHelpTopics(const std::string &database, const HelpTopicOptions &options);
