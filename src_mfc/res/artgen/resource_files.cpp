#include "resource_files.h"

#include <QBuffer>
#include <QDir>
#include <QSaveFile>

#include "bmp_writer.h"
#include "catalog.h"
#include "cursor_icon.h"
#include "icon_writer.h"
#include "resource_ids.h"

namespace orvan::art {

namespace {

const QString kBitmapDir = QStringLiteral("bitmaps");
const QString kCursorFile = QStringLiteral("cursors/500.png");
const QString kIconFile = QStringLiteral("icons/app.png");
// The same pictures in the forms the Windows resource compiler takes, beside the ones Qt loads.
const QString kWindowsCursorFile = QStringLiteral("cursors/500.cur");
const QString kWindowsIconFile = QStringLiteral("icons/app.ico");
// The sizes Windows shows an icon at: title bar, taskbar, desktop, large views.
constexpr int kWindowsIconSizes[] = {16, 32, 48, 256};

QString BitmapFile(int32_t id) {
    return QStringLiteral("%1/%2.bmp").arg(kBitmapDir).arg(id);
}

// Replaces path atomically so an interrupted run never leaves a half-written resource.
bool WriteFile(const QString& path, const QByteArray& bytes, QString* error) {
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        *error = QStringLiteral("cannot create the folder of %1").arg(path);
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        *error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

QByteArray Png(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

}  // namespace

QString QrcText() {
    QString text = QStringLiteral("<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n<qresource prefix=\"/\">\n");
    for (const res::BitmapInfo& info : res::kBitmaps) {
        text +=
            QStringLiteral("    <file alias=\"bitmap/%1\">%2</file>\n").arg(info.id).arg(BitmapFile(info.id));
    }
    text +=
        QStringLiteral("    <file alias=\"cursor/%1\">%2</file>\n").arg(res::kHandCursorId).arg(kCursorFile);
    text += QStringLiteral("    <file alias=\"icon/app\">%1</file>\n").arg(kIconFile);
    text += QStringLiteral("</qresource>\n</RCC>\n");
    return text;
}

bool WriteResources(const QString& dir, QString* error) {
    const QDir root(dir);
    for (const res::BitmapInfo& info : res::kBitmaps) {
        const QImage image = PaintBitmap(info.id, info.width, info.height);
        if (image.isNull() || image.width() != info.width || image.height() != info.height) {
            *error = QStringLiteral("no %1 by %2 picture for bitmap %3")
                         .arg(info.width)
                         .arg(info.height)
                         .arg(info.id);
            return false;
        }
        if (!WriteFile(root.filePath(BitmapFile(info.id)), EncodeBmp24(image), error)) return false;
    }
    QList<QImage> icons;
    for (int size : kWindowsIconSizes) icons.append(PaintAppIcon(size));
    const QImage cursor = PaintCursorResource();
    return WriteFile(root.filePath(kCursorFile), Png(cursor), error) &&
           WriteFile(root.filePath(kWindowsCursorFile),
                     EncodeCur(cursor, ORVAN_CURSOR_500_HOTSPOT_X, ORVAN_CURSOR_500_HOTSPOT_Y), error) &&
           WriteFile(root.filePath(kIconFile), Png(PaintIconResource()), error) &&
           WriteFile(root.filePath(kWindowsIconFile), EncodeIco(icons), error) &&
           WriteFile(root.filePath(QStringLiteral("res.qrc")), QrcText().toUtf8(), error);
}

}  // namespace orvan::art
