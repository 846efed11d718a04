#ifndef STARTWIDGET_H
#define STARTWIDGET_H

#include "Views/basewidget.h"

#include <QVector>

class Http;
class RSSChannel;
class QLabel;
class QPushButton;
class QTextBrowser;

// Root screen of the application page: the publisher's greeting, downloaded
// once the network session is open, and the headlines of the first category.
class StartWidget : public BaseWidget
{
    Q_OBJECT
public:
    explicit StartWidget(QVector<RSSChannel*>* channels, QWidget* parent = nullptr);
    ~StartWidget() override;

    static QString greetingUrl();

private slots:
    void networkOpened();
    void networkCancelled();
    void greetingStatusChanged(Http* http);
    void showContent();

private:
    void buildForm();

    QLabel* infoLabel;
    QTextBrowser* textBrowser;
    QPushButton* exitButton;
    Http* request;
    QVector<RSSChannel*>* channels;
    QString greeting;
};

#endif // STARTWIDGET_H
