#include "scenery_library.h"

#include "platform/file_replace.h"
#include "platform/files.h"

#include <vector>

namespace sweepstone {

bool TitleOccursIn(std::string_view title, std::string_view logText) {
    return !title.empty() && logText.find(title) != std::string_view::npos;
}

std::vector<size_t> MarkedAreas(const ProfileDocument& library, std::string_view logText) {
    std::vector<size_t> marked;
    for (size_t i = 0; i < library.SectionCount(); ++i) {
        std::string_view title;
        // An area without a title is never the product's: testing it under a
        // stand-in title would remove unrelated areas whenever the log's text
        // happened to contain that stand-in.
        if (library.FindValue(i, "Title", title) && TitleOccursIn(title, logText))
            marked.push_back(i);
    }
    return marked;
}

std::error_code RemoveSceneryAreas(const std::string& path, const std::string& logText) {
    // One parse for the whole walk: lookups go to the parsed snapshot, and the
    // removals to its bytes, so what is written is exactly what was tested.
    std::error_code error;
    const ProfileDocument library = ProfileFile(path).Load(error);
    if (error)
        return error; // a library that cannot be read is not an empty one
    const std::vector<size_t> marked = MarkedAreas(library, logText);
    if (marked.empty())
        return {};
    return platform::ReplaceFileContent(path, library.BytesWithoutSections(marked));
}

} // namespace sweepstone
