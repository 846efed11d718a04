#include "screens/settings/settingspages.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QPushButton>

#include "screens/shell/messagebox.h"

namespace SettingsPages {

QCheckBox* checkBox(QWidget* parent, const char* name, const QString& text)
{
    QCheckBox* box = new QCheckBox(text, parent);
    box->setObjectName(QLatin1String(name));
    QFont font = box->font();
    font.setPointSize(16);
    box->setFont(font);
    box->setMinimumHeight(60);
    // On the narrowest screens a long label is cut rather than widening the page past the screen.
    box->setSizePolicy(QSizePolicy::Ignored, box->sizePolicy().verticalPolicy());
    box->setFocusPolicy(Qt::NoFocus);
    box->setStyleSheet(QStringLiteral(
        "QCheckBox { color: black; spacing: 16px; padding-left: 20px; selection-background-color: rgb(226, 226, 226); }"
        "QCheckBox::indicator { width: 40px; height: 40px; }"
        "QCheckBox::indicator:checked { image: url(:/IMG/SETTINGS/CHECKBOX_ON); }"
        "QCheckBox::indicator:unchecked { image: url(:/IMG/SETTINGS/CHECKBOX_OFF); }"));
    return box;
}

QPushButton* hourButton(QWidget* parent, const char* name, bool plus)
{
    QPushButton* button = new QPushButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setFixedSize(80, 80);
    button->setFocusPolicy(Qt::NoFocus);
    button->setAccessibleName(plus ? QObject::tr("Później") : QObject::tr("Wcześniej"));
    const QString image = plus ? QStringLiteral("plus") : QStringLiteral("minus");
    // An image, not a background: on a row narrower than 5 x 80 px it shrinks with the button
    // instead of being cut.
    button->setStyleSheet(QStringLiteral("QPushButton { background-color: transparent; border: none;"
                                         " image: url(:/IMG/images/Settings/%1.png); image-position: center; }"
                                         "QPushButton:pressed { image: url(:/IMG/images/Settings/%1ON.png); }")
                              .arg(image));
    return button;
}

void reportNotSaved()
{
    MessageBox::showError(QCoreApplication::translate("SettingsPages", "Nie udało się zapisać ustawień. "
                                                                       "Zmiana nie została wprowadzona."),
                          QCoreApplication::translate("SettingsPages", "Błąd"));
}

} // namespace SettingsPages
