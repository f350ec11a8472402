#pragma once
// A TIFF that libtiff reads or writes in memory: over a caller's buffer
// (read-only) or over a growable byte vector (new file, append, update).
// libtiff's errors and warnings go nowhere.

#include <cstdint>
#include <vector>

#include <tiffio.h>

#include "bytespan.h"

class TiffMemory
{
public:
    // Read-only over bytes, which must outlive this object. No single buffer
    // libtiff allocates may pass dibcore::claimLimit of the data's size.
    explicit TiffMemory(ByteSpan bytes);
    // mode "w" starts a new file in bytes (emptied first), "a" appends pages
    // to the TIFF in bytes, "r+" updates it.
    TiffMemory(std::vector<std::uint8_t>& bytes, const char* mode);
    ~TiffMemory();
    TiffMemory(const TiffMemory&) = delete;
    TiffMemory& operator=(const TiffMemory&) = delete;

    // Null when libtiff could not open the data.
    TIFF* get() const { return m_tif; }
    // Closes the file, writing what libtiff still holds.
    void close();

    struct Store {
        ByteSpan bytes;                             // read-only data
        std::vector<std::uint8_t>* grow = nullptr;  // writable data
        std::uint64_t pos = 0;
    };

private:
    void open(const char* mode, std::size_t largestAllocation);

    Store m_store;
    TIFF* m_tif = nullptr;
};
