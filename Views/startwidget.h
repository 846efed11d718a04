#ifndef STARTWIDGET_H
#define STARTWIDGET_H

#include "Views/basewidget.h"

class Http;
class QLabel;
class QPushButton;
class QTextBrowser;

// Root screen of the application page: the publisher's greeting, downloaded
// once the network session is open, under the top bar with the exit button.
class StartWidget : public BaseWidget
{
    Q_OBJECT
public:
    explicit StartWidget(QWidget* parent = nullptr);
    ~StartWidget() override;

    static QString greetingUrl();

private slots:
    void networkOpened();
    void networkCancelled();
    void greetingStatusChanged(Http* http);

private:
    void buildForm();

    QLabel* infoLabel;
    QTextBrowser* textBrowser;
    QPushButton* exitButton;
    Http* request;
};

#endif // STARTWIDGET_H
