#ifndef ANNOUNCER_H
#define ANNOUNCER_H

#include <QString>
#include <QWidget>

// Tells a screen reader something that happened away from the focus (a finished refresh) without
// showing anything: a notification of one pixel, under its siblings, that shows itself again with
// each message. Readers such as Orca speak a notification when it shows, wherever the focus is.
class Announcer : public QWidget
{
    Q_OBJECT
public:
    explicit Announcer(QWidget* parent);
    void say(const QString& text);
    QString message() const { return text; }

private:
    QString text;
};

#endif // ANNOUNCER_H
