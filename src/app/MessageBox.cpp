#include "app/MessageBox.h"

#include <QClipboard>
#include <QEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>

namespace vx {

namespace {

// Takes the copy key wherever the keyboard focus is in the box: on its button, which has no use
// for it, and on the text, which once clicked would copy only a selection and nothing without one.
class CopyKey final : public QObject {
public:
    CopyKey(QMessageBox& box, QString text) : QObject(&box), box_(box), text_(std::move(text)) {}

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        if (type != QEvent::ShortcutOverride && type != QEvent::KeyPress)
            return QObject::eventFilter(watched, event);
        auto* key = static_cast<QKeyEvent*>(event);
        // The keyboard's own Copy key counts even where the platform's bindings leave it out.
        if (!key->matches(QKeySequence::Copy) && key->key() != Qt::Key_Copy)
            return QObject::eventFilter(watched, event);
        // Claimed as the override, the key comes back as a key press, which copies.
        key->accept();
        if (type == QEvent::KeyPress)
            QGuiApplication::clipboard()->setText(TextToCopy());
        return true;
    }

private:
    QString TextToCopy() const
    {
        const QLabel* label = box_.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
        if (!label || !label->hasSelectedText())
            return text_;
        // A selection reads its line breaks as paragraph separators.
        QString selected = label->selectedText();
        selected.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
        selected.replace(QChar::LineSeparator, QLatin1Char('\n'));
        return selected;
    }

    QMessageBox& box_;
    QString text_;
};

} // namespace

std::unique_ptr<QMessageBox> MakeMessageBox(const QString& text, const QString& title)
{
    // Texts break their lines with CR LF; a label wants a plain line feed.
    QString body = text;
    body.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    auto box = std::make_unique<QMessageBox>(QMessageBox::NoIcon, title, body, QMessageBox::Ok);
    // Plain text: a report is never read as markup, and its blanks stay as they are.
    box->setTextFormat(Qt::PlainText);
    box->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* copy = new CopyKey(*box, body);
    box->installEventFilter(copy);
    if (QLabel* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label")))
        label->installEventFilter(copy);
    return box;
}

} // namespace vx
