#include "qt_resources.h"

#include <QFontDatabase>
#include <QPixmap>
#include <QString>

#include "resource_ids.h"

// The resource initialiser lives in the global namespace, so this has to as well.
static void InitEmbeddedResources() {
    Q_INIT_RESOURCE(res);
}

namespace orvan::wnd::qt {

void InitResources() {
    static const bool done = (InitEmbeddedResources(), true);
    (void)done;
}

std::unique_ptr<Bitmap> LoadBitmap(int32_t id) {
    QImage image(QStringLiteral(":/bitmap/%1").arg(id));
    if (image.isNull()) return nullptr;
    // One format for every bitmap, so that copies onto the backing image need no conversion.
    return std::make_unique<QtBitmap>(id, image.convertToFormat(QImage::Format_RGB32));
}

std::unique_ptr<QCursor> LoadCursor(int32_t id) {
    const QPixmap picture(QStringLiteral(":/cursor/%1").arg(id));
    if (picture.isNull()) return nullptr;
    if (id == orvan::res::kHandCursorId) {
        return std::make_unique<QCursor>(picture, ORVAN_CURSOR_500_HOTSPOT_X, ORVAN_CURSOR_500_HOTSPOT_Y);
    }
    return std::make_unique<QCursor>(picture, 0, 0);
}

QIcon AppIcon() {
    return QIcon(QStringLiteral(":/icon/app"));
}

const QFont& DefaultGuiFont() {
    static const QFont font = [] {
        QFont general = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
        general.setPixelSize(12);
        return general;
    }();
    return font;
}

}  // namespace orvan::wnd::qt
