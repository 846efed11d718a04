#ifndef ACCOUNTPAGE_H
#define ACCOUNTPAGE_H

class QFrame;
class QPushButton;
class QWidget;

// A service's settings page: "Użytkownik niezalogowany", or "Jesteś zalogowany" with "Wyloguj".
class AccountPage
{
public:
    void setupUi(QWidget* form, const char* loggedOutLabel, const char* loggedInLabel, const char* logoutButton);
    void showLoggedIn(bool loggedIn);

    QFrame* loggedoutFrame;
    QFrame* loggedinFrame;
    QPushButton* logout;
};

#endif // ACCOUNTPAGE_H
