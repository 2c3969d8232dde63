#include "scenery_library.h"

#include "platform/file_replace.h"
#include "platform/files.h"
#include "profile_file.h"

#include <vector>

namespace sweepstone {

bool TitleOccursIn(const std::string& title, const std::string& logText) {
    return !title.empty() && logText.find(title) != std::string::npos;
}

std::error_code RemoveSceneryAreas(const std::string& path, const std::string& logText) {
    const ProfileFile file(path);
    // One parse for the whole walk: lookups go to the parsed snapshot, and the
    // removals to its bytes, so what is written is exactly what was tested.
    std::error_code error;
    const ProfileDocument library = file.Load(error);
    if (error)
        return error; // a library that cannot be read is not an empty one
    std::vector<std::string> marked;
    for (const std::string& section : library.SectionNames()) {
        std::string title;
        // An area without a title is never the product's: testing it under a
        // stand-in title would remove unrelated areas whenever the log's text
        // happened to contain that stand-in.
        if (library.FindString(section, "Title", title) && TitleOccursIn(title, logText))
            marked.push_back(section);
    }
    if (marked.empty())
        return {};
    return platform::ReplaceFileContent(path, library.BytesWithout(marked));
}

} // namespace sweepstone
