#include "screens/settings/settingsonlineview.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QResizeEvent>
#include <QVBoxLayout>

#include "screens/widgets/textscale.h"
#include "screens/widgets/theme.h"
#include "logic/news/settings.h"
#include "screens/settings/settingspages.h"
#include "screens/widgets/formstyle.h"

static const char* const modeNames[] = {"Ręcznie", "Co 5 minut", "Co 15 minut", "Co godzinę", "Tylko przy uruchamianiu"};

static QLabel* heading(QWidget* parent, const QString& text)
{
    QLabel* label = new QLabel(text, parent);
    TextScale::follow(label, 16, true);
    Theme::follow(label, [label] { label->setStyleSheet(QStringLiteral("color: %1;").arg(Theme::css(Theme::Text))); });
    label->setMinimumHeight(50);
    label->setSizePolicy(QSizePolicy::Ignored, label->sizePolicy().verticalPolicy());
    return label;
}

SettingsOnlineView::SettingsOnlineView(Settings* model, QWidget* parent)
    : QWidget(parent), settings(model), lastWidth(-1)
{
    setObjectName(QStringLiteral("SettingsOnlineView"));
    QVBoxLayout* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 10);
    layout->setSpacing(0);
    layout->addWidget(heading(this, tr("  Godziny szczytu:")));

    QGridLayout* hours = new QGridLayout();
    QFont big = font();
    big.setPointSize(22);
    auto hourLabel = [&](const char* name) {
        QLabel* label = new QLabel(QStringLiteral("00"), this);
        label->setObjectName(QLatin1String(name));
        label->setFont(big);
        label->setAlignment(Qt::AlignCenter);
        // Two hours and four buttons share the row: on a screen narrower than the phone's all of
        // them narrow (the 60 px are the row's spacing and dash).
        FormStyle::fitInside(label, QSize(60, 0), QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX), QMargins(0, 0, 60, 0), 6);
        Theme::follow(label, [label] { label->setStyleSheet(QStringLiteral("color: %1;").arg(Theme::css(Theme::Text))); });
        return label;
    };
    buttonRushHoursStartDec = SettingsPages::hourButton(this, "buttonRushHoursStartDec", false);
    labelRushHoursStart = hourLabel("labelRushHoursStart");
    buttonRushHoursStartInc = SettingsPages::hourButton(this, "buttonRushHoursStartInc", true);
    QLabel* dash = new QLabel(QStringLiteral("–"), this);
    dash->setFont(big);
    Theme::follow(dash, [dash] { dash->setStyleSheet(QStringLiteral("color: %1;").arg(Theme::css(Theme::Text))); });
    buttonRushHoursEndDec = SettingsPages::hourButton(this, "buttonRushHoursEndDec", false);
    labelRushHoursEnd = hourLabel("labelRushHoursEnd");
    buttonRushHoursEndInc = SettingsPages::hourButton(this, "buttonRushHoursEndInc", true);
    for (QPushButton* b : {buttonRushHoursStartDec, buttonRushHoursStartInc, buttonRushHoursEndDec, buttonRushHoursEndInc})
        FormStyle::fitInside(b, QSize(80, 80), QSize(80, 80), QMargins(0, 0, 60, 0), 5);
    hours->addWidget(buttonRushHoursStartDec, 0, 0);
    hours->addWidget(labelRushHoursStart, 0, 1);
    hours->addWidget(buttonRushHoursStartInc, 0, 2);
    hours->addWidget(dash, 0, 3, Qt::AlignCenter);
    hours->addWidget(buttonRushHoursEndDec, 0, 4);
    hours->addWidget(labelRushHoursEnd, 0, 5);
    hours->addWidget(buttonRushHoursEndInc, 0, 6);
    layout->addLayout(hours);

    layout->addWidget(heading(this, tr("  Sprawdzaj nowe artykuły:")));
    auto group = [&](const QString& title, const char* prefix, QVector<QCheckBox*>& boxes) {
        QLabel* label = heading(this, QStringLiteral("  ") + title);
        label->setFont(font());
        layout->addWidget(label);
        QWidget* holder = new QWidget(this); // one auto-exclusive group per holder
        QVBoxLayout* column = new QVBoxLayout(holder);
        column->setContentsMargins(0, 0, 0, 0);
        column->setSpacing(0);
        for (int i = 0; i < 5; ++i) {
            const QByteArray name = QByteArray(prefix) + QByteArray::number(i + 1);
            QCheckBox* box = SettingsPages::checkBox(holder, name.constData(), tr(modeNames[i]));
            box->setAutoExclusive(true);
            column->addWidget(box);
            boxes.append(box);
        }
        layout->addWidget(holder);
    };
    group(tr("W godzinach szczytu"), "checkBoxRushHours", rushHoursBoxes);
    group(tr("Poza szczytem"), "checkBoxOutOfRushHours", outOfRushHoursBoxes);

    // What automatic refreshes do on a metered link, and the top-news notifications.
    layout->addWidget(heading(this, tr("  Na łączu taryfowym:")));
    QWidget* metered = new QWidget(this);
    QVBoxLayout* meteredColumn = new QVBoxLayout(metered);
    meteredColumn->setContentsMargins(0, 0, 0, 0);
    meteredColumn->setSpacing(0);
    const QString meteredNames[] = {tr("Odświeżaj jak zwykle"), tr("Bez zdjęć"), tr("Tylko ręcznie")};
    for (int i = 0; i < 3; ++i) {
        const QByteArray name = "checkBoxMetered" + QByteArray::number(i + 1);
        QCheckBox* box = SettingsPages::checkBox(metered, name.constData(), meteredNames[i]);
        box->setAutoExclusive(true);
        meteredColumn->addWidget(box);
        meteredBoxes.append(box);
    }
    layout->addWidget(metered);
    layout->addWidget(heading(this, tr("  Powiadomienia:")));
    checkBoxTopNews = SettingsPages::checkBox(this, "checkBoxTopNews", tr("Powiadomienia o najważniejszych wiadomościach"));
    layout->addWidget(checkBoxTopNews);

    updateData();
    // The accordion opens this section to the height it has now.
    resize(480, layout->sizeHint().height());

    connect(buttonRushHoursStartInc, &QPushButton::clicked, this, [this]() { changeHour(true, 1); });
    connect(buttonRushHoursStartDec, &QPushButton::clicked, this, [this]() { changeHour(true, -1); });
    connect(buttonRushHoursEndInc, &QPushButton::clicked, this, [this]() { changeHour(false, 1); });
    connect(buttonRushHoursEndDec, &QPushButton::clicked, this, [this]() { changeHour(false, -1); });
    for (QCheckBox* box : rushHoursBoxes + outOfRushHoursBoxes)
        connect(box, &QCheckBox::toggled, this, &SettingsOnlineView::modeToggled);
    for (int i = 0; i < meteredBoxes.size(); ++i) {
        connect(meteredBoxes.at(i), &QCheckBox::toggled, this, [this, i](bool on) {
            if (on && !settings->setMeteredPolicy(Settings::MeteredPolicy(i)))
                notSaved();
        });
    }
    connect(checkBoxTopNews, &QCheckBox::toggled, this, [this](bool on) {
        if (!settings->setTopNewsNotifications(on))
            notSaved();
    });
}

