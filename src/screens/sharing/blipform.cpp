#include "screens/sharing/blipform.h"

#include "logic/sharing/blipclient.h"
#include "screens/widgets/formstyle.h"

BlipForm::BlipForm(QWidget* parent) : PinForm(parent), blipClient(nullptr)
{
    setObjectName(QStringLiteral("BlipForm"));
    resize(480, 413);
    // Inside the panel's frame, less its border.
    FormStyle::fitInside(this, QSize(265, 200), QSize(560, 560), QMargins(28, 20, 28, 25));
    setupPanel("okButton", "cancelButton", "label");
    blipClient = new BlipClient(this);
    attach(blipClient);
}

void BlipForm::sendPost(const QString&, const QString& link)
{
    blipClient->sendBlip(link);
}
