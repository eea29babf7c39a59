// Rule lookup: address NUL rules text. The site key of any address, and the record found for
// it, which is either nothing or exactly the eleven fields.
#include "fuzz_support.h"
#include "rules/ruleset.h"

#include "core/codec.h"

using namespace inkwren;

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
  fuzz::shortWalks();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const QByteArrayList parts = fuzz::split(data, size, 2);
  const QByteArray key = RuleSet::geturlkey(parts[0]);
  fuzz::require(!key.contains('/'), "a key stops before the first slash");
  const QByteArrayList record = RuleSet::getdsbykey(codec::decode(parts[1]), key);
  fuzz::require(record.isEmpty() || record.size() == 11, "a record has eleven fields");
  // The key itself as a record: always found.
  const QByteArray own = "<dw><wk>" + codec::encode(codec::decode(key)) +
                         "</wk><s0></s0><s1>x</s1><s2></s2><s3></s3><s4></s4><s5></s5><s6></s6>"
                         "<s7></s7><s8></s8><s9></s9><s10></s10></dw>";
  if (!key.contains('\n') && !key.contains('\r') && !key.contains("</wk>") && !key.isEmpty())
    fuzz::require(RuleSet::getdsbykey(codec::decode(own), key).value(1) == "x",
                  "a record keyed by the key is found");
  return 0;
}
