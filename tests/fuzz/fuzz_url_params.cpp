// Parameters and directories of addresses, form bodies and address escaping: address NUL name.
#include "fuzz_support.h"
#include "rules/httpclient.h"
#include "rules/urlparams.h"
#include "rules/webpath.h"

using namespace inkwren;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const QByteArrayList parts = fuzz::split(data, size, 2);
  (void)UrlParams::geturlcans(parts[0], parts[1]);
  (void)UrlParams::geturlcansx(parts[0], parts[1]);
  const QByteArray dir = WebPath::getup(parts[0]);
  fuzz::require(WebPath::getup(dir) == dir, "a directory is its own directory");
  const QByteArray escaped = HttpClient::escapeUrl(parts[0]);
  for (char c : escaped)
    fuzz::require(c > 0x20 && c < 0x7F, "an escaped address is printable ASCII");
  // Values are encoded (names are not): lines "v=" value give a printable body.
  QByteArrayList lines;
  for (const QByteArray &value : parts[0].split('\n'))
    lines.append("v=" + value);
  const QByteArray body = HttpClient::formBody(lines);
  for (char c : body)
    fuzz::require(c > 0x20 && c < 0x7F, "a form body is printable ASCII");
  return 0;
}
