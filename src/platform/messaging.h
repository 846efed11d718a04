#ifndef MESSAGING_H
#define MESSAGING_H

#include <QList>
#include <QString>

// Desktop stand-in for the phone's messaging framework: the accounts it knows
// and a composer that is handed a prepared e-mail or SMS (the user sends it).
namespace Messaging {

enum MessageType { Email = 1, Sms = 2 };

struct Account {
    QString name;
    int messageTypes;
};

struct Draft {
    MessageType type;
    QString phoneNumber;
    QString subject;
    QString body;
};

QList<Account> accounts();
bool compose(const Draft& draft);

} // namespace Messaging

#endif // MESSAGING_H
