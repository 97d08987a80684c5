// measure COMMAND [ARGS...]: runs the command as a whole process, its output
// discarded, and prints "SECONDS PEAK_KB EXIT" on one line: wall-clock seconds
// from start to exit, the peak resident memory of the process in KiB, and its
// exit status (or 128 + signal). Used by the benchmark script, which needs
// finer times than GNU time prints and no dependency on it.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: measure COMMAND [ARGS...]\n");
        return 2;
    }
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = ::fork();
    if (child < 0) return 2;
    if (child == 0) {
        const int null = ::open("/dev/null", O_WRONLY);
        if (null >= 0) {
            ::dup2(null, STDOUT_FILENO);
            ::dup2(null, STDERR_FILENO);
        }
        ::execvp(argv[1], argv + 1);
        ::_exit(127);
    }
    int status = 0;
    struct rusage usage {};
    if (::wait4(child, &status, 0, &usage) != child) return 2;
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    const int exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    std::printf("%.6f %ld %d\n", elapsed.count(), usage.ru_maxrss, exit_code);
    return 0;
}
