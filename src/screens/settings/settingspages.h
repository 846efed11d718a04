#ifndef SETTINGSPAGES_H
#define SETTINGSPAGES_H

#include <QString>

class QCheckBox;
class QPushButton;
class QWidget;

// Look of the settings pages' controls.
namespace SettingsPages {

QCheckBox* checkBox(QWidget* parent, const char* name, const QString& text);
QPushButton* hourButton(QWidget* parent, const char* name, bool plus);
// Tells the user that a change was not saved and so not made; the page shows the kept value.
void reportNotSaved();

} // namespace SettingsPages

#endif // SETTINGSPAGES_H
