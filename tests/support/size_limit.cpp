#include "support/size_limit.h"

#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace inkwren::test {

std::optional<bool> underFileSizeLimit(long bytes, const std::function<bool()> &code) {
  const pid_t child = ::fork();
  if (child < 0)
    return std::nullopt;
  if (child == 0) {
    ::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{rlim_t(bytes), rlim_t(bytes)};
    if (::setrlimit(RLIMIT_FSIZE, &limit) != 0)
      ::_exit(3);
    ::_exit(code() ? 1 : 0);
  }
  int status = 0;
  while (::waitpid(child, &status, 0) < 0) {
  }
  if (!WIFEXITED(status) || WEXITSTATUS(status) > 1)
    return std::nullopt;
  return WEXITSTATUS(status) == 1;
}

} // namespace inkwren::test
