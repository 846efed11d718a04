#ifndef TOOLBOX_H
#define TOOLBOX_H

#include <QButtonGroup>
#include <QList>
#include <QVariant>
#include <QWidget>

class QPropertyAnimation;
class QVBoxLayout;

// The settings accordion: opening a section closes the others, heights animate over 500 ms.
class Toolbox : public QWidget
{
    Q_OBJECT
public:
    static constexpr int animationDuration = 500;

    explicit Toolbox(QWidget* parent = nullptr);

    void addPage(QString title, QWidget* page, bool sizeHint);
    QAbstractButton* header(int id) const { return buttonGroup.button(id); }
    // The narrowest a tab may be; it runs on under the scroll bar where that is wider than the room.
    void setTabWidth(int width);
    QWidget* page(int id) const { return widgets.value(id); }
    bool isAnimating() const { return animationInProgress || resizeAnimationInProgress; }

signals:
    void animateScrollBarToPosition(int y);

public slots:
    void buttonClicked(int id);
    void updateWidgets();
    void onAnimationEnd();
    void onAnimationResizeEnd();
    void onAnimationLoop(QVariant value);

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    QPropertyAnimation* sizeAnimation(QWidget* page, int height);
    int openHeight(int id) const;
    void resizeOpenPage(int id);

    QList<int> widgetsH;
    QButtonGroup buttonGroup;
    QList<QWidget*> widgets;
    bool resizeAnimationInProgress;
    bool animationInProgress;
    int lastWidth;
    QVBoxLayout* layout;
    int tabMinimum = 480;
};

#endif // TOOLBOX_H
