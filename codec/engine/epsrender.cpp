#include "epsrender.h"

#include <algorithm>
#include <cerrno>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <dirent.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <ghostscript/gserrors.h>
#include <ghostscript/iapi.h>

#include "dibcore/dibcore.h"
#include "outputfile.h"

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KV_EPS_SANITIZED 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define KV_EPS_SANITIZED 1
#endif

namespace epsrender {

namespace {

constexpr int kDefaultSeconds = 30;
constexpr std::size_t kChunk = 16 * 1024;
constexpr std::uint64_t kInterpreterHeadroom = std::uint64_t(384) << 20;
constexpr std::size_t kMaxPpmHeader = 1024;

// The entries of Ghostscript's library, loaded once.
struct GsApi {
    decltype(&gsapi_new_instance) newInstance = nullptr;
    decltype(&gsapi_delete_instance) deleteInstance = nullptr;
    decltype(&gsapi_set_stdio_with_handle) setStdio = nullptr;
    decltype(&gsapi_set_arg_encoding) setArgEncoding = nullptr;
    decltype(&gsapi_init_with_args) initWithArgs = nullptr;
    decltype(&gsapi_run_string_begin) runBegin = nullptr;
    decltype(&gsapi_run_string_continue) runContinue = nullptr;
    decltype(&gsapi_run_string_end) runEnd = nullptr;
    decltype(&gsapi_exit) exit = nullptr;

