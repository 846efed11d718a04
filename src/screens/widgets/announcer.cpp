#include "screens/widgets/announcer.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace {

class AnnouncerInterface : public QAccessibleWidget
{
public:
    explicit AnnouncerInterface(Announcer* announcer) : QAccessibleWidget(announcer, QAccessible::Notification) {}
    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name ? static_cast<Announcer*>(widget())->message() : QString();
    }
};

QAccessibleInterface* announcerInterface(const QString& className, QObject* object)
{
    if (className == QLatin1String("Announcer") && object->isWidgetType())
        return new AnnouncerInterface(static_cast<Announcer*>(object));
    return nullptr;
}

} // namespace

Announcer::Announcer(QWidget* parent) : QWidget(parent)
{
    static const bool installed = (QAccessible::installFactory(announcerInterface), true);
    Q_UNUSED(installed);
    setObjectName(QStringLiteral("announcer"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    setGeometry(0, 0, 1, 1);
    lower();
    hide();
}

void Announcer::say(const QString& message)
{
    text = message;
    // Shown again, the notification is new to the reader; its name is the message.
    hide();
    show();
    lower();
    QAccessibleEvent named(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&named);
}
