#ifndef BOXES_H
#define BOXES_H

#include <QVector>

#include "screens/shell/messagebox.h"
#include "screens/shell/msgboxlistener.h"

// Records the message boxes the program shows while it lives; a question is answered
// through the listener the box was shown with, as the page's buttons do.
class Boxes
{
public:
    Boxes()
    {
        MessageBox::setObserver([this](const MessageBox::Shown& box) { shown.append(box); });
    }
    ~Boxes() { MessageBox::setObserver(nullptr); }

    QVector<MessageBox::Shown> shown;

    QStringList texts() const
    {
        QStringList t;
        for (const MessageBox::Shown& box : shown)
            t << box.text;
        return t;
    }
    const MessageBox::Shown& last() const { return shown.last(); }
    // "Tak" / "Powtórz".
    void accept() const { last().listener->onMsgBoxAccepted(); }
    // "Nie" / "Anuluj".
    void reject() const { last().listener->onMsgBoxRejected(); }
};

#endif // BOXES_H
