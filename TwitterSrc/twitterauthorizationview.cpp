#include "TwitterSrc/twitterauthorizationview.h"

#include <QLineEdit>
#include <QPushButton>

#include "TwitterSrc/twitterclient.h"
#include "Views/formstyle.h"

TwitterAuthorizationView::TwitterAuthorizationView(QWidget* parent)
    : QWidget(parent), ui(new PinPanel), twitterClient(nullptr), keyboard(nullptr)
{
    setObjectName(QStringLiteral("TwitterAuthorizationView"));
    resize(360, 367);
    // Inside the panel's frame, less its border.
    FormStyle::fitInside(this, QSize(360, 360), QSize(360, 377), QMargins(28, 20, 28, 25));
    ui->setupUi(this, "buttonOK", "buttonCancel", "labelEnterCode");
    // Twitter's PINs are seven digits; Blip's codes are not limited.
    ui->verifierTextEdit->setMaxLength(7);
    keyboard = new SoftKeyboard(ui->verifierTextEdit);
    connect(ui->verifierTextEdit, &QLineEdit::returnPressed, this, &TwitterAuthorizationView::onReturnPressed);
    connect(ui->okButton, &QPushButton::clicked, this, &TwitterAuthorizationView::on_buttonOK_clicked);
    connect(ui->cancelButton, &QPushButton::clicked, this, &TwitterAuthorizationView::on_buttonCancel_clicked);
}

TwitterAuthorizationView::~TwitterAuthorizationView()
{
    delete ui;
}

void TwitterAuthorizationView::setTwitterClient(TwitterClient* client)
{
    twitterClient = client;
    connect(client, &TwitterClient::showVerifier, this, &TwitterAuthorizationView::onShowVerifier);
    connect(client, &TwitterClient::willHide, this, &TwitterAuthorizationView::willHide);
}

void TwitterAuthorizationView::emitHide()
{
    emit willHide();
}

void TwitterAuthorizationView::onShowVerifier()
{
    ui->showProcessing(false);
    update();
}

void TwitterAuthorizationView::on_buttonOK_clicked()
{
    if (ui->verifierTextEdit->text().isEmpty())
        return;
    ui->showProcessing(true);
    if (twitterClient)
        twitterClient->setVerifier(ui->verifierTextEdit->text());
    hideKeyboard();
    update();
}

void TwitterAuthorizationView::on_buttonCancel_clicked()
{
    if (twitterClient)
        twitterClient->cancel();
    hideKeyboard();
    emit willHide();
}

void TwitterAuthorizationView::onReturnPressed()
{
    hideKeyboard();
}

void TwitterAuthorizationView::hideKeyboard()
{
    keyboard->hide();
}
