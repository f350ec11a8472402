#include "tiffmemory.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "dibcore/dibcore.h"

namespace {

// A TIFF written here never grows past this.
constexpr std::uint64_t kMaxWrittenBytes = std::uint64_t(1) << 31;

using Store = TiffMemory::Store;

Store& storeOf(thandle_t h)
{
    return *static_cast<Store*>(h);
}

std::uint64_t storeSize(const Store& s)
{
    return s.grow ? s.grow->size() : s.bytes.size;
}

const std::uint8_t* storeData(const Store& s)
{
    return s.grow ? s.grow->data() : s.bytes.data;
}

tmsize_t readProc(thandle_t h, void* buf, tmsize_t size)
{
    Store& s = storeOf(h);
    const std::uint64_t total = storeSize(s);
    if (size <= 0 || s.pos >= total)
        return 0;
    const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(std::uint64_t(size), total - s.pos));
    std::memcpy(buf, storeData(s) + s.pos, n);
    s.pos += n;
    return static_cast<tmsize_t>(n);
}

tmsize_t writeProc(thandle_t h, void* buf, tmsize_t size)
{
    Store& s = storeOf(h);
    if (!s.grow || size < 0 || s.pos > kMaxWrittenBytes || std::uint64_t(size) > kMaxWrittenBytes - s.pos)
        return 0;
    const std::uint64_t end = s.pos + std::uint64_t(size);
    try {
        if (end > s.grow->size())
            s.grow->resize(static_cast<std::size_t>(end));
    } catch (...) {
        return 0;
    }
    if (size > 0)
        std::memcpy(s.grow->data() + s.pos, buf, static_cast<std::size_t>(size));
    s.pos = end;
    return size;
}

toff_t seekProc(thandle_t h, toff_t off, int whence)
{
    Store& s = storeOf(h);
    toff_t base = 0;
    if (whence == SEEK_CUR)
        base = s.pos;
    else if (whence == SEEK_END)
        base = storeSize(s);
    const toff_t target = base + off;
    if (target < base && off < (toff_t(1) << 63))
        return static_cast<toff_t>(-1);
    s.pos = target;
    return target;
}

int closeProc(thandle_t)
{
    return 0;
}

toff_t sizeProc(thandle_t h)
{
    return storeSize(storeOf(h));
}

int mapProc(thandle_t h, void** base, toff_t* size)
{
    Store& s = storeOf(h);
    if (s.grow)
        return 0;
    *base = const_cast<std::uint8_t*>(s.bytes.data);
    *size = s.bytes.size;
    return 1;
}

void unmapProc(thandle_t, void*, toff_t) {}

int silence(TIFF*, void*, const char*, const char*, va_list)
{
    return 1;
}

}  // namespace

TiffMemory::TiffMemory(ByteSpan bytes)
{
    m_store.bytes = bytes;
    if (bytes.size >= 8)
        open("r", dibcore::claimLimit(bytes.size));
}

TiffMemory::TiffMemory(std::vector<std::uint8_t>& bytes, const char* mode)
{
    m_store.grow = &bytes;
    if (mode[0] == 'w')
        bytes.clear();
    else if (bytes.size() < 8)
        return;
    open(mode, dibcore::kMaxPixelBytes);
}

TiffMemory::~TiffMemory()
{
    close();
}

void TiffMemory::open(const char* mode, std::size_t largestAllocation)
{
    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
    if (!options)
        return;
    TIFFOpenOptionsSetMaxSingleMemAlloc(options, static_cast<tmsize_t>(largestAllocation));
    TIFFOpenOptionsSetErrorHandlerExtR(options, silence, nullptr);
    TIFFOpenOptionsSetWarningHandlerExtR(options, silence, nullptr);
    m_tif = TIFFClientOpenExt("memory", mode, &m_store, readProc, writeProc, seekProc, closeProc, sizeProc,
                              mapProc, unmapProc, options);
    TIFFOpenOptionsFree(options);
}

void TiffMemory::close()
{
    if (m_tif)
        TIFFClose(m_tif);
    m_tif = nullptr;
}
