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

// A value label as screen readers see it: static text named by its purpose
// and its value. The label tells readers of every new text itself.
class ValueLabel final : public QAccessibleWidget
{
public:
    explicit ValueLabel(QLabel *label)
        : QAccessibleWidget(label, QAccessible::StaticText)
    { }

    QString text(QAccessible::Text t) const override
    {
        if (t != QAccessible::Name)
            return QAccessibleWidget::text(t);
        const QLabel *label = static_cast<const QLabel *>(widget());
        return label->property(PurposeProperty).toString() + u' ' + label->text()
            + label->property(UnitProperty).toString();
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.readOnly = true;
        return s;
    }
};

// A line of news as screen readers see it: a notification named by its text.
class NotificationLine final : public QAccessibleWidget
{
public:
    explicit NotificationLine(QLabel *label)
        : QAccessibleWidget(label, QAccessible::Notification)
    { }

    QString text(QAccessible::Text t) const override
    {
        if (t != QAccessible::Name)
            return QAccessibleWidget::text(t);
        return plainLines(static_cast<const QLabel *>(widget())->text());
    }
};

QAccessibleInterface *labelFactory(const QString &className, QObject *object)
{
    auto *label = qobject_cast<QLabel *>(object);
    if (className != u"QLabel" || !label)
        return nullptr;
    if (label->property(PurposeProperty).isValid())
        return new ValueLabel(label);
    if (label->property(NotificationProperty).toBool())
        return new NotificationLine(label);
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
    if (current && !dynamic_cast<ValueLabel *>(current) && !dynamic_cast<NotificationLine *>(current))
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
