#include "screens/sharing/twitterdialog.h"

#include "screens/sharing/pinpanel.h"
#include "screens/sharing/twitterauthorizationview.h"

TwitterDialog::TwitterDialog(TwitterClient* client, QWidget* parent) : QWidget(parent), widget(nullptr)
{
    setObjectName(QStringLiteral("TwitterDialog"));
    resize(854, 515);
    widget = new TwitterAuthorizationView(this);
    widget->setObjectName(QStringLiteral("widget"));
    serviceDialogFrame(this, widget);
    connect(widget, &TwitterAuthorizationView::finishedWithSuccess, this, &TwitterDialog::finishedWithSuccess);
    connect(widget, &TwitterAuthorizationView::willHide, this, &TwitterDialog::willHide);
    connect(widget, &TwitterAuthorizationView::willHide, this, &TwitterDialog::hide);
    widget->setTwitterClient(client);
}
