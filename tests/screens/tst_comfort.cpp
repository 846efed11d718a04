#include <QtDBus>

#include "logic/base/desktopappearance.h"
#include "logic/base/hidpi.h"
#include "logic/news/settings.h"
#include "screens/article/articlewidget.h"
#include "screens/articlelist/articleslistwidget.h"
#include "screens/categories/categorylistwidget.h"
#include "screens/shell/splashwidget.h"
#include "screens/widgets/listview.h"
#include "screens/widgets/theme.h"
#include "tests/support/privatebus.h"
#include "tests/support/screenfixtures.h"

// A settings portal of the test's own on its private bus: answers as `mode` says.
class FakePortal : public QDBusVirtualObject
{
public:
    enum Mode { Answers, OnlyRead, WrongType, Silent };
    Mode mode = Answers;
    uint colorScheme = 1;
    uint contrast = 0;
    QDBusConnection bus = QDBusConnection(QString());

    QString introspect(const QString&) const override { return QString(); }

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override
    {
        const QString key = message.arguments().value(1).toString();
        const bool readOne = message.member() == QLatin1String("ReadOne");
        if (mode == Silent)
            return true;
        if (mode == OnlyRead && readOne) {
            connection.send(message.createErrorReply(QDBusError::UnknownMethod, QStringLiteral("no ReadOne")));
            return true;
        }
        QVariant value = mode == WrongType ? QVariant(QStringLiteral("1"))
                                           : QVariant(key == QLatin1String("contrast") ? contrast : colorScheme);
        QVariant wrapped = QVariant::fromValue(QDBusVariant(value));
        if (!readOne)
            wrapped = QVariant::fromValue(QDBusVariant(wrapped));
        connection.send(message.createReply(wrapped));
        return true;
    }

    void change(const QString& nameSpace, const QString& key, const QVariant& value)
    {
        QDBusMessage signal = QDBusMessage::createSignal(QStringLiteral("/org/freedesktop/portal/desktop"),
                                                         QStringLiteral("org.freedesktop.portal.Settings"),
                                                         QStringLiteral("SettingChanged"));
        signal << nameSpace << key << QVariant::fromValue(QDBusVariant(value));
        bus.send(signal);
    }
};

Q_DECLARE_METATYPE(FakePortal::Mode)

class TestComfort : public QObject
{
    Q_OBJECT
private:
    PrivateBus privateBus;
    FakePortal portal;

