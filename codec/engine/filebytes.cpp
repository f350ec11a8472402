#include <cstdio>

#include "bytespan.h"

namespace filebytes {

bool read(const char* path, std::vector<std::uint8_t>& out)
{
    out.clear();
    if (!path || !*path)
        return false;
    std::FILE* f = std::fopen(path, "rb");
    if (!f)
        return false;
    bool ok = std::fseek(f, 0, SEEK_END) == 0;
    const long length = ok ? std::ftell(f) : -1;
    ok = ok && length >= 0 && static_cast<unsigned long>(length) <= kMaxFileBytes && std::fseek(f, 0, SEEK_SET) == 0;
    if (ok) {
        try {
            out.resize(static_cast<std::size_t>(length));
        } catch (...) {
            ok = false;
        }
    }
    if (ok && length > 0)
        ok = std::fread(out.data(), 1, out.size(), f) == out.size();
    std::fclose(f);
    if (!ok)
        out.clear();
    return ok;
}

}  // namespace filebytes
