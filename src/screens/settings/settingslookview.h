#ifndef SETTINGSLOOKVIEW_H
#define SETTINGSLOOKVIEW_H

#include <QVector>
#include <QWidget>

class QCheckBox;
class QLabel;
class QPushButton;
class Settings;

// The "Wygląd" section: light, dark or as the desktop, and the size of the text.
class SettingsLookView : public QWidget
{
    Q_OBJECT
public:
    SettingsLookView(Settings* settings, QWidget* parent);

    void updateData();

    QVector<QCheckBox*> looks; // Jak w systemie, Jasny, Ciemny: the order of Settings::Appearance
    QPushButton* smallerButton;
    QPushButton* largerButton;
    QLabel* scaleLabel;

private:
    Settings* settings;
};

#endif // SETTINGSLOOKVIEW_H
