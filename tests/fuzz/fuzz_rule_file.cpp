// The rule file container: any image, any record number; what build() writes reads back.
#include "fuzz_support.h"
#include "rules/rulefile.h"

using namespace inkwren;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const QByteArrayView image(reinterpret_cast<const char *>(data), qsizetype(size));
  for (int n = -1; n < 4; ++n)
    if (std::optional<QByteArray> r = RuleFile::record(image, n))
      fuzz::require(r->size() <= image.size(), "a record lies inside the image");
  const QByteArrayList records = fuzz::split(data, size, 4);
  const QByteArray built = RuleFile::build(records);
  for (int n = 0; n < 4; ++n)
    fuzz::require(RuleFile::record(built, n) == records[n], "built records read back");
  return 0;
}
