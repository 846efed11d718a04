#include "screens/widgets/theme.h"

#include "screens/widgets/followers.h"

#include <QApplication>
#include <QFile>
#include <QPointer>
#include <QVector>
#include <QWidget>

#include "logic/base/desktopappearance.h"

namespace Theme {

namespace {

bool dark = false;
bool highContrast = false;
int choice = 0;
DesktopAppearance* desktopWish = nullptr;

void apply()
{
    const DesktopAppearance::Scheme shown =
        DesktopAppearance::effective(choice, desktopWish ? desktopWish->scheme() : DesktopAppearance::Scheme());
    set(shown.dark, shown.highContrast);
}

Followers& followers()
{
    static Followers list;
    return list;
}

// Light, light with higher contrast, dark, dark with higher contrast. Text keeps 4.5:1 against
// its page and its rows, the pressed (current) row included.
const QRgb table[][4] = {
    /* Page */          {qRgb(255, 255, 255), qRgb(255, 255, 255), qRgb(18, 18, 18), qRgb(0, 0, 0)},
    /* ListPage */      {qRgb(237, 237, 237), qRgb(237, 237, 237), qRgb(12, 12, 12), qRgb(0, 0, 0)},
    /* SettingsPage */  {qRgb(247, 247, 247), qRgb(247, 247, 247), qRgb(24, 24, 24), qRgb(0, 0, 0)},
    /* Row */           {qRgb(255, 255, 255), qRgb(255, 255, 255), qRgb(30, 30, 30), qRgb(0, 0, 0)},
    /* RowAlternate */  {qRgb(245, 245, 245), qRgb(245, 245, 245), qRgb(38, 38, 38), qRgb(16, 16, 16)},
    /* RowPressed */    {qRgb(215, 215, 215), qRgb(200, 200, 200), qRgb(70, 70, 70), qRgb(80, 80, 80)},
    /* Text */          {qRgb(0, 0, 0), qRgb(0, 0, 0), qRgb(232, 232, 232), qRgb(255, 255, 255)},
    /* SecondaryText */ {qRgb(67, 67, 67), qRgb(25, 25, 25), qRgb(190, 190, 190), qRgb(235, 235, 235)},
    /* MutedText */     {qRgb(112, 112, 112), qRgb(80, 80, 80), qRgb(150, 150, 150), qRgb(205, 205, 205)},
    /* AccentText */    {qRgb(155, 34, 34), qRgb(130, 0, 0), qRgb(255, 138, 128), qRgb(255, 170, 160)},
    /* Separator */     {qRgb(210, 210, 210), qRgb(110, 110, 110), qRgb(62, 62, 62), qRgb(170, 170, 170)},
    /* CategoryText */  {qRgb(85, 85, 85), qRgb(40, 40, 40), qRgb(200, 200, 200), qRgb(240, 240, 240)},
    /* ListRule */      {qRgb(128, 128, 128), qRgb(80, 80, 80), qRgb(90, 90, 90), qRgb(170, 170, 170)},
    /* Link */          {qRgb(0, 0, 238), qRgb(0, 0, 170), qRgb(138, 180, 248), qRgb(170, 205, 255)},
    /* Focus */         {qRgb(196, 18, 48), qRgb(150, 0, 20), qRgb(255, 110, 110), qRgb(255, 160, 160)},
};

} // namespace

QColor color(Role role)
{
    return QColor(table[role][(dark ? 2 : 0) + (highContrast ? 1 : 0)]);
}

QString css(Role role)
{
    const QColor c = color(role);
    return QStringLiteral("rgb(%1, %2, %3)").arg(c.red()).arg(c.green()).arg(c.blue());
}

bool isDark()
{
    return dark;
}

bool isHighContrast()
{
    return highContrast;
}

void set(bool beDark, bool beHighContrast)
{
    if (beDark == dark && beHighContrast == highContrast)
        return;
    dark = beDark;
    highContrast = beHighContrast;
    followers().callAll();
    // Delegates and painted widgets read their colours while painting.
    const QWidgetList widgets = QApplication::allWidgets();
    for (QWidget* widget : widgets)
        widget->update();
}

DesktopAppearance* desktop()
{
    if (!desktopWish) {
        desktopWish = new DesktopAppearance(qApp);
        QObject::connect(desktopWish, &DesktopAppearance::schemeChanged, desktopWish, [] { apply(); });
        QObject::connect(desktopWish, &QObject::destroyed, [] { desktopWish = nullptr; });
        desktopWish->start();
    }
    return desktopWish;
}

void setChoice(int appearance)
{
    choice = appearance;
    apply();
}

QString picture(const QString& name)
{
    static const QString prefix = QStringLiteral(":/IMG/");
    if (!dark || !name.startsWith(prefix))
        return name;
    const QString variant = prefix + QStringLiteral("DARK/") + name.mid(prefix.size());
    return QFile::exists(variant) ? variant : name;
}

void follow(QWidget* widget, const std::function<void()>& restyle)
{
    restyle();
    followers().add(widget, restyle);
}

QString focusMark(const QString& selectors)
{
    return selectors + QStringLiteral(" { outline: none; border: 2px solid ") + css(Focus) + QStringLiteral("; }");
}

} // namespace Theme
