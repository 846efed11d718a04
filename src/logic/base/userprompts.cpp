#include "logic/base/userprompts.h"

static UserPrompts* current = nullptr;

UserPrompts::~UserPrompts()
{
    if (current == this)
        current = nullptr;
}

void UserPrompts::install(UserPrompts* prompts)
{
    current = prompts;
}

UserPrompts* UserPrompts::installed()
{
    return current;
}

void UserPrompts::error(const QString& text, const QString& title)
{
    if (current)
        current->showError(text, title);
}

void UserPrompts::information(const QString& text, const QString& title)
{
    if (current)
        current->showInformation(text, title);
}

void UserPrompts::quit()
{
    if (current)
        current->closeApplication();
}

bool UserPrompts::emailAccount()
{
    return current && current->hasEmailAccount();
}

bool UserPrompts::email(const QString& subject, const QString& text)
{
    return current && current->composeEmail(subject, text);
}

bool UserPrompts::sms(const QString& phoneNumber, const QString& text)
{
    return current && current->composeSms(phoneNumber, text);
}
