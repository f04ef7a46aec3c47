// Writes the generated resources into the resource folder: bitmaps/<id>.bmp, cursors/500.png,
// icons/app.png and the Qt resource file res.qrc that embeds them under their lookup names, and
// cursors/500.cur and icons/app.ico for the Windows build.
#pragma once

#include <QString>

namespace orvan::art {

// The res.qrc text: aliases bitmap/<id>, cursor/500 and icon/app.
QString QrcText();

// Paints and writes every resource below dir. On failure returns false with a message in error.
bool WriteResources(const QString& dir, QString* error);

}  // namespace orvan::art
