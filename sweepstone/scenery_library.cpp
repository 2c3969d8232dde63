#include "scenery_library.h"

#include "platform/file_replace.h"
#include "platform/files.h"
#include "platform/path.h"
#include "platform/unicode.h"

#include <vector>

namespace sweepstone {

bool TitleOccursIn(std::string_view title, std::string_view logText) {
    return !title.empty() && logText.find(title) != std::string_view::npos;
}

namespace {

// The folder names of a path, "." and ".." resolved ("C:", "Sim", "Scenery"); a ".."
// that would leave the start stays, so that it never matches.
std::vector<std::string_view> Components(std::string_view path) {
    std::vector<std::string_view> parts;
    for (std::string_view part : platform::SplitAtSeparators(path)) {
        while (!part.empty() && (part.back() == ' ' || part.back() == '\t'))
            part.remove_suffix(1);
        while (!part.empty() && (part.front() == ' ' || part.front() == '\t'))
            part.remove_prefix(1);
        if (part == ".." && !parts.empty() && parts.back() != "..")
            parts.pop_back();
        else if (!part.empty() && part != ".")
            parts.push_back(part);
    }
    return parts;
}

// "Addon Scenery" itself, "Scenery" and anything below it, as the rest of a path
// after the simulator's folder.
bool SimulatorOwn(const std::vector<std::string_view>& parts, size_t from) {
    if (from >= parts.size())
        return false;
    return platform::EqualFolded(parts[from], "Scenery") ||
           (from + 1 == parts.size() && platform::EqualFolded(parts[from], "Addon Scenery"));
}

} // namespace

bool IsDefaultArea(std::string_view local, const std::vector<std::string>& simulatorRoots) {
    const std::vector<std::string_view> parts = Components(local);
    if (SimulatorOwn(parts, 0))
        return true;
    for (const std::string& root : simulatorRoots) {
        const std::vector<std::string_view> prefix = Components(root);
        if (prefix.empty() || prefix.size() >= parts.size())
            continue;
        size_t i = 0;
        while (i < prefix.size() && platform::EqualFolded(prefix[i], parts[i]))
            ++i;
        if (i == prefix.size() && SimulatorOwn(parts, i))
            return true;
    }
    return false;
}

std::vector<size_t> MarkedAreas(const ProfileDocument& library, std::string_view logText,
                                const std::vector<std::string>& simulatorRoots,
                                std::vector<size_t>* refused) {
    std::vector<size_t> marked;
    for (size_t i = 0; i < library.SectionCount(); ++i) {
        std::string_view title;
        // An area without a title is never the product's: testing it under a
        // stand-in title would remove unrelated areas whenever the log's text
        // happened to contain that stand-in.
        if (!library.FindValue(i, "Title", title) || !TitleOccursIn(title, logText))
            continue;
        std::string_view local;
        if (library.FindValue(i, "Local", local) && IsDefaultArea(local, simulatorRoots)) {
            if (refused)
                refused->push_back(i);
            continue;
        }
        marked.push_back(i);
    }
    return marked;
}

std::error_code RemoveSceneryAreas(const std::string& path, const std::string& logText,
                                   const std::vector<std::string>& simulatorRoots,
                                   SceneryEdit* edit) {
    // One parse for the whole walk: lookups go to the parsed snapshot, and the
    // removals to its bytes, so what is written is exactly what was tested.
    std::error_code error;
    const ProfileDocument library = ProfileFile(path).Load(error);
    if (error)
        return error; // a library that cannot be read is not an empty one
    std::vector<size_t> refused;
    const std::vector<size_t> marked = MarkedAreas(library, logText, simulatorRoots, &refused);
    const std::error_code failure =
        marked.empty() ? std::error_code()
                       : platform::ReplaceFileContent(path, library.BytesWithoutSections(marked));
    if (edit && !failure) {
        const auto titles = [&library](const std::vector<size_t>& areas) {
            std::vector<std::string> out;
            for (const size_t i : areas) {
                std::string_view title;
                library.FindValue(i, "Title", title);
                out.emplace_back(title);
            }
            return out;
        };
        edit->removed = titles(marked);
        edit->refused = titles(refused);
    }
    return failure;
}

} // namespace sweepstone
