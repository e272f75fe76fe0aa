#pragma once

#include <QString>

class QLabel;
class QWidget;

// What screen readers (Orca through AT-SPI) are told beyond the captions Qt
// gives them by itself.
namespace Accessibility {

// A label that shows a value (a count, the checked number) is named by what
// the value is, followed by the value as it stands: "チェック枚数 3枚". The
// name follows every change of the label's text.
void nameValue(QLabel *label, const QString &purpose, const QString &unit = {});

// A label that tells the user what happened: screen readers see it as a
// notification, and announce() has them read it out.
void makeNotification(QLabel *label);
void announce(QLabel *label);

// Makes text (a guidance line's, with its line breaks) the accessible
// description of widget: readers read it with the widget's name when the
// focus comes to it.
void describe(QWidget *widget, const QString &text);

} // namespace Accessibility
