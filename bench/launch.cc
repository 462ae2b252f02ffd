// Runs a program and reports its wall time and its own peak resident memory,
// for the benchmark. A process started straight from the benchmark script
// would count the script's memory as its own (the kernel keeps the larger of
// the memory before and after exec), so the program is started from this
// small process instead, through posix_spawn.
//
//   bench_launch PROGRAM [ARGS...]
//
// The program inherits the standard streams and the environment. When it has
// ended, one line goes to standard error: "bench_launch seconds S cpu C
// peak_kib K exit E", with its wall time, its processor time (user and
// system) and its peak resident memory. Exit code: the program's, or 2 when
// it could not be started.
#include <spawn.h>
#include <stdio.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>

extern char** environ;

namespace {

double now() {
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    fprintf(stderr, "usage: bench_launch PROGRAM [ARGS...]\n");
    return 2;
  }
  double start = now();
  pid_t child;
  if (posix_spawn(&child, argv[1], nullptr, nullptr, argv + 1, environ) != 0) {
    fprintf(stderr, "bench_launch: cannot start %s\n", argv[1]);
    return 2;
  }
  int status = 0;
  struct rusage usage;
  if (wait4(child, &status, 0, &usage) != child) return 2;
  double seconds = now() - start;
  int code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  double cpu = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
               static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
  fprintf(stderr, "bench_launch seconds %.6f cpu %.6f peak_kib %ld exit %d\n", seconds, cpu, usage.ru_maxrss, code);
  return code;
}
