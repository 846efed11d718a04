#ifndef BOXES_H
#define BOXES_H

#include <QDesktopServices>
#include <QObject>
#include <QUrl>
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

// Catches what the program hands to the browser, the mail program and the composer.
class Browser : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> opened;
    // The addresses of these schemes come here instead of to the desktop, or no longer.
    void catchSchemes(bool on, const QStringList& schemes = {"http", "https", "sms", "mailto"})
    {
        for (const QString& scheme : schemes) {
            if (on)
                QDesktopServices::setUrlHandler(scheme, this, "open");
            else
                QDesktopServices::unsetUrlHandler(scheme);
        }
    }
public slots:
    void open(const QUrl& url) { opened << url; }
};

#endif // BOXES_H
