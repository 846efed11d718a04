#ifndef TWITTERDIALOG_H
#define TWITTERDIALOG_H

#include <QString>
#include <QWidget>

class TwitterAuthorizationView;
class TwitterClient;

// The Twitter panel the share overlay shows while a status is being posted.
class TwitterDialog : public QWidget
{
    Q_OBJECT
public:
    TwitterDialog(TwitterClient* client, QWidget* parent);

    TwitterAuthorizationView* view() const { return widget; }

signals:
    void finishedWithSuccess(bool success, QString message);
    void willHide();

private:
    TwitterAuthorizationView* widget;
};

#endif // TWITTERDIALOG_H
