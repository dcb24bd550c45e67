#pragma once

class QImage;

namespace vx {

class FrmMain;

// Shades the moon of the dial picture (the plain dial picture of the current size) to the
// lunation fraction and puts it into the window's dial layer, leaving the rest of the layer as it
// was. perPixel nonzero draws each pixel as a point on the layer; otherwise the layer's buffer is
// written at once. Both give the same pixels. Ends with AutoRedraw off and a repaint, which brings
// the hands back.
void ShadeMoon(const QImage& picture, FrmMain& form, double phase, int perPixel);

} // namespace vx
