#ifndef BLIPFORM_H
#define BLIPFORM_H

#include <QString>
#include <QWidget>

#include "TwitterSrc/pinpanel.h"

class BlipClient;

// Inside the Blip panel: the busy animation, or the field for the code Blip displayed.
class BlipForm : public QWidget
{
    Q_OBJECT
public:
    explicit BlipForm(QWidget* parent = nullptr);
    ~BlipForm() override;

    void sendPost(const QString& title, const QString& link);
    void emitHide();
    const PinPanel& panel() const { return *ui; }
    BlipClient* client() const { return blipClient; }

signals:
    void finishedWithSuccess(bool success, QString message);
    void willHide();

public slots:
    void on_buttonOK_clicked();
    void onShowVerifier();
    void on_buttonCancel_clicked();
    void onReturnPressed();
    void hideKeyboard();

private:
    PinPanel* ui;
    BlipClient* blipClient;
    SoftKeyboard* keyboard;
};

#endif // BLIPFORM_H
