#pragma once

#include <QString>

#include <memory>

class QMessageBox;

namespace vx {

// A message box with an OK button only, its text plain, shown as written line by line. The text can
// be selected with the mouse, and the copy key (Ctrl+C, Ctrl+Insert or the keyboard's Copy key)
// puts it on the clipboard: the part selected with the mouse, or else the whole text, its lines
// joined by line feeds. The box is not shown yet.
std::unique_ptr<QMessageBox> MakeMessageBox(const QString& text, const QString& title);

} // namespace vx
