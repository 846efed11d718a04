#include "Views/formstyle.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QPushButton>
#include <QVBoxLayout>

#include "Views/listview.h"

namespace FormStyle {

QString listStyle(const QString& selector, const QString& background)
{
    return selector + QStringLiteral(" { background-color: ") + background + QStringLiteral("; border: none; }"
        "QScrollBar:vertical { width: 11px; background: transparent; margin: 0px 3px 0px 0px; border: none; }"
        "QScrollBar::handle:vertical { border: 1px solid rgba(150, 150, 150, 100); border-radius: 4px;"
        " background: rgba(150, 150, 150, 100); min-height: 20px; }"
        "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: transparent; }"
        "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { background: transparent; height: 0px; }"
        "QLabel { background: transparent; border: none; }");
}

void imageButton(QPushButton* button, const QString& offImage, const QString& onImage, int size)
{
    button->setFixedSize(size, size);
    button->setFocusPolicy(Qt::NoFocus);
    button->setStyleSheet(QStringLiteral("QPushButton { background-image: url(") + offImage
        + QStringLiteral("); background-position: center; background-repeat: no-repeat; border: none; }"
                         "QPushButton:pressed { background-image: url(") + onImage + QStringLiteral("); }"
                         "QPushButton:disabled { background-image: url(") + offImage + QStringLiteral("); }"));
}

void barButton(QPushButton* button, const QString& image, int width, int height)
{
    button->setFixedSize(width, height);
    button->setFocusPolicy(Qt::NoFocus);
    button->setIcon(QIcon(image));
    button->setIconSize(QSize(60, 44));
    button->setFlat(true);
}

QFrame* topBar(QWidget* form, const QString& name, const QString& image, int height, int buttonWidth,
               QPushButton** backButton, QPushButton** exitButton)
{
    QFrame* bar = new QFrame(form);
    bar->setObjectName(name);
    bar->setFixedHeight(height);
    bar->setMaximumWidth(854);
    bar->setStyleSheet(QStringLiteral("#") + name + QStringLiteral(" { background-image: url(") + image
        + QStringLiteral("); background-position: center; border: none; }"
                         "QPushButton { background-color: transparent; border: none; color: white; }"));
    QHBoxLayout* layout = new QHBoxLayout(bar);
    layout->setSpacing(0);
    layout->setContentsMargins(0, 0, 0, 0);
    if (backButton) {
        *backButton = new QPushButton(bar);
        (*backButton)->setObjectName(QStringLiteral("backButton"));
        barButton(*backButton, QStringLiteral(":/IMG/BACK_BUTTON"), buttonWidth, height);
        (*backButton)->setAccessibleName(QObject::trUtf8("Wstecz"));
        layout->addWidget(*backButton);
    }
    layout->addStretch();
    *exitButton = new QPushButton(bar);
    (*exitButton)->setObjectName(QStringLiteral("exitButton"));
    barButton(*exitButton, QStringLiteral(":/IMG/X_BUTTON"), buttonWidth, height);
    (*exitButton)->setAccessibleName(QObject::trUtf8("Zamknij"));
    layout->addWidget(*exitButton);
    return bar;
}

QFrame* bottomBar(QWidget* form, const QString& name, QGridLayout** grid)
{
    QFrame* bar = new QFrame(form);
    bar->setObjectName(name);
    bar->setFixedHeight(79);
    bar->setStyleSheet(QStringLiteral("#") + name + QStringLiteral(
        " { background-image: url(:/IMG/BOTTOM_BAR); border: none; }"
        "QPushButton { background-color: transparent; color: white; border-bottom: 3px solid transparent; }"));
    *grid = new QGridLayout(bar);
    (*grid)->setSpacing(0);
    (*grid)->setContentsMargins(0, 0, 0, 0);
    return bar;
}

ListView* listView(QWidget* form, const QString& background)
{
    ListView* list = new ListView(form);
    list->setObjectName(QStringLiteral("listView"));
    list->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setAutoScroll(false);
    list->setAutoScrollMargin(0);
    list->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    list->setFrameShape(QFrame::NoFrame);
    list->setStyleSheet(listStyle(QStringLiteral("QListView"), background));
    return list;
}

void screenRoot(QWidget* form, const QString& name, int width, const QString& background)
{
    form->setObjectName(name);
    form->resize(width, 854);
    form->setMinimumWidth(480);
    form->setAttribute(Qt::WA_StyledBackground, true);
    form->setStyleSheet(QStringLiteral("#") + name + QStringLiteral(" { background-color: ") + background
                        + QStringLiteral("; }"));
    QVBoxLayout* layout = new QVBoxLayout(form);
    layout->setSpacing(0);
    layout->setContentsMargins(0, 0, 0, 0);
}

} // namespace FormStyle
