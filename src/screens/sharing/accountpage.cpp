#include "screens/sharing/accountpage.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "screens/sharing/pinpanel.h"
#include "screens/widgets/formstyle.h"

void AccountPage::setupUi(QWidget* form, const char* loggedOutLabel, const char* loggedInLabel,
                          const char* logoutButton)
{
    QFont big = form->font();
    big.setPointSize(16);
    QVBoxLayout* layout = new QVBoxLayout(form);
    layout->setObjectName(QStringLiteral("gridLayout"));
    layout->setSpacing(0);
    layout->setContentsMargins(0, 0, 0, 0);

    loggedoutFrame = new QFrame(form);
    loggedoutFrame->setObjectName(QStringLiteral("loggedoutFrame"));
    QVBoxLayout* out = new QVBoxLayout(loggedoutFrame);
    QLabel* outLabel = new QLabel(QObject::tr("Użytkownik niezalogowany"), loggedoutFrame);
    outLabel->setObjectName(QLatin1String(loggedOutLabel));
    outLabel->setFont(big);
    outLabel->setAlignment(Qt::AlignCenter);
    out->addWidget(outLabel);
    layout->addWidget(loggedoutFrame);

    loggedinFrame = new QFrame(form);
    loggedinFrame->setObjectName(QStringLiteral("loggedinFrame"));
    QVBoxLayout* in = new QVBoxLayout(loggedinFrame);
    QLabel* inLabel = new QLabel(QObject::tr("Jesteś zalogowany"), loggedinFrame);
    inLabel->setObjectName(QLatin1String(loggedInLabel));
    inLabel->setFont(big);
    inLabel->setAlignment(Qt::AlignCenter);
    in->addWidget(inLabel);
    QHBoxLayout* row = new QHBoxLayout();
    row->setObjectName(QStringLiteral("horizontalLayout"));
    logout = new QPushButton(QObject::tr("Wyloguj"), loggedinFrame);
    logout->setObjectName(QLatin1String(logoutButton));
    logout->setFixedHeight(67);
    FormStyle::fitInside(logout, QSize(300, 67), QSize(400, 67));
    logout->setFont(big);
    logout->setStyleSheet(PinPanel::buttonStyle());
    row->addWidget(logout);
    in->addLayout(row);
    layout->addWidget(loggedinFrame);
}

void AccountPage::showLoggedIn(bool loggedIn)
{
    loggedinFrame->setVisible(loggedIn);
    loggedoutFrame->setVisible(!loggedIn);
}
