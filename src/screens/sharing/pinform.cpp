#include "screens/sharing/pinform.h"

#include <QLineEdit>
#include <QPushButton>

#include "logic/sharing/oauthpinclient.h"

PinForm::PinForm(QWidget* parent) : QWidget(parent), ui(new PinPanel), pinClient(nullptr), keyboard(nullptr)
{
}

PinForm::~PinForm()
{
    delete ui;
}

void PinForm::setupPanel(const char* okName, const char* cancelName, const char* codeLabelName)
{
    ui->setupUi(this, okName, cancelName, codeLabelName);
    keyboard = new SoftKeyboard(ui->verifierTextEdit);
    connect(ui->verifierTextEdit, &QLineEdit::returnPressed, this, &PinForm::onReturnPressed);
    connect(ui->okButton, &QPushButton::clicked, this, &PinForm::on_buttonOK_clicked);
    connect(ui->cancelButton, &QPushButton::clicked, this, &PinForm::on_buttonCancel_clicked);
}

void PinForm::attach(OAuthPinClient* client)
{
    pinClient = client;
    connect(client, &OAuthPinClient::showVerifier, this, &PinForm::onShowVerifier);
    connect(client, &OAuthPinClient::willHide, this, &PinForm::willHide);
}

void PinForm::emitHide()
{
    emit willHide();
}

void PinForm::onShowVerifier()
{
    ui->showPageAddress(pinClient ? pinClient->pageToOpenElsewhere() : QString());
    ui->showProcessing(false);
    update();
}

void PinForm::on_buttonOK_clicked()
{
    if (ui->verifierTextEdit->text().isEmpty())
        return;
    ui->showProcessing(true);
    if (pinClient)
        pinClient->setVerifier(ui->verifierTextEdit->text());
    hideKeyboard();
    update();
}

void PinForm::on_buttonCancel_clicked()
{
    if (pinClient)
        pinClient->cancel();
    hideKeyboard();
    emit willHide();
}

void PinForm::onReturnPressed()
{
    hideKeyboard();
}

void PinForm::hideKeyboard()
{
    keyboard->hide();
}
