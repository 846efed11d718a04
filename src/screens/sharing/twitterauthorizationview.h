#ifndef TWITTERAUTHORIZATIONVIEW_H
#define TWITTERAUTHORIZATIONVIEW_H

#include "screens/sharing/pinform.h"

class TwitterClient;

// Inside the Twitter panel: the busy animation, or the field for the PIN Twitter displayed.
class TwitterAuthorizationView : public PinForm
{
    Q_OBJECT
public:
    explicit TwitterAuthorizationView(QWidget* parent = nullptr);

    void setTwitterClient(TwitterClient* client);
};

#endif // TWITTERAUTHORIZATIONVIEW_H
