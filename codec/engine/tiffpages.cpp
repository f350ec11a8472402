#include "tiffpages.h"

#include <algorithm>

#include "ifdchain.h"
#include "tiffmemory.h"
#include "tiffwriter.h"

namespace tiffpages {

namespace {

ByteSpan spanOf(const std::vector<std::uint8_t>& file)
{
    return ByteSpan{file.data(), file.size()};
}

// libtiff agrees that the edited file has this many pages.
bool readable(const std::vector<std::uint8_t>& file, std::size_t pages)
{
    TiffMemory check(spanOf(file));
    return check.get() && TIFFNumberOfDirectories(check.get()) == pages;
}

}  // namespace

bool insert(std::vector<std::uint8_t>& file, const dibcore::DibView& dib, int code, int page,
            DecodeRequest& request)
{
    IfdChain before;
    if (page < 0 || !before.read(spanOf(file)) || !readable(file, before.pages().size()))
        return false;
    {
        TiffMemory tiff(file, "a");
        if (!tiffwriter::writePage(tiff.get(), dib, code, request))
            return false;
    }
    IfdChain after;
    const std::size_t count = before.pages().size();
    if (!after.read(spanOf(file)) || after.pages().size() != count + 1)
        return false;
    std::vector<std::uint64_t> order = after.pages();
    const std::size_t at = std::min<std::size_t>(std::size_t(page), count);
    std::rotate(order.begin() + std::ptrdiff_t(at), order.end() - 1, order.end());
    if (!after.relink(file, order))
        return false;
    after.renumber(file, order);
    return readable(file, count + 1) && request.progress(80);
}

bool remove(std::vector<std::uint8_t>& file, int page, DecodeRequest& request)
{
    IfdChain chain;
    if (page < 0 || !chain.read(spanOf(file)) || !readable(file, chain.pages().size()))
        return false;
    const std::size_t count = chain.pages().size();
    if (count < 2 || std::size_t(page) >= count || !request.progress(40))
        return false;
    std::vector<std::uint64_t> order = chain.pages();
    order.erase(order.begin() + page);
    if (!chain.relink(file, order))
        return false;
    chain.renumber(file, order);
    return readable(file, count - 1) && request.progress(80);
}

}  // namespace tiffpages
