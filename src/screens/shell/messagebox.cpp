#include "screens/shell/messagebox.h"

#include "screens/shell/messageboxbridge.h"

static MessageBox::Observer& observer()
{
    static MessageBox::Observer o;
    return o;
}

static void observe(MessageBox::Shown::Kind kind, const QString& text, const QString& title, MsgBoxListener* listener)
{
    if (observer())
        observer()(MessageBox::Shown{kind, text, title, listener});
}

void MessageBox::setObserver(Observer o)
{
    observer() = std::move(o);
}

bool MessageBox::showQuestion(const QString& text, const QString& title, MsgBoxListener* listener)
{
    observe(Shown::Question, text, title, listener);
    showMsgBoxYesNo(text, title, listener);
    return false;
}

void MessageBox::showInformation(const QString& text, const QString& title)
{
    observe(Shown::Information, text, title, nullptr);
    showMsgBoxOk(text, title);
}

void MessageBox::showError(const QString& text, const QString& title)
{
    observe(Shown::Error, text, title, nullptr);
    showMsgBoxOk(text, title);
}

bool MessageBox::showMessageBoxBackAgain(const QString& text, const QString& title, MsgBoxListener* listener)
{
    observe(Shown::BackAgain, text, title, listener);
    showMsgBoxBackAgain(text, title, listener);
    return false;
}
