// Whole-process start-up of `label-printer-cli --version` against a minimal QtCore program that
// answers --version with the same parser, alternating in one run so that both meet the same
// machine. What it measures is mostly the dynamic loading of the libraries each links.
#include "bench/support/benchcommon.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

bool runQuietly(const char *program)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    char *argv[] = {const_cast<char *>(program), const_cast<char *>("--version"), nullptr};
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, program, &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    return spawned == 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}

} // namespace

int main(int argc, char *argv[])
{
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 200;
    bench::pinToOneCpu();
    for (int warm = 0; warm < 5; ++warm) // page cache and dynamic loader caches
        runQuietly(LABELSETUP_CLI) && runQuietly(LABELSETUP_REFERENCE);
    // Alternate so that any drift of the machine meets both sides alike.
    std::vector<double> tool, reference;
    for (int i = 0; i < rounds; ++i) {
        tool.push_back(bench::measure(1, [] { return runQuietly(LABELSETUP_CLI); }).median);
        reference.push_back(
            bench::measure(1, [] { return runQuietly(LABELSETUP_REFERENCE); }).median);
    }
    auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    const double ours = median(tool), ref = median(reference);
    std::printf("label-printer-cli --version: median %.0f us over %d runs\n", ours, rounds);
    std::printf("QtCore reference --version:  median %.0f us over %d runs\n", ref, rounds);
    std::printf("ratio: %.2f (goal at most 1.2)\n", ours / ref);
    return 0;
}
