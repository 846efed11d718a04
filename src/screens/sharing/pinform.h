#ifndef PINFORM_H
#define PINFORM_H

#include <QString>
#include <QWidget>

#include "screens/sharing/pinpanel.h"

class OAuthPinClient;

// The content of a service's login panel: the busy animation, or the field for the code
// the service displayed; passes the code to the client, or cancels the login.
class PinForm : public QWidget
{
    Q_OBJECT
public:
    ~PinForm() override;

    void emitHide();
    const PinPanel& panel() const { return *ui; }

signals:
    void finishedWithSuccess(bool success, QString message);
    void willHide();

public slots:
    void on_buttonOK_clicked();
    void onShowVerifier();
    void on_buttonCancel_clicked();
    void onReturnPressed();
    void hideKeyboard();

protected:
    explicit PinForm(QWidget* parent);
    // Builds the panel under the given object names and wires its field and buttons.
    void setupPanel(const char* okName, const char* cancelName, const char* codeLabelName);
    // Follows the client's login: its request for the code and its end.
    void attach(OAuthPinClient* client);

    PinPanel* ui;

private:
    OAuthPinClient* pinClient;
    SoftKeyboard* keyboard;
};

#endif // PINFORM_H
