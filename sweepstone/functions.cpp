#include "functions.h"

namespace sweepstone {

std::vector<std::string> SplitString(std::string_view text, std::string_view delimiter) {
    std::vector<std::string> fields;
    if (delimiter.empty()) {
        fields.emplace_back(text);
        return fields;
    }
    size_t start = 0;
    for (;;) {
        const size_t cut = text.find(delimiter, start);
        if (cut == std::string_view::npos) {
            fields.emplace_back(text.substr(start));
            return fields;
        }
        fields.emplace_back(text.substr(start, cut - start));
        start = cut + delimiter.size();
    }
}

std::string EntryKey(std::string_view entryText) {
    return std::string(entryText.substr(0, entryText.find('=')));
}

std::string EntryValue(std::string_view entryText) {
    const size_t eq = entryText.find('=');
    return std::string(eq == std::string_view::npos ? entryText : entryText.substr(eq + 1));
}

std::optional<LibraryCall> ParseLibraryCall(std::string_view value) {
    const std::vector<std::string> fields = SplitString(value, "@");
    if (fields.size() > kLibraryCallFields)
        return std::nullopt;
    LibraryCall call;
    call.library = fields[0];
    if (fields.size() > 1)
        call.entryPoint = fields[1];
    for (size_t i = 2; i < fields.size(); ++i) {
        if (!fields[i].empty())
            call.arguments[i - 2] = fields[i];
    }
    return call;
}

} // namespace sweepstone
