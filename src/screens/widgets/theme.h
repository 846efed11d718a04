#ifndef THEME_H
#define THEME_H

#include <QColor>
#include <QString>
#include <functional>

class DesktopAppearance;
class QWidget;

// The look of every screen: light or dark, normal or higher contrast. Screens take their colours
// and pictures from here and register how they restyle, so that a change of look repaints every
// screen in place, keeping what it shows.
namespace Theme {

enum Role {
    Page,           // behind the article, the categories and the help text
    ListPage,       // behind the article list and the briefcase
    SettingsPage,
    Row,
    RowAlternate,
    RowPressed,
    Text,           // body text, titles
    SecondaryText,  // leads, captions
    MutedText,      // counts, photo authors
    AccentText,     // the author line, the newspaper's red in text
    Separator,
    CategoryText,   // category names
    ListRule,       // the rule between categories
    Link,
    Focus           // the mark of the control with the keyboard
};

QColor color(Role role);
// The colour as a style sheet value.
QString css(Role role);

bool isDark();
bool isHighContrast();

// Switches the look and restyles every registered widget, then repaints the whole program.
void set(bool dark, bool highContrast);

// The desktop's wish, asked once for the whole program and followed from then on.
DesktopAppearance* desktop();
// The user's stored choice (Settings::Appearance); the look follows it over the desktop's wish.
void setChoice(int appearance);

// The dark variant of a resource picture (":/IMG/X" → ":/IMG/DARK/X") when the look is dark and
// one is drawn; else the picture itself.
QString picture(const QString& name);

// Runs `restyle` now and again after every change of look, as long as `widget` lives.
void follow(QWidget* widget, const std::function<void()>& restyle);

// The style sheet rule of the keyboard focus mark for the given selectors.
QString focusMark(const QString& selectors);

} // namespace Theme

#endif // THEME_H
