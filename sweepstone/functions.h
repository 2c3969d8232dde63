// Small text routines of the uninstall wizard: splitting texts into fields, the
// parts of a section list's entry texts, and the library-call values of the log.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sweepstone {

// Splits `text` at every `delimiter` into fields, in order. A text without the
// delimiter gives itself as the one field, an empty text one empty field, and two
// adjacent delimiters an empty field between them ("a@@b" gives "a", "", "b"; "a@"
// gives "a", ""). An empty delimiter gives the whole text as one field.
std::vector<std::string> SplitString(std::string_view text, std::string_view delimiter);

// The key of an entry text "key=value": the text before its first "=" (all of it
// when there is no "=").
std::string EntryKey(std::string_view entryText);

// The value of an entry text: the text after its first "=", or the whole text when
// it holds no "=".
std::string EntryValue(std::string_view entryText);

// A library call of the uninstall log: "library@entry point@arg1@arg2@arg3".
struct LibraryCall {
    std::string library;
    std::string entryPoint;
    // The three text arguments; an empty or left-out field is passed as a null
    // pointer (nullopt here).
    std::array<std::optional<std::string>, 3> arguments;

    // The argument as the entry point receives it: a pointer to NUL-terminated
    // text, or a null pointer.
    const char* Argument(size_t index) const {
        return arguments[index] ? arguments[index]->c_str() : nullptr;
    }
    // False when the library or the entry point is named by an empty field; no
    // library can be loaded or entry point found under an empty name.
    bool Callable() const { return !library.empty() && !entryPoint.empty(); }

    bool operator==(const LibraryCall&) const = default;
};

// Most fields a library call value may have.
inline constexpr size_t kLibraryCallFields = 5;

// Parses a library call value. Every call stands on its own: fields that the value
// leaves out are null pointers, never another entry's fields. A value with more
// than five fields is malformed and gives nullopt (the entry is skipped).
std::optional<LibraryCall> ParseLibraryCall(std::string_view value);

} // namespace sweepstone
