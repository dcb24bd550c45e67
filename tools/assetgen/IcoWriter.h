#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>

namespace vx::assetgen {

// An icon file holding the given indexed pictures (at most 16 colours each, palette entry 0
// transparent) as classic 4-bit entries with a mask, the form every Windows version reads.
QByteArray icoFile(const QList<QImage>& pictures);

} // namespace vx::assetgen
