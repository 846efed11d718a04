#ifndef MESSAGEBOX_H
#define MESSAGEBOX_H

#include <functional>

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

    // A box on its way to the page. The observer sees every box (the tests read and answer
    // them there); what the user sees does not depend on it.
    struct Shown
    {
        enum Kind { Error, Information, Question, BackAgain };
        Kind kind;
        QString text;
        QString title;
        MsgBoxListener* listener;
    };
    using Observer = std::function<void(const Shown&)>;
    static void setObserver(Observer observer);
};

#endif // MESSAGEBOX_H
