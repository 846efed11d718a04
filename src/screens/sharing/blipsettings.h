#ifndef BLIPSETTINGSWIDGET_H
#define BLIPSETTINGSWIDGET_H

#include <QWidget>

#include "screens/sharing/accountpage.h"

// The Blip section of the settings: whether a token is stored, and logging out.
class BlipSettingsWidget : public QWidget
{
    Q_OBJECT
public:
    explicit BlipSettingsWidget(QWidget* parent = nullptr);
    ~BlipSettingsWidget() override;

    const AccountPage& page() const { return *ui; }

signals:
    void contentSizeChanged();

public slots:
    void logoutClicked();

private:
    AccountPage* ui;
};

#endif // BLIPSETTINGSWIDGET_H
