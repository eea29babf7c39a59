// Writes the program icon into an icon theme folder: hicolor/<n>x<n>/apps/inkwren.png for
// every installed size and hicolor/scalable/apps/inkwren.svg, all from the one drawing the
// program paints its windows' icon with. Run at build time: inkwren-icons <folder>.
#include "core/ui/artwork.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPainter>

#include <cstdio>

using namespace inkwren;

int main(int argc, char **argv) {
  QGuiApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: inkwren-icons <folder>\n");
    return 2;
  }
  const QDir root(QString::fromLocal8Bit(argv[1]));
  for (int size : {16, 24, 32, 48, 64, 128, 256}) {
    const QString dir = QStringLiteral("hicolor/%1x%1/apps").arg(size);
    if (!root.mkpath(dir) || !artwork::logo(size, 1).save(root.filePath(dir + "/inkwren.png"))) {
      std::fprintf(stderr, "inkwren-icons: cannot write the %dx%d icon\n", size, size);
      return 1;
    }
  }
  QFile svg(root.filePath(QStringLiteral("hicolor/scalable/apps/inkwren.svg")));
  if (!root.mkpath(QStringLiteral("hicolor/scalable/apps")) || !svg.open(QIODevice::WriteOnly) ||
      svg.write(artwork::logoSvg()) < 0) {
    std::fprintf(stderr, "inkwren-icons: cannot write the scalable icon\n");
    return 1;
  }
  return 0;
}
