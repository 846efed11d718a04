#include "screens/sharing/twitterauthorizationview.h"

#include <QLineEdit>

#include "logic/sharing/twitterclient.h"
#include "screens/widgets/formstyle.h"

TwitterAuthorizationView::TwitterAuthorizationView(QWidget* parent) : PinForm(parent)
{
    setObjectName(QStringLiteral("TwitterAuthorizationView"));
    resize(360, 367);
    // Inside the panel's frame, less its border.
    FormStyle::fitInside(this, QSize(360, 360), QSize(360, 377), QMargins(28, 20, 28, 25));
    setupPanel("buttonOK", "buttonCancel", "labelEnterCode");
    // Twitter's PINs are seven digits; Blip's codes are not limited.
    ui->verifierTextEdit->setMaxLength(7);
}

void TwitterAuthorizationView::setTwitterClient(TwitterClient* client)
{
    attach(client);
}
