#include "ifdchain.h"

#include <set>

namespace {

constexpr std::size_t kMaxPages = 65535;

}  // namespace

std::uint64_t IfdChain::get(ByteSpan bytes, std::uint64_t at, int size) const
{
    std::uint64_t v = 0;
    for (int i = 0; i < size; ++i) {
        const std::uint8_t b = bytes.data[at + std::uint64_t(m_little ? size - 1 - i : i)];
        v = (v << 8) | b;
    }
    return v;
}

void IfdChain::put(std::vector<std::uint8_t>& bytes, std::uint64_t at, std::uint64_t value, int size) const
{
    for (int i = 0; i < size; ++i) {
        const int shift = 8 * (m_little ? i : size - 1 - i);
        bytes[at + std::uint64_t(i)] = static_cast<std::uint8_t>(value >> shift);
    }
}

bool IfdChain::read(ByteSpan bytes)
{
    m_pages.clear();
    m_nextFields.clear();
    if (!bytes.has(0, 8))
        return false;
    if (bytes.data[0] == 'I' && bytes.data[1] == 'I')
        m_little = true;
    else if (bytes.data[0] == 'M' && bytes.data[1] == 'M')
        m_little = false;
    else
        return false;
    const std::uint64_t version = get(bytes, 2, 2);
    m_big = version == 43;
    if (version != 42 && !(m_big && bytes.has(0, 16) && get(bytes, 4, 2) == 8 && get(bytes, 6, 2) == 0))
        return false;
    const int offsetSize = m_big ? 8 : 4;
    const int countSize = m_big ? 8 : 2;
    const std::uint64_t entrySize = m_big ? 20 : 12;
    std::uint64_t next = get(bytes, m_big ? 8 : 4, offsetSize);
    std::set<std::uint64_t> seen;
    while (next != 0) {
        if (m_pages.size() >= kMaxPages || !seen.insert(next).second || !bytes.has(next, std::size_t(countSize)))
            return false;
        const std::uint64_t count = get(bytes, next, countSize);
        if (count == 0 || count > bytes.size / entrySize)
            return false;
        const std::uint64_t field = next + std::uint64_t(countSize) + count * entrySize;
        if (!bytes.has(field, std::size_t(offsetSize)))
            return false;
        m_pages.push_back(next);
        m_nextFields.push_back(field);
        next = get(bytes, field, offsetSize);
    }
    return !m_pages.empty();
}

std::uint64_t IfdChain::nextFieldOf(std::uint64_t page) const
{
    for (std::size_t i = 0; i < m_pages.size(); ++i)
        if (m_pages[i] == page)
            return m_nextFields[i];
    return 0;
}

bool IfdChain::relink(std::vector<std::uint8_t>& bytes, const std::vector<std::uint64_t>& order) const
{
    if (order.empty())
        return false;
    std::set<std::uint64_t> used;
    const std::uint64_t offsetSize = m_big ? 8 : 4;
    for (std::uint64_t page : order) {
        const std::uint64_t field = nextFieldOf(page);
        if (field == 0 || field > bytes.size() || bytes.size() - field < offsetSize || !used.insert(page).second)
            return false;
    }
    const int size = int(offsetSize);
    put(bytes, m_big ? 8 : 4, order.front(), size);
    for (std::size_t i = 0; i < order.size(); ++i)
        put(bytes, nextFieldOf(order[i]), i + 1 < order.size() ? order[i + 1] : 0, size);
    return true;
}

void IfdChain::renumber(std::vector<std::uint8_t>& bytes, const std::vector<std::uint64_t>& order) const
{
    constexpr std::uint64_t kPageNumber = 297;
    constexpr std::uint64_t kShort = 3;
    const ByteSpan span{bytes.data(), bytes.size()};
    const int countSize = m_big ? 8 : 2;
    const int valueCountSize = m_big ? 8 : 4;
    const std::uint64_t entrySize = m_big ? 20 : 12;
    for (std::size_t i = 0; i < order.size(); ++i) {
        // read() checked that every entry of a directory of the chain lies in the file
        if (nextFieldOf(order[i]) == 0)
            continue;
        const std::uint64_t count = get(span, order[i], countSize);
        for (std::uint64_t e = 0; e < count; ++e) {
            const std::uint64_t entry = order[i] + std::uint64_t(countSize) + e * entrySize;
            if (get(span, entry, 2) != kPageNumber || get(span, entry + 2, 2) != kShort
                || get(span, entry + 4, valueCountSize) != 2)
                continue;
            const std::uint64_t value = entry + 4 + std::uint64_t(valueCountSize);
            put(bytes, value, i, 2);
            if (get(span, value + 2, 2) != 0)
                put(bytes, value + 2, order.size(), 2);
        }
    }
}
