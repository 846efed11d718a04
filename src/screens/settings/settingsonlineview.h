#ifndef SETTINGSONLINEVIEW_H
#define SETTINGSONLINEVIEW_H

#include <QVector>
#include <QWidget>

class QCheckBox;
class QLabel;
class QPushButton;
class Settings;

// The "Online" section: the rush-hour window, the refresh mode in and out of it, what a metered
// link allows and the top-news notifications.
class SettingsOnlineView : public QWidget
{
    Q_OBJECT
public:
    SettingsOnlineView(Settings* settings, QWidget* parent);

    void updateData();
    QSize sizeHint() const override;

    QLabel* labelRushHoursStart;
    QLabel* labelRushHoursEnd;
    QPushButton* buttonRushHoursStartInc;
    QPushButton* buttonRushHoursStartDec;
    QPushButton* buttonRushHoursEndInc;
    QPushButton* buttonRushHoursEndDec;
    QVector<QCheckBox*> rushHoursBoxes;    // checkBoxRushHours1 .. 5
    QVector<QCheckBox*> outOfRushHoursBoxes; // checkBoxOutOfRushHours1 .. 5
    QVector<QCheckBox*> meteredBoxes;        // checkBoxMetered1 .. 3, in the order of MeteredPolicy
    QCheckBox* checkBoxTopNews;

signals:
    void contentSizeChanged();

protected:
    void resizeEvent(QResizeEvent* e) override;

private slots:
    void modeToggled();

private:
    void changeHour(bool start, int step);
    void notSaved();
    static int modeOf(const QVector<QCheckBox*>& boxes);

    Settings* settings;
    int lastWidth;
};

#endif // SETTINGSONLINEVIEW_H
