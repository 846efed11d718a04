#ifndef DESKTOPAPPEARANCE_H
#define DESKTOPAPPEARANCE_H

#include <QObject>

class QDBusPendingCallWatcher;
class QDBusMessage;

// What the desktop asks of the program's look: dark or light, normal or higher contrast. Read from
// the freedesktop settings portal when there is one, and followed while the program runs. Every call
// is asynchronous with a short time-out; without a bus or a portal the scheme stays light, silently.
class DesktopAppearance : public QObject
{
    Q_OBJECT
public:
    struct Scheme {
        bool dark = false;
        bool highContrast = false;
        bool operator==(const Scheme& other) const { return dark == other.dark && highContrast == other.highContrast; }
        bool operator!=(const Scheme& other) const { return !(*this == other); }
    };

    explicit DesktopAppearance(QObject* parent = nullptr);

    // Asks the portal for both keys and listens for its changes.
    void start();

    Scheme scheme() const { return current; }
    // Sets the scheme as if the desktop had said it (tests, and the portal's answers).
    void setScheme(const Scheme& scheme);

    // The look to show: the user's choice (0 as the desktop, 1 light, 2 dark, as Settings::Appearance)
    // over the desktop's; the contrast follows the desktop whatever the choice.
    static Scheme effective(int choice, const Scheme& desktop);

    static constexpr int callTimeoutMs = 1500;

signals:
    void schemeChanged();

private slots:
    void settingChanged(const QDBusMessage& message);

private:
    void read(const QString& key, bool older);
    void readFinished(QDBusPendingCallWatcher* call, const QString& key, bool older);
    void take(const QString& key, const QVariant& value);

    Scheme current;
    bool heard[2] = {false, false};
};

#endif // DESKTOPAPPEARANCE_H
