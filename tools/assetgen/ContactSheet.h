#pragma once

#include <QImage>
#include <QList>

namespace vx::assetgen {

// One row of the contact sheet: pictures enlarged by whole factors, side by side.
struct SheetRow {
    QList<QImage> pictures;
    int scale = 1;
};

// Every picture on one sheet, enlarged without smoothing, over a checkerboard that shows
// where a picture is transparent.
QImage contactSheet(const QList<SheetRow>& rows);

} // namespace vx::assetgen
