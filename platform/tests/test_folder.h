// A real temporary folder for one test, removed with everything in it when the
// test ends. Paths are given Windows-style, relative to the folder.
#pragma once

#include <string>

namespace testing_support {

class TestFolder {
public:
    TestFolder();
    ~TestFolder();
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    // The folder, ending in a backslash (as the programs' base folder does).
    const std::string& Base() const { return base_; }
    std::string Path(const std::string& relative) const { return base_ + relative; }
    // Path(relative) in the canonical form that the programs report (platform/path.h).
    std::string Canonical(const std::string& relative) const;

    // Writes a file, creating its folders.
    void Write(const std::string& relative, const std::string& content) const;
    void MakeFolder(const std::string& relative) const;
    // The file's content, or "<missing>" when there is no such file.
    std::string Read(const std::string& relative) const;
    bool Has(const std::string& relative) const;

private:
    std::string native_;
    std::string base_;
};

// Makes `link` a symbolic link to the folder `target`; false where the system cannot
// make one (a Windows account without the right; Wine 8 reports success without
// making a link, so only a link that is there counts).
bool MakeFolderLink(const std::string& target, const std::string& link);

} // namespace testing_support
