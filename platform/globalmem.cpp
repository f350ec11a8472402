#include "globalmem.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

struct GlobalBlock {
    std::uint64_t magic;
    std::size_t size;
    int locks;
    // keep the data 16-byte aligned
    alignas(16) unsigned char data[1];
};

namespace {

constexpr std::uint64_t kMagic = 0x4b564e474c4f4231ULL;  // "KVNGLOB1"
constexpr std::size_t kHeader = offsetof(GlobalBlock, data);

}  // namespace

namespace globalmem {

bool isValid(GlobalHandle h)
{
    return h && h->magic == kMagic;
}

GlobalHandle alloc(std::size_t size)
{
    if (size > SIZE_MAX - kHeader - 16)
        return nullptr;
    void* raw = std::calloc(1, kHeader + (size ? size : 1));
    if (!raw)
        return nullptr;
    auto* h = static_cast<GlobalHandle>(raw);
    h->magic = kMagic;
    h->size = size;
    h->locks = 0;
    return h;
}

GlobalHandle realloc(GlobalHandle h, std::size_t size)
{
    if (!isValid(h) || size > SIZE_MAX - kHeader - 16)
        return nullptr;
    GlobalHandle n = alloc(size);
    if (!n)
        return nullptr;
    std::memcpy(n->data, h->data, size < h->size ? size : h->size);
    free(h);
    return n;
}

void* lock(GlobalHandle h)
{
    if (!isValid(h))
        return nullptr;
    ++h->locks;
    return h->data;
}

bool unlock(GlobalHandle h)
{
    if (!isValid(h) || h->locks == 0)
        return false;
    --h->locks;
    return h->locks > 0;
}

int lockCount(GlobalHandle h)
{
    return isValid(h) ? h->locks : 0;
}

std::size_t size(GlobalHandle h)
{
    return isValid(h) ? h->size : 0;
}

GlobalHandle free(GlobalHandle h)
{
    if (!isValid(h))
        return h;
    h->magic = 0;
    std::free(h);
    return nullptr;
}

}  // namespace globalmem
