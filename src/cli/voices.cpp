// inkwren-cli voices: the speech voices, one a line: index, tab, name (language). The index is
// what the setting voicechoise and `speak --voice` take.
#include "cli/commands.h"

#include "speech/espeaksynth.h"

namespace inkwren::cli {

int voices(Context &ctx) {
  if (!hasArgs(ctx, 0, "voices"))
    return 2;
  EspeakSynth synth;
  if (!synth.ok()) {
    printErr(QStringLiteral("inkwren-cli: %1\n").arg(synth.problem()));
    return 1;
  }
  const QStringList names = synth.voiceNames();
  QString out;
  for (qsizetype i = 0; i < names.size(); ++i)
    out += QStringLiteral("%1\t%2\n").arg(i).arg(names[i]);
  printOut(out);
  return 0;
}

} // namespace inkwren::cli
