#ifndef BLIPFORM_H
#define BLIPFORM_H

#include <QString>

#include "screens/sharing/pinform.h"

class BlipClient;

// Inside the Blip panel: the busy animation, or the field for the code Blip displayed.
class BlipForm : public PinForm
{
    Q_OBJECT
public:
    explicit BlipForm(QWidget* parent = nullptr);

    void sendPost(const QString& title, const QString& link);
    BlipClient* client() const { return blipClient; }

private:
    BlipClient* blipClient;
};

#endif // BLIPFORM_H
