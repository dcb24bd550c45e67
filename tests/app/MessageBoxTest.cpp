#include "app/MessageBox.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>

#include <gtest/gtest.h>

namespace vx {
namespace {

// Five lines as the moon report writes them, CR LF between them, blanks inside.
const QString kReport = QStringLiteral("現在の月齢 : 12.3\r\n"
                                       "最後の新月は    2026年11月20日 00時 でした。\r\n"
                                       "次の新月は       2026年12月20日 00時 です。\r\n"
                                       "その間の満月は  2026年12月05日 00時 です。\r\n"
                                       "現在の輝面比（明るい部分の割合）は 45.7%です。");
const QString kReportLines = QString(kReport).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));

// The key as the keyboard gives it: first offered as a shortcut override, then pressed.
void PressKey(QWidget* target, int key, Qt::KeyboardModifiers modifiers)
{
    QKeyEvent override(QEvent::ShortcutOverride, key, modifiers);
    QApplication::sendEvent(target, &override);
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers);
    QApplication::sendEvent(target, &release);
}

class MessageBoxCopy : public ::testing::Test {
protected:
    void SetUp() override
    {
        box = MakeMessageBox(kReport, QStringLiteral("Velmorax"));
        box->show();
        label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
        ASSERT_NE(label, nullptr);
        QApplication::clipboard()->setText(QStringLiteral("before"));
    }
    QString Clipboard() const { return QApplication::clipboard()->text(); }

    std::unique_ptr<QMessageBox> box;
    QLabel* label = nullptr;
};

TEST_F(MessageBoxCopy, CopyKeysCopyTheWholeTextLineByLineWhereverTheFocusIs)
{
    EXPECT_EQ(box->text(), kReportLines);
    EXPECT_EQ(box->textFormat(), Qt::PlainText);
    struct Case {
        const char* what;
        QWidget* target;
        int key;
        Qt::KeyboardModifiers modifiers;
    };
    QWidget* button = box->button(QMessageBox::Ok);
    const Case cases[] = {
        {"Ctrl+C on the button", button, Qt::Key_C, Qt::ControlModifier},
        {"Ctrl+Insert on the button", button, Qt::Key_Insert, Qt::ControlModifier},
        {"Copy key on the button", button, Qt::Key_Copy, Qt::NoModifier},
        {"Ctrl+C on the text, nothing selected", label, Qt::Key_C, Qt::ControlModifier},
        {"Ctrl+C on the box", box.get(), Qt::Key_C, Qt::ControlModifier},
    };
    for (const Case& c : cases) {
        QApplication::clipboard()->setText(QStringLiteral("before"));
        PressKey(c.target, c.key, c.modifiers);
        EXPECT_EQ(Clipboard(), kReportLines) << c.what;
        EXPECT_TRUE(box->isVisible()) << c.what << ": copying does not close the box";
    }
    // Other keys copy nothing.
    QApplication::clipboard()->setText(QStringLiteral("before"));
    PressKey(button, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(Clipboard(), QStringLiteral("before"));
}

TEST_F(MessageBoxCopy, TextSelectedWithTheMouseIsWhatTheCopyKeyCopies)
{
    EXPECT_TRUE(label->textInteractionFlags() & Qt::TextSelectableByMouse);
    // A drag across the first line selects part of it.
    const QPoint from(2, label->height() / 10);
    const QPoint to(label->width() / 2, label->height() / 10);
    QMouseEvent press(QEvent::MouseButtonPress, from, label->mapToGlobal(from), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(label, &press);
    QMouseEvent move(QEvent::MouseMove, to, label->mapToGlobal(to), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(label, &move);
    QMouseEvent release(QEvent::MouseButtonRelease, to, label->mapToGlobal(to), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(label, &release);
    ASSERT_TRUE(label->hasSelectedText());
    const QString selected = label->selectedText();
    EXPECT_TRUE(kReportLines.startsWith(selected)) << selected.toStdString();
    EXPECT_LT(selected.size(), kReportLines.size());

    PressKey(label, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(Clipboard(), selected);
}

TEST(MessageBoxText, SelectedLineBreaksAreCopiedAsLineFeeds)
{
    const auto box = MakeMessageBox(QStringLiteral("one\r\ntwo"), QStringLiteral("Velmorax"));
    box->show();
    auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
    ASSERT_NE(label, nullptr);
    label->setSelection(0, 7);
    ASSERT_TRUE(label->hasSelectedText());
    QKeyEvent press(QEvent::KeyPress, Qt::Key_C, Qt::ControlModifier);
    QApplication::sendEvent(label, &press);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("one\ntwo"));
}

} // namespace
} // namespace vx
