#ifndef SETTINGSTWITTER_H
#define SETTINGSTWITTER_H

#include <QWidget>

#include "screens/sharing/accountpage.h"

// The Twitter section of the settings: whether a token is stored, and logging out.
class SettingsTwitter : public QWidget
{
    Q_OBJECT
public:
    explicit SettingsTwitter(QWidget* parent = nullptr);
    ~SettingsTwitter() override;

    const AccountPage& page() const { return *ui; }

signals:
    void contentSizeChanged();

public slots:
    void on_buttonLogout_clicked();

private:
    AccountPage* ui;
};

#endif // SETTINGSTWITTER_H
