// The owners of scoped_win32.h close what they hold exactly once: when they go,
// when they take another handle, and never after giving it up. A file opened
// without sharing shows it: it opens again only once its handle is closed.
#include "scoped_win32.h"
#include "test_folder.h"

#include "platform/errors.h"
#include "platform/files.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

using platform::win32::ScopedFileHandle;

HANDLE OpenUnshared(const std::wstring& path) {
    return CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                       nullptr);
}

TEST(Scoped, ClosesWhatItHoldsOnceWhenItGoesOrTakesAnother) {
    testing_support::TestFolder t;
    t.Write("a.bin", "a");
    const std::wstring path = platform::win32::Widen(t.Path("a.bin"));
    const auto isOpen = [&path] {
        const ScopedFileHandle probe(OpenUnshared(path));
        return !probe.Valid(); // a sharing violation while another handle holds it
    };
    const struct {
        const char* label;
        void (*use)(ScopedFileHandle& owner, HANDLE& released);
        bool openAfter; // the file is still held after the step
    } cases[] = {
        {"kept while in scope", [](ScopedFileHandle&, HANDLE&) {}, true},
        {"reset closes", [](ScopedFileHandle& o, HANDLE&) { o.Reset(); }, false},
        {"release gives it up unclosed",
         [](ScopedFileHandle& o, HANDLE& released) { released = o.Release(); }, true},
        {"moved away, the new owner holds it",
         [](ScopedFileHandle& o, HANDLE& released) {
             ScopedFileHandle other(std::move(o));
             released = other.Release();
         },
         true},
        {"move-assigned over, the old handle closes",
         [](ScopedFileHandle& o, HANDLE&) { o = ScopedFileHandle(); }, false},
    };
    for (const auto& c : cases) {
        HANDLE released = INVALID_HANDLE_VALUE;
        {
            ScopedFileHandle owner(OpenUnshared(path));
            ASSERT_TRUE(owner.Valid()) << c.label;
            c.use(owner, released);
            EXPECT_EQ(isOpen(), c.openAfter) << c.label;
        }
        // Out of scope: only a released handle stays open, until its taker closes it.
        EXPECT_EQ(isOpen(), released != INVALID_HANDLE_VALUE) << c.label;
        if (released != INVALID_HANDLE_VALUE)
            ScopedFileHandle(released).Reset();
        EXPECT_FALSE(isOpen()) << c.label;
    }
}

TEST(ErrorText, ReadsTheSystemsTextWithoutItsLineBreak) {
    const std::string text = platform::ErrorText(platform::win32::MakeError(ERROR_FILE_NOT_FOUND));
    ASSERT_FALSE(text.empty());
    EXPECT_NE(text.back(), '\n');
    EXPECT_NE(text.back(), '\r');
    EXPECT_EQ(text, platform::win32::Narrow(platform::win32::Widen(text))); // well-formed UTF-8
    // Errors of other kinds read as their own message.
    const std::error_code other = std::make_error_code(std::errc::invalid_argument);
    EXPECT_EQ(platform::ErrorText(other), other.message());
}

} // namespace
