#pragma once

// A user's own dial picture: found beside the program, read from its file only when it has the
// wanted width, and made opaque for the dial layer. The clock window's dial and the renderer use
// these; they need no window.

#include <QColor>
#include <QImage>
#include <QString>

#include <string>

namespace vx {

enum class PictureLoad { Loaded, WrongWidth, Unreadable };

// Decodes the file into picture only when its header declares the wanted width, so a picture of
// any other size, however large it says it is, is never decoded. The format is told by the
// content, whatever the file's extension says, and must be BMP, JPEG or GIF.
PictureLoad LoadPictureOfWidth(const QString& path, int width, QImage& picture);

// The picture as the dial layer shows it: transparent parts over the window's colour.
QImage Opaque(const QImage& picture, const QColor& background);

// What the look for a user's picture found.
struct UserPicture {
    std::string name;    // the file taken, "useimage1.bmp"; empty when there is none
    QImage picture;      // the picture as the dial shows it, when it was accepted
    std::string message; // what the user is told about a file that was not accepted
};

// Looks in appDir (which ends with a separator) for the picture of dial index n (0, 1, 2) whose
// side is side: "useimage" n with the first of ".bmp", ".jpg", ".gif" that is a file. It is read
// into picLoad, which holds it while it is measured and is empty again afterwards.
UserPicture FindUserPicture(const std::string& appDir, int n, int side, const QColor& background, QImage& picLoad);

} // namespace vx
