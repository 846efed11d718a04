#include "screens/sharing/blipdialog.h"

#include <QFrame>

#include "screens/sharing/blipform.h"
#include "screens/sharing/pinpanel.h"

BlipDialog::BlipDialog(QWidget* parent) : QWidget(parent), widget(nullptr)
{
    setObjectName(QStringLiteral("BlipDialog"));
    resize(480, 854);
    widget = new BlipForm(this);
    widget->setObjectName(QStringLiteral("widget"));
    serviceDialogFrame(this, widget, QSize(439, 450));
    connect(widget, &BlipForm::finishedWithSuccess, this, &BlipDialog::finishedWithSuccess);
    connect(widget, &BlipForm::willHide, this, &BlipDialog::willHide);
    connect(widget, &BlipForm::willHide, this, &BlipDialog::hide);
}

void BlipDialog::sendPost(const QString& title, const QString& link)
{
    widget->sendPost(title, link);
}
