#pragma once
// A read-only run of bytes: a file read into memory or a caller's buffer.

#include <cstddef>
#include <cstdint>
#include <vector>

struct ByteSpan {
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;

    bool has(std::size_t offset, std::size_t count) const
    {
        return offset <= size && count <= size - offset;
    }
};

namespace filebytes {

// Largest file the engine reads into memory.
constexpr std::size_t kMaxFileBytes = std::size_t(1) << 30;

// The whole file; false when it cannot be read or is larger than the limit.
bool read(const char* path, std::vector<std::uint8_t>& out);

}  // namespace filebytes
