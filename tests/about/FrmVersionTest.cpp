#include "about/Contact.h"
#include "about/FrmVersion.h"
#include "menu/FrmMenu.h"
#include "support/ProgramFixture.h"

#include <QAction>
#include <QFontInfo>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include <vector>

namespace vx {
namespace {

const std::string kMailNotice = "メールのサブジェクト(件名)にソフト名とバージョン番号を銘記してください。\r\n"
                                "エラーの場合はなるべく詳しく症状を知らせてくださいね。";

class AboutTest : public test::ProgramFixture {
protected:
    // Through the popup's item, as the user opens it.
    FrmVersion& Open()
    {
        if (!program)
            Start();
        program->frmMenu->mnuVersion->trigger();
        FrmVersion* box = program->frmVersion.loaded();
        EXPECT_NE(box, nullptr);
        return *box;
    }
    template <std::size_t N> static std::vector<bool> Visible(const std::array<LineControl, N>& lines)
    {
        std::vector<bool> v;
        for (const LineControl& l : lines)
            v.push_back(l.Visible);
        return v;
    }
    template <std::size_t N> static std::vector<Colour> Colours(const std::array<LineControl, N>& lines)
    {
        std::vector<Colour> v;
        for (const LineControl& l : lines)
            v.push_back(l.BorderColor);
        return v;
    }
    static QPoint Middle(const QWidget* w) { return w->geometry().center(); }

