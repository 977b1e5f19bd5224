#include "platform/run_process.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace bv::platform {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kOutputCap = 64 * 1024;

bool isExecutableFile(const fs::path& p)
{
    struct stat st { };
    return ::stat(p.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(p.c_str(), X_OK) == 0;
}

struct Pipe {
    int fd[2] = { -1, -1 };
    ~Pipe()
    {
        for (int f : fd)
            if (f >= 0)
                ::close(f);
    }
    void closeEnd(int i)
    {
        if (fd[i] >= 0)
            ::close(fd[i]);
        fd[i] = -1;
    }
};

} // namespace

fs::path FindProgram(const std::string& name)
{
    const char* path = std::getenv("PATH");
    const std::string list = path ? path : "/usr/local/bin:/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= list.size()) {
        std::size_t end = list.find(':', start);
        if (end == std::string::npos)
            end = list.size();
        const std::string dir = list.substr(start, end - start);
        if (!dir.empty()) {
            const fs::path candidate = fs::path(dir) / name;
            if (isExecutableFile(candidate))
                return candidate;
        }
        start = end + 1;
    }
    return {};
}

ProcessResult RunProcess(const std::vector<std::string>& args, std::chrono::milliseconds timeout)
{
    ProcessResult r;
    if (args.empty()) {
        r.Error = "no program given";
        return r;
    }
    Pipe out, err;
    // Close-on-exec from the start, so a program started by another thread never inherits them.
    if (::pipe2(out.fd, O_CLOEXEC) != 0 || ::pipe2(err.fd, O_CLOEXEC) != 0) {
        r.Error = std::string("pipe failed: ") + std::strerror(errno);
        return r;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, out.fd[1], 1);
    posix_spawn_file_actions_adddup2(&actions, err.fd[1], 2);

    std::vector<char*> argv;
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = -1;
    const int spawned = ::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        r.Error = "cannot start " + args.front() + ": " + std::strerror(spawned);
        return r;
    }
    r.Started = true;
    out.closeEnd(1);
    err.closeEnd(1);

    const auto deadline = std::chrono::steady_clock::now() + timeout;
    pollfd fds[2] = { { out.fd[0], POLLIN, 0 }, { err.fd[0], POLLIN, 0 } };
    std::string* sinks[2] = { &r.Out, &r.Err };
    int open = 2;
    while (open > 0) {
        const auto left
            = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            r.TimedOut = true;
            break;
        }
        const int n = ::poll(fds, 2, static_cast<int>(left.count()));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            break;
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0)
                continue;
            char buf[4096];
            const ssize_t got = ::read(fds[i].fd, buf, sizeof buf);
            if (got > 0) {
                const std::size_t room = kOutputCap - std::min(kOutputCap, sinks[i]->size());
                sinks[i]->append(buf, std::min<std::size_t>(room, static_cast<std::size_t>(got)));
            } else if (got == 0 || errno != EINTR) {
                fds[i].fd = -1;
                --open;
            }
        }
    }
    if (r.TimedOut)
        ::kill(pid, SIGKILL);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) { }
    if (!r.TimedOut && WIFEXITED(status))
        r.ExitCode = WEXITSTATUS(status);
    return r;
}

} // namespace bv::platform
