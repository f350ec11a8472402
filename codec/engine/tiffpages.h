#pragma once
// Page edits of a TIFF file held in memory: append, insert and delete. The
// other pages keep their pictures; only the links between the directories
// and the pages' PageNumber fields change. A deleted page's directory and
// data stay in the file unlinked.

#include <cstdint>
#include <vector>

#include "decoderequest.h"
#include "dibcore/dibview.h"


namespace tiffpages {

// Adds the picture as page `page` (0-based; at or past the end appends).
// Progress runs from 0 to 80. False for a damaged file or a failed write;
// the bytes may then be half changed, so callers work on a copy.
bool insert(std::vector<std::uint8_t>& file, const dibcore::DibView& dib, int code, int page,
            DecodeRequest& request);
// Removes page `page`; a file's only page cannot be removed.
bool remove(std::vector<std::uint8_t>& file, int page, DecodeRequest& request);

}  // namespace tiffpages
