// Prints the sharpness of a dial picture (tests/support/Sharpness.h), for the end-to-end tests
// and for people comparing dials.
//
//   vx_sharpness FILE [--crop X Y SIDE] [--scale SIDE] [--skip-top DEGREES] [--difference OTHER]
//
// --crop takes the square at X, Y (a window in a picture of the screen); --scale smooth-scales
// the picture to SIDE pixels first (a dial brought up to a larger screen). With --difference it
// prints instead the mean difference in brightness over the ring from the picture OTHER.

#include "support/Sharpness.h"

#include <QImage>
#include <QString>

#include <cstdio>
#include <cstring>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: vx_sharpness FILE [--crop X Y SIDE] [--scale SIDE] [--skip-top DEGREES] "
                             "[--difference OTHER]\n");
        return 2;
    }
    QImage picture(QString::fromLocal8Bit(argv[1]));
    if (picture.isNull()) {
        std::fprintf(stderr, "vx_sharpness: cannot read %s\n", argv[1]);
        return 1;
    }
    double skipTop = 0;
    QImage other;
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--crop") == 0 && i + 3 < argc) {
            const int side = std::atoi(argv[i + 3]);
            picture = picture.copy(std::atoi(argv[i + 1]), std::atoi(argv[i + 2]), side, side);
            i += 3;
        } else if (std::strcmp(argv[i], "--scale") == 0 && i + 1 < argc) {
            const int side = std::atoi(argv[++i]);
            picture = picture.convertToFormat(QImage::Format_RGB32)
                          .scaled(side, side, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        } else if (std::strcmp(argv[i], "--difference") == 0 && i + 1 < argc) {
            other = QImage(QString::fromLocal8Bit(argv[++i]));
            if (other.isNull()) {
                std::fprintf(stderr, "vx_sharpness: cannot read %s\n", argv[i]);
                return 1;
            }
        } else if (std::strcmp(argv[i], "--skip-top") == 0 && i + 1 < argc) {
            skipTop = std::atof(argv[++i]);
        } else {
            std::fprintf(stderr, "vx_sharpness: unknown argument %s\n", argv[i]);
            return 2;
        }
    }
    if (!other.isNull())
        std::printf("%.2f\n", vx::test::NumeralRingDifference(picture, other, skipTop));
    else
        std::printf("%.1f\n", vx::test::NumeralRingSharpness(picture, skipTop));
    return 0;
}
