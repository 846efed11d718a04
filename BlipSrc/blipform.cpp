#include "BlipSrc/blipform.h"

#include <QLineEdit>
#include <QPushButton>

#include "BlipSrc/blipclient.h"
#include "Views/formstyle.h"

BlipForm::BlipForm(QWidget* parent) : QWidget(parent), ui(new PinPanel), blipClient(nullptr), keyboard(nullptr)
{
    setObjectName(QStringLiteral("BlipForm"));
    resize(480, 413);
    // Inside the panel's frame, less its border.
    FormStyle::fitInside(this, QSize(265, 200), QSize(560, 560), QMargins(28, 20, 28, 25));
    ui->setupUi(this, "okButton", "cancelButton", "label");
    keyboard = new SoftKeyboard(ui->verifierTextEdit);
    connect(ui->verifierTextEdit, &QLineEdit::returnPressed, this, &BlipForm::onReturnPressed);
    blipClient = new BlipClient(this);
    connect(blipClient, &BlipClient::showVerifier, this, &BlipForm::onShowVerifier);
    connect(blipClient, &BlipClient::willHide, this, &BlipForm::willHide);
    connect(ui->okButton, &QPushButton::clicked, this, &BlipForm::on_buttonOK_clicked);
    connect(ui->cancelButton, &QPushButton::clicked, this, &BlipForm::on_buttonCancel_clicked);
}

BlipForm::~BlipForm()
{
    delete ui;
}

void BlipForm::sendPost(const QString&, const QString& link)
{
    blipClient->sendBlip(link);
}

void BlipForm::emitHide()
{
    emit willHide();
}

void BlipForm::onShowVerifier()
{
    ui->showProcessing(false);
    update();
}

void BlipForm::on_buttonOK_clicked()
{
    if (ui->verifierTextEdit->text().isEmpty())
        return;
    ui->showProcessing(true);
    blipClient->setVerifier(ui->verifierTextEdit->text());
    hideKeyboard();
    update();
}

void BlipForm::on_buttonCancel_clicked()
{
    blipClient->cancel();
    hideKeyboard();
    emit willHide();
}

void BlipForm::onReturnPressed()
{
    hideKeyboard();
}

void BlipForm::hideKeyboard()
{
    keyboard->hide();
}