    const std::vector<bool> kShown = std::vector<bool>(4, true);
    const std::vector<bool> kHidden = std::vector<bool>(4, false);
};

constexpr Colour W = kWhite;
constexpr Colour S = kInactiveTitleBar;

TEST_F(AboutTest, OpensWithTheNameTheVersionLineAndTheDialAndNoPreReleaseMark)
{
    FrmVersion& box = Open();
    EXPECT_TRUE(box.isVisible());
    EXPECT_EQ(box.windowTitle(), "バージョン情報");
    EXPECT_EQ(box.lblAppName->text(), "ヴェルモラ");
    EXPECT_EQ(box.lblVersion->text(), "Version 1.1.68");
    EXPECT_FALSE(box.lblBeta->isVisible());
    EXPECT_EQ(box.Label2->text(), "Send Mail ");
    EXPECT_EQ(box.Label1->text(), "Visit Home Page");
    EXPECT_EQ(box.Command1->text(), "OK");
    EXPECT_EQ(box.Label3->text(), "Tesmo");
    EXPECT_FALSE(box.lblAppName->sizeHint().width() > box.lblAppName->width()) << "the name is not cut off";
    EXPECT_EQ(box.lblAppName->geometry().center().x(), box.width() / 2);

    // The box borrows the program's icon from the menu form.
    EXPECT_EQ(box.windowIcon().pixmap(32, 32).toImage(), program->frmMenu->windowIcon().pixmap(32, 32).toImage());

    // The standard dial, unstretched and centred; cut where the margin below it equals the one above.
    const QImage dial = program->frmMain->picBack[1];
    EXPECT_EQ(box.imgIcon->geometry(), QRect(24, 4, 120, 96));
    EXPECT_EQ(box.imgIcon->geometry().top(), box.lblAppName->geometry().top() - box.imgIcon->geometry().bottom() - 1);
    EXPECT_EQ(box.imgIcon->pixmap().toImage().convertToFormat(QImage::Format_RGB32),
              dial.convertToFormat(QImage::Format_RGB32));
    const QImage shown = box.grab(box.imgIcon->geometry()).toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shown, dial.copy(0, 0, 120, 96).convertToFormat(QImage::Format_RGB32));
}

TEST_F(AboutTest, ControlsSitAtTheirTwipPlacesOnTheScreensScale)
{
    struct Case {
        double twipsPerPixel;
        QSize box;
        QRect label2, label1, ok, dial;
    };
    const Case cases[] = {
        {15, {169, 224}, {8, 152, 153, 17}, {8, 168, 153, 17}, {24, 192, 121, 25}, {24, 4, 120, 96}},
        // At 120 dots per inch the picture's cut height is its whole height.
        {12, {211, 280}, {10, 190, 191, 21}, {10, 210, 191, 21}, {30, 240, 151, 31}, {46, 5, 120, 120}},
    };
    for (const Case& c : cases) {
        platform.twipsX = platform.twipsY = c.twipsPerPixel;
        FrmVersion& box = Open();
        EXPECT_EQ(box.size(), c.box) << c.twipsPerPixel;
        EXPECT_EQ(box.minimumSize(), box.maximumSize()) << "a fixed frame";
        EXPECT_EQ(box.Label2->geometry(), c.label2) << c.twipsPerPixel;
        EXPECT_EQ(box.Label1->geometry(), c.label1) << c.twipsPerPixel;
        EXPECT_EQ(box.Command1->geometry(), c.ok) << c.twipsPerPixel;
        EXPECT_EQ(box.imgIcon->geometry(), c.dial) << c.twipsPerPixel;
        const Qt::WindowFlags flags = box.windowFlags();
        EXPECT_FALSE(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
        program.reset();
        Settle();
    }
}

TEST_F(AboutTest, DesignFontsGiveWayToTheNearestInstalledOnes)
{
    FrmVersion& box = Open();
    struct Case {
        const QLabel* label;
        const char* family; // nullptr: any fixed-pitch family
        double points;
        bool bold;
    };
    const Case cases[] = {
        {box.lblAppName, "IPAPGothic", 12, true},   {box.lblBeta, "IPAPGothic", 27.75, true},
        {box.Label3, "IPAPMincho", 12, true},       {box.lblVersion, nullptr, 9, false},
        {box.Label2, nullptr, 9, false},            {box.Label1, nullptr, 11.25, false},
    };
    for (const Case& c : cases) {
        const QFontInfo info(c.label->font());
        if (c.family)
            EXPECT_EQ(info.family(), c.family) << c.label->text().toStdString();
        else
            EXPECT_TRUE(info.fixedPitch()) << c.label->text().toStdString() << " in " << info.family().toStdString();
        EXPECT_DOUBLE_EQ(c.label->font().pointSizeF(), c.points) << c.label->text().toStdString();
        EXPECT_EQ(c.label->font().bold(), c.bold) << c.label->text().toStdString();
    }
    EXPECT_EQ(QFontInfo(box.font()).family(), "IPAPMincho");
    EXPECT_TRUE(QFontInfo(box.Command1->font()).fixedPitch());
}

TEST_F(AboutTest, LinksLightUnderTheMouseAndControlsWithoutHandlersKeepTheLight)
{
    FrmVersion& box = Open();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    auto bold = [&] { return std::pair(box.Label1->font().bold(), box.Label2->font().bold()); };
    ASSERT_EQ(Visible(box.Line1), kHidden);
    ASSERT_EQ(Visible(box.Line2), kHidden);

    QTest::mouseMove(&box, Middle(box.Label1));
    EXPECT_EQ(Visible(box.Line2), kShown);
    EXPECT_EQ(Visible(box.Line1), kHidden);
    EXPECT_EQ(bold(), std::pair(true, false));

    // Straight from one link onto the other: frame and bold type move across.
    QTest::mouseMove(&box, Middle(box.Label2));
    EXPECT_EQ(Visible(box.Line1), kShown);
    EXPECT_EQ(Visible(box.Line2), kHidden);
    EXPECT_EQ(bold(), std::pair(false, true));

    for (const QWidget* quiet : {static_cast<QWidget*>(box.Label3), static_cast<QWidget*>(box.imgIcon)}) {
        QTest::mouseMove(&box, Middle(quiet));
        EXPECT_EQ(Visible(box.Line1), kShown) << quiet->objectName().toStdString();
        EXPECT_EQ(bold(), std::pair(false, true));
    }

    // The form and the controls that hand their moves on to it put both links out.
    const QPoint background(3, 150);
    ASSERT_EQ(box.childAt(background), nullptr);
    for (const QPoint& off : {background, Middle(box.lblVersion), Middle(box.lblAppName), Middle(box.Command1)}) {
        QTest::mouseMove(&box, Middle(box.Label1));
        ASSERT_EQ(Visible(box.Line2), kShown);
        QTest::mouseMove(&box, off);
        EXPECT_EQ(Visible(box.Line1), kHidden) << off.x() << "," << off.y();
        EXPECT_EQ(Visible(box.Line2), kHidden) << off.x() << "," << off.y();
        EXPECT_EQ(bold(), std::pair(false, false)) << off.x() << "," << off.y();
    }
}

TEST_F(AboutTest, PressingALinkSinksItsFrameAndReleasingRaisesIt)
{
    FrmVersion& box = Open();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));

    QTest::mousePress(box.Label1, Qt::LeftButton, {}, box.Label1->rect().center());
    EXPECT_EQ(Colours(box.Line2), (std::vector<Colour>{S, W, S, W}));
    EXPECT_EQ(Colours(box.Line1), (std::vector<Colour>{W, W, S, S}));
    QTest::mouseRelease(box.Label1, Qt::LeftButton, {}, box.Label1->rect().center());
    EXPECT_EQ(Colours(box.Line2), (std::vector<Colour>{W, S, W, S}));
    EXPECT_EQ(platform.openedUrls.size(), 1u) << "a press and release in place is a click";
    platform.openedUrls.clear();