    bool complete() const
    {
        return newInstance && deleteInstance && setStdio && setArgEncoding && initWithArgs && runBegin &&
               runContinue && runEnd && exit;
    }
};

template <typename Fn>
void resolve(void* lib, const char* name, Fn& out)
{
    out = reinterpret_cast<Fn>(dlsym(lib, name));
}

GsApi loadGhostscript()
{
    GsApi api;
    void* lib = dlopen("libgs.so.10", RTLD_NOW | RTLD_LOCAL);
    if (!lib)
        lib = dlopen("libgs.so", RTLD_NOW | RTLD_LOCAL);
    if (!lib)
        return api;
    resolve(lib, "gsapi_new_instance", api.newInstance);
    resolve(lib, "gsapi_delete_instance", api.deleteInstance);
    resolve(lib, "gsapi_set_stdio_with_handle", api.setStdio);
    resolve(lib, "gsapi_set_arg_encoding", api.setArgEncoding);
    resolve(lib, "gsapi_init_with_args", api.initWithArgs);
    resolve(lib, "gsapi_run_string_begin", api.runBegin);
    resolve(lib, "gsapi_run_string_continue", api.runContinue);
    resolve(lib, "gsapi_run_string_end", api.runEnd);
    resolve(lib, "gsapi_exit", api.exit);
    return api;
}

// Loaded in this process before a child is forked, so the child only runs
// the interpreter.
const GsApi& ghostscript()
{
    static const GsApi api = loadGhostscript();
    return api;
}

std::uint64_t pageBytes(const EpsBox& box)
{
    return std::uint64_t(box.width) * std::uint64_t(box.height) * 3;
}

// ---- the child ----------------------------------------------------------------

struct ChildIo {
    int dataFd = -1;
    int statusFd = -1;
};

int noInput(void*, char*, int)
{
    return 0;
}

int discard(void*, const char*, int len)
{
    return len;
}

void limitResources(const EpsBox& box, int seconds)
{
    const rlimit cpu{rlim_t(seconds + 2), rlim_t(seconds + 3)};
    setrlimit(RLIMIT_CPU, &cpu);
    const rlimit core{0, 0};
    setrlimit(RLIMIT_CORE, &core);
    // band files of a large page
    const rlimit fileSize{rlim_t(pageBytes(box) * 2 + (std::uint64_t(64) << 20)),
                          rlim_t(pageBytes(box) * 2 + (std::uint64_t(64) << 20))};
    setrlimit(RLIMIT_FSIZE, &fileSize);
#if !defined(KV_EPS_SANITIZED)
    // the sanitizers' shadow memory counts as address space: only without them
    rlimit as{};
    if (getrlimit(RLIMIT_AS, &as) == 0) {
        long pages = 0;
        if (FILE* f = std::fopen("/proc/self/statm", "r")) {
            if (std::fscanf(f, "%ld", &pages) != 1)
                pages = 0;
            std::fclose(f);
        }
        const std::uint64_t now = std::uint64_t(pages > 0 ? pages : 0) * std::uint64_t(sysconf(_SC_PAGESIZE));
        const rlim_t wanted = rlim_t(now + pageBytes(box) * 2 + (std::uint64_t(1) << 30));
        if (as.rlim_max == RLIM_INFINITY || wanted < as.rlim_max) {
            as.rlim_cur = wanted;
            setrlimit(RLIMIT_AS, &as);
        }
    }
#endif
}

std::vector<std::string> interpreterArguments(const EpsBox& box)
{
    const std::uint64_t kilobytes = (pageBytes(box) * 2 + kInterpreterHeadroom) / 1024;
    return {"gs",
            "-q",
            "-dSAFER",
            "-dBATCH",
            "-dNOPAUSE",
            "-dNOPROMPT",
            "-dNOINTERPOLATE",
            "-dTextAlphaBits=4",
            "-dGraphicsAlphaBits=4",
            "-sDEVICE=ppmraw",
            "-r72",
            "-g" + std::to_string(box.width) + "x" + std::to_string(box.height),
            "-dFIXEDMEDIA",
            "-K" + std::to_string(kilobytes),
            "-sstdout=%stderr",
            "-sOutputFile=-"};
}

// The section between a prologue and an epilogue that keep its state and
// its showpage to itself, moved so the box's lower-left corner is the origin.
std::string prologue(const EpsBox& box)
{
    return "/KvEpsState save def\n"
           "/KvDictCount countdictstack def\n"
           "/KvOpCount count 1 sub def\n"
           "userdict begin\n"
           "/showpage {} def\n"
           "0 setgray 0 setlinecap 1 setlinewidth 0 setlinejoin 10 setmiterlimit [] 0 setdash newpath\n"
           "false setstrokeadjust false setoverprint\n" +
           std::to_string(-std::int64_t(box.llx)) + " " + std::to_string(-std::int64_t(box.lly)) +
           " translate\n";
}

const char kEpilogue[] =
    "\ncount KvOpCount sub {pop} repeat countdictstack KvDictCount sub {end} repeat KvEpsState restore\n"
    "showpage\n";

bool accepted(int code)
{
    return code >= 0 || code == gs_error_NeedInput;
}

bool feed(const GsApi& gs, void* instance, const char* text, std::size_t size, int& exitCode)
{
    return accepted(gs.runContinue(instance, text, static_cast<unsigned>(size), 0, &exitCode));
}

void reportFed(int statusFd, std::size_t done, std::size_t total, int& last)
{
    const int percent = total ? static_cast<int>(std::uint64_t(done) * 100 / total) : 100;
    if (percent == last)
        return;
    last = percent;
    const auto byte = static_cast<std::uint8_t>(percent);
    outputfile::writeAll(statusFd, &byte, 1);
}

bool interpret(const GsApi& gs, void* instance, ByteSpan ps, const EpsBox& box, int statusFd)
{
    int exitCode = 0;
    if (!accepted(gs.runBegin(instance, 0, &exitCode)))
        return false;
    const std::string head = prologue(box);
    bool ok = feed(gs, instance, head.data(), head.size(), exitCode);
    int last = -1;
    for (std::size_t done = 0; ok && done < ps.size;) {
        const std::size_t n = std::min(kChunk, ps.size - done);
        ok = feed(gs, instance, reinterpret_cast<const char*>(ps.data) + done, n, exitCode);
        done += n;
        reportFed(statusFd, done, ps.size, last);
    }
    ok = ok && feed(gs, instance, kEpilogue, sizeof kEpilogue - 1, exitCode);
    return gs.runEnd(instance, 0, &exitCode) >= 0 && ok;
}

[[noreturn]] void runChild(const GsApi& gs, ByteSpan ps, const EpsBox& box, ChildIo io, pid_t parent,
                           int seconds, const std::string& folder)
{
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent)
        _exit(3);
    // the device writes the page to standard output: the pipe; the
    // interpreter's own output and messages go nowhere. The pipes move out
    // of the way first, in case the caller runs without standard files.
    constexpr int kStatusFd = 3;
    constexpr int kAside = 10;
    const int data = fcntl(io.dataFd, F_DUPFD, kAside);
    const int status = fcntl(io.statusFd, F_DUPFD, kAside);
    const int nowhere = fcntl(open("/dev/null", O_RDWR | O_CLOEXEC), F_DUPFD, kAside);
    if (data < 0 || status < 0 || nowhere < 0 || dup2(data, STDOUT_FILENO) < 0 ||
        dup2(nowhere, STDERR_FILENO) < 0 || dup2(nowhere, STDIN_FILENO) < 0 || dup2(status, kStatusFd) < 0 ||
        setenv("TMPDIR", folder.c_str(), 1) != 0)
        _exit(3);
    io.statusFd = kStatusFd;
    io.dataFd = STDOUT_FILENO;
    // nothing else of the caller's open files stays open in the interpreter
    close_range(kStatusFd + 1, ~0u, 0);
    limitResources(box, seconds);
    std::vector<std::string> args = interpreterArguments(box);
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    void* instance = nullptr;
    if (gs.newInstance(&instance, &io) < 0 || !instance)
        _exit(4);
    bool ok = gs.setStdio(instance, noInput, discard, discard, &io) == 0 &&
              gs.setArgEncoding(instance, GS_ARG_ENCODING_UTF8) == 0;
    ok = ok && gs.initWithArgs(instance, static_cast<int>(argv.size() - 1), argv.data()) == 0;
    ok = ok && interpret(gs, instance, ps, box, io.statusFd);
    ok = gs.exit(instance) == 0 && ok;
    gs.deleteInstance(instance);
    _exit(ok ? 0 : 5);
}

// ---- the parent ----------------------------------------------------------------

// Takes the child's PPM ("P6", width, height, 255, one whitespace, rows of
// RGB) into the DIB's rows, top row first.
class PpmSink
{
public:
    PpmSink(const EpsBox& box, const dibcore::DibView& view) : m_box(box), m_view(view) {}

