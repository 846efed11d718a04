#ifndef SETTINGSCATEGORYVIEW_H
#define SETTINGSCATEGORYVIEW_H

#include <QVector>
#include <QWidget>

class QCheckBox;
class Settings;

// The "Kategorie" section: which of the six optional categories are fetched and listed.
class SettingsCategoryView : public QWidget
{
    Q_OBJECT
public:
    SettingsCategoryView(Settings* settings, QWidget* parent);

    void updateData();

    QVector<QCheckBox*> boxes; // checkBoxCategory1 .. 6: Kraj, Świat, Sport, Gospodarka, Komentarze, Kultura

private:
    Settings* settings;
};

#endif // SETTINGSCATEGORYVIEW_H
