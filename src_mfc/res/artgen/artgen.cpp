// orvan_artgen: draws the finder's bitmaps, hover cursor and icon, and writes them with the Qt
// resource file into the resource folder; optionally renders a contact sheet for review.
//
//   orvan_artgen <resource-folder>
//   orvan_artgen [<resource-folder>] --sheet <png> [--scale <n>] [--only <id>[,<id>...]]

#include <QFontInfo>
#include <QGuiApplication>
#include <QStringList>
#include <cstdio>
#include <vector>

#include "contact_sheet.h"
#include "painting.h"
#include "resource_files.h"

namespace {

struct Options {
    QString outputDir;
    QString sheetPath;
    int scale = 2;
    std::vector<int32_t> only;
};

int Usage() {
    std::fprintf(
        stderr,
        "usage: orvan_artgen <resource-folder>\n"
        "       orvan_artgen [<resource-folder>] --sheet <png> [--scale <n>] [--only <id>[,<id>...]]\n");
    return 2;
}

bool Parse(const QStringList& args, Options* options) {
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == QLatin1String("--sheet") && hasValue) {
            options->sheetPath = args[++i];
        } else if (arg == QLatin1String("--scale") && hasValue) {
            bool ok = false;
            options->scale = args[++i].toInt(&ok);
            if (!ok || options->scale < 1 || options->scale > 8) return false;
        } else if (arg == QLatin1String("--only") && hasValue) {
            for (const QString& id : args[++i].split(QLatin1Char(','), Qt::SkipEmptyParts)) {
                bool ok = false;
                options->only.push_back(id.toInt(&ok));
                if (!ok) return false;
            }
        } else if (!arg.startsWith(QLatin1String("--")) && options->outputDir.isEmpty()) {
            options->outputDir = arg;
        } else {
            return false;
        }
    }
    return !options->outputDir.isEmpty() || !options->sheetPath.isEmpty();
}

}  // namespace

int main(int argc, char** argv) {
    // Painting needs fonts but never a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    Options options;
    if (!Parse(QCoreApplication::arguments(), &options)) return Usage();

    const QString family = QFontInfo(orvan::art::UiFont(12)).family();
    if (family != QLatin1String("DejaVu Sans")) {
        std::fprintf(stderr, "orvan_artgen: DejaVu Sans not found (got %s); baked captions will differ\n",
                     qPrintable(family));
    }

    if (!options.outputDir.isEmpty()) {
        QString error;
        if (!orvan::art::WriteResources(options.outputDir, &error)) {
            std::fprintf(stderr, "orvan_artgen: %s\n", qPrintable(error));
            return 1;
        }
    }
    if (!options.sheetPath.isEmpty()) {
        const QImage sheet = orvan::art::RenderContactSheet(options.scale, options.only);
        if (!sheet.save(options.sheetPath, "PNG")) {
            std::fprintf(stderr, "orvan_artgen: cannot write %s\n", qPrintable(options.sheetPath));
            return 1;
        }
    }
    return 0;
}
