#include "Views/messagebox.h"

#include "msgboxslot.h"

bool MessageBox::showQuestion(const QString& text, const QString& title, MsgBoxListener* listener)
{
    showMsgBoxYesNo(text, title, listener);
    return false;
}

void MessageBox::showInformation(const QString& text, const QString& title)
{
    showMsgBoxOk(text, title);
}

void MessageBox::showError(const QString& text, const QString& title)
{
    showMsgBoxOk(text, title);
}

bool MessageBox::showMessageBoxBackAgain(const QString& text, const QString& title, MsgBoxListener* listener)
{
    showMsgBoxBackAgain(text, title, listener);
    return false;
}
