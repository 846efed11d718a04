#ifndef TWITTERAUTHORIZATIONVIEW_H
#define TWITTERAUTHORIZATIONVIEW_H

#include <QString>
#include <QWidget>

#include "TwitterSrc/pinpanel.h"

class TwitterClient;

// Inside the Twitter panel: the busy animation, or the field for the PIN Twitter displayed.
class TwitterAuthorizationView : public QWidget
{
    Q_OBJECT
public:
    explicit TwitterAuthorizationView(QWidget* parent = nullptr);
    ~TwitterAuthorizationView() override;

    void setTwitterClient(TwitterClient* client);
    void emitHide();
    const PinPanel& panel() const { return *ui; }

signals:
    void finishedWithSuccess(bool success, QString message);
    void willHide();

public slots:
    void on_buttonOK_clicked();
    void onShowVerifier();
    void on_buttonCancel_clicked();
    void onReturnPressed();
    void hideKeyboard();

private:
    PinPanel* ui;
    TwitterClient* twitterClient;
    SoftKeyboard* keyboard;
};

#endif // TWITTERAUTHORIZATIONVIEW_H
