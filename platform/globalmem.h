#pragma once
// Movable memory blocks that carry packed DIBs between the engines and the
// programs. A handle points to a malloc'd block that records its size and
// lock count; there is no global state, so every module may free any block.

#include <cstddef>

struct GlobalBlock;
using GlobalHandle = GlobalBlock*;

namespace globalmem {

// A zero-filled block of size bytes; null when the memory is not there.
GlobalHandle alloc(std::size_t size);
// Resizes; the old contents are kept up to the smaller size. Null on failure
// (the old handle then stays valid).
GlobalHandle realloc(GlobalHandle h, std::size_t size);
void* lock(GlobalHandle h);
// False once the lock count is back at zero (or for a bad handle).
bool unlock(GlobalHandle h);
int lockCount(GlobalHandle h);
std::size_t size(GlobalHandle h);
// Null on success, the handle itself when it was not a block of ours.
GlobalHandle free(GlobalHandle h);
bool isValid(GlobalHandle h);

}  // namespace globalmem
