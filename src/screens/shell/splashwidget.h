#ifndef SPLASHWIDGET_H
#define SPLASHWIDGET_H

#include <QPixmap>
#include <QWidget>

class Ui_SplashWidget;

// The first screen: the built-in picture for three seconds, then the stored
// advertisement for three more when there is one, then the application page.
class SplashWidget : public QWidget
{
    Q_OBJECT
public:
    explicit SplashWidget(QWidget* parent = nullptr);
    ~SplashWidget() override;

signals:
    void splashDidHide(SplashWidget* splash);

private slots:
    void hideSplash();

protected:
    void showEvent(QShowEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    void showPicture(const QPixmap& shown);
    void fitPicture();

    Ui_SplashWidget* ui;
    bool showPartner;
    bool serviceClick;
    bool opennedUrl;
    bool alreadyStartedTimer;
    // What the label shows, at its own size; the label gets it scaled to the widget.
    QPixmap picture;

    friend class TestLayout;
};

#endif // SPLASHWIDGET_H