void SettingsOnlineView::notSaved()
{
    updateData();
    SettingsPages::reportNotSaved();
}

void SettingsOnlineView::changeHour(bool start, int step)
{
    const auto moved = [step](int hour) { return (hour + step + 24) % 24; };
    const int startHour = settings->getRushHoursStart();
    const int endHour = settings->getRushHoursEnd();
    const bool saved = start ? settings->setRushHours(moved(startHour), endHour)
                             : settings->setRushHours(startHour, moved(endHour));
    updateData();
    if (!saved)
        SettingsPages::reportNotSaved();
}

int SettingsOnlineView::modeOf(const QVector<QCheckBox*>& boxes)
{
    for (int i = 0; i < 4; ++i)
        if (boxes.at(i)->isChecked())
            return i;
    return 4;
}

void SettingsOnlineView::modeToggled()
{
    if (settings->setRefreshModes(modeOf(rushHoursBoxes), modeOf(outOfRushHoursBoxes)))
        return;
    updateData();
    SettingsPages::reportNotSaved();
}

void SettingsOnlineView::updateData()
{
    labelRushHoursStart->setText(QString::number(settings->getRushHoursStart()));
    labelRushHoursEnd->setText(QString::number(settings->getRushHoursEnd()));
    // Auto-exclusive boxes cannot all be unchecked one by one; the groups are set quietly.
    for (QVector<QCheckBox*>* boxes : {&rushHoursBoxes, &outOfRushHoursBoxes}) {
        const int mode = boxes == &rushHoursBoxes ? settings->getArticlesCheckRushHours()
                                                  : settings->getArticlesCheckOutOfRushHours();
        for (int i = 0; i < boxes->size(); ++i) {
            QCheckBox* box = boxes->at(i);
            const bool blocked = box->blockSignals(true);
            box->setAutoExclusive(false);
            box->setChecked(i == mode);
            box->setAutoExclusive(true);
            box->blockSignals(blocked);
        }
    }
    for (int i = 0; i < meteredBoxes.size(); ++i) {
        QCheckBox* box = meteredBoxes.at(i);
        const bool blocked = box->blockSignals(true);
        box->setAutoExclusive(false);
        box->setChecked(i == int(settings->meteredPolicy()));
        box->setAutoExclusive(true);
        box->blockSignals(blocked);
    }
    const bool blocked = checkBoxTopNews->blockSignals(true);
    checkBoxTopNews->setChecked(settings->topNewsNotifications());
    checkBoxTopNews->blockSignals(blocked);
}

QSize SettingsOnlineView::sizeHint() const
{
    return QSize(width(), layout()->hasHeightForWidth() ? layout()->heightForWidth(width())
                                                        : layout()->sizeHint().height());
}

void SettingsOnlineView::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    if (e->size().width() != lastWidth) {
        lastWidth = e->size().width();
        emit contentSizeChanged();
    }
}
