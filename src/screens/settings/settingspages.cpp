#include "screens/settings/settingspages.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QPainter>
#include <QPushButton>

#include "logic/base/hidpi.h"
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
            // Backgrounds of the pictures' size, as for the hour buttons below.
            "QCheckBox::indicator:checked { background-image: url(%3); }"
            "QCheckBox::indicator:unchecked { background-image: url(%4); }")
            .arg(Theme::css(Theme::Text), Theme::css(Theme::RowPressed),
                 Theme::picture(QStringLiteral(":/IMG/SETTINGS/CHECKBOX_ON")),
                 Theme::picture(QStringLiteral(":/IMG/SETTINGS/CHECKBOX_OFF")))
            + Theme::focusMark(QStringLiteral("QCheckBox:focus")));
    });
    return box;
}

namespace {

// A button that is its picture, shrunk with the button on a row narrower than 5 x 80 px rather than
// cut, drawn from the picture for the screen's density (a style sheet's image is drawn from the 1x
// picture blown up at 1.25 and 1.5 by Qt 6.4).
class PictureButton : public QPushButton
{
public:
    PictureButton(QWidget* parent, const QString& off, const QString& on)
        : QPushButton(parent), normal(Hidpi::pixmap(off)), pressed(Hidpi::pixmap(on))
    {
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        const QPixmap& shown = isDown() ? pressed : normal;
        QRect box(QPoint(0, 0), shown.deviceIndependentSize().toSize().scaled(size(), Qt::KeepAspectRatio)
                                    .boundedTo(shown.deviceIndependentSize().toSize()));
        box.moveCenter(rect().center());
        QPainter painter(this);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawPixmap(box, shown);
        if (hasFocus()) {
            painter.setPen(QPen(Theme::color(Theme::Focus), 2));
            painter.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
        }
    }

private:
    QPixmap normal;
    QPixmap pressed;
};

} // namespace

QPushButton* hourButton(QWidget* parent, const char* name, bool plus)
{
    const QString image = QStringLiteral(":/IMG/images/Settings/%1").arg(plus ? "plus" : "minus");
    QPushButton* button = new PictureButton(parent, image + QStringLiteral(".png"), image + QStringLiteral("ON.png"));
    button->setObjectName(QLatin1String(name));
    button->setFixedSize(80, 80);
    button->setFocusPolicy(Qt::TabFocus);
    button->setAccessibleName(plus ? QObject::tr("Później") : QObject::tr("Wcześniej"));
    return button;
}

void reportNotSaved()
{
    MessageBox::showError(QCoreApplication::translate("SettingsPages", "Nie udało się zapisać ustawień. "
                                                                       "Zmiana nie została wprowadzona."),
                          QCoreApplication::translate("SettingsPages", "Błąd"));
}

} // namespace SettingsPages
