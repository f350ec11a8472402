#pragma once
// Little-endian reads from a run of bytes. Every read is checked against the
// run: a read past its end gives 0 and marks the reader as overrun, so a
// record handler can read its fields first and refuse the record after.

#include <cstddef>
#include <cstdint>

class ByteReader {
public:
    ByteReader() = default;
    ByteReader(const std::uint8_t* data, std::size_t size)
        : data_(data)
        , size_(size)
    {
    }

    const std::uint8_t* data() const { return data_; }
    std::size_t size() const { return size_; }
    bool has(std::size_t offset, std::size_t count) const { return offset <= size_ && count <= size_ - offset; }
    bool overrun() const { return overrun_; }

    std::uint8_t u8(std::size_t offset) const
    {
        return has(offset, 1) ? data_[offset] : miss<std::uint8_t>();
    }
    std::uint16_t u16(std::size_t offset) const
    {
        if (!has(offset, 2))
            return miss<std::uint16_t>();
        return std::uint16_t(data_[offset] | (data_[offset + 1] << 8));
    }
    std::int16_t i16(std::size_t offset) const { return std::int16_t(u16(offset)); }
    std::uint32_t u32(std::size_t offset) const
    {
        if (!has(offset, 4))
            return miss<std::uint32_t>();
        return std::uint32_t(data_[offset]) | (std::uint32_t(data_[offset + 1]) << 8) |
               (std::uint32_t(data_[offset + 2]) << 16) | (std::uint32_t(data_[offset + 3]) << 24);
    }
    std::int32_t i32(std::size_t offset) const { return std::int32_t(u32(offset)); }
    float f32(std::size_t offset) const;

    // The bytes from offset on, count long; an empty reader (and overrun)
    // when they are not all there.
    ByteReader sub(std::size_t offset, std::size_t count) const;

private:
    template <typename T>
    T miss() const
    {
        overrun_ = true;
        return T(0);
    }

    const std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
    mutable bool overrun_ = false;
};
