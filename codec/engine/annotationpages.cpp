#include "annotationpages.h"

#include <atomic>
#include <cerrno>
#include <sys/stat.h>

#include "bytespan.h"

namespace annotationpages {

using annotationformat::Pages;

namespace {

std::atomic<const AnnoHost*> currentHost{nullptr};

bool write(const char* path, const Pages& pages)
{
    const AnnoHost* h = host();
    if (!h || !h->writeOwnFile)
        return false;
    const std::vector<std::uint8_t> bytes = annotationformat::serialize(pages);
    return h->writeOwnFile(path, bytes.data(), std::int64_t(bytes.size())) != 0;
}

bool writableObjects(const std::vector<annotation::Object>& objects)
{
    for (const annotation::Object& o : objects) {
        if (!annotationformat::writable(o))
            return false;
    }
    return true;
}

bool validPage(int page)
{
    return page >= 0 && page <= annotationformat::kMaxPage;
}

// The file's pages, an empty set for a missing file; false when damaged.
bool pagesForChange(const char* path, Pages& pages)
{
    return read(path, pages) != FileState::Damaged;
}

// Pages moved by delta from first on; those pushed past the last page number
// fall away.
Pages shifted(const Pages& pages, int first, int delta)
{
    Pages out;
    for (const auto& [page, objects] : pages) {
        const int moved = page >= first ? page + delta : page;
        if (validPage(moved))
            out[moved] = objects;
    }
    return out;
}

}  // namespace

void setHost(const AnnoHost* host)
{
    currentHost = host;
}

const AnnoHost* host()
{
    return currentHost.load();
}

FileState read(const char* path, Pages& pages)
{
    pages.clear();
    if (!path || !*path)
        return FileState::Missing;
    struct stat st {};
    if (::stat(path, &st) != 0)
        return errno == ENOENT || errno == ENOTDIR ? FileState::Missing : FileState::Damaged;
    if (!S_ISREG(st.st_mode) || std::uint64_t(st.st_size) > annotationformat::kMaxFileBytes)
        return FileState::Damaged;
    std::vector<std::uint8_t> bytes;
    if (!filebytes::read(path, bytes))
        return FileState::Damaged;
    std::optional<Pages> parsed = annotationformat::parse(bytes.data(), bytes.size());
    if (!parsed)
        return FileState::Damaged;
    pages = std::move(*parsed);
    return FileState::Read;
}

bool load(const char* path, int page, std::vector<annotation::Object>& objects)
{
    objects.clear();
    Pages pages;
    if (read(path, pages) != FileState::Read)
        return false;
    const auto it = pages.find(page);
    if (it != pages.end())
        objects = it->second;
    return true;
}

bool save(const char* path, int page, const std::vector<annotation::Object>& objects)
{
    Pages pages;
    if (!validPage(page) || !writableObjects(objects) || !pagesForChange(path, pages))
        return false;
    if (objects.empty())
        pages.erase(page);
    else
        pages[page] = objects;
    return write(path, pages);
}

bool insert(const char* path, int page, const std::vector<annotation::Object>& objects)
{
    Pages pages;
    if (!validPage(page) || !writableObjects(objects) || !pagesForChange(path, pages))
        return false;
    pages = shifted(pages, page, 1);
    if (!objects.empty())
        pages[page] = objects;
    return write(path, pages);
}

bool remove(const char* path, int page)
{
    Pages pages;
    if (!validPage(page) || read(path, pages) != FileState::Read)
        return false;
    pages.erase(page);
    return write(path, shifted(pages, page + 1, -1));
}

}  // namespace annotationpages
