#pragma once
// The topic map that stands beside a help file DIR/NAME.HLP as DIR/NAME.topics: UTF-8 text whose
// first line is "source<TAB>PATH" (a folder of HTML pages or a compiled HTML help file, relative
// to the map's folder or absolute) and whose further lines are "CONTEXT<TAB>PAGE" (PAGE relative
// to the source, optionally with "#anchor"). Context strings compare exactly; the first line of a
// context wins. Lines end with LF or CR LF; empty lines are skipped.

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

struct THelpTopicMap {
    std::string source; // as written in the map
    std::vector<std::pair<std::string, std::string>> topics; // context, page; in file order

    // The page of a context string; nullptr when the map does not list it.
    const std::string *PageOf(std::string_view context) const;
    // Builds the lookup; done by the readers.
    void Index();

private:
    std::unordered_map<std::string, std::size_t> fIndex;
};

// Maps larger than this are refused before they are read.
constexpr std::size_t kMaxTopicMapBytes = 64u << 20;

// Parses the text of a map; throws Exception naming the line for anything else.
THelpTopicMap ParseHelpTopicMap(std::string_view text);
// Reads a map file; throws Exception when it cannot be read or is not a map.
THelpTopicMap ReadHelpTopicMap(const std::string &path);
// Writes a map file whole (a temporary file renamed over the target when complete).
void WriteHelpTopicMap(const std::string &path, const std::string &source,
                       const std::vector<std::pair<std::string, std::string>> &topics);

// DIR/NAME.HLP -> DIR/NAME.topics (the extension replaced, whatever its case).
std::string TopicMapPathFor(const std::string &helpFile);
// The source path of a map: absolute as written, or relative to the map's folder.
std::string ResolveHelpSource(const std::string &mapPath, const std::string &source);