    static double luminance(QRgb rgb)
    {
        auto channel = [](int v) {
            const double c = v / 255.0;
            return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(qRed(rgb)) + 0.7152 * channel(qGreen(rgb)) + 0.0722 * channel(qBlue(rgb));
    }

    // The contrast of the text against its background in a grab: the background is the commonest
    // colour, the text the pixel that differs from it most.
    static double contrast(const QImage& image)
    {
        QHash<QRgb, int> counts;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                ++counts[image.pixel(x, y) | 0xff000000];
        const double lb = luminance(std::max_element(counts.constBegin(), counts.constEnd()).key());
        double best = 1;
        for (auto it = counts.constBegin(); it != counts.constEnd(); ++it) {
            const double lt = luminance(it.key());
            best = qMax(best, (qMax(lb, lt) + 0.05) / (qMin(lb, lt) + 0.05));
        }
        return best;
    }

private slots:
    void initTestCase()
    {
        TestEnv::prepare();
        QVERIFY(privateBus.start());
        portal.bus = QDBusConnection::connectToBus(privateBus.address(), QStringLiteral("portal"));
        QVERIFY(portal.bus.registerVirtualObject(QStringLiteral("/org/freedesktop/portal/desktop"), &portal));
        QVERIFY(portal.bus.registerService(QStringLiteral("org.freedesktop.portal.Desktop")));
    }

    // The desktop says dark at start and light while the program runs; the open article follows
    // in place, keeping its scroll position.
    void followsTheDesktopLive()
    {
        portal.mode = FakePortal::Answers;
        portal.colorScheme = 1;
        Theme::setChoice(0);
        Theme::desktop();
        QTRY_VERIFY(Theme::isDark());

        Article source;
        Screens::makeArticle(source, 0);
        ArticleWidget screen(source, nullptr);
        QVERIFY(Screens::show(&screen));
        QScrollBar* bar = screen.findChild<QAbstractScrollArea*>("scrollArea")->verticalScrollBar();
        bar->setValue(bar->maximum() / 2);
        const int position = bar->value();
        QWidget* body = screen.findChild<QWidget*>("textBrowser");
        QVERIFY(qGray(body->grab().toImage().pixel(2, 2)) < 60);

        portal.change("org.freedesktop.appearance", "color-scheme", 2u);
        QTRY_VERIFY(!Theme::isDark());
        QTest::qWait(20);
        QVERIFY(qGray(body->grab().toImage().pixel(2, 2)) > 200);
        QCOMPARE(bar->value(), position);

        portal.change("org.freedesktop.appearance", "contrast", 1u);
        QTRY_VERIFY(Theme::isHighContrast());
        // The user's choice wins over the desktop's wish.
        Theme::setChoice(2);
        QVERIFY(Theme::isDark());
        Theme::setChoice(0);
        portal.change("org.freedesktop.appearance", "contrast", 0u);
        QTRY_VERIFY(!Theme::isHighContrast());

        // A stored "Ciemny" holds from the splash on, over a light desktop.
        Settings stored(nullptr);
        QVERIFY(stored.setAppearance(Settings::AppearanceDark));
        SplashWidget splash;
        QVERIFY(qGray(splash.grab().toImage().pixel(2, 2)) < 60);
        QVERIFY(stored.setAppearance(Settings::AppearanceSystem));
        Theme::setChoice(0);
    }

    void badAnswersLeaveTheLook_data()
    {
        QTest::addColumn<FakePortal::Mode>("mode");
        QTest::addColumn<bool>("dark");
        QTest::newRow("older Read, wrapped twice") << FakePortal::OnlyRead << true;
        QTest::newRow("wrong type") << FakePortal::WrongType << false;
        QTest::newRow("never answers") << FakePortal::Silent << false;
    }

    void badAnswersLeaveTheLook()
    {
        QFETCH(FakePortal::Mode, mode);
        QFETCH(bool, dark);
        portal.mode = mode;
        portal.colorScheme = 1;
        DesktopAppearance desktop;
        const auto start = [&desktop] { desktop.start(); };
        QVERIFY(TestEnv::longestStall(DesktopAppearance::callTimeoutMs + 300, {}, start) < 100); // asks without waiting
        QCOMPARE(desktop.scheme().dark, dark);

        // Unknown keys, other namespaces and values out of range change nothing.
        QSignalSpy changes(&desktop, &DesktopAppearance::schemeChanged);
        portal.change("org.freedesktop.appearance", "accent-color", 1u);
        portal.change("org.gnome.desktop.interface", "color-scheme", dark ? 2u : 1u);
        portal.change("org.freedesktop.appearance", "color-scheme", 7u);
        portal.change("org.freedesktop.appearance", "color-scheme", QStringLiteral("1"));
        QTest::qWait(100);
        QCOMPARE(changes.count(), 0);
    }

    // Body text against its page, measured on the rendered article in every look and text size.
    void bodyTextContrast_data()
    {
        QTest::addColumn<bool>("dark");
        QTest::addColumn<bool>("highContrast");
        QTest::newRow("light") << false << false;
        QTest::newRow("light, higher contrast") << false << true;
        QTest::newRow("dark") << true << false;
        QTest::newRow("dark, higher contrast") << true << true;
    }

    void bodyTextContrast()
    {
        QFETCH(bool, dark);
        QFETCH(bool, highContrast);
        Theme::set(dark, highContrast);
        Article source;
        Screens::makeArticle(source, 0);
        ArticleWidget screen(source, nullptr);
        QVERIFY(Screens::show(&screen));
        QTest::qWait(50);
        for (const char* name : {"textBrowser", "leadLabel"}) {
            // Grabbed from the screen: a label alone has no background of its own.
            const QWidget* part = screen.findChild<QWidget*>(name);
            const double ratio = contrast(screen.grab(QRect(part->mapTo(&screen, QPoint()), part->size())).toImage());
            QVERIFY2(ratio >= 4.5, qPrintable(QStringLiteral("%1: %2:1").arg(name).arg(ratio, 0, 'f', 2)));
        }

        // A category's name, between its red marker and its count, above the rule, plain and as the
        // keys' current row.
        RSSChannel kraj(RSSChannel::Kraj, nullptr);
        QVector<RSSChannel*> channels{&kraj};
        CategoryListWidget categories(&channels, nullptr);
        QVERIFY(Screens::show(&categories));
        ListView* list = categories.findChild<ListView*>("listView");
        const int marker = qRound(Hidpi::image(":/IMG/KATEGORIA_CYCEK").deviceIndependentSize().width());
        for (bool current : {false, true}) {
            if (current)
                list->selectionModel()->setCurrentIndex(list->model()->index(0, 0), QItemSelectionModel::ClearAndSelect);
            QTest::qWait(20);
            const QRect row = list->visualRect(list->model()->index(0, 0));
            const QRect name(list->viewport()->mapTo(&categories, row.topLeft() + QPoint(marker + 25, 0)),
                             QSize(row.width() - 115 - marker, row.height() - 2));
            const double ratio = contrast(categories.grab(name).toImage());
            QVERIFY2(ratio >= 4.5, qPrintable(QStringLiteral("category name: %1:1").arg(ratio, 0, 'f', 2)));
        }
        Theme::set(false, false);
    }

    // What a screen reader finds: rows, focus, the refresh's notification, the open article. (Offscreen
    // has no accessibility bridge: the test reads the state the events would point the reader to.)
    void aScreenReaderHearsRowsFocusRefreshAndArticle()
    {
        auto rows = [](QWidget* list) {
            QStringList said;
            QAccessibleInterface* table = QAccessible::queryAccessibleInterface(list);
            for (int i = 0; i < table->childCount(); ++i)
                said << table->child(i)->text(QAccessible::Name) + " / " + table->child(i)->text(QAccessible::Description);
            return said;
        };

        SampleServer* server = TestEnv::startSampleServer(this);
        QVERIFY(server);
        Screens::serveFeed(*server, RSSChannel::Kraj, TestEnv::feed({1, 2}));
        QVector<RSSChannel*> channels{new RSSChannel(RSSChannel::Kraj, nullptr)};
        {
            ArticlesListWidget screen(channels[0], nullptr);
            screen.resize(480, 854);
            screen.show();
            screen.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&screen));
            QTest::mouseClick(screen.findChild<QPushButton*>("refreshButton"), Qt::LeftButton);
            QAccessibleInterface* note = QAccessible::queryAccessibleInterface(screen.findChild<QWidget*>("announcer"));
            QTRY_COMPARE_WITH_TIMEOUT(note->text(QAccessible::Name), QString("Odświeżono"), 5000);
            QCOMPARE(note->role(), QAccessible::Notification);
            QVERIFY(!note->state().invisible);
            ListView* list = screen.findChild<ListView*>("listView");
            list->setFocus();
            QTest::keyClick(list, Qt::Key_Down);
            QCOMPARE(QAccessible::queryAccessibleInterface(list)->focusChild()->text(QAccessible::Name), QString("Artykuł 2"));
            QTest::keyClick(list, Qt::Key_Return); // opens it: read
            const QStringList said = rows(list);
            QVERIFY2(said.contains("Artykuł 1 / Lead 1, nieprzeczytany") && said.contains("Artykuł 2 / Lead 2, przeczytany"),
                     qPrintable(said.join(" | ")));

            CategoryListWidget categories(&channels, nullptr);
            QVERIFY(rows(categories.findChild<ListView*>("listView")).value(0).startsWith(channels[0]->getTitle() + " / nieprzeczytane: "));
        }
        qDeleteAll(channels);
        TestEnv::noProxy();

        Article source;
        source.title = "Mróz wraca";
        source.signature = "Anna Kowalczyk";
        source.date = "06-12-2026";
        source.content = "<p>Synoptycy ostrzegają kierowców.</p>";
        ArticleWidget article(source, nullptr);
        QAccessibleInterface* page = QAccessible::queryAccessibleInterface(&article);
        QCOMPARE(page->text(QAccessible::Name), source.title);
        QCOMPARE(page->text(QAccessible::Description), QString("Anna Kowalczyk, 06-12-2026"));
        QAccessibleTextInterface* body =
            QAccessible::queryAccessibleInterface(article.findChild<QWidget*>("textBrowser"))->textInterface();
        QCOMPARE(body->text(0, body->characterCount()).trimmed(), QString("Synoptycy ostrzegają kierowców."));
    }
};

QTEST_MAIN(TestComfort)
#include "tst_comfort.moc"
