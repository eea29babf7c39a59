// Regular expressions: pattern NUL subject NUL literal. Every search over any pattern and
// subject ends, and matches lie inside the subject.
#include "fuzz_support.h"
#include "rules/regex.h"

using namespace inkwren;

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
  fuzz::shortWalks();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const QByteArrayList parts = fuzz::split(data, size, 3);
  const Regex re{QByteArrayView(parts[0])};
  if (!re.valid())
    return 0;
  const QList<RegexMatch> all = re.matchAll(parts[1]);
  for (const RegexMatch &m : all)
    fuzz::require(m.groups.size() == re.groupCount(), "one text per group");
  const std::optional<RegexMatch> first = re.matchFirst(parts[1]);
  if (!all.isEmpty())
    fuzz::require(first && first->value == all.front().value, "first match is the first of all");
  (void)re.replaceAll(parts[1], parts[2]);
  (void)Regex::translate(QString::fromLatin1(parts[0]));
  return 0;
}
