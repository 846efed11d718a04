#include "screens/settings/settingspages.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QPushButton>

#include "screens/widgets/textscale.h"
#include "screens/widgets/theme.h"
#include "screens/shell/messagebox.h"

namespace SettingsPages {

QCheckBox* checkBox(QWidget* parent, const char* name, const QString& text)
{
    QCheckBox* box = new QCheckBox(text, parent);
    box->setObjectName(QLatin1String(name));
    TextScale::follow(box, 16, false);
    box->setMinimumHeight(60);
    // On the narrowest screens a long label is cut rather than widening the page past the screen.
    box->setSizePolicy(QSizePolicy::Ignored, box->sizePolicy().verticalPolicy());
    box->setFocusPolicy(Qt::StrongFocus);
    Theme::follow(box, [box] {
        box->setStyleSheet(QStringLiteral(
            "QCheckBox { color: %1; spacing: 16px; padding-left: 20px; selection-background-color: %2; }"
            "QCheckBox::indicator { width: 40px; height: 40px; }"
            "QCheckBox::indicator:checked { image: url(%3); }"
            "QCheckBox::indicator:unchecked { image: url(%4); }")
            .arg(Theme::css(Theme::Text), Theme::css(Theme::RowPressed),
                 Theme::picture(QStringLiteral(":/IMG/SETTINGS/CHECKBOX_ON")),
                 Theme::picture(QStringLiteral(":/IMG/SETTINGS/CHECKBOX_OFF")))
            + Theme::focusMark(QStringLiteral("QCheckBox:focus")));
    });
    return box;
}

QPushButton* hourButton(QWidget* parent, const char* name, bool plus)
{
    QPushButton* button = new QPushButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setFixedSize(80, 80);
    button->setFocusPolicy(Qt::TabFocus);
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
