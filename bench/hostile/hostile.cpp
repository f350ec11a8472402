// Time and peak memory of glimra-tool decode on each hostile picture of the
// tests (tiny files claiming huge pictures), each in a process of its own:
// wall time, and the child's peak resident set from wait4's rusage (what
// /usr/bin/time -v reports as "Maximum resident set size"). The aim is every
// file under 0.5 s and 64 MB; build it in a release configuration.
//
// Usage: bench_hostile [FILE...]   (default: tests/data/codec/hostile/*)

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace fs = std::filesystem;

namespace {

constexpr double kAimSeconds = 0.5;
constexpr long kAimKilobytes = 64 * 1024;

struct Run {
    bool started = false;
    int exitCode = -1;
    double seconds = 0;
    long peakKilobytes = 0;
};

// glimra-tool beside this program (the build folder's root).
fs::path toolPath()
{
    std::error_code error;
    const fs::path self = fs::read_symlink("/proc/self/exe", error);
    return (error ? fs::path(".") : self.parent_path()) / "glimra-tool";
}

Run decode(const fs::path& tool, const fs::path& file, const fs::path& out)
{
    Run run;
    const std::string toolText = tool.string(), fileText = file.string(), outText = out.string();
    std::vector<char*> argv = {const_cast<char*>(toolText.c_str()), const_cast<char*>("decode"),
                               const_cast<char*>(fileText.c_str()), const_cast<char*>("-o"),
                               const_cast<char*>(outText.c_str()), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // the tool's one line of failure is expected: keep the table readable
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const bool spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    if (!spawned)
        return run;
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid)
        return run;
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.started = true;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    run.peakKilobytes = usage.ru_maxrss;
    return run;
}

std::vector<fs::path> hostileFiles(int argc, char** argv)
{
    std::vector<fs::path> files;
    for (int i = 1; i < argc; ++i)
        files.emplace_back(argv[i]);
    if (!files.empty())
        return files;
    for (const auto& entry : fs::directory_iterator(KV_SOURCE_DIR "/tests/data/codec/hostile")) {
        if (entry.is_regular_file() && entry.path().extension() != ".py")
            files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace

int main(int argc, char** argv)
{
    const fs::path tool = toolPath();
    if (!fs::exists(tool)) {
        std::fprintf(stderr, "bench_hostile: no glimra-tool at %s\n", tool.c_str());
        return 1;
    }
    char folder[] = "/tmp/bench-hostile-XXXXXX";
    if (!mkdtemp(folder)) {
        std::perror("bench_hostile");
        return 1;
    }
    // a settings folder of its own, as the tests give the tool
    setenv("GLIMRA_CONFIG_DIR", folder, 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const fs::path out = fs::path(folder) / "out.png";
    // the tool's start alone, for comparison
    const fs::path missing = fs::path(folder) / "missing.png";
    const Run idle = decode(tool, missing, out);

    std::printf("%-28s %8s %6s %10s %9s  %s\n", "file", "bytes", "exit", "seconds", "peak MB", "aim");
    std::printf("%-28s %8s %6d %10.3f %9.1f\n", "(start only: missing file)", "-", idle.exitCode, idle.seconds,
                idle.peakKilobytes / 1024.0);
    int missed = 0;
    for (const fs::path& file : hostileFiles(argc, argv)) {
        const Run r = decode(tool, file, out);
        const bool met = r.started && r.seconds < kAimSeconds && r.peakKilobytes < kAimKilobytes;
        missed += met ? 0 : 1;
        std::error_code error;
        std::printf("%-28s %8ju %6d %10.3f %9.1f  %s\n", file.filename().c_str(),
                    static_cast<std::uintmax_t>(fs::file_size(file, error)), r.exitCode, r.seconds,
                    r.peakKilobytes / 1024.0, met ? "met" : "MISSED");
        fs::remove(out, error);
    }
    std::error_code error;
    fs::remove_all(folder, error);
    std::printf("%d missed the aim of %.1f s and %ld MB\n", missed, kAimSeconds, kAimKilobytes / 1024);
    return 0;
}
