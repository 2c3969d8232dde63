#include "pe_exports.h"

#include <algorithm>
#include <cstring>

namespace sweepstone {
namespace {

// Little-endian reads that fail instead of reading past the end.
class Image {
public:
    explicit Image(std::string_view bytes) : bytes_(bytes) {}

    bool U16(size_t at, std::uint32_t& out) const { return Read(at, 2, out); }
    bool U32(size_t at, std::uint32_t& out) const { return Read(at, 4, out); }

    // A NUL-terminated name at `at`, at most 4096 bytes long.
    bool Name(size_t at, std::string& out) const {
        if (at >= bytes_.size())
            return false;
        const size_t limit = std::min<size_t>(bytes_.size() - at, 4096);
        const void* nul = std::memchr(bytes_.data() + at, '\0', limit);
        if (!nul)
            return false;
        out.assign(bytes_.data() + at, static_cast<const char*>(nul) - (bytes_.data() + at));
        return true;
    }

private:
    bool Read(size_t at, size_t width, std::uint32_t& out) const {
        if (at > bytes_.size() || bytes_.size() - at < width)
            return false;
        out = 0;
        for (size_t i = 0; i < width; ++i)
            out |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes_[at + i]))
                   << (8 * i);
        return true;
    }

    std::string_view bytes_;
};

struct SectionMap {
    std::uint32_t address = 0;
    std::uint32_t size = 0;
    std::uint32_t offset = 0;
};

} // namespace

std::optional<PeExports> ReadPeExports(std::string_view bytes) {
    const Image image(bytes);
    std::uint32_t mz = 0;
    std::uint32_t pe = 0;
    std::uint32_t signature = 0;
    if (!image.U16(0, mz) || mz != 0x5A4D || !image.U32(0x3C, pe) || !image.U32(pe, signature) ||
        signature != 0x00004550)
        return std::nullopt;
    const size_t coff = size_t{pe} + 4;
    std::uint32_t machine = 0;
    std::uint32_t sectionCount = 0;
    std::uint32_t optionalSize = 0;
    std::uint32_t magic = 0;
    if (!image.U16(coff, machine) || !image.U16(coff + 2, sectionCount) ||
        !image.U16(coff + 16, optionalSize) || !image.U16(coff + 20, magic))
        return std::nullopt;
    const size_t optional = coff + 20;
    // The data directories follow the optional header's fixed part: 96 bytes in PE32,
    // 112 in PE32+; the export table is the first of them.
    size_t directories = 0;
    if (magic == 0x10B)
        directories = optional + 96;
    else if (magic == 0x20B)
        directories = optional + 112;
    else
        return std::nullopt;
    std::uint32_t directoryCount = 0;
    if (!image.U32(directories - 4, directoryCount))
        return std::nullopt;
    PeExports result;
    result.machine = static_cast<std::uint16_t>(machine);
    std::uint32_t exportAddress = 0;
    if (directoryCount == 0 || !image.U32(directories, exportAddress))
        return directoryCount == 0 ? std::optional<PeExports>(result) : std::nullopt;
    if (exportAddress == 0)
        return result;

    std::vector<SectionMap> sections;
    const size_t table = optional + optionalSize;
    for (size_t i = 0; i < sectionCount; ++i) {
        SectionMap s;
        std::uint32_t rawSize = 0;
        const size_t at = table + i * 40;
        if (!image.U32(at + 8, s.size) || !image.U32(at + 12, s.address) ||
            !image.U32(at + 16, rawSize) || !image.U32(at + 20, s.offset))
            return std::nullopt;
        // Only the bytes the file holds can be read; the rest of the section is zeros.
        s.size = std::min(s.size == 0 ? rawSize : s.size, rawSize);
        sections.push_back(s);
    }
    const auto offsetOf = [&sections](std::uint32_t address, size_t& offset) {
        for (const SectionMap& s : sections) {
            if (address >= s.address && address - s.address < s.size) {
                offset = size_t{s.offset} + (address - s.address);
                return true;
            }
        }
        return false;
    };
    size_t directory = 0;
    std::uint32_t nameCount = 0;
    std::uint32_t namesAddress = 0;
    size_t names = 0;
    if (!offsetOf(exportAddress, directory) || !image.U32(directory + 24, nameCount) ||
        !image.U32(directory + 32, namesAddress))
        return std::nullopt;
    if (nameCount == 0)
        return result;
    if (nameCount > 0x10000 || !offsetOf(namesAddress, names))
        return std::nullopt;
    for (size_t i = 0; i < nameCount; ++i) {
        std::uint32_t nameAddress = 0;
        size_t at = 0;
        std::string name;
        if (!image.U32(names + i * 4, nameAddress) || !offsetOf(nameAddress, at) ||
            !image.Name(at, name))
            return std::nullopt;
        result.names.push_back(std::move(name));
    }
    return result;
}

} // namespace sweepstone
