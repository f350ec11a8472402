#pragma once
// Runs a piece of work in a forked child whose allocations are watched, so a
// test can show that a decoder refuses a picture without allocating it.
// Under AddressSanitizer (which reserves terabytes of address space, so an
// address-space limit says nothing) a malloc hook ends the child as soon as
// one block larger than the limit is allocated; without it the child's
// address space is capped at what it uses plus the limit, and an allocation
// past that fails.

#include <cstddef>
#include <functional>

enum class Watched {
    Passed,         // work answered true and nothing large was allocated
    Failed,         // work answered false
    OverAllocated,  // a block larger than the limit was allocated
    Crashed,        // the child ended otherwise
};

Watched runWatched(std::size_t largestBlock, const std::function<bool()>& work);
const char* watchedName(Watched w);
