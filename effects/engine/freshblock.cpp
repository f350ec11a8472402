#include "freshblock.h"

#include <cstdint>
#include <cstring>
#include <sys/mman.h>

namespace isp {

namespace {

constexpr std::uintptr_t kHugePage = std::uintptr_t(1) << 21;
constexpr std::size_t kWorthIt = std::size_t(4) << 20;

}  // namespace

void adviseHugePages(GlobalHandle h)
{
    const std::size_t size = globalmem::size(h);
    void* data = globalmem::lock(h);
    if (data && size >= kWorthIt) {
        const auto start = (reinterpret_cast<std::uintptr_t>(data) + kHugePage - 1) & ~(kHugePage - 1);
        const auto end = (reinterpret_cast<std::uintptr_t>(data) + size) & ~(kHugePage - 1);
        if (end > start)
            madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);
    }
    globalmem::unlock(h);
}

GlobalHandle copyForWriting(GlobalHandle h)
{
    if (!globalmem::isValid(h))
        return nullptr;
    const std::size_t size = globalmem::size(h);
    GlobalHandle copy = globalmem::alloc(size);
    if (!copy)
        return nullptr;
    adviseHugePages(copy);
    std::memcpy(globalmem::lock(copy), globalmem::lock(h), size);
    globalmem::unlock(copy);
    globalmem::unlock(h);
    return copy;
}

}  // namespace isp
