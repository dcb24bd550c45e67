#include "about/FrmVersion.h"

#include "about/Contact.h"
#include "about/DesignFont.h"
#include "about/VersionText.h"
#include "app/Program.h"
#include "base/MouseButtons.h"
#include "base/Platform.h"
#include "face/DialLayer.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>

#include <cmath>

namespace vx {

namespace {

// The box as designed, in twips.
constexpr double kScaleWidth = 2535;
constexpr double kScaleHeight = 3360;

// The design's key codes: F1 is 112, letters and digits are their upper-case characters; other
// keys give 0, which no handler acts on.
int KeyCode(int qtKey)
{
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return 112 + (qtKey - Qt::Key_F1);
    if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9))
        return qtKey;
    return 0;
}

constexpr int kKeyF6 = 117;
constexpr int kKeyF7 = 118;
constexpr int kKeyF8 = 119;

QString Q(const std::string& s)
{
    return QString::fromStdString(s);
}

} // namespace

FrmVersion::FrmVersion(Program& program) : program_(program), platform_(program.platform())
{
    // A fixed dialog frame: a title and a close button, no minimize or maximize.
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral("バージョン情報"));
    setFont(DesignFont(QStringLiteral("ＭＳ Ｐ明朝"), 9));
    setFixedSize(PixelsX(kScaleWidth), PixelsY(kScaleHeight));
    // Hover lights the links, so moves without a button pressed must arrive.
    setMouseTracking(true);
    createControls();
    createLines();
}

FrmVersion::~FrmVersion() = default;

int FrmVersion::PixelsX(double twips) const
{
    return static_cast<int>(std::nearbyint(twips / platform_.TwipsPerPixelX()));
}

int FrmVersion::PixelsY(double twips) const
{
    return static_cast<int>(std::nearbyint(twips / platform_.TwipsPerPixelY()));
}

QLabel* FrmVersion::createLabel(const QString& text, int left, int top, int width, int height, const QFont& font)
{
    auto* label = new QLabel(text, this);
    label->setGeometry(PixelsX(left), PixelsY(top), PixelsX(width), PixelsY(height));
    label->setFont(font);
    // Every text on the box is centred on the box's middle line, as the labels' places are.
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label->setTextFormat(Qt::PlainText);
    return label;
}