    // The mail link's message is answered at once by the fake platform.
    QTest::mousePress(box.Label2, Qt::RightButton, {}, box.Label2->rect().center());
    EXPECT_EQ(Colours(box.Line1), (std::vector<Colour>{S, S, W, W}));
    QTest::mouseRelease(box.Label2, Qt::RightButton, {}, box.Label2->rect().center());
    EXPECT_EQ(Colours(box.Line1), (std::vector<Colour>{W, W, S, S}));
    EXPECT_TRUE(platform.openedUrls.empty()) << "only the left button clicks";
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);

    // A press dragged off the link and released elsewhere raises the frame but is no click.
    QTest::mousePress(box.Label1, Qt::LeftButton, {}, box.Label1->rect().center());
    QTest::mouseRelease(box.Label1, Qt::LeftButton, {}, QPoint(-40, -40));
    EXPECT_EQ(Colours(box.Line2), (std::vector<Colour>{W, S, W, S}));
    EXPECT_TRUE(platform.openedUrls.empty());
}

TEST_F(AboutTest, EachLinkClickHandsOneAddressToTheOpener)
{
    FrmVersion& box = Open();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    QTest::mouseClick(box.Label1, Qt::LeftButton, {}, box.Label1->rect().center());
    EXPECT_EQ(platform.openedUrls, std::vector<std::string>{kHomePageUrl});
    EXPECT_TRUE(platform.messages.empty());

    platform.openedUrls.clear();
    QTest::mouseClick(box.Label2, Qt::LeftButton, {}, box.Label2->rect().center());
    EXPECT_EQ(platform.openedUrls, std::vector<std::string>{std::string("mailto:") + kSupportMailAddress});
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, kMailNotice);
    EXPECT_EQ(platform.messages[0].title, "Tesmo 受け付け");
    EXPECT_EQ(Colours(box.Line1), (std::vector<Colour>{W, W, S, S}));
    EXPECT_NE(std::string(kHomePageUrl).find(".example.org/"), std::string::npos);
    EXPECT_NE(std::string(kSupportMailAddress).find("@velmorax.example.org"), std::string::npos);
}

// Records the messages and openings in one list, so their order shows.
class OrderPlatform final : public test::FakePlatform {
public:
    std::vector<std::string> calls;
    void MsgBox(const std::string& text, const std::string& title) override
    {
        calls.push_back("message");
        FakePlatform::MsgBox(text, title);
    }
    void OpenUrl(const std::string& url) override
    {
        calls.push_back("open " + url);
        FakePlatform::OpenUrl(url);
    }
};

TEST_F(AboutTest, TheMailNoticeComesBeforeTheMailAddressIsOpened)
{
    OrderPlatform order;
    order.programDir = dir.str();
    program = std::make_unique<Program>(order);
    program->SetOnEnd([this] { ++ends; });
    program->Start();
    FrmVersion& box = Open();
    box.Label2_Click();
    EXPECT_EQ(order.calls, (std::vector<std::string>{"message", std::string("open mailto:") + kSupportMailAddress}));
    program.reset();
}

TEST_F(AboutTest, OkClosesOnTheLeftButtonAndShowsItsMessageOnAnyOther)
{
    FrmVersion& box = Open();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    for (Qt::MouseButton button : {Qt::RightButton, Qt::MiddleButton}) {
        platform.messages.clear();
        QTest::mouseClick(box.Command1, button, {}, box.Command1->rect().center());
        ASSERT_TRUE(program->frmVersion.isLoaded()) << button;
        ASSERT_EQ(platform.messages.size(), 1u) << button;
        EXPECT_EQ(platform.messages[0].text, "Version 9 Lumaran改");
        EXPECT_EQ(platform.messages[0].title, "バージョン情報表示フォーム");
    }
    // Activated from the keyboard the button does nothing: it has no click handler.
    box.Command1->setFocus();
    QTest::keyClick(box.Command1, Qt::Key_Space);
    QTest::keyClick(box.Command1, Qt::Key_Return);
    EXPECT_TRUE(program->frmVersion.isLoaded());

    QTest::mouseClick(box.Command1, Qt::LeftButton, {}, box.Command1->rect().center());
    EXPECT_FALSE(program->frmVersion.isLoaded());
    Settle();
    EXPECT_EQ(program->LoadedFormCount(), 2) << "the clock and its menu stay";
}

