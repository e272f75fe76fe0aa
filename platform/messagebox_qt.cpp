#include "platform/messagebox.h"

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMessageBox>
#include <QRegularExpression>
#include <QScreen>
#include <QStyle>

#include <utility>

namespace platform {

namespace {

// Qt draws a box's icon at the style's size and breaks its text at a width of
// its own, whatever the size of the text. At a large text size the icon grows
// with the text, as tall as two of its lines, and a line that has room on the
// screen stays whole.
void fitToText(QMessageBox &box, const QString &text, QStyle::StandardPixmap icon)
{
    auto *label = box.findChild<QLabel *>(QStringLiteral("qt_msgbox_label"));
    if (!label)
        return;
    const QFontMetrics metrics = label->fontMetrics();
    int widest = 0;
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    for (const QString &line : text.split(lineBreak))
        widest = std::max(widest, metrics.horizontalAdvance(line));
    // Qt breaks even inside words a text wider than a box may be on the
    // screen; three quarters of that leave room for the icon and margins.
    const int screenWidth = box.screen() ? box.screen()->availableGeometry().width() : widest;
    const int boxWidth = screenWidth <= 1024 ? screenWidth : std::min(screenWidth - 480, 1000);
    label->setMinimumWidth(std::min(widest + 1, boxWidth * 3 / 4));

    auto *iconLabel = box.findChild<QLabel *>(QStringLiteral("qt_msgboxex_icon_label"));
    const int size = 2 * metrics.lineSpacing();
    if (!iconLabel || size <= box.style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, &box))
        return;
    // The style may have the icon at its own size only: then it is drawn larger.
    const QPixmap pixmap = box.style()->standardIcon(icon, nullptr, &box).pixmap(QSize(size, size));
    iconLabel->setPixmap(pixmap.height() >= size ? pixmap
                                                 : pixmap.scaled(QSize(size, size) * pixmap.devicePixelRatio(),
                                                     Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

} // namespace

QWidget *QtMessageBox::owner(QWidget *asking)
{
    if (QWidget *dialog = QApplication::activeModalWidget())
        return dialog;
    if (asking && asking->window()->isVisible())
        return asking->window();
    if (QWidget *window = QApplication::activeWindow())
        return window;
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows) {
        if (qobject_cast<QMainWindow *>(window) && window->isVisible())
            return window;
    }
    return nullptr;
}

MessageBox::Answer QtMessageBox::show(
    const QString &title, const QString &text, Icon icon, Buttons buttons, QWidget *over)
{
    // In the order of Icon.
    constexpr std::pair<QMessageBox::Icon, QStyle::StandardPixmap> icons[] = {
        {QMessageBox::Critical, QStyle::SP_MessageBoxCritical},
        {QMessageBox::Warning, QStyle::SP_MessageBoxWarning},
        {QMessageBox::Information, QStyle::SP_MessageBoxInformation},
        {QMessageBox::Question, QStyle::SP_MessageBoxQuestion},
    };
    QMessageBox box(owner(over));
    box.setWindowTitle(title);
    box.setText(text);
    box.setIcon(icons[int(icon)].first);
    fitToText(box, text, icons[int(icon)].second);
    // The first button is the default one, the second (if any) answers Esc and the close box.
    const auto ask = [&box](QMessageBox::StandardButton yes, QMessageBox::StandardButton no, bool noByDefault = false) {
        box.setStandardButtons(yes | no);
        box.setDefaultButton(noByDefault ? no : yes);
        box.setEscapeButton(no);
        return box.exec() == yes;
    };
    switch (buttons) {
    case Buttons::OkCancel:
        return ask(QMessageBox::Ok, QMessageBox::Cancel) ? Answer::Ok : Answer::Cancel;
    case Buttons::YesNo:
    case Buttons::YesNoDefaultNo:
        return ask(QMessageBox::Yes, QMessageBox::No, buttons == Buttons::YesNoDefaultNo) ? Answer::Yes : Answer::No;
    case Buttons::Ok:
        break;
    }
    ask(QMessageBox::Ok, QMessageBox::NoButton);
    return Answer::Ok;
}

} // namespace platform
