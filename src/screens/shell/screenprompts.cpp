#include "screens/shell/screenprompts.h"

#include "screens/shell/mainwidget.h"
#include "screens/shell/messagebox.h"
#include "platform/messaging.h"

void ScreenPrompts::showError(const QString& text, const QString& title)
{
    MessageBox::showError(text, title);
}

void ScreenPrompts::showInformation(const QString& text, const QString& title)
{
    MessageBox::showInformation(text, title);
}

void ScreenPrompts::closeApplication()
{
    MainWidget::closeApplication();
}

bool ScreenPrompts::hasEmailAccount()
{
    for (const Messaging::Account& account : Messaging::accounts()) {
        if (account.messageTypes & Messaging::Email)
            return true;
    }
    return false;
}

bool ScreenPrompts::composeEmail(const QString& subject, const QString& text)
{
    return Messaging::compose({Messaging::Email, QString(), subject, text});
}

bool ScreenPrompts::composeSms(const QString& phoneNumber, const QString& text)
{
    return Messaging::compose({Messaging::Sms, phoneNumber, QString(), text});
}

void ScreenPrompts::installForProcess()
{
    static ScreenPrompts prompts;
    UserPrompts::install(&prompts);
}
