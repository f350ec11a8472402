#pragma once
// The chain of image file directories (pages) of a TIFF or BigTIFF file, read
// and relinked at the byte level (TIFF 6.0 section 2, BigTIFF).

#include <cstdint>
#include <vector>

#include "bytespan.h"

class IfdChain
{
public:
    // Follows the chain from the header; false for a file that is not a
    // TIFF, a directory outside the file, or a loop.
    bool read(ByteSpan bytes);

    // File offsets of the directories, page 0 first.
    const std::vector<std::uint64_t>& pages() const { return m_pages; }

    // Links the directories of this chain in the given order: the header
    // points at the first, each at the next, the last ends the chain. The
    // order must hold directories of this chain only.
    bool relink(std::vector<std::uint8_t>& bytes, const std::vector<std::uint64_t>& order) const;

    // Gives each directory of the order a PageNumber field (tag 297, two
    // SHORTs) that names its place: the page index, and the page count
    // where the file gave one (0, "unknown", stays). Directories without
    // the field are left as they are.
    void renumber(std::vector<std::uint8_t>& bytes, const std::vector<std::uint64_t>& order) const;

private:
    std::uint64_t get(ByteSpan bytes, std::uint64_t at, int size) const;
    void put(std::vector<std::uint8_t>& bytes, std::uint64_t at, std::uint64_t value, int size) const;
    std::uint64_t nextFieldOf(std::uint64_t page) const;

    bool m_little = true;
    bool m_big = false;
    std::vector<std::uint64_t> m_pages;
    std::vector<std::uint64_t> m_nextFields;  // where each directory keeps its successor
};