void FrmVersion::createControls()
{
    const QString gothic = QStringLiteral("ＭＳ Ｐゴシック");
    const QString mincho = QStringLiteral("ＭＳ Ｐ明朝");
    const QString courier = QStringLiteral("Courier New");

    imgIcon = new QLabel(this);
    imgIcon->setGeometry(PixelsX(540), PixelsY(60), PixelsX(1440), PixelsY(1440));
    imgIcon->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    lblAppName = createLabel(QStringLiteral("テスト"), 945, 1560, 645, 240, DesignFont(gothic, 12, true));
    lblBeta = createLabel(QStringLiteral("β"), 2040, 1500, 495, 495, DesignFont(gothic, 27.75, true));
    lblVersion = createLabel(QStringLiteral("Label3"), 120, 1740, 2295, 225, DesignFont(courier, 9));
    Label3 = createLabel(QStringLiteral("Tesmo"), 540, 1980, 1455, 255, DesignFont(mincho, 12, true));
    Label2 = createLabel(QStringLiteral("Send Mail "), 120, 2280, 2295, 255, DesignFont(courier, 9));
    Label1 = createLabel(QStringLiteral("Visit Home Page"), 120, 2520, 2295, 255, DesignFont(courier, 11.25));

    Command1 = new QPushButton(QStringLiteral("OK"), this);
    Command1->setGeometry(PixelsX(360), PixelsY(2880), PixelsX(1815), PixelsY(375));
    Command1->setFont(DesignFont(courier, 12));
    Command1->setAutoDefault(false);

    // The mouse belongs to the control under it and never passes on to the box: controls with
    // mouse handlers report to them, and a move onto one without (the picture, the maker's name,
    // the mark) leaves the links' highlight as it is.
    for (QWidget* w : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        w->setAttribute(Qt::WA_NoMousePropagation);
    for (QWidget* w : {static_cast<QWidget*>(Label1), static_cast<QWidget*>(Label2), static_cast<QWidget*>(lblAppName),
                       static_cast<QWidget*>(lblVersion), static_cast<QWidget*>(Command1)}) {
        w->setMouseTracking(true);
        w->installEventFilter(this);
    }
}

void FrmVersion::createLines()
{
    auto line = [](int x1, int y1, int x2, int y2, Colour colour, bool visible, int width = 1) {
        return LineControl{x1, y1, x2, y2, width, colour, visible};
    };
    // Around "Send Mail ": top, left, bottom, right.
    Line1 = {line(120, 2280, 2400, 2280, kWhite, false), line(120, 2520, 120, 2280, kWhite, false),
             line(120, 2520, 2400, 2520, kInactiveTitleBar, false),
             line(2400, 2520, 2400, 2280, kInactiveTitleBar, false)};
    // Around "Visit Home Page": left, bottom, top, right.
    Line2 = {line(120, 2520, 120, 2760, kWhite, false), line(120, 2760, 2400, 2760, kInactiveTitleBar, false),
             line(120, 2520, 2400, 2520, kWhite, false), line(2400, 2520, 2400, 2760, kInactiveTitleBar, false)};
    // The box's own edge: every side carries two lines of different colour and width.
    Line3 = {line(2520, 3300, 0, 3300, kTitleBarText, true),
             line(2520, 3300, 0, 3300, kInactiveTitleBar, true, 2),
             line(0, 0, 2520, 0, kInactiveTitleBar, true, 2),
             line(0, 3300, 0, 0, kInactiveTitleBar, true, 2),
             line(2520, 0, 2520, 3300, kTitleBarText, true),
             line(2520, 0, 2520, 3300, kInactiveTitleBar, true, 2),
             line(0, 0, 2520, 0, kTitleBarText, true, 3),
             line(0, 3300, 0, 0, kTitleBarText, true, 3)};
}

void FrmVersion::Form_Load()
{
    // Centred on the screen, reckoned in twips as the box's place is.
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->geometry();
    const double tx = platform_.TwipsPerPixelX();
    const double ty = platform_.TwipsPerPixelY();
    const QSize box = frameGeometry().size();
    const double left = (area.width() * tx - box.width() * tx) / 2;
    const double top = (area.height() * ty - box.height() * ty) / 2;
    move(area.left() + PixelsX(left), area.top() + PixelsY(top));
}

void FrmVersion::SHOWVERSION(const std::string& strTitle, int tmpBeta)
{
    // 32 pixels of the window, in as many of the screen's as it has for them.
    imgIcon->setPixmap(windowIcon().pixmap(QSize(32, 32), devicePixelRatioF()));
    lblAppName->setText(Q(strTitle));
    // The name may be longer than the label the design gives it: widen the label about its
    // middle rather than cut the name off.
    if (const int need = lblAppName->sizeHint().width(); need > lblAppName->width()) {
        const QRect r = lblAppName->geometry();
        lblAppName->setGeometry(r.center().x() - need / 2, r.top(), need, r.height());
    }
    lblVersion->setText(Q(ProgramVersionText()));
    if (tmpBeta == 0)
        lblBeta->hide();
    show();
    raise();
    activateWindow();
}

void FrmVersion::ShowDial(const QImage& picture)
{
    // Unstretched: the control takes the picture's own size, in logical pixels; a screen with
    // more pixels to each shows the dial drawn for it.
    const double ratio = devicePixelRatioF();
    QPixmap pixmap = QPixmap::fromImage(DialAtRatio(picture, ratio));
    pixmap.setDevicePixelRatio(ratio);
    imgIcon->setPixmap(pixmap);
    imgIcon->resize(picture.size());
    const double widthTwips = picture.width() * platform_.TwipsPerPixelX();
    const double left = (kScaleWidth - widthTwips) / 2;
    // The same margin below the picture as above it, down to the program's name.
    constexpr double kIconTop = 60;
    constexpr double kAppNameTop = 1560;
    const double height = kAppNameTop - 2 * kIconTop;
    imgIcon->setGeometry(PixelsX(left), PixelsY(kIconTop), imgIcon->width(), PixelsY(height));
}

void FrmVersion::Form_KeyDown(int KeyCode)
{
    if (KeyCode == kKeyF6 || KeyCode == kKeyF7 || KeyCode == kKeyF8)
        program_.frmVersion.Unload();
}

void FrmVersion::setBold(QLabel* label, bool bold)
{
    QFont font = label->font();
    font.setBold(bold);
    label->setFont(font);
}

void FrmVersion::Form_MouseMove()
{
    for (LineControl& l : Line1)
        l.Visible = false;
    for (LineControl& l : Line2)
        l.Visible = false;
    setBold(Label1, false);
    setBold(Label2, false);
    update();
}

void FrmVersion::Command1_MouseMove()
{
    Form_MouseMove();
}

void FrmVersion::lblAppName_MouseMove()
{
    Form_MouseMove();
}

void FrmVersion::lblVersion_MouseMove()
{
    Form_MouseMove();
}

void FrmVersion::Command1_MouseUp(int Button)
{
    if (Button == kLeftButton)
        program_.frmVersion.Unload();
    else
        platform_.MsgBox("Version 9 Lumaran改", "バージョン情報表示フォーム");
}

void FrmVersion::Label1_MouseMove()
{
    lightLink(Label1, Line2, Label2, Line1);
}

void FrmVersion::Label2_MouseMove()
{
    lightLink(Label2, Line1, Label1, Line2);
}

void FrmVersion::lightLink(QLabel* link, std::array<LineControl, 4>& frame, QLabel* other,
                           std::array<LineControl, 4>& otherFrame)
{
    for (int i = 0; i < 4; ++i) {
        frame[i].Visible = true;
        otherFrame[i].Visible = false;
    }
    setBold(link, true);
    setBold(other, false);
    update();
}

void FrmVersion::Label1_MouseDown()
{
    setFrameLook(Line2, kLine2Sides, true);
}

void FrmVersion::Label1_MouseUp()
{
    setFrameLook(Line2, kLine2Sides, false);
}

void FrmVersion::Label2_MouseDown()
{
    setFrameLook(Line1, kLine1Sides, true);
}

void FrmVersion::setLine1Raised()
{
    setFrameLook(Line1, kLine1Sides, false);
}

void FrmVersion::setFrameLook(std::array<LineControl, 4>& frame, const FrameSides& sides, bool sunken)
{
    // Raised: top and left lit, bottom and right in shadow; sunken the other way round.
    const Colour lit = sunken ? kInactiveTitleBar : kWhite;
    const Colour shadow = sunken ? kWhite : kInactiveTitleBar;
    frame[sides.top].BorderColor = lit;
    frame[sides.left].BorderColor = lit;
    frame[sides.bottom].BorderColor = shadow;
    frame[sides.right].BorderColor = shadow;
    update();
}

void FrmVersion::Label2_MouseUp()
{
    setLine1Raised();
    // The button's own grab ends with its release; an explicit grab by this box ends here.
    if (QWidget* grabber = QWidget::mouseGrabber(); grabber && (grabber == this || isAncestorOf(grabber)))
        grabber->releaseMouse();
}

void FrmVersion::Label1_Click()
{
    // One hand-over to the desktop's opener: it already opens a web address in the browser, so a
    // second way of asking would only open a second tab.
    platform_.OpenUrl(kHomePageUrl);
}

void FrmVersion::Label2_Click()
{
    platform_.MsgBox("メールのサブジェクト(件名)にソフト名とバージョン番号を銘記してください。\r\n"
                     "エラーの場合はなるべく詳しく症状を知らせてくださいね。",
                     std::string(kMakerName) + " 受け付け");
    platform_.OpenUrl(std::string("mailto:") + kSupportMailAddress);
    setLine1Raised();
}

QColor FrmVersion::LineColour(Colour colour) const
{
    // The palette's nearest roles: the shade of a sunken edge for the inactive title bar, and the
    // text on a highlight for the title-bar text.
    if (colour == kInactiveTitleBar)
        return palette().color(QPalette::Active, QPalette::Dark);
    if (colour == kTitleBarText)
        return palette().color(QPalette::Active, QPalette::HighlightedText);
    if (IsSystemColour(colour))
        return palette().color(QPalette::Active, QPalette::WindowText);
    return QColor(RedOf(colour), GreenOf(colour), BlueOf(colour));
}

void FrmVersion::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    auto draw = [&](const LineControl& l) {
        if (!l.Visible)
            return;
        QPen pen(LineColour(l.BorderColor));
        pen.setWidth(l.BorderWidth);
        pen.setCapStyle(Qt::SquareCap);
        painter.setPen(pen);
        painter.drawLine(PixelsX(l.X1), PixelsY(l.Y1), PixelsX(l.X2), PixelsY(l.Y2));
    };
    for (const LineControl& l : Line3)
        draw(l);
    for (const LineControl& l : Line1)
        draw(l);
    for (const LineControl& l : Line2)
        draw(l);
}

