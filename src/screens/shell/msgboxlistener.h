#ifndef MSGBOXLISTENER_H
#define MSGBOXLISTENER_H

// Whoever asks a question through MessageBox gets the answer here, later.
class MsgBoxListener
{
public:
    virtual void onMsgBoxAccepted() = 0;
    virtual void onMsgBoxRejected() = 0;
};

#endif // MSGBOXLISTENER_H
