// Reading and writing topic maps.

#include "browser/runtime/L1HelpTopicMap.h"

#include "platform/core/Exception.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

namespace fs = std::filesystem;

const std::string *THelpTopicMap::PageOf(std::string_view context) const
{
    const auto it = fIndex.find(std::string(context));
    return it == fIndex.end() ? nullptr : &topics[it->second].second;
}

void THelpTopicMap::Index()
{
    fIndex.clear();
    fIndex.reserve(topics.size());
    for (std::size_t i = 0; i < topics.size(); ++i)
        fIndex.emplace(topics[i].first, i); // the first line of a context wins
}

namespace {

[[noreturn]] void Bad(std::size_t line, const std::string &what)
{
    throw Exception("The topic map is not valid: line " + std::to_string(line) + " " + what + ".");
}

} // namespace

THelpTopicMap ParseHelpTopicMap(std::string_view text)
{
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);
    THelpTopicMap map;
    bool haveSource = false;
    std::size_t lineNo = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        ++lineNo;
        while (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.empty())
            continue;
        const std::size_t tab = line.find('\t');
        if (tab == std::string_view::npos)
            Bad(lineNo, "has no TAB");
        const std::string_view key = line.substr(0, tab), value = line.substr(tab + 1);
        if (!haveSource) {
            if (key != "source")
                Bad(lineNo, "does not name the help source (source<TAB>PATH)");
            if (value.empty())
                Bad(lineNo, "names an empty help source");
            map.source = std::string(value);
            haveSource = true;
            continue;
        }
        if (key.empty() || value.empty())
            Bad(lineNo, "has an empty context string or page");
        map.topics.emplace_back(std::string(key), std::string(value));
    }
    if (!haveSource)
        throw Exception("The topic map is not valid: it does not name the help source.");
    map.Index();
    return map;
}

THelpTopicMap ReadHelpTopicMap(const std::string &path)
{
    std::error_code ec;
    const auto size = fs::file_size(path, ec);
    if (ec)
        throw Exception("The topic map " + path + " cannot be read: " + ec.message() + ".");
    if (size > kMaxTopicMapBytes)
        throw Exception("The topic map " + path + " is too large.");
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw Exception("The topic map " + path + " cannot be read.");
    std::string text(static_cast<std::size_t>(size), '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(in.gcount()));
    try {
        return ParseHelpTopicMap(text);
    } catch (const Exception &e) {
        throw Exception(path + ": " + e.Message());
    }
}

void WriteHelpTopicMap(const std::string &path, const std::string &source,
                       const std::vector<std::pair<std::string, std::string>> &topics)
{
    std::ostringstream out;
    out << "source\t" << source << '\n';
    for (const auto &[context, page] : topics)
        out << context << '\t' << page << '\n';
    const std::string temp = path + ".tmp";
    {
        std::ofstream file(temp, std::ios::binary | std::ios::trunc);
        file << out.str();
        file.close();
        if (!file)
            throw Exception("The topic map " + path + " cannot be written.");
    }
    std::error_code ec;
    fs::rename(temp, path, ec);
    if (ec) {
        fs::remove(temp, ec);
        throw Exception("The topic map " + path + " cannot be written.");
    }
}

std::string TopicMapPathFor(const std::string &helpFile)
{
    fs::path p(helpFile);
    p.replace_extension(".topics");
    return p.string();
}

std::string ResolveHelpSource(const std::string &mapPath, const std::string &source)
{
    const fs::path s(source);
    if (s.is_absolute())
        return s.lexically_normal().string();
    return (fs::path(mapPath).parent_path() / s).lexically_normal().string();
}
