#ifndef USERPROMPTS_H
#define USERPROMPTS_H

#include <QString>

// What the code below the screens needs from the user and the phone: a message box, the
// program's end, the composer. The screens provide it and install it at start-up; until then
// (or in a program without screens) nothing is shown and the composer refuses.
class UserPrompts
{
public:
    virtual ~UserPrompts();

    virtual void showError(const QString& text, const QString& title) = 0;
    virtual void showInformation(const QString& text, const QString& title) = 0;
    virtual void closeApplication() = 0;
    virtual bool hasEmailAccount() = 0;
    virtual bool composeEmail(const QString& subject, const QString& text) = 0;
    virtual bool composeSms(const QString& phoneNumber, const QString& text) = 0;

    // The installed prompts stay owned by the caller; nullptr uninstalls them.
    static void install(UserPrompts* prompts);
    static UserPrompts* installed();

    // The calls of the code below the screens, safe with nothing installed.
    static void error(const QString& text, const QString& title);
    static void information(const QString& text, const QString& title);
    static void quit();
    static bool emailAccount();
    static bool email(const QString& subject, const QString& text);
    static bool sms(const QString& phoneNumber, const QString& text);
};

#endif // USERPROMPTS_H
