// Running a program with its outputs collected: POSIX (fork and exec).
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <stdexcept>
#include <thread>

#include "support/test_files.h"

namespace testing_support {

namespace {

std::string DrainBoth(int out_fd, int err_fd, std::string& err) {
    std::string out;
    pollfd fds[2] = {{out_fd, POLLIN, 0}, {err_fd, POLLIN, 0}};
    int open_count = 2;
    char buf[65536];
    while (open_count > 0) {
        if (poll(fds, 2, -1) < 0) break;
        for (auto& p : fds) {
            if (p.fd < 0 || !(p.revents & (POLLIN | POLLHUP))) continue;
            ssize_t n = read(p.fd, buf, sizeof buf);
            if (n <= 0) {
                close(p.fd);
                p.fd = -1;
                --open_count;
                continue;
            }
            (p.fd == out_fd ? out : err).append(buf, static_cast<std::size_t>(n));
        }
    }
    return out;
}

}  // namespace

RunResult RunProgram(const std::vector<std::string>& argv, const RunOptions& options) {
    int in_pipe[2], out_pipe[2], err_pipe[2];
    if (pipe(in_pipe) || pipe(out_pipe) || pipe(err_pipe)) throw std::runtime_error("pipe");
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    // The environment is built before the fork: the child only calls what is
    // safe between fork and exec.
    // The extra entries come first, so they win over inherited ones.
    std::vector<char*> environment;
    for (const auto& e : options.environment) environment.push_back(const_cast<char*>(e.c_str()));
    for (char** e = environ; *e != nullptr; ++e) environment.push_back(*e);
    environment.push_back(nullptr);
    pid_t pid = fork();
    if (pid == 0) {
        dup2(in_pipe[0], 0);
        dup2(out_pipe[1], 1);
        dup2(err_pipe[1], 2);
        for (int fd : {in_pipe[0], in_pipe[1], out_pipe[0], out_pipe[1], err_pipe[0], err_pipe[1]})
            close(fd);
        if (options.file_size_limit > 0) {
            const auto size = static_cast<rlim_t>(options.file_size_limit);
            rlimit limit{size, size};
            setrlimit(RLIMIT_FSIZE, &limit);
        }
        // The test itself ignores SIGPIPE; the child starts as from a shell.
        signal(SIGPIPE, SIG_DFL);
        for (int s : options.ignored_signals) signal(s, SIG_IGN);
        execve(args[0], args.data(), environment.data());
        _exit(127);
    }
    close(in_pipe[0]);
    close(out_pipe[1]);
    close(err_pipe[1]);
    // Standard input is fed from a second thread so that a child which writes a
    // lot before it has read all of its input cannot deadlock the test.
    signal(SIGPIPE, SIG_IGN);
    std::thread feeder([fd = in_pipe[1], &input = options.input] {
        std::size_t written = 0;
        while (written < input.size()) {
            ssize_t n = write(fd, input.data() + written, input.size() - written);
            if (n <= 0) break;
            written += static_cast<std::size_t>(n);
        }
        close(fd);
    });
    RunResult result;
    std::thread drain([&] { result.out = DrainBoth(out_pipe[0], err_pipe[0], result.err); });
    int status = 0;
    while (waitpid(pid, &status, WUNTRACED) == pid && WIFSTOPPED(status)) {
        if (options.on_stop) options.on_stop(pid);
        kill(pid, SIGCONT);
    }
    drain.join();
    feeder.join();
    result.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return result;
}

bool RunningUnderWine() {
    return false;
}

}  // namespace testing_support
