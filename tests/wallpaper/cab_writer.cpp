// Cabinet files laid out by hand: header, one folder, the file entries, then the data in uncompressed
// blocks of at most 32 KiB without checksums.
#include "cab_writer.h"

#include <fstream>

namespace testing_support {

namespace {

constexpr size_t kBlock = 32768;
constexpr uint16_t kHasPrevious = 0x0001;
constexpr uint16_t kHasNext = 0x0002;

void Put16(std::string& out, uint16_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>(v >> 8);
}

void Put32(std::string& out, uint32_t v) {
    Put16(out, static_cast<uint16_t>(v & 0xFFFF));
    Put16(out, static_cast<uint16_t>(v >> 16));
}

void PutText(std::string& out, const std::string& s) {
    out += s;
    out += '\0';
}

}  // namespace

std::string BuildCabinet(const CabinetContents& contents) {
    uint16_t flags = 0;
    if (!contents.previousCabinet.empty()) flags |= kHasPrevious;
    if (!contents.nextCabinet.empty()) flags |= kHasNext;

    std::string links;
    if (flags & kHasPrevious) {
        PutText(links, contents.previousCabinet);
        PutText(links, contents.previousDisk);
    }
    if (flags & kHasNext) {
        PutText(links, contents.nextCabinet);
        PutText(links, contents.nextDisk);
    }

    std::string stream;
    std::string entries;
    for (const CabEntry& f : contents.files) {
        Put32(entries, static_cast<uint32_t>(f.content.size()));
        Put32(entries, static_cast<uint32_t>(stream.size()));
        Put16(entries, 0);  // folder 0
        Put16(entries, f.date);
        Put16(entries, f.time);
        Put16(entries, f.attributes);
        PutText(entries, f.name);
        stream += f.content;
    }
    std::string blocks;
    uint16_t blockCount = 0;
    for (size_t at = 0; at < stream.size(); at += kBlock, ++blockCount) {
        const std::string part = stream.substr(at, kBlock);
        Put32(blocks, 0);
        Put16(blocks, static_cast<uint16_t>(part.size()));
        Put16(blocks, static_cast<uint16_t>(part.size()));
        blocks += part;
    }

    const uint32_t headerSize = 36 + static_cast<uint32_t>(links.size());
    const uint32_t filesOffset = headerSize + 8;
    const uint32_t dataOffset = filesOffset + static_cast<uint32_t>(entries.size());
    const uint32_t total = dataOffset + static_cast<uint32_t>(blocks.size());

    std::string out = "MSCF";
    Put32(out, 0);
    Put32(out, total);
    Put32(out, 0);
    Put32(out, filesOffset);
    Put32(out, 0);
    out += static_cast<char>(3);  // version 1.3
    out += static_cast<char>(1);
    Put16(out, 1);  // folders
    Put16(out, static_cast<uint16_t>(contents.files.size()));
    Put16(out, flags);
    Put16(out, contents.setId);
    Put16(out, contents.cabinetIndex);
    out += links;
    Put32(out, dataOffset);  // the folder: first data block, block count, no compression
    Put16(out, blockCount);
    Put16(out, 0);
    out += entries;
    out += blocks;
    return out;
}

void WriteCabinet(const std::string& fileName, const CabinetContents& contents) {
    std::ofstream out(fileName, std::ios::binary | std::ios::trunc);
    out << BuildCabinet(contents);
}

}  // namespace testing_support
