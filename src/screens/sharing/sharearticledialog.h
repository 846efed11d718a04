#ifndef SHAREARTICLEDIALOG_H
#define SHAREARTICLEDIALOG_H

#include <QString>
#include <QWidget>

class Article;
class QFrame;
class QGridLayout;
class QLabel;
class QPushButton;
class TwitterClient;

// The widget tree of the share overlay.
class Ui_ShareArticleDialog
{
public:
    void setupUi(QWidget* form);

    QGridLayout* gridLayout;
    QFrame* frame;
    QGridLayout* gridLayout_2;
    QFrame* mainFrame;
    QLabel* label;
    QPushButton* emailButton;
    QPushButton* smsButton;
    QPushButton* blipButton;
    QPushButton* twitterButton;
    QPushButton* facebookButton;
    QPushButton* cancelButton;
};

// Full-screen overlay to pass an article or a picture on: e-mail, SMS, Blip, Twitter, Facebook.
class ShareArticleDialog : public QWidget
{
    Q_OBJECT
public:
    ShareArticleDialog(const Article& article, QWidget* parent);
    ShareArticleDialog(const QString& text, const QString& link, QWidget* parent);
    ~ShareArticleDialog() override;

    static QString composeEmailBody(const Article& article);
    QString sharedTitle() const;
    QString sharedLink() const;
    Ui_ShareArticleDialog* form() const { return ui; }

signals:
    void dialogClosed(ShareArticleDialog* dialog);

public slots:
    void cancelClicked();
    void emailClicked();
    void smsClicked();
    void blipClicked();
    void facebookClicked();
    void twitterClicked();
    void onTwitterExit();

private:
    void connectButtons();
    static QString emailBody(const QString& link);

    Ui_ShareArticleDialog* ui;
    Article* article;
    QString text;
    QString link;
    TwitterClient* twitterClient;
};

#endif // SHAREARTICLEDIALOG_H
