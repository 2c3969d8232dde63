// Splitting texts, entry texts and the log's library-call values.
#include "functions.h"

#include <gtest/gtest.h>

using sweepstone::EntryKey;
using sweepstone::EntryValue;
using sweepstone::LibraryCall;
using sweepstone::ParseLibraryCall;
using sweepstone::SplitString;
using Texts = std::vector<std::string>;

TEST(SplitString, FieldsBetweenDelimiters) {
    struct Case {
        const char* text;
        const char* delimiter;
        Texts fields;
    } cases[] = {
        {"a@b@c", "@", {"a", "b", "c"}},
        {"no delimiter", "@", {"no delimiter"}},
        {"", "@", {""}},
        {"a@@b", "@", {"a", "", "b"}},
        {"a@", "@", {"a", ""}},
        {"@a", "@", {"", "a"}},
        {"@", "@", {"", ""}},
        {"lib.dll@Fn@x@@", "@", {"lib.dll", "Fn", "x", "", ""}},
        {"a::b::::c", "::", {"a", "b", "", "c"}},
        {"a:b", "::", {"a:b"}},
        {"whole", "", {"whole"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SplitString(c.text, c.delimiter), c.fields) << c.text;
}

TEST(EntryText, KeyAndValueAtTheFirstEqualsSign) {
    struct Case {
        const char* text;
        const char* key;
        const char* value;
    } cases[] = {
        {"F1=C:\\a.fx", "F1", "C:\\a.fx"},
        {"K=a=b=c", "K", "a=b=c"},
        {"Path=", "Path", ""},
        {"=v", "", "v"},
        {"no equals sign", "no equals sign", "no equals sign"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(EntryKey(c.text), c.key) << c.text;
        EXPECT_EQ(EntryValue(c.text), c.value) << c.text;
    }
}

namespace {

using Arg = std::optional<std::string>;

LibraryCall Call(std::string library, std::string entryPoint, Arg a1 = {}, Arg a2 = {},
                 Arg a3 = {}) {
    LibraryCall call;
    call.library = std::move(library);
    call.entryPoint = std::move(entryPoint);
    call.arguments = {std::move(a1), std::move(a2), std::move(a3)};
    return call;
}

} // namespace

TEST(ParseLibraryCall, FieldsBecomeLibraryEntryPointAndArguments) {
    struct Case {
        const char* behaviour;
        const char* value;
        std::optional<LibraryCall> call;
    } cases[] = {
        {"five fields", "C:\\m\\s.dll@Unregister@a@b@c",
         Call("C:\\m\\s.dll", "Unregister", "a", "b", "c")},
        {"the log example", "C:\\Sim\\Modules\\sample.dll@Unregister@Sample Airport X@@",
         Call("C:\\Sim\\Modules\\sample.dll", "Unregister", "Sample Airport X")},
        {"two fields: three null pointers", "s.dll@Fn", Call("s.dll", "Fn")},
        {"a left-out field is a null pointer", "s.dll@Fn@a", Call("s.dll", "Fn", "a")},
        {"an empty middle field is a null pointer", "s.dll@Fn@@b@c",
         Call("s.dll", "Fn", std::nullopt, "b", "c")},
        {"blanks are text", "s.dll@Fn@ @@", Call("s.dll", "Fn", " ")},
        {"a library alone", "s.dll", Call("s.dll", "")},
        {"six fields are malformed", "s.dll@Fn@a@b@c@d", std::nullopt},
        {"a trailing delimiter after five fields is a sixth", "s.dll@Fn@a@b@c@", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseLibraryCall(c.value), c.call) << c.behaviour;
}

TEST(ParseLibraryCall, EachCallStandsOnItsOwn) {
    // An entry with fewer fields never passes an earlier entry's fields.
    const auto full = ParseLibraryCall("a.dll@F@1@2@3");
    const auto shorter = ParseLibraryCall("b.dll@G");
    ASSERT_TRUE(full && shorter);
    EXPECT_STREQ(full->Argument(2), "3");
    for (size_t i = 0; i < 3; ++i)
        EXPECT_EQ(shorter->Argument(i), nullptr) << i;
}

TEST(ParseLibraryCall, CallableOnlyWithLibraryAndEntryPoint) {
    EXPECT_TRUE(ParseLibraryCall("s.dll@Fn")->Callable());
    EXPECT_FALSE(ParseLibraryCall("s.dll")->Callable());
    EXPECT_FALSE(ParseLibraryCall("@Fn")->Callable());
    EXPECT_FALSE(ParseLibraryCall("")->Callable());
}
