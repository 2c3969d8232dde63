// Lays out a benchmark tree for the switcher: every catalogue add-on and N generic
// add-ons, with each texture (.bmp, .dds) filled to a size between 1 and 4 MiB of
// varied bytes, the same for the same N on every run; or, given a size, N generic
// add-ons only, each texture holding exactly that many MiB.
//
//   season-bench-tree FOLDER GENERIC_COUNT [MIB]
#include "sample_tree.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

bool IsTexture(const std::filesystem::path& p) {
    std::string ext = p.extension().string();
    for (char& c : ext)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    return ext == ".bmp" || ext == ".dds";
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: season-bench-tree FOLDER GENERIC_COUNT [MIB]\n");
        return 2;
    }
    std::string base = argv[1];
    if (base.back() != '/')
        base += '/';
    const int generic = std::stoi(argv[2]);
    const std::uint64_t fixedMiB = argc == 4 ? std::stoull(argv[3]) : 0;
    std::filesystem::create_directories(base);
    if (fixedMiB == 0)
        testing_support::LayOutCatalogue(base);
    for (int i = 0; i < generic; ++i)
        testing_support::LayOutGenericAddon(base, "Addon " + std::to_string(1000 + i));

    std::vector<std::filesystem::path> textures;
    for (const auto& e : std::filesystem::recursive_directory_iterator(base)) {
        if (e.is_regular_file() && IsTexture(e.path()))
            textures.push_back(e.path());
    }
    std::sort(textures.begin(), textures.end());
    std::uint64_t state = 0x9E3779B97F4A7C15ull; // xorshift: varied, repeatable bytes
    const auto next = [&state] {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return state;
    };
    std::vector<std::uint64_t> block(1 << 17); // 1 MiB
    std::uint64_t total = 0;
    for (const auto& path : textures) {
        const std::uint64_t size =
            fixedMiB != 0 ? fixedMiB << 20 : (1ull << 20) + next() % (3ull << 20);
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        for (std::uint64_t written = 0; written < size;) {
            for (auto& word : block)
                word = next();
            const std::uint64_t n = std::min<std::uint64_t>(size - written, block.size() * 8);
            out.write(reinterpret_cast<const char*>(block.data()), static_cast<std::streamsize>(n));
            written += n;
        }
        total += size;
    }
    std::printf("%zu textures, %.1f MiB\n", textures.size(),
                static_cast<double>(total) / (1 << 20));
    return 0;
}
