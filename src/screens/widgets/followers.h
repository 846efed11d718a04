#ifndef FOLLOWERS_H
#define FOLLOWERS_H

#include <QObject>
#include <QPointer>
#include <QVector>
#include <algorithm>
#include <functional>

// Calls to make when something changes, each kept for as long as its object lives: objects come
// and go with the screens, and the dead ones are dropped on the way.
class Followers
{
public:
    void add(QObject* owner, const std::function<void()>& call)
    {
        dropDead();
        list.append({owner, call});
    }

    void callAll()
    {
        dropDead();
        for (int i = 0; i < list.size(); ++i) {
            if (list[i].owner)
                list[i].call();
        }
    }

private:
    void dropDead()
    {
        list.erase(std::remove_if(list.begin(), list.end(), [](const Follower& f) { return !f.owner; }), list.end());
    }

    struct Follower {
        QPointer<QObject> owner;
        std::function<void()> call;
    };
    QVector<Follower> list;
};

#endif // FOLLOWERS_H
