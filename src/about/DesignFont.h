#pragma once

#include <QFont>
#include <QString>

namespace vx {

// A font named by the forms' design, or the nearest installed one: the Japanese system fonts give
// way to the IPA (or Noto CJK) fonts of the same style, and "Courier New" to a monospaced font.
QFont DesignFont(const QString& family, double pointSize, bool bold = false);

} // namespace vx
