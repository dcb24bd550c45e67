#pragma once

// A user's own dial picture: read from its file only when it has the wanted width, and made
// opaque for the dial layer. The clock window's dial uses these; they need no window.

#include <QColor>
#include <QImage>
#include <QString>

namespace vx {

enum class PictureLoad { Loaded, WrongWidth, Unreadable };

// Decodes the file into picture only when its header declares the wanted width, so a picture of
// any other size, however large it says it is, is never decoded. The format is told by the
// content, whatever the file's extension says.
PictureLoad LoadPictureOfWidth(const QString& path, int width, QImage& picture);

// The picture as the dial layer shows it: transparent parts over the window's colour.
QImage Opaque(const QImage& picture, const QColor& background);

} // namespace vx
