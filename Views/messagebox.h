#ifndef MESSAGEBOX_H
#define MESSAGEBOX_H

#include <QString>

class MsgBoxListener;

// Asynchronous message boxes: every call returns at once; answers reach the listener.
class MessageBox
{
public:
    static bool showQuestion(const QString& text, const QString& title, MsgBoxListener* listener);
    static void showInformation(const QString& text, const QString& title);
    static void showError(const QString& text, const QString& title);
    static bool showMessageBoxBackAgain(const QString& text, const QString& title, MsgBoxListener* listener);
};

#endif // MESSAGEBOX_H
