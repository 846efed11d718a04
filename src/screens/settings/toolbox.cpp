#include "screens/settings/toolbox.h"

#include "screens/widgets/textscale.h"
#include "screens/widgets/theme.h"

#include <QParallelAnimationGroup>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QResizeEvent>
#include <QVBoxLayout>

static const int scrollBarWidth = 11;

Toolbox::Toolbox(QWidget* parent)
    : QWidget(parent), resizeAnimationInProgress(false), animationInProgress(false), lastWidth(-1), layout(nullptr)
{
    setObjectName(QStringLiteral("toolbox"));
    setMinimumWidth(tabMinimum - scrollBarWidth);
    buttonGroup.setExclusive(false);
    connect(&buttonGroup, &QButtonGroup::idClicked, this, &Toolbox::buttonClicked);
    layout = new QVBoxLayout(this);
    layout->setSpacing(0);
    layout->setContentsMargins(0, 5, 0, 5);
    layout->addStretch();
}

void Toolbox::addPage(QString title, QWidget* page, bool sizeHint)
{
    QPushButton* button = new QPushButton(title, this);
    button->setCheckable(true);
    button->setChecked(false);
    Theme::follow(button, [button] {
        button->setStyleSheet(QStringLiteral(
            "QPushButton { border:none; background-color: rgba(0,0,0,0); background-position: right; "
            "background-repeat: none; text-align: left; padding-left: 20px; color: %1; }"
            "QPushButton:open, QPushButton:checked { background-image: url(%2); }"
            "QPushButton:closed, QPushButton:!checked { background-image: url(%3); }")
            .arg(Theme::css(Theme::Text), Theme::picture(QStringLiteral(":/IMG/SETTINGS/TAB1")),
                 Theme::picture(QStringLiteral(":/IMG/SETTINGS/TAB2")))
            + Theme::focusMark(QStringLiteral("QPushButton:focus")));
    });
    TextScale::follow(button, 16, true);
    button->setMinimumSize(tabMinimum, 75);
    button->setMaximumHeight(75);
    button->setFocusPolicy(Qt::TabFocus);
    buttonGroup.addButton(button, widgets.size());
    const int at = layout->count() - 1; // before the final spacer
    layout->insertWidget(at, button);
    page->setParent(this);
    layout->insertWidget(at + 1, page);
    widgetsH.append(sizeHint ? -1 : page->height());
    page->setMinimumHeight(0);
    page->setMaximumHeight(0);
    widgets.append(page);
    lastWidth = -1;
}

void Toolbox::setTabWidth(int width)
{
    tabMinimum = width;
    // The pages keep to the room beside the scroll bar; the tabs run on under it.
    setMinimumWidth(qMax(1, width - scrollBarWidth));
    for (QAbstractButton* button : buttonGroup.buttons())
        button->setMinimumWidth(width);
}

int Toolbox::openHeight(int id) const
{
    const int fixed = widgetsH.value(id, -1);
    return fixed >= 0 ? fixed : widgets.at(id)->sizeHint().height();
}

QPropertyAnimation* Toolbox::sizeAnimation(QWidget* page, int height)
{
    QPropertyAnimation* animation = new QPropertyAnimation(page, "size");
    animation->setDuration(animationDuration);
    animation->setEasingCurve(QEasingCurve::InOutCubic);
    animation->setStartValue(page->size());
    animation->setEndValue(QSize(page->width(), height));
    return animation;
}

void Toolbox::buttonClicked(int id)
{
    if (animationInProgress || id < 0 || id >= widgets.size())
        return;
    QWidget* page = widgets.at(id);
    const bool opening = buttonGroup.button(id)->isChecked();
    QParallelAnimationGroup* group = new QParallelAnimationGroup(this);
    QPropertyAnimation* animation = sizeAnimation(page, opening ? openHeight(id) : 0);
    connect(animation, &QPropertyAnimation::finished, this, &Toolbox::onAnimationEnd);
    connect(animation, &QPropertyAnimation::valueChanged, this, &Toolbox::onAnimationLoop);
    group->addAnimation(animation);
    animationInProgress = true;
    setEnabled(false);
    for (int other = 0; other < widgets.size(); ++other) {
        if (other == id || !buttonGroup.button(other)->isChecked())
            continue;
        buttonGroup.button(other)->setChecked(false);
        QPropertyAnimation* closing = sizeAnimation(widgets.at(other), 0);
        connect(closing, &QPropertyAnimation::finished, this, &Toolbox::onAnimationEnd);
        connect(closing, &QPropertyAnimation::valueChanged, this, &Toolbox::onAnimationLoop);
        group->addAnimation(closing);
    }
    connect(group, &QParallelAnimationGroup::finished, this, [this, group]() {
        animationInProgress = false;
        setEnabled(!resizeAnimationInProgress);
        group->deleteLater();
        // Sizes that changed while the heights moved (a scroll bar, a turn of the phone).
        for (int open = 0; open < widgets.size(); ++open) {
            if (buttonGroup.button(open)->isChecked() && widgets.at(open)->maximumHeight() != openHeight(open))
                resizeOpenPage(open);
        }
    });
    group->start();
}

void Toolbox::onAnimationLoop(QVariant value)
{
    QPropertyAnimation* animation = qobject_cast<QPropertyAnimation*>(sender());
    if (!animation)
        return;
    QWidget* page = qobject_cast<QWidget*>(animation->targetObject());
    if (!page)
        return;
    const int height = value.toSize().height();
    page->setMinimumHeight(height);
    page->setMaximumHeight(height);
}

void Toolbox::onAnimationEnd()
{
    QPropertyAnimation* animation = qobject_cast<QPropertyAnimation*>(sender());
    if (!animation)
        return;
    QWidget* page = qobject_cast<QWidget*>(animation->targetObject());
    const int id = widgets.indexOf(page);
    if (id >= 0 && buttonGroup.button(id)->isChecked())
        emit animateScrollBarToPosition(buttonGroup.button(id)->y());
    if (page && animation->endValue().toSize().height() == 0) {
        page->setMinimumHeight(0);
        page->setMaximumHeight(0);
    }
}

void Toolbox::updateWidgets()
{
    QWidget* page = qobject_cast<QWidget*>(sender());
    const int id = widgets.indexOf(page);
    // While the accordion moves, the end of that animation takes the new size.
    if (id >= 0 && buttonGroup.button(id)->isChecked() && !animationInProgress)
        resizeOpenPage(id);
    updateGeometry();
}

void Toolbox::resizeOpenPage(int id)
{
    QPropertyAnimation* animation = sizeAnimation(widgets.at(id), openHeight(id));
    connect(animation, &QPropertyAnimation::finished, this, &Toolbox::onAnimationResizeEnd);
    connect(animation, &QPropertyAnimation::valueChanged, this, &Toolbox::onAnimationLoop);
    resizeAnimationInProgress = true;
    setEnabled(false);
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

void Toolbox::onAnimationResizeEnd()
{
    resizeAnimationInProgress = false;
    setEnabled(!animationInProgress);
}

void Toolbox::resizeEvent(QResizeEvent* e)
{
    if (e->size().width() != lastWidth) {
        lastWidth = e->size().width();
        for (QWidget* page : widgets)
            page->setMaximumWidth(lastWidth);
    }
    QWidget::resizeEvent(e);
}
