#ifndef SCREENPROMPTS_H
#define SCREENPROMPTS_H

#include "logic/base/userprompts.h"

// The screens' answer to what the logic asks of the user: the page's message boxes, the
// shell's exit and the phone's composer.
class ScreenPrompts : public UserPrompts
{
public:
    void showError(const QString& text, const QString& title) override;
    void showInformation(const QString& text, const QString& title) override;
    void closeApplication() override;
    bool hasEmailAccount() override;
    bool composeEmail(const QString& subject, const QString& text) override;
    bool composeSms(const QString& phoneNumber, const QString& text) override;

    // Installs the one instance for the life of the process.
    static void installForProcess();
};

#endif // SCREENPROMPTS_H
