#ifndef BLIPDIALOG_H
#define BLIPDIALOG_H

#include <QString>
#include <QWidget>

class BlipForm;

// The Blip panel the share overlay shows while a message is being posted.
class BlipDialog : public QWidget
{
    Q_OBJECT
public:
    explicit BlipDialog(QWidget* parent);

    void sendPost(const QString& title, const QString& link);
    BlipForm* form() const { return widget; }

signals:
    void finishedWithSuccess(bool success, QString message);
    void willHide();

private:
    BlipForm* widget;
};

#endif // BLIPDIALOG_H
