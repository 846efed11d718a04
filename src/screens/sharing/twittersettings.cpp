#include "screens/sharing/twittersettings.h"

#include <QPushButton>

#include "logic/sharing/tokenstore.h"
#include "logic/sharing/twitterclient.h"

SettingsTwitter::SettingsTwitter(QWidget* parent) : QWidget(parent), ui(new AccountPage)
{
    setObjectName(QStringLiteral("SettingsTwitter"));
    resize(557, 260);
    ui->setupUi(this, "label_2", "label", "buttonLogout");
    ui->showLoggedIn(TokenStore::isLoggedIn(QStringLiteral("token"), QStringLiteral("tokenSecret")));
    connect(ui->logout, &QPushButton::clicked, this, &SettingsTwitter::on_buttonLogout_clicked);
}

SettingsTwitter::~SettingsTwitter()
{
    delete ui;
}

void SettingsTwitter::on_buttonLogout_clicked()
{
    TwitterClient client;
    client.resetAccessToken();
    ui->showLoggedIn(false);
    emit contentSizeChanged();
}
