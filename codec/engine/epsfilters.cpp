#include "epsfilters.h"

#include <algorithm>

namespace epsfilters {

namespace {

constexpr int kClear = 256;
constexpr int kEnd = 257;
constexpr int kFirstCode = 258;
constexpr int kTableFull = 4094;
constexpr std::size_t kSlots = 16384;  // hash slots, under a quarter full
constexpr std::size_t kLineLength = 64;

class BitWriter
{
public:
    explicit BitWriter(std::vector<std::uint8_t>& out) : m_out(out) {}
    void put(int code, int width)
    {
        m_buffer = (m_buffer << width) | static_cast<std::uint32_t>(code);
        m_count += width;
        while (m_count >= 8) {
            m_count -= 8;
            m_out.push_back(static_cast<std::uint8_t>(m_buffer >> m_count));
        }
        m_buffer &= (1u << m_count) - 1;
    }
    void flush()
    {
        if (m_count > 0)
            m_out.push_back(static_cast<std::uint8_t>(m_buffer << (8 - m_count)));
        m_count = 0;
        m_buffer = 0;
    }

private:
    std::vector<std::uint8_t>& m_out;
    std::uint32_t m_buffer = 0;
    int m_count = 0;
};

// The string table: (prefix code, next byte) -> code, emptied in O(1).
class StringTable
{
public:
    StringTable() : m_keys(kSlots), m_codes(kSlots), m_stamps(kSlots, 0) {}
    void clear() { ++m_stamp; }
    int find(int prefix, std::uint8_t byte) const
    {
        const std::uint32_t key = keyOf(prefix, byte);
        for (std::size_t i = slotOf(key);; i = (i + 1) & (kSlots - 1)) {
            if (m_stamps[i] != m_stamp)
                return -1;
            if (m_keys[i] == key)
                return m_codes[i];
        }
    }
    void add(int prefix, std::uint8_t byte, int code)
    {
        const std::uint32_t key = keyOf(prefix, byte);
        std::size_t i = slotOf(key);
        while (m_stamps[i] == m_stamp)
            i = (i + 1) & (kSlots - 1);
        m_stamps[i] = m_stamp;
        m_keys[i] = key;
        m_codes[i] = static_cast<std::uint16_t>(code);
    }

private:
    static std::uint32_t keyOf(int prefix, std::uint8_t byte) { return std::uint32_t(prefix) << 8 | byte; }
    static std::size_t slotOf(std::uint32_t key) { return (key * 2654435761u) >> 18; }

    std::vector<std::uint32_t> m_keys;
    std::vector<std::uint16_t> m_codes;
    std::vector<std::uint32_t> m_stamps;
    std::uint32_t m_stamp = 1;
};

}  // namespace

std::vector<std::uint8_t> lzw(const std::vector<std::uint8_t>& data)
{
    std::vector<std::uint8_t> out;
    out.reserve(data.size() / 2 + 16);
    BitWriter bits(out);
    StringTable table;
    int width = 9;
    int next = kFirstCode;
    bits.put(kClear, width);
    // a code the decoder adds an entry for after reading it
    const auto added = [&]() {
        ++next;
        if (next == kTableFull) {
            bits.put(kClear, width);
            table.clear();
            width = 9;
            next = kFirstCode;
        } else if (next == (1 << width)) {
            ++width;
        }
    };
    if (!data.empty()) {
        int prefix = data[0];
        for (std::size_t i = 1; i < data.size(); ++i) {
            const std::uint8_t byte = data[i];
            const int code = table.find(prefix, byte);
            if (code >= 0) {
                prefix = code;
                continue;
            }
            bits.put(prefix, width);
            table.add(prefix, byte, next);
            added();
            prefix = byte;
        }
        bits.put(prefix, width);
        added();
    }
    bits.put(kEnd, width);
    bits.flush();
    return out;
}

std::string ascii85(const std::vector<std::uint8_t>& data)
{
    std::string out;
    out.reserve(data.size() * 5 / 4 + data.size() / kLineLength + 8);
    std::size_t lineStart = 0;
    const auto emit = [&](char c) {
        // break before the line gets too long, but never before a '%'
        if (out.size() - lineStart >= kLineLength && c != '%') {
            out.push_back('\n');
            lineStart = out.size();
        }
        out.push_back(c);
    };
    for (std::size_t i = 0; i < data.size(); i += 4) {
        const std::size_t n = std::min<std::size_t>(4, data.size() - i);
        std::uint32_t value = 0;
        for (std::size_t k = 0; k < 4; ++k)
            value = value << 8 | (k < n ? data[i + k] : 0u);
        if (n == 4 && value == 0) {
            emit('z');
            continue;
        }
        char digits[5];
        for (int k = 4; k >= 0; --k) {
            digits[k] = static_cast<char>('!' + value % 85);
            value /= 85;
        }
        for (std::size_t k = 0; k < n + 1; ++k)
            emit(digits[k]);
    }
    emit('~');
    out.push_back('>');
    out.push_back('\n');
    return out;
}

}  // namespace epsfilters
