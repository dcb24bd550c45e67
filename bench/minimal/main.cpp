// The floor for any Qt Widgets program: one 120-pixel window that paints a disc. The process
// measurement starts it beside the clock to compare start-up, memory and idle cost.

#include <QApplication>
#include <QPainter>
#include <QWidget>

namespace {

class Disc final : public QWidget {
protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setBrush(QColor(40, 60, 110));
        painter.drawEllipse(rect().adjusted(4, 4, -4, -4));
    }
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    Disc window;
    window.setWindowTitle(QStringLiteral("minimal"));
    window.setFixedSize(120, 120);
    window.show();
    return QApplication::exec();
}
