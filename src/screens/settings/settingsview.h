#ifndef SETTINGSVIEW_H
#define SETTINGSVIEW_H

#include "screens/shell/basewidget.h"

class BlipSettingsWidget;
class QFrame;
class QPushButton;
class Settings;
class SettingsCategoryView;
class SettingsHelpView;
class SettingsOnlineView;
class SettingsScrollArea;
class SettingsTwitter;
class Toolbox;

// The settings screen: Kategorie, Online, Twitter, Blip and Pomoc in one accordion.
class SettingsView : public BaseWidget
{
    Q_OBJECT
public:
    SettingsView(Settings* settings, QWidget* parent);

    MainWidget::InterfaceOrientation getSupportedOrientation() override;
    Toolbox* accordion() const { return toolbox; }
    SettingsScrollArea* scroller() const { return scrollArea; }

public slots:
    void animateScrollBarToPosition(int y);

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    friend class TestSettingsScreens;
    void setupUi();

    QFrame* frame_2;
    QPushButton* backButton;
    QPushButton* buttonExit;
    SettingsScrollArea* scrollArea;
    Toolbox* toolbox;
    QFrame* frame;
    QPushButton* pushButton_3;
    SettingsOnlineView* settingsOnlineView;
    SettingsCategoryView* settingsCategoryView;
    SettingsHelpView* settingsHelpView;
    SettingsTwitter* twitterView;
    BlipSettingsWidget* blipView;
    Settings* settings;
};

#endif // SETTINGSVIEW_H
