#pragma once
// What the fuzz targets share: splitting one input into parts, and a check that stops the run
// (a crash libFuzzer reports with the input) when an invariant does not hold.
#include "rules/regex.h"

#include <QByteArray>
#include <QByteArrayList>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace inkwren::fuzz {

// The input cut at its first `parts - 1` NUL bytes; missing parts are empty.
inline QByteArrayList split(const uint8_t *data, size_t size, int parts) {
  QByteArray all(reinterpret_cast<const char *>(data), qsizetype(size));
  QByteArrayList out;
  qsizetype from = 0;
  for (int i = 0; i < parts - 1; ++i) {
    const qsizetype nul = all.indexOf('\0', from);
    if (nul < 0)
      break;
    out.append(all.mid(from, nul - from));
    from = nul + 1;
  }
  out.append(all.mid(from));
  while (out.size() < parts)
    out.append(QByteArray());
  return out;
}

inline void require(bool holds, const char *what) {
  if (!holds) {
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
  }
}

// Searches that run away end quickly here, so one slow input does not use up a short run.
inline void shortWalks() {
  Regex::setWalkTimeLimit(std::chrono::milliseconds(100));
}

} // namespace inkwren::fuzz
