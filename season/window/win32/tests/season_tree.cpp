#include "season_tree.h"

#include "window_driver.h"

namespace season_e2e {

std::wstring MakeTree(const std::wstring& folder, const std::wstring& name, bool withAddons) {
    using window_driver::DriverFolder;
    CreateDirectoryW((DriverFolder() + folder).c_str(), nullptr);
    const std::wstring tree = DriverFolder() + folder + L"\\" + name + L"\\";
    if (withAddons)
        window_driver::CopyTree(DriverFolder() + L"data\\addons", tree.substr(0, tree.size() - 1));
    else
        CreateDirectoryW(tree.c_str(), nullptr);
    CopyFileW((DriverFolder() + L"data\\season.exe").c_str(), (tree + L"season.exe").c_str(),
              FALSE);
    return tree;
}

} // namespace season_e2e