TEST_F(AboutTest, F6F7AndF8CloseTheBoxWhereverTheFocusIsAndOtherKeysDoNot)
{
    Start();
    for (Qt::Key key : {Qt::Key_F5, Qt::Key_F9, Qt::Key_Escape, Qt::Key_Return, Qt::Key_A}) {
        FrmVersion& box = Open();
        QTest::keyClick(&box, key);
        QTest::keyClick(box.Command1, key);
        EXPECT_TRUE(program->frmVersion.isLoaded()) << key;
    }
    for (Qt::Key key : {Qt::Key_F6, Qt::Key_F7, Qt::Key_F8}) {
        for (bool onButton : {false, true}) {
            FrmVersion& box = Open();
            QTest::keyClick(onButton ? static_cast<QWidget*>(box.Command1) : &box, key);
            EXPECT_FALSE(program->frmVersion.isLoaded()) << key << (onButton ? " on OK" : " on the box");
            Settle();
        }
    }
}

TEST_F(AboutTest, ChoosingTheItemAgainKeepsOneBoxWhereItIsAndAFreshLoadCentresIt)
{
    FrmVersion& first = Open();
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    // Within the frame's width, which the window system tells only once the box is shown.
    EXPECT_NEAR(first.geometry().center().x(), screen.center().x(), 3);
    EXPECT_NEAR(first.geometry().center().y(), screen.center().y(), 3);
    const int forms = program->LoadedFormCount();

    first.move(50, 60);
    QTest::mouseMove(&first, Middle(first.Label1));
    first.lblAppName->setText("x");
    FrmVersion& again = Open();
    EXPECT_EQ(&again, &first);
    EXPECT_EQ(again.pos(), QPoint(50, 60));
    EXPECT_EQ(again.lblAppName->text(), "ヴェルモラ") << "filled in again";
    EXPECT_EQ(Visible(again.Line2), kShown) << "the open box keeps its hover state";
    EXPECT_EQ(program->LoadedFormCount(), forms);

    again.close();
    Settle();
    EXPECT_FALSE(program->frmVersion.isLoaded()) << "closing from the frame unloads like OK";
    FrmVersion& fresh = Open();
    EXPECT_NEAR(fresh.geometry().center().x(), screen.center().x(), 3);
    EXPECT_EQ(Visible(fresh.Line2), kHidden);
}

TEST_F(AboutTest, AnOpenBoxKeepsTheProgramRunningUntilItIsClosed)
{
    FrmVersion& box = Open();
    program->frmMenu->mnuEnd_Click();
    Settle();
    EXPECT_EQ(ends, 0);
    EXPECT_EQ(program->LoadedFormCount(), 1);
    box.Command1_MouseUp(1);
    Settle();
    EXPECT_EQ(ends, 1);

    // Ended from outside (a signal, the end of the session): the box goes with the rest.
    ends = 0;
    program.reset();
    Open();
    program->UnloadAll();
    Settle();
    EXPECT_FALSE(program->frmVersion.isLoaded());
    EXPECT_EQ(ends, 1);
}

TEST_F(AboutTest, FramesAreDrawnInTheirLooks)
{
    FrmVersion& box = Open();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    const QRgb white = qRgb(255, 255, 255);
    const QRgb shade = box.LineColour(kInactiveTitleBar).rgb();
    ASSERT_NE(shade, white);
    auto at = [&](int x, int y) { return box.grab().toImage().pixel(x, y); };
    const QRgb background = at(80, 184);
    ASSERT_NE(background, white);

    // Hovered and pressed "Visit Home Page": top and left in shade, bottom and right white.
    QTest::mouseMove(&box, Middle(box.Label1));
    QTest::mousePress(box.Label1, Qt::LeftButton, {}, box.Label1->rect().center());
    EXPECT_EQ(at(80, 168), shade);
    EXPECT_EQ(at(8, 176), shade);
    EXPECT_EQ(at(80, 184), white);
    EXPECT_EQ(at(160, 176), white);
    QTest::mouseRelease(box.Label1, Qt::LeftButton, {}, box.Label1->rect().center());
    EXPECT_EQ(at(80, 168), white);
    EXPECT_EQ(at(80, 184), shade);

    // The box's own edge: shaded bottom and right.
    EXPECT_EQ(at(80, 220), shade);
    EXPECT_EQ(at(168, 100), shade);

    QTest::mouseMove(&box, QPoint(3, 150));
    EXPECT_EQ(at(80, 184), background);
}

} // namespace
} // namespace vx