    // False when the data is not the expected picture.
    bool take(const std::uint8_t* data, std::size_t size)
    {
        while (size > 0) {
            if (!m_headerDone) {
                if (m_header.size() >= kMaxPpmHeader)
                    return false;
                m_header.push_back(static_cast<char>(*data++));
                --size;
                const int state = parseHeader();
                if (state < 0)
                    return false;
                m_headerDone = state > 0;
                continue;
            }
            if (complete())
                return true;  // a second page is not read
            const std::size_t n = std::min(size, m_rowBytes - m_inRow);
            std::memcpy(m_row.data() + m_inRow, data, n);
            m_inRow += n;
            data += n;
            size -= n;
            if (m_inRow == m_rowBytes)
                storeRow();
        }
        return true;
    }

    bool complete() const { return m_headerDone && m_rowsDone == m_box.height; }
    int percentDone() const { return m_box.height ? static_cast<int>(std::int64_t(m_rowsDone) * 100 / m_box.height) : 0; }

private:
    // 1 when the header is complete and right, 0 when more is needed, -1
    // when it is wrong.
    int parseHeader()
    {
        const std::string& h = m_header;
        std::size_t i = 0;
        if (h.size() < 2)
            return 0;
        if (h[0] != 'P' || h[1] != '6')
            return -1;
        i = 2;
        long values[3] = {0, 0, 0};
        for (long& value : values) {
            // whitespace and comments before each number
            for (;;) {
                if (i >= h.size())
                    return 0;
                if (h[i] == '#') {
                    const std::size_t end = h.find('\n', i);
                    if (end == std::string::npos)
                        return 0;
                    i = end + 1;
                } else if (std::isspace(static_cast<unsigned char>(h[i]))) {
                    ++i;
                } else {
                    break;
                }
            }
            if (!std::isdigit(static_cast<unsigned char>(h[i])))
                return -1;
            value = 0;
            while (i < h.size() && std::isdigit(static_cast<unsigned char>(h[i]))) {
                value = value * 10 + (h[i] - '0');
                if (value > 10000000)
                    return -1;
                ++i;
            }
            if (i >= h.size())
                return 0;
        }
        if (!std::isspace(static_cast<unsigned char>(h[i])) || i + 1 != h.size())
            return i + 1 < h.size() ? -1 : 0;
        if (values[0] != m_box.width || values[1] != m_box.height || values[2] != 255)
            return -1;
        m_rowBytes = std::size_t(m_box.width) * 3;
        m_row.assign(m_rowBytes, 0);
        return 1;
    }

    void storeRow()
    {
        std::uint8_t* dst = m_view.mutableRow(m_rowsDone);
        for (int x = 0; x < m_box.width; ++x) {
            const std::uint8_t* p = m_row.data() + std::size_t(x) * 3;
            dst[x * 3] = p[2];
            dst[x * 3 + 1] = p[1];
            dst[x * 3 + 2] = p[0];
        }
        ++m_rowsDone;
        m_inRow = 0;
    }

