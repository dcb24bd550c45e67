#pragma once

#include "about/LineControl.h"

#include <QWidget>

#include <array>
#include <string>

class QLabel;
class QPushButton;

namespace vx {

class Program;
class Platform;

// The about box: the program's name and version, a picture of the dial, two link labels that
// light up under the mouse, and OK. Modeless; choosing it again reuses the open box.
class FrmVersion final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FrmVersion)

public:
    explicit FrmVersion(Program& program);
    ~FrmVersion() override;

    // Centres the box on the screen.
    void Form_Load();
    void Form_Unload() {}

    // Fills in the name and the version line, hides the pre-release mark when tmpBeta is 0, and
    // shows the box, modeless.
    void SHOWVERSION(const std::string& strTitle, int tmpBeta);

    // Shows a picture unstretched at the top, centred across the box, and cut at the height that
    // leaves the same margin below it as above it.
    void ShowDial(const QImage& picture);

    // The handlers, as the design names them. Mouse buttons: 1 left, 2 right, 4 middle.
    void Form_KeyDown(int KeyCode);
    void Form_MouseMove();
    void Command1_MouseMove();
    void Command1_MouseUp(int Button);
    void lblAppName_MouseMove();
    void lblVersion_MouseMove();
    void Label1_Click();
    void Label1_MouseDown();
    void Label1_MouseMove();
    void Label1_MouseUp();
    void Label2_Click();
    void Label2_MouseDown();
    void Label2_MouseMove();
    void Label2_MouseUp();

    QLabel* imgIcon = nullptr;
    QLabel* lblAppName = nullptr;
    QLabel* lblBeta = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label2 = nullptr; // "Send Mail "
    QLabel* Label1 = nullptr; // "Visit Home Page"
    QPushButton* Command1 = nullptr;

    // The frames drawn on the box: around Label2, around Label1, and the box's own edge.
    std::array<LineControl, 4> Line1{};
    std::array<LineControl, 4> Line2{};
    std::array<LineControl, 8> Line3{};

    // The screen colour a line's colour stands for; system colours come from the palette.
    QColor LineColour(Colour colour) const;

    // Twips to pixels on this screen, to the nearest pixel.
    int PixelsX(double twips) const;
    int PixelsY(double twips) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    void createLines();
    QLabel* createLabel(const QString& text, int left, int top, int width, int height, const QFont& font);
    void setBold(QLabel* label, bool bold);
    void setLine1Raised();
    // Shows a link's frame and bold caption, and hides the other link's.
    void lightLink(QLabel* link, std::array<LineControl, 4>& frame, QLabel* other,
                   std::array<LineControl, 4>& otherFrame);
    // Which of a frame's four lines is its top, left, bottom and right.
    struct FrameSides {
        int top;
        int left;
        int bottom;
        int right;
    };
    static constexpr FrameSides kLine1Sides{0, 1, 2, 3};
    static constexpr FrameSides kLine2Sides{2, 0, 1, 3};
    void setFrameLook(std::array<LineControl, 4>& frame, const FrameSides& sides, bool sunken);

    Program& program_;
    Platform& platform_;
    // The link label the left button went down on: a release over it is a click.
    QLabel* pressedLink_ = nullptr;
};

} // namespace vx
