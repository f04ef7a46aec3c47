// The tour's contact sheet: every screenshot, shrunk and labelled with its file name, on one
// image.
//
//   orvan_tour_sheet <sheet.png> <screenshot.png>...
#include <QFileInfo>
#include <QGuiApplication>
#include <cstdio>
#include <vector>

#include "tile_sheet.h"

namespace {

// A third of the 960 by 540 window keeps the controls recognisable with four screens a row.
constexpr int kShrink = 3;

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fputs("usage: orvan_tour_sheet <sheet.png> <screenshot.png>...\n", stderr);
        return 2;
    }
    // Fonts for the labels, without a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    std::vector<orvan::art::SheetTile> tiles;
    for (int i = 2; i < argc; ++i) {
        const QImage shot(QString::fromLocal8Bit(argv[i]));
        if (shot.isNull()) {
            std::fprintf(stderr, "orvan_tour_sheet: cannot read %s\n", argv[i]);
            return 1;
        }
        tiles.push_back({QFileInfo(QString::fromLocal8Bit(argv[i])).completeBaseName(),
                         shot.scaled(shot.size() / kShrink, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)});
    }
    if (!orvan::art::LayOutSheet(tiles).save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        std::fprintf(stderr, "orvan_tour_sheet: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