    EpsBox m_box;
    dibcore::DibView m_view;
    std::string m_header;
    bool m_headerDone = false;
    std::vector<std::uint8_t> m_row;
    std::size_t m_rowBytes = 0;
    std::size_t m_inRow = 0;
    int m_rowsDone = 0;
};

struct Pipe {
    int readEnd = -1;
    int writeEnd = -1;
    bool open()
    {
        int fds[2];
        if (pipe2(fds, O_CLOEXEC) != 0)
            return false;
        readEnd = fds[0];
        writeEnd = fds[1];
        return true;
    }
    void closeRead()
    {
        if (readEnd >= 0)
            close(readEnd);
        readEnd = -1;
    }
    void closeWrite()
    {
        if (writeEnd >= 0)
            close(writeEnd);
        writeEnd = -1;
    }
    ~Pipe()
    {
        closeRead();
        closeWrite();
    }
};

// An empty folder of our own for the interpreter's temporary files: the
// interpreter lets a program write into its temporary folder, so it gets
// this one instead of the system's, emptied and removed afterwards.
class PrivateFolder
{
public:
    PrivateFolder()
    {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base == '/' ? base : "/tmp") + "/kv-eps-XXXXXX";
        if (mkdtemp(pattern.data()))
            m_path = pattern;
    }
    ~PrivateFolder()
    {
        if (m_path.empty())
            return;
        if (DIR* dir = opendir(m_path.c_str())) {
            while (const dirent* entry = readdir(dir))
                if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
                    unlinkat(dirfd(dir), entry->d_name, 0);
            closedir(dir);
        }
        rmdir(m_path.c_str());
    }
    PrivateFolder(const PrivateFolder&) = delete;
    PrivateFolder& operator=(const PrivateFolder&) = delete;

    const std::string& path() const { return m_path; }

private:
    std::string m_path;
};

void endChild(pid_t pid)
{
    kill(pid, SIGKILL);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
}

// Reads what is there; 0 at the end of the data, -1 on an error.
ssize_t readSome(int fd, std::uint8_t* buffer, std::size_t size)
{
    for (;;) {
        const ssize_t n = read(fd, buffer, size);
        if (n >= 0 || errno != EINTR)
            return n;
    }
}

Outcome watch(Pipe& data, Pipe& status, PpmSink& sink, const Ask& ask, int seconds)
{
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::seconds(seconds);
    std::vector<std::uint8_t> buffer(64 * 1024);
    int fed = 0;
    bool statusOpen = true;
    for (;;) {
        const int percent = 5 + fed * 55 / 100 + sink.percentDone() * 30 / 100;
        if (ask && !ask(percent))
            return Outcome::Stopped;
        if (Clock::now() > deadline)
            return Outcome::Failed;
        pollfd fds[2] = {{data.readEnd, POLLIN, 0}, {statusOpen ? status.readEnd : -1, POLLIN, 0}};
        const int ready = poll(fds, 2, 100);
        if (ready < 0 && errno != EINTR)
            return Outcome::Failed;
        if (ready <= 0)
            continue;
        if (fds[1].revents) {
            const ssize_t n = readSome(status.readEnd, buffer.data(), buffer.size());
            if (n <= 0)
                statusOpen = false;
            else
                fed = std::clamp<int>(buffer[std::size_t(n) - 1], 0, 100);
        }
        if (fds[0].revents) {
            const ssize_t n = readSome(data.readEnd, buffer.data(), buffer.size());
            if (n <= 0 || !sink.take(buffer.data(), std::size_t(n)))
                return Outcome::Failed;
            if (sink.complete())
                return Outcome::Rendered;
        }
    }
}

}  // namespace

int timeLimitSeconds()
{
    if (const char* text = std::getenv("GLIMRA_EPS_SECONDS")) {
        char* end = nullptr;
        const long value = std::strtol(text, &end, 10);
        if (end != text && *end == '\0' && value >= 1 && value <= 600)
            return static_cast<int>(value);
    }
    return kDefaultSeconds;
}

Outcome render(ByteSpan postscript, const EpsBox& box, const Ask& ask, GlobalHandle* dib)
{
    *dib = nullptr;
    const GsApi& gs = ghostscript();
    if (!gs.complete() || box.width <= 0 || box.height <= 0)
        return Outcome::Failed;
    dibcore::DibGuard picture(dibcore::allocDib(box.width, box.height, 24));
    if (!picture.get())
        return Outcome::Failed;
    Pipe data, status;
    const PrivateFolder folder;
    if (!data.open() || !status.open() || folder.path().empty())
        return Outcome::Failed;
    const int seconds = timeLimitSeconds();
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid < 0)
        return Outcome::Failed;
    if (pid == 0) {
        data.closeRead();
        status.closeRead();
        runChild(gs, postscript, box, ChildIo{data.writeEnd, status.writeEnd}, parent, seconds, folder.path());
    }
    data.closeWrite();
    status.closeWrite();
    dibcore::DibView view = dibcore::lockView(picture.get());
    PpmSink sink(box, view);
    const Outcome outcome = watch(data, status, sink, ask, seconds);
    globalmem::unlock(picture.get());
    endChild(pid);
    if (outcome == Outcome::Rendered)
        *dib = picture.release();
    return outcome;
}

}  // namespace epsrender
