#include "platform/messagebox.h"

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMessageBox>
#include <QRegularExpression>
#include <QScreen>
#include <QStyle>

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
    QMessageBox box(owner(over));
    box.setWindowTitle(title);
    box.setText(text);
    switch (icon) {
    case Icon::Critical:
        box.setIcon(QMessageBox::Critical);
        fitToText(box, text, QStyle::SP_MessageBoxCritical);
        break;
    case Icon::Warning:
        box.setIcon(QMessageBox::Warning);
        fitToText(box, text, QStyle::SP_MessageBoxWarning);
        break;
    case Icon::Information:
        box.setIcon(QMessageBox::Information);
        fitToText(box, text, QStyle::SP_MessageBoxInformation);
        break;
    case Icon::Question:
        box.setIcon(QMessageBox::Question);
        fitToText(box, text, QStyle::SP_MessageBoxQuestion);
        break;
    }
    switch (buttons) {
    case Buttons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Cancel);
        return box.exec() == QMessageBox::Ok ? Answer::Ok : Answer::Cancel;
    case Buttons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
        return box.exec() == QMessageBox::Yes ? Answer::Yes : Answer::No;
    case Buttons::Ok:
        break;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return Answer::Ok;
}

} // namespace platform
