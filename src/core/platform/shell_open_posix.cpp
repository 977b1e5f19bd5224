#include "platform/shell_open.h"

#include "platform/run_process.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace bv::platform {

namespace fs = std::filesystem;

namespace {

void setError(std::string* error, std::string text)
{
    if (error)
        *error = std::move(text);
}

bool isExecutableFile(const fs::path& p)
{
    struct stat st { };
    return ::stat(p.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(p.c_str(), X_OK) == 0;
}

// Runs argv[0] (an absolute path) as a grandchild, so that it is never a zombie of ours, and
// reports whether exec succeeded through a close-on-exec pipe. Between fork and exec only
// async-signal-safe calls are made; every string is prepared before.
bool spawnDetached(const std::vector<std::string>& args, const fs::path& workingFolder, std::string* error)
{
    std::vector<char*> argv;
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const std::string cwd = workingFolder.string();

    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0) {
        setError(error, std::string("pipe failed: ") + std::strerror(errno));
        return false;
    }
    const pid_t child = ::fork();
    if (child < 0) {
        const int err = errno;
        ::close(report[0]);
        ::close(report[1]);
        setError(error, std::string("fork failed: ") + std::strerror(err));
        return false;
    }
    if (child == 0) {
        ::close(report[0]);
        ::setsid();
        const pid_t grandchild = ::fork();
        if (grandchild < 0) {
            int err = errno;
            (void)!::write(report[1], &err, sizeof err);
            ::_exit(1);
        }
        if (grandchild > 0)
            ::_exit(0);
        // A program left running must not hold the starter's input and output: whoever reads
        // them (a shell's command substitution, a test) would wait for it to end.
        if (const int null = ::open("/dev/null", O_RDWR | O_CLOEXEC); null >= 0) {
            ::dup2(null, STDIN_FILENO);
            ::dup2(null, STDOUT_FILENO);
        }
        int err = 0;
        if (!cwd.empty() && ::chdir(cwd.c_str()) != 0)
            err = errno;
        else {
            ::execv(argv[0], argv.data());
            err = errno;
        }
        (void)!::write(report[1], &err, sizeof err);
        ::_exit(127);
    }

    ::close(report[1]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) { }
    int childError = 0;
    ssize_t n;
    do {
        n = ::read(report[0], &childError, sizeof childError);
    } while (n < 0 && errno == EINTR);
    ::close(report[0]);
    if (n == static_cast<ssize_t>(sizeof childError)) {
        setError(error, "cannot start " + args.front() + ": " + std::strerror(childError));
        return false;
    }
    return true;
}

} // namespace

bool StartProgram(const fs::path& program, const fs::path& workingFolder, std::string* error)
{
    const fs::path absolute = program.is_absolute() ? program : fs::absolute(program);
    if (!isExecutableFile(absolute)) {
        setError(error, absolute.string() + " is not an executable file");
        return false;
    }
    return spawnDetached({ absolute.string() }, workingFolder, error);
}

bool ShellOpen(const std::string& target, std::string* error)
{
    const fs::path opener = FindProgram("xdg-open");
    if (opener.empty()) {
        setError(error, "xdg-open was not found; install xdg-utils");
        return false;
    }
    return spawnDetached({ opener.string(), target }, {}, error);
}

} // namespace bv::platform
