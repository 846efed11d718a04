#include "screens/sharing/blipsettings.h"

#include <QPushButton>

#include "logic/sharing/blipclient.h"
#include "logic/sharing/tokenstore.h"

BlipSettingsWidget::BlipSettingsWidget(QWidget* parent) : QWidget(parent), ui(new AccountPage)
{
    setObjectName(QStringLiteral("BlipSettingsWidget"));
    setMaximumWidth(640);
    ui->setupUi(this, "label", "label_2", "pushButton");
    ui->showLoggedIn(TokenStore::isLoggedIn(QStringLiteral("bliptoken"), QStringLiteral("bliptokenSecret")));
    connect(ui->logout, &QPushButton::clicked, this, &BlipSettingsWidget::logoutClicked);
}

BlipSettingsWidget::~BlipSettingsWidget()
{
    delete ui;
}

void BlipSettingsWidget::logoutClicked()
{
    BlipClient client(nullptr);
    client.resetAccessToken();
    ui->showLoggedIn(false);
    emit contentSizeChanged();
}
