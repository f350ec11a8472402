#include "allocationwatch.h"

#include <cstdio>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KV_WATCH_WITH_HOOK 1
#include <sanitizer/allocator_interface.h>
#endif
#endif

namespace {

constexpr int kOverAllocated = 3;

std::size_t g_largestBlock = 0;

#if defined(KV_WATCH_WITH_HOOK)
void onMalloc(const volatile void*, std::size_t size)
{
    if (size > g_largestBlock)
        _exit(kOverAllocated);
}

void onFree(const volatile void*) {}

void watch()
{
    __sanitizer_install_malloc_and_free_hooks(onMalloc, onFree);
}
#else
// The address space the child maps now, from /proc/self/statm (pages).
std::size_t mappedBytes()
{
    std::FILE* f = std::fopen("/proc/self/statm", "r");
    unsigned long pages = 0;
    if (f) {
        if (std::fscanf(f, "%lu", &pages) != 1)
            pages = 0;
        std::fclose(f);
    }
    return std::size_t(pages) * std::size_t(sysconf(_SC_PAGESIZE));
}

void watch()
{
    const rlim_t cap = rlim_t(mappedBytes() + g_largestBlock);
    const rlimit limit{cap, cap};
    setrlimit(RLIMIT_AS, &limit);
}
#endif

}  // namespace

Watched runWatched(std::size_t largestBlock, const std::function<bool()>& work)
{
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child < 0)
        return Watched::Crashed;
    if (child == 0) {
        g_largestBlock = largestBlock;
        watch();
        const bool ok = work();
        _exit(ok ? 0 : 1);
    }
    int status = 0;
    if (waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return Watched::Crashed;
    switch (WEXITSTATUS(status)) {
    case 0:
        return Watched::Passed;
    case 1:
        return Watched::Failed;
    case kOverAllocated:
        return Watched::OverAllocated;
    default:
        return Watched::Crashed;
    }
}

const char* watchedName(Watched w)
{
    switch (w) {
    case Watched::Passed:
        return "passed";
    case Watched::Failed:
        return "failed";
    case Watched::OverAllocated:
        return "allocated a block over the limit";
    default:
        return "crashed";
    }
}
