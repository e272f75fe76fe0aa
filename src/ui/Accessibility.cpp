#include "ui/Accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QLabel>

namespace {

const char *const PurposeProperty = "harovanAccessiblePurpose";
const char *const UnitProperty = "harovanAccessibleUnit";
const char *const NotificationProperty = "harovanAccessibleNotification";

// Text with the line breaks readers expect.
QString plainLines(QString text)
{
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

// A label as screen readers see it: a value label is read-only static text
// named by its purpose and its value, a line of news a notification named by
// its text. The label tells readers of every new text itself.
class LabelInterface final : public QAccessibleWidget
{
public:
    LabelInterface(QLabel *label, QAccessible::Role role)
        : QAccessibleWidget(label, role)
    { }

    QString text(QAccessible::Text t) const override
    {
        if (t != QAccessible::Name)
            return QAccessibleWidget::text(t);
        const QLabel *label = static_cast<const QLabel *>(widget());
        if (role() == QAccessible::Notification)
            return plainLines(label->text());
        return label->property(PurposeProperty).toString() + u' ' + label->text()
            + label->property(UnitProperty).toString();
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        if (role() == QAccessible::StaticText)
            s.readOnly = true;
        return s;
    }
};

QAccessibleInterface *labelFactory(const QString &className, QObject *object)
{
    auto *label = qobject_cast<QLabel *>(object);
    if (className != u"QLabel" || !label)
        return nullptr;
    if (label->property(PurposeProperty).isValid())
        return new LabelInterface(label, QAccessible::StaticText);
    if (label->property(NotificationProperty).toBool())
        return new LabelInterface(label, QAccessible::Notification);
    return nullptr;
}

// Makes the factory answer for label from now on, also when a reader already
// running asked for the label when it got its first text: the plain
// interface made then gives way.
void useOwnInterface(QLabel *label)
{
    static const bool installed = [] {
        QAccessible::installFactory(labelFactory);
        return true;
    }();
    Q_UNUSED(installed);
    QAccessibleInterface *current = QAccessible::queryAccessibleInterface(label);
    if (current && !dynamic_cast<LabelInterface *>(current))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(current));
}

} // namespace

void Accessibility::nameValue(QLabel *label, const QString &purpose, const QString &unit)
{
    label->setProperty(PurposeProperty, purpose);
    label->setProperty(UnitProperty, unit);
    useOwnInterface(label);
}

void Accessibility::makeNotification(QLabel *label)
{
    label->setProperty(NotificationProperty, true);
    useOwnInterface(label);
}

void Accessibility::announce(QLabel *label)
{
    if (label->text().isEmpty())
        return;
    // A notification that shows itself is read out (Orca reads it and keeps
    // it in its list of notifications), whether it was showing before or not.
    QAccessibleEvent event(label, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&event);
}

void Accessibility::describe(QWidget *widget, const QString &text)
{
    widget->setAccessibleDescription(plainLines(text));
}
