#pragma once
// Runs a piece of code in a child process whose files may not grow past a size limit, the way
// a full disk refuses writes: every write beyond the limit fails (EFBIG, with the signal that
// would end the process ignored). The child's result comes back through its exit status.
//
//   std::optional<bool> ok = inkwren::test::underFileSizeLimit(0, [&] { return save(); });
//   // nullopt: the child did not end normally
//
// The child only runs the given code and leaves with _exit, so nothing of the parent's
// state (test framework, temporary folders) is torn down twice. Call it from a thread that
// holds no locks other threads need.
#include <functional>
#include <optional>

namespace inkwren::test {

std::optional<bool> underFileSizeLimit(long bytes, const std::function<bool()> &code);

} // namespace inkwren::test