void FrmVersion::keyPressEvent(QKeyEvent* event)
{
    // Keys the OK button does not use come here too, so F6 to F8 close the box whatever has focus.
    Form_KeyDown(KeyCode(event->key()));
}

void FrmVersion::mouseMoveEvent(QMouseEvent*)
{
    Form_MouseMove();
}

void FrmVersion::closeEvent(QCloseEvent* event)
{
    // Closed from the frame: unload the same way OK does.
    event->ignore();
    program_.frmVersion.Unload();
}

bool FrmVersion::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type == QEvent::MouseMove) {
        if (watched == Label1)
            Label1_MouseMove();
        else if (watched == Label2)
            Label2_MouseMove();
        else if (watched == Command1)
            Command1_MouseMove();
        else if (watched == lblAppName)
            lblAppName_MouseMove();
        else if (watched == lblVersion)
            lblVersion_MouseMove();
    } else if (type == QEvent::MouseButtonPress) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (watched == Label1 || watched == Label2) {
            if (mouse->button() == Qt::LeftButton)
                pressedLink_ = static_cast<QLabel*>(watched);
            if (watched == Label1)
                Label1_MouseDown();
            else
                Label2_MouseDown();
        }
    } else if (type == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (watched == Label1 || watched == Label2) {
            auto* label = static_cast<QLabel*>(watched);
            // A click is a left press and a release over the same link.
            const bool click = mouse->button() == Qt::LeftButton && pressedLink_ == label &&
                               label->rect().contains(mouse->position().toPoint());
            if (mouse->button() == Qt::LeftButton)
                pressedLink_ = nullptr;
            if (label == Label1) {
                Label1_MouseUp();
                if (click)
                    Label1_Click();
            } else {
                Label2_MouseUp();
                if (click)
                    Label2_Click();
            }
        } else if (watched == Command1) {
            if (const int button = ButtonNumber(mouse->button()))
                Command1_MouseUp(button);
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace vx
