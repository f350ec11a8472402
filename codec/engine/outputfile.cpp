#include "outputfile.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <ctime>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace outputfile {

namespace {

constexpr std::size_t kChunk = std::size_t(1) << 20;
constexpr int kNameAttempts = 64;

// The file a path names: a symbolic link is followed to its target.
std::string resolvedTarget(const char* path)
{
    char resolved[PATH_MAX];
    struct stat st {};
    if (lstat(path, &st) == 0 && S_ISLNK(st.st_mode) && realpath(path, resolved))
        return resolved;
    return path;
}

std::string folderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The target's name, cut so that the temporary name stays under NAME_MAX.
std::string baseOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    return base.substr(0, 200);
}

// A new file ".<name>.<pid>-<n>.part" beside the target, opened for writing.
int createTemporary(const std::string& target, std::string& tempPath)
{
    const std::string prefix = folderOf(target) + "/." + baseOf(target) + ".";
    struct timespec now {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        tempPath = prefix + std::to_string(getpid()) + "-" + std::to_string(now.tv_nsec + attempt) + ".part";
        const int fd = open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

bool writeChunks(int fd, const std::vector<std::uint8_t>& bytes, DecodeRequest& request, int fromPercent)
{
    const std::size_t total = bytes.size();
    for (std::size_t done = 0; done < total;) {
        const std::size_t n = std::min(kChunk, total - done);
        if (!writeAll(fd, bytes.data() + done, n))
            return false;
        done += n;
        const int span = 99 - fromPercent;
        if (!request.progress(fromPercent + static_cast<int>(done * std::uint64_t(span) / total)))
            return false;
    }
    return true;
}

// An existing target's permission bits and owner carry over.
void keepModeOf(const std::string& target, int fd)
{
    struct stat st {};
    if (stat(target.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return;
    fchmod(fd, st.st_mode & 07777);
    if (fchown(fd, st.st_uid, st.st_gid) != 0) {
        // another owner cannot be kept without the right to; the file stays ours
    }
}

}  // namespace

bool writeAll(int fd, const std::uint8_t* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t n = write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= std::size_t(n);
    }
    return true;
}

bool replace(const char* path, const std::vector<std::uint8_t>& bytes, DecodeRequest& request, int fromPercent)
{
    if (!path || !*path || fromPercent < 0 || fromPercent > 99)
        return false;
    const std::string target = resolvedTarget(path);
    std::string tempPath;
    const int fd = createTemporary(target, tempPath);
    if (fd < 0)
        return false;
    keepModeOf(target, fd);
    bool ok = writeChunks(fd, bytes, request, fromPercent) && fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    ok = ok && request.progress(100);
    ok = ok && rename(tempPath.c_str(), target.c_str()) == 0;
    if (!ok)
        unlink(tempPath.c_str());
    return ok;
}

}  // namespace outputfile
